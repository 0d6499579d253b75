#include "app/core/PasswordRow.h"

#include "store/Sql.h"

PasswordRow::PasswordRow(QSqlDatabase db)
    : m_db(std::move(db))
{
}

Result<PasswordRow::Values> PasswordRow::read() const
{
    Result<QSqlQuery> query = Sql::read(m_db,
                                        QStringLiteral("SELECT pub_code, pub_static_do_n, pub_static_do_d "
                                                       "FROM public_code WHERE pub_id = ? ORDER BY rowid LIMIT 1"),
                                        {kRowId});
    if (!query)
        return fail(query.error());
    Values values;
    if (query->next()) {
        values.exists = true;
        values.code = query->value(0).toString();
        values.diaryNeedsPassword = query->value(1).toBool();
        values.scheduleNeedsPassword = query->value(2).toBool();
    }
    return values;
}

Result<void> PasswordRow::save(const QString &code, bool diaryNeedsPassword, bool scheduleNeedsPassword) const
{
    const Result<QVariant> rowid = Sql::scalar(
        m_db, QStringLiteral("SELECT rowid FROM public_code WHERE pub_id = ? ORDER BY rowid LIMIT 1"), {kRowId});
    if (!rowid)
        return fail(rowid.error());
    QVariantMap values = {{QStringLiteral(":code"), code},
                          {QStringLiteral(":end"), kEndMarker},
                          {QStringLiteral(":diary"), diaryNeedsPassword},
                          {QStringLiteral(":schedule"), scheduleNeedsPassword}};
    QString statement;
    if (rowid->isValid()) {
        statement = QStringLiteral("UPDATE public_code SET pub_code = :code, pub_end = :end, pub_static = 1, "
                                   "pub_static_do_n = :diary, pub_static_do_d = :schedule WHERE rowid = :rowid");
        values.insert(QStringLiteral(":rowid"), *rowid);
    } else {
        statement = QStringLiteral("INSERT INTO public_code (pub_id, pub_code, pub_end, pub_static, pub_static_do_n, "
                                   "pub_static_do_d) VALUES (:id, :code, :end, 1, :diary, :schedule)");
        values.insert(QStringLiteral(":id"), kRowId);
    }
    if (const Result<QSqlQuery> written = Sql::run(m_db, statement, values); !written)
        return fail(written.error());
    return {};
}
