#pragma once

#include "store/Result.h"

#include <QSqlDatabase>
#include <QString>

// The start-up password flag: the reserved row of `area` whose father key is
// used by no city. Its area text says whether the password is asked at start.
class StartPasswordFlag final
{
public:
    enum class State {
        NotSet,  // "乌苏尔市"
        Set,     // "乌苏尔尔市"
        Unknown, // any other text, or no row
    };

    static inline const QString kFather = QStringLiteral("671000");
    static inline const QString kReservedId = QStringLiteral("671001");
    static inline const QString kNotSetText = QStringLiteral("乌苏尔市");
    static inline const QString kSetText = QStringLiteral("乌苏尔尔市");

    explicit StartPasswordFlag(QSqlDatabase db);

    // Fails when the store cannot be read.
    Result<State> read() const;
    // Edits the reserved row; puts it back first if the record file lost it,
    // so that a password just set is asked for at the next start.
    Result<void> write(bool passwordSet) const;

private:
    QSqlDatabase m_db;
};
