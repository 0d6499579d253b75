#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// While it lives, the rest of the program takes no user input: clicks, keys,
// shortcuts, wheel turns, drops and close requests reach only `window`, its
// children and the modal boxes shown meanwhile. Other windows keep painting,
// and what they hold stays as it was. It does for a modeless window what
// application modality does, without hiding and showing it again.
class ModalScope final : public QObject
{
    Q_OBJECT

public:
    explicit ModalScope(QWidget *window);
    ~ModalScope() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool blocks(QObject *receiver) const;
    bool allows(const QWidget *widget) const;

    QPointer<QWidget> m_window;
};
