#include "PasswordLogin.h"

#include "PasswordHash.h"

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
        if (!PasswordRow(m_db).read(&m_row, &m_error))
            return Outcome::StoreError;
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
