#pragma once

#include "store/SchemaSteps.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

#include <sqlite3.h>

// A store in memory at the program's version, made once per fuzzer from the
// schema file the fuzzer is built with (VELMORA_SCHEMA).
inline QSqlDatabase memoryStore()
{
    static QSqlDatabase db = [] {
        static int argc = 1;
        static char name[] = "fuzzer";
        static char *argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
        QSqlDatabase made = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
        made.setDatabaseName(QStringLiteral(":memory:"));
        QFile schema(QStringLiteral(VELMORA_SCHEMA));
        if (!made.open() || !schema.open(QIODevice::ReadOnly))
            __builtin_trap();
        sqlite3 *handle = *static_cast<sqlite3 *const *>(made.driver()->handle().data());
        if (sqlite3_exec(handle, schema.readAll().constData(), nullptr, nullptr, nullptr) != SQLITE_OK
            || !Schema::upgrade(made, QString()))
            __builtin_trap();
        return made;
    }();
    return db;
}
