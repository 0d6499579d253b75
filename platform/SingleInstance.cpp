#include "platform/SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

namespace {

QString runtimeFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return folder.isEmpty() ? QDir::tempPath() : folder;
}

} // namespace

SingleInstance::SingleInstance(const QString &name)
    : SingleInstance(name, runtimeFolder())
{
}

SingleInstance::SingleInstance(const QString &name, const QString &folder)
{
    QString fileName = name;
    fileName.replace(u' ', u'-');
    m_path = QDir(folder).filePath(fileName + QStringLiteral(".lock"));
}

SingleInstance::~SingleInstance() = default;

SingleInstance::Outcome SingleInstance::acquire()
{
    m_lock = std::make_unique<QLockFile>(m_path);
    // Only a lock whose process is gone is stale, however old it is.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return Outcome::Acquired;
    const bool held = m_lock->error() == QLockFile::LockFailedError;
    m_lock.reset();
    return held ? Outcome::HeldByAnother : Outcome::Unavailable;
}
