#pragma once

#include "store/Result.h"

#include <QSqlDatabase>
#include <QString>

// The password row of public_code (pub_id "2"): the stored password and the
// two needs-password flags. It does not exist until a password is first saved.
class PasswordRow final
{
public:
    struct Values
    {
        bool exists = false;
        QString code;                       // pub_code as stored
        bool diaryNeedsPassword = false;    // pub_static_do_n
        bool scheduleNeedsPassword = false; // pub_static_do_d
    };

    static inline const QString kRowId = QStringLiteral("2");
    // Written with every save; nothing reads it.
    static inline const QString kEndMarker = QStringLiteral("%4tw=83QmZRy9!#&:^");

    explicit PasswordRow(QSqlDatabase db);

    // Fails when the store cannot be read.
    Result<Values> read() const;
    // Edits the first password row, or appends one when there is none.
    Result<void> save(const QString &code, bool diaryNeedsPassword, bool scheduleNeedsPassword) const;

private:
    QSqlDatabase m_db;
};
