#include "app/core/StartPasswordFlag.h"

#include "store/Sql.h"

StartPasswordFlag::StartPasswordFlag(QSqlDatabase db)
    : m_db(std::move(db))
{
}

Result<StartPasswordFlag::State> StartPasswordFlag::read() const
{
    const Result<QVariant> area =
        Sql::scalar(m_db, QStringLiteral("SELECT area FROM area WHERE father = ? ORDER BY rowid LIMIT 1"), {kFather});
    if (!area)
        return fail(area.error());
    if (!area->isValid())
        return State::Unknown;
    const QString text = area->toString();
    if (text == kSetText)
        return State::Set;
    if (text == kNotSetText)
        return State::NotSet;
    return State::Unknown;
}

Result<void> StartPasswordFlag::write(bool passwordSet) const
{
    const Result<QVariant> rowid =
        Sql::scalar(m_db, QStringLiteral("SELECT rowid FROM area WHERE father = ? ORDER BY rowid LIMIT 1"), {kFather});
    if (!rowid)
        return fail(rowid.error());
    const QString text = passwordSet ? kSetText : kNotSetText;
    const Result<QSqlQuery> written =
        rowid->isValid() ? Sql::run(m_db, QStringLiteral("UPDATE area SET area = ? WHERE rowid = ?"), {text, *rowid})
                         : Sql::run(m_db, QStringLiteral("INSERT INTO area (areaID, area, father) VALUES (?, ?, ?)"),
                                    {kReservedId, text, kFather});
    if (!written)
        return fail(written.error());
    return {};
}
