#pragma once

#include "app/core/PasswordRow.h"

#include <QSqlDatabase>
#include <QString>

// The start-up password check: three attempts, and the press after them ends
// the program whatever was entered. The password row is read at the first
// attempt and kept.
class PasswordLogin final
{
public:
    enum class Outcome {
        Right,      // the entry is the password; flags() hold the row's flags
        Wrong,      // message 1, try again
        Unreadable, // the stored value is in no known form: message 2, the program ends
        StoreError, // the row could not be read: error() says why
        End,        // attempts used up: the program ends
    };

    static constexpr int kAttempts = 3;

    explicit PasswordLogin(QSqlDatabase db);

    Outcome press(const QString &entry);
    int attempts() const { return m_attempts; }
    const PasswordRow::Values &row() const { return m_row; }
    QString error() const { return m_error; }

private:
    QSqlDatabase m_db;
    int m_attempts = 0;
    bool m_rowRead = false;
    PasswordRow::Values m_row;
    QString m_error;
};
