#pragma once
#include "contacts/core/ContactRecords.h"
#include "contacts/core/PersonRepository.h"

#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QStringList>

#include <limits>

// Turns rows of the import grid into new contacts. The work is split into
// steps so that the window can answer the user between them.
class ContactImport final
{
public:
    // "男", "true" or an empty cell is male; the comparison is exact.
    static bool isMale(const QString &cell);
    // The new contact of one grid row (`fields[0]` is grid column 1).
    static PersonRecord record(const QStringList &fields, const QByteArray &photo);

    ContactImport(QSqlDatabase db, QList<QStringList> rows, QByteArray photo);
    // Imports rows until `budgetMs` has passed (at least one row). Each row
    // gets the next second that no contact holds, starting at `now`.
    // Returns false once finished or stopped by an error.
    bool step(const QDateTime &now, qint64 budgetMs);
    int done() const { return m_done; }
    int total() const { return int(m_rows.size()); }
    bool finished() const { return m_done >= total() || failed(); }
    bool failed() const { return !m_error.isEmpty(); }
    QString error() const { return m_error; }

private:
    bool importOne(PersonAppender &appender, qint64 nowSecs);

    QSqlDatabase m_db;
    QList<QStringList> m_rows;
    QByteArray m_photo;
    int m_done = 0;
    // Seconds since the epoch, later than every id given so far.
    qint64 m_nextFree = std::numeric_limits<qint64>::min();
    QString m_error;
};
