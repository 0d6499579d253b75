#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

// Makes sure one copy of the program runs per user. The guard is a lock file
// in the user's runtime folder; it dies with its process, so a crashed copy
// never keeps the next start away.
class SingleInstance final
{
public:
    explicit SingleInstance(const QString &name = QStringLiteral("velmora note pad 2"));
    // The guard in `folder` instead of the runtime folder.
    SingleInstance(const QString &name, const QString &folder);
    ~SingleInstance();

    enum class Outcome {
        Acquired,      // this process now holds the guard
        HeldByAnother, // another copy runs
        Unavailable,   // the lock file cannot be made (folder missing or not writable)
    };
    Outcome acquire();
    QString lockPath() const { return m_path; }

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};
