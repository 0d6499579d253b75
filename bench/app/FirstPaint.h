#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <cstdio>

// Says "painted" on stdout at the first paint of the watched widget and ends
// the process, so the harness measures start to first paint.
class FirstPaint final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_done) {
            m_done = true;
            std::puts("painted");
            std::fflush(stdout);
            QMetaObject::invokeMethod(
                qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_done = false;
};
