#include "StartPasswordFlag.h"

#include "StoreError.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

StartPasswordFlag::StartPasswordFlag(QSqlDatabase db)
    : m_db(std::move(db))
{
}

StartPasswordFlag::State StartPasswordFlag::read(QString *error) const
{
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("SELECT area FROM area WHERE father = :father ORDER BY rowid LIMIT 1"));
    query.bindValue(QStringLiteral(":father"), kFather);
    if (!query.exec()) {
        if (error)
            *error = StoreError::text(query.lastError());
        return State::Unknown;
    }
    if (!query.next())
        return State::Unknown;
    const QString text = query.value(0).toString();
    if (text == kSetText)
        return State::Set;
    if (text == kNotSetText)
        return State::NotSet;
    return State::Unknown;
}

bool StartPasswordFlag::write(bool passwordSet, QString *error) const
{
    QSqlQuery find(m_db);
    find.prepare(QStringLiteral("SELECT rowid FROM area WHERE father = :father ORDER BY rowid LIMIT 1"));
    find.bindValue(QStringLiteral(":father"), kFather);
    if (!find.exec()) {
        *error = StoreError::text(find.lastError());
        return false;
    }
    QSqlQuery write(m_db);
    if (find.next()) {
        write.prepare(QStringLiteral("UPDATE area SET area = :text WHERE rowid = :rowid"));
        write.bindValue(QStringLiteral(":rowid"), find.value(0));
    } else {
        write.prepare(QStringLiteral("INSERT INTO area (areaID, area, father) VALUES (:id, :text, :father)"));
        write.bindValue(QStringLiteral(":id"), kReservedId);
        write.bindValue(QStringLiteral(":father"), kFather);
    }
    find.finish();
    write.bindValue(QStringLiteral(":text"), passwordSet ? kSetText : kNotSetText);
    if (!write.exec()) {
        *error = StoreError::text(write.lastError());
        return false;
    }
    return true;
}
