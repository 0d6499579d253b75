#include "platform/ui/ModalScope.h"

#include <QApplication>
#include <QEvent>
#include <QShortcut>
#include <QWidget>

namespace {

bool isUserInput(const QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::InputMethod:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    // A close from the window manager; the program's own closes go through.
    case QEvent::Close:
        return event->spontaneous();
    default:
        return false;
    }
}

} // namespace

ModalScope::ModalScope(QWidget *window)
    : m_window(window)
{
    qApp->installEventFilter(this);
}

ModalScope::~ModalScope()
{
    qApp->removeEventFilter(this);
}

bool ModalScope::allows(const QWidget *widget) const
{
    for (const QWidget *w = widget; w; w = w->parentWidget()) {
        if (w == m_window)
            return true;
        // A modal box shown now stands over every window, the scope's included.
        if (w->isWindow() && w->isModal())
            return true;
    }
    return false;
}

bool ModalScope::blocks(QObject *receiver) const
{
    if (!m_window)
        return false;
    if (auto *widget = qobject_cast<QWidget *>(receiver))
        return !allows(widget);
    if (auto *shortcut = qobject_cast<QShortcut *>(receiver))
        return !allows(qobject_cast<QWidget *>(shortcut->parent()));
    // An action's shortcut belongs to whichever window is active.
    return !allows(QApplication::activeWindow());
}

bool ModalScope::eventFilter(QObject *watched, QEvent *event)
{
    if (!isUserInput(event) || (!watched->isWidgetType() && event->type() != QEvent::Shortcut))
        return false;
    if (!blocks(watched))
        return false;
    // An eaten close must also be refused, or the window closes all the same.
    event->ignore();
    return true;
}
