#include "app/core/PasswordLogin.h"

#include "app/core/PasswordHash.h"

PasswordLogin::PasswordLogin(QSqlDatabase db)
    : m_db(std::move(db))
{
}

PasswordLogin::Outcome PasswordLogin::press(const QString &entry)
{
    if (m_attempts >= kAttempts)
        return Outcome::End;
    ++m_attempts;
    if (!m_rowRead) {
        Result<PasswordRow::Values> row = PasswordRow(m_db).read();
        if (!row) {
            m_error = row.error();
            return Outcome::StoreError;
        }
        m_row = std::move(row).value();
        m_rowRead = true;
    }
    // Without a row the stored password reads as empty, which no entry matches.
    if (!m_row.exists)
        return Outcome::Wrong;
    switch (PasswordHash::verify(m_row.code, entry)) {
    case PasswordHash::Check::Match:
        return Outcome::Right;
    case PasswordHash::Check::Mismatch:
        return Outcome::Wrong;
    case PasswordHash::Check::Unreadable:
        break;
    }
    return Outcome::Unreadable;
}
