#pragma once

#include "store/Result.h"
#include "VerifyOk.h"

#include <QString>
#include <QTemporaryDir>
#include <QTest>

// A fresh copy of the supplied pad.db in a folder of its own, set as the
// program's home and opened as the shared connection. Each test gets its own:
//
//     TempStore store;
//     VERIFY_OK(store.make());
class TempStore final
{
public:
    TempStore() = default;
    ~TempStore();
    TempStore(const TempStore &) = delete;
    TempStore &operator=(const TempStore &) = delete;

    // Makes the copy; `open` false leaves it closed (start-check tests open
    // it themselves). What went wrong, when the copy cannot be made or opened.
    [[nodiscard]] Result<void> make(bool open = true);

    QString folder() const;
    QString storePath() const;
    QString filePath(const QString &relative) const;

    // The supplied store as built, for tests that make variants of it.
    static QString templatePath();

private:
    QTemporaryDir m_dir;
};
