#include "interchange/windows/VCardExportRun.h"

#include "platform/WholeFile.h"

#include <QDir>
#include <QTimer>

VCardExportRun::VCardExportRun(VCardExport run, QString path, QObject *parent)
    : QObject(parent)
    , m_run(std::move(run))
    , m_path(std::move(path))
    , m_timer(new QTimer(this))
{
    m_timer->setInterval(0);
    connect(m_timer, &QTimer::timeout, this, &VCardExportRun::step);
}

VCardExportRun::~VCardExportRun() = default;

void VCardExportRun::start()
{
    m_timer->start();
}

void VCardExportRun::step()
{
    if (m_run.step(kStepMs)) {
        emit progressed(m_run.done(), m_run.total());
        return;
    }
    m_timer->stop();
    if (m_run.failed()) {
        m_error = m_run.error();
    } else if (Result<void> written = WholeFile::replace(m_path, m_run.bytes()); !written) {
        m_error = QStringLiteral("无法写入文件 %1: %2").arg(QDir::toNativeSeparators(m_path), written.error());
    }
    emit finished();
}
