#pragma once

#include "store/Result.h"

#include <QSqlDatabase>
#include <QString>

// The one shared connection to pad.db. It is opened once at start, closed and
// reopened only around a backup copy. Repositories keep a QSqlDatabase handle:
// a handle stays valid across close() and reopen() because the connection
// keeps its name.
class Store final
{
public:
    enum class Status {
        Ready,
        FileMissing, // no pad.db
        Damaged,     // a table or column the program needs is missing
        Unusable,    // the file is there but is not a store we can read and write
        TooNew,      // written by a newer program; left untouched
    };

    struct Opened
    {
        Status status = Status::Unusable;
        QString detail; // the engine's text for Unusable
    };

    static inline const QString kConnectionName = QStringLiteral("velmora-pad");

    // Opens `path` as the shared connection, brings an older store up to the
    // program's version and runs the start checks.
    static Opened open(const QString &path);
    static QSqlDatabase database();
    static QString path();
    static bool isOpen();

    // Closes the shared connection so the file can be copied byte for byte.
    static void close();
    // Opens the same file again, or says why it cannot be.
    static Result<void> reopen();
    // Drops the connection entirely (end of program, end of a test).
    static void remove();

    // The user-facing text of a start result (empty for Ready).
    static QString message(const Opened &opened);

private:
    Store() = delete;
};
