#pragma once

#include <QPointer>
#include <QWidget>

// The two ways the program opens a window that exists at most once. The
// reference is a QPointer, so it clears itself exactly when the window it
// designates is destroyed; a replaced window never clears its successor's.
namespace WindowOpener {

// Restore-or-create: an open copy is restored from minimised and activated;
// otherwise `create()` makes one, which is shown modeless.
template <typename Window, typename Create> Window *restoreOrCreate(QPointer<Window> &ref, Create create)
{
    if (ref) {
        ref->setWindowState(ref->windowState() & ~Qt::WindowMinimized);
        ref->show();
        ref->raise();
        ref->activateWindow();
        return ref;
    }
    ref = create();
    ref->setAttribute(Qt::WA_DeleteOnClose);
    ref->show();
    return ref;
}

// By replace: an open copy is asked to close after the current event, and a
// new one takes the reference. The caller shows it, modeless or modal.
template <typename Window, typename Create> Window *replace(QPointer<Window> &ref, Create create)
{
    if (ref) {
        QWidget *old = ref;
        QMetaObject::invokeMethod(old, &QWidget::close, Qt::QueuedConnection);
    }
    ref = create();
    ref->setAttribute(Qt::WA_DeleteOnClose);
    return ref;
}

} // namespace WindowOpener
