#pragma once

#include <QString>
#include <QTemporaryDir>

// A fresh copy of the supplied pad.db in a folder of its own, set as the
// program's home and opened as the shared connection. Each test gets its own.
class TempStore final
{
public:
    // `open` false leaves the copy closed (start-check tests open it themselves).
    explicit TempStore(bool open = true);
    ~TempStore();

    bool isValid() const { return m_valid; }
    QString folder() const;
    QString storePath() const;
    QString filePath(const QString &relative) const;

    // The supplied store as built, for tests that make variants of it.
    static QString templatePath();

private:
    QTemporaryDir m_dir;
    bool m_valid = false;
};
