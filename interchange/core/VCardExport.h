#pragma once

#include "interchange/core/CardContact.h"
#include "interchange/core/VCardWriter.h"
#include "store/Result.h"

#include <QByteArray>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>

// Writes contacts of the store as one vCard file. Each contact is named by
// its id; its personal record, work units and other information go into
// its card as the user reads them (a protected contact's texts decoded),
// the photo as PNG, and the UID the contact keeps for good, made on its
// first export. The work is done in steps, so a window can show progress.
class VCardExport final
{
public:
    // The contacts with these ids, in the order of their ids (the result
    // list's order); an id without a personal record is left out.
    static Result<VCardExport> start(const QSqlDatabase &db, const QStringList &ids, VCardWriter::Version version);

    // Writes cards until `budgetMs` has passed (at least one). Returns false
    // once finished or stopped by an error.
    bool step(qint64 budgetMs);
    bool finished() const { return m_finished || failed(); }
    bool failed() const { return !m_error.isEmpty(); }
    QString error() const { return m_error; }
    int done() const { return m_done; }
    int total() const { return m_total; }
    int cards() const { return m_cards; }
    // Contacts named that have no personal record, so no card.
    int leftOut() const { return m_leftOut; }
    // What the user should know: photos that could not be converted.
    QStringList notes() const { return m_notes; }
    const QByteArray &bytes() const { return m_bytes; }

    // The whole export in one call.
    static Result<VCardExport> run(const QSqlDatabase &db, const QStringList &ids, VCardWriter::Version version);

private:
    VCardExport(QSqlDatabase db, VCardWriter::Version version);
    Result<void> prepare(const QStringList &ids);
    Result<void> readUnits(const QString &idList);
    Result<void> readOthers(const QString &idList);
    void writeRow();

    QSqlDatabase m_db;
    VCardWriter::Version m_version;
    QSqlQuery m_people; // personal records of the contacts, by id then rowid
    QHash<QString, QString> m_uids;
    QHash<QString, QList<CardUnit>> m_units;
    QHash<QString, QList<CardOther>> m_others;
    QString m_lastId;
    int m_recordOfLast = 0; // personal records of m_lastId written so far
    QByteArray m_bytes;
    QStringList m_notes;
    QString m_error;
    int m_done = 0;
    int m_total = 0;
    int m_cards = 0;
    int m_leftOut = 0;
    bool m_finished = false;
};
