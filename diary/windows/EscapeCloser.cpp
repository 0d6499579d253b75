#include "diary/windows/EscapeCloser.h"

#include <QKeyEvent>
#include <QMenu>
#include <QWidget>

EscapeCloser::EscapeCloser(QWidget *window)
    : QObject(window)
    , m_window(window)
{
    window->installEventFilter(this);
    for (QWidget *child : window->findChildren<QWidget *>()) {
        if (!qobject_cast<QMenu *>(child))
            child->installEventFilter(this);
    }
}

bool EscapeCloser::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        m_window->close();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
