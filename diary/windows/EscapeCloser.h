#pragma once

#include <QObject>

class QWidget;

// Esc anywhere in a diary window closes it: the key is looked at by the
// window before any of its controls gets it. Popup menus keep their own Esc.
class EscapeCloser final : public QObject
{
    Q_OBJECT

public:
    // Watches `window` and every control it holds now.
    explicit EscapeCloser(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
};
