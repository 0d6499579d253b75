#pragma once

#include "store/Result.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <functional>

// The store's shape has a version (PRAGMA user_version). Version 0 is the
// plain form of the first supplied store: the tables, their width checks and
// the region rows. Each later version is one step: a small function that
// brings a store from the version before it, run with its version bump in one
// transaction, so a store is always at one whole version.
namespace Schema {

struct Step
{
    int version = 0;           // the version the step brings the store to
    bool rewritesRows = false; // a copy of the file is kept before it runs
    Result<void> (*apply)(QSqlDatabase &db) = nullptr;
};

// In version order, each one above the last.
const QList<Step> &steps();
// The version this program writes and reads.
int currentVersion();

Result<int> version(const QSqlDatabase &db);

// Where the copy kept before a row-rewriting step goes: beside the store.
QString copyBeforeStep(const QString &storePath, int stepVersion);

// Called after a step ran and before its commit; tests use it to stop the
// program in the middle of an upgrade.
using BeforeCommit = std::function<void(int version)>;

// Runs every step of `plan` above the store's version, in order. A failed
// step is rolled back whole and the store stays at the last version that
// committed.
Result<void> upgrade(QSqlDatabase &db, const QString &storePath, const QList<Step> &plan = steps(),
                     const BeforeCommit &beforeCommit = {});

} // namespace Schema
