#include "store/Store.h"

#include "store/IndexSchema.h"
#include "store/SchemaSteps.h"
#include "store/Sql.h"
#include "store/SqlFunctions.h"
#include "store/StartChecks.h"
#include "store/StoreError.h"

#include <QFileInfo>
#include <QSqlError>

namespace {

QString &storePath()
{
    static QString path;
    return path;
}

QSqlDatabase connection()
{
    if (QSqlDatabase::contains(Store::kConnectionName))
        return QSqlDatabase::database(Store::kConnectionName, false);
    return QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), Store::kConnectionName);
}

Result<void> openConnection(QSqlDatabase &db)
{
    db.setDatabaseName(storePath());
    // A locked store waits a little instead of failing at once; the file is
    // never created by the program.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=3000;QSQLITE_OPEN_URI=0"));
    if (!db.open())
        return fail(StoreError::text(db.lastError()));
    // One file only: a rollback journal, and every commit on disk before it
    // returns. A file the engine cannot read fails later, at the start checks.
    Sql::run(db, QStringLiteral("PRAGMA journal_mode=DELETE")).ok();
    Sql::run(db, QStringLiteral("PRAGMA synchronous=FULL")).ok();
    // Statements on tables with triggers (the sync's change marks) keep
    // their scratch data in memory instead of a temporary file each.
    Sql::run(db, QStringLiteral("PRAGMA temp_store=MEMORY")).ok();
    // The file is read through a mapping: a search of one or two characters
    // reads every text of the store, which page by page copies would double.
    Sql::run(db, QStringLiteral("PRAGMA mmap_size=1073741824")).ok();
    return {};
}

// A store written by a newer program is refused before anything is written
// to it.
Store::Opened refuseNewer(QSqlDatabase &db)
{
    const Result<int> version = Schema::version(db);
    if (!version)
        return {Store::Status::Unusable, version.error()};
    if (*version > Schema::currentVersion())
        return {Store::Status::TooNew, {}};
    return {Store::Status::Ready, {}};
}

// An older store that passed the start checks is brought up step by step.
Store::Opened bringUpToDate(QSqlDatabase &db)
{
    if (const Result<void> upgraded = Schema::upgrade(db, storePath()); !upgraded)
        return {Store::Status::Unusable, upgraded.error()};
    return {Store::Status::Ready, {}};
}

} // namespace

Store::Opened Store::open(const QString &path)
{
    storePath() = path;
    if (!QFileInfo(path).isFile())
        return {Status::FileMissing, {}};
    // A program built without them could not write a record: refuse it
    // before anything is written.
    if (const QStringList absent = SqlFunctions::missing(IndexSchema::requiredFunctions()); !absent.isEmpty())
        return {Status::Unusable, QStringLiteral("程序缺少记录文件要用的函数: ") + absent.join(QStringLiteral(", "))};

    QSqlDatabase db = connection();
    if (const Result<void> connected = openConnection(db); !connected)
        return {Status::Unusable, connected.error()};
    Opened opened = refuseNewer(db);
    if (opened.status == Status::Ready) {
        const Result<Status> checked = StartChecks::run(db);
        opened = checked ? Opened{*checked, {}} : Opened{Status::Unusable, checked.error()};
    }
    if (opened.status == Status::Ready)
        opened = bringUpToDate(db);
    if (opened.status != Status::Ready)
        db.close();
    return opened;
}

QSqlDatabase Store::database()
{
    return connection();
}

QString Store::path()
{
    return storePath();
}

bool Store::isOpen()
{
    return QSqlDatabase::contains(kConnectionName) && connection().isOpen();
}

void Store::close()
{
    if (QSqlDatabase::contains(kConnectionName))
        connection().close();
}

Result<void> Store::reopen()
{
    if (!QFileInfo(storePath()).isFile())
        return fail(QStringLiteral("程序记录文件丢失: %1").arg(storePath()));
    QSqlDatabase db = connection();
    db.close();
    return openConnection(db);
}

void Store::remove()
{
    if (!QSqlDatabase::contains(kConnectionName))
        return;
    connection().close();
    QSqlDatabase::removeDatabase(kConnectionName);
}

QString Store::message(const Opened &opened)
{
    switch (opened.status) {
    case Status::Ready:
        return {};
    case Status::FileMissing:
        return QStringLiteral("程序记录文件丢失,程序无法运行,即将关闭...");
    case Status::Damaged:
        return QStringLiteral("记录文件被破坏,程序无法运行,即将关闭...");
    case Status::TooNew:
        return QStringLiteral("记录文件是由较新版本的程序写成的,本程序无法使用它,请使用新版本的程序。"
                              "记录文件没有改动,程序即将关闭...");
    case Status::Unusable:
        return QStringLiteral("记录文件无法读写,程序无法运行,即将关闭...\n%1\n%2").arg(storePath(), opened.detail);
    }
    return {};
}
