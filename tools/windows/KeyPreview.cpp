#include "tools/windows/KeyPreview.h"

#include <QKeyEvent>
#include <QWidget>

KeyPreview::KeyPreview(QWidget *widget, Handler handler)
    : QObject(widget)
    , m_handler(std::move(handler))
{
    widget->installEventFilter(this);
    for (QWidget *child : widget->findChildren<QWidget *>())
        child->installEventFilter(this);
}

bool KeyPreview::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress)
        return m_handler(static_cast<QKeyEvent *>(event));
    return QObject::eventFilter(watched, event);
}
