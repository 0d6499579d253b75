#include "PasswordRow.h"

#include "StoreError.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

PasswordRow::PasswordRow(QSqlDatabase db)
    : m_db(std::move(db))
{
}

bool PasswordRow::read(Values *values, QString *error) const
{
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("SELECT pub_code, pub_static_do_n, pub_static_do_d FROM public_code "
                                 "WHERE pub_id = :id ORDER BY rowid LIMIT 1"));
    query.bindValue(QStringLiteral(":id"), kRowId);
    if (!query.exec()) {
        *error = StoreError::text(query.lastError());
        return false;
    }
    *values = Values{};
    if (query.next()) {
        values->exists = true;
        values->code = query.value(0).toString();
        values->diaryNeedsPassword = query.value(1).toBool();
        values->scheduleNeedsPassword = query.value(2).toBool();
    }
    return true;
}

bool PasswordRow::save(const QString &code, bool diaryNeedsPassword, bool scheduleNeedsPassword,
                       QString *error) const
{
    QSqlQuery find(m_db);
    find.prepare(QStringLiteral("SELECT rowid FROM public_code WHERE pub_id = :id ORDER BY rowid LIMIT 1"));
    find.bindValue(QStringLiteral(":id"), kRowId);
    if (!find.exec()) {
        *error = StoreError::text(find.lastError());
        return false;
    }
    QSqlQuery write(m_db);
    if (find.next()) {
        write.prepare(QStringLiteral(
            "UPDATE public_code SET pub_code = :code, pub_end = :end, pub_static = 1, "
            "pub_static_do_n = :diary, pub_static_do_d = :schedule WHERE rowid = :rowid"));
        write.bindValue(QStringLiteral(":rowid"), find.value(0));
    } else {
        write.prepare(QStringLiteral(
            "INSERT INTO public_code (pub_id, pub_code, pub_end, pub_static, pub_static_do_n, "
            "pub_static_do_d) VALUES (:id, :code, :end, 1, :diary, :schedule)"));
        write.bindValue(QStringLiteral(":id"), kRowId);
    }
    find.finish();
    write.bindValue(QStringLiteral(":code"), code);
    write.bindValue(QStringLiteral(":end"), kEndMarker);
    write.bindValue(QStringLiteral(":diary"), diaryNeedsPassword);
    write.bindValue(QStringLiteral(":schedule"), scheduleNeedsPassword);
    if (!write.exec()) {
        *error = StoreError::text(write.lastError());
        return false;
    }
    return true;
}
