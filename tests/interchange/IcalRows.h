#pragma once

// Rows of job_do, job_do_sub and note_pad as the iCalendar tests write and
// compare them: every column, in a fixed order.
#include "store/FieldCodec.h"
#include "store/Store.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QTest>

namespace IcalRows {

inline bool run(const QString &sql, const QVariantList &values = {})
{
    QSqlQuery query(Store::database());
    query.prepare(sql);
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec())
        qWarning() << sql << query.lastError().text();
    return !query.lastError().isValid();
}

inline int count(const QString &table)
{
    QSqlQuery query(Store::database());
    return query.exec(QStringLiteral("SELECT count(*) FROM ") + table) && query.next() ? query.value(0).toInt() : -1;
}

// A job as the planner stores it: `text` encoded when protected.
inline bool addJob(const QString &id, const QString &dateId, const QString &text, bool reminder, bool isProtected,
                   const QString &completion)
{
    return run(QStringLiteral("INSERT INTO job_do (id, date_id, job_memo, alter_yn, e_dec_yn, complete_yn) "
                              "VALUES (?, ?, ?, ?, ?, ?)"),
               {id, dateId, isProtected ? FieldCodec::encode(text) : text, reminder, isProtected, completion});
}

inline bool addEntry(const QString &jobId, const QString &dateId, const QString &text, bool isProtected)
{
    return run(QStringLiteral("INSERT INTO job_do_sub (id, date_id, job_memo_sub, e_dec_yn) VALUES (?, ?, ?, ?)"),
               {jobId, dateId, isProtected ? FieldCodec::encode(text) : text, isProtected});
}

inline bool addNote(const QString &dateId, const QString &text)
{
    return run(QStringLiteral("INSERT INTO note_pad (date_id, note_memo) VALUES (?, ?)"),
               {dateId, FieldCodec::encode(text)});
}

// Every row of `sql`, each as its columns joined by " | ", sorted.
inline QStringList rows(const QString &sql)
{
    QSqlQuery query(Store::database());
    QStringList found;
    if (!query.exec(sql)) {
        qWarning() << sql << query.lastError().text();
        return {QStringLiteral("(error)")};
    }
    while (query.next()) {
        QStringList columns;
        for (int i = 0; i < query.record().count(); ++i)
            columns << query.value(i).toString();
        found << columns.join(QStringLiteral(" | "));
    }
    found.sort();
    return found;
}

inline QStringList jobs()
{
    return rows(QStringLiteral("SELECT id, date_id, job_memo, alter_yn, e_dec_yn, complete_yn FROM job_do"));
}

inline QStringList entries()
{
    return rows(QStringLiteral("SELECT id, date_id, job_memo_sub, e_dec_yn FROM job_do_sub"));
}

inline QStringList notes()
{
    return rows(QStringLiteral("SELECT date_id, note_memo FROM note_pad"));
}

} // namespace IcalRows
