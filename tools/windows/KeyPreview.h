#pragma once

#include <QObject>

#include <functional>

class QKeyEvent;
class QWidget;

// Lets a window see key presses before the focused control does: the handler
// runs first and returns true to consume the key.
class KeyPreview final : public QObject
{
public:
    using Handler = std::function<bool(QKeyEvent *)>;

    // Watches `widget` and every widget inside it at this moment.
    KeyPreview(QWidget *widget, Handler handler);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Handler m_handler;
};
