#pragma once

#include "store/Result.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>

// Keys made from time stamps must not repeat, or two records would share
// their dependent rows. next() gives the stamp of `from`, or of the first
// later second that no row of `table`.`column` holds yet.
namespace UniqueStamp {

// `table` and `column` are names written in the code, never user input.
// Fails with the engine's text when the store cannot be read.
// The statement next() asks with, for callers that prepare it once.
QString takenStatement(const QString &table, const QString &column);

Result<QString> next(const QSqlDatabase &db, const QString &table, const QString &column, const QDateTime &from);

} // namespace UniqueStamp
