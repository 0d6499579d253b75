#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What the save worker writes for save number `n`: every value follows from
// `n`, so after a kill the checker knows every column a saved row must hold.
// Saves take turns over the seven kinds below.
namespace SavePlan {

enum class Kind { Note, Job, Entry, Contact, Unit, Other, Password, Count };

inline Kind kindOf(qint64 n)
{
    return Kind(n % qint64(Kind::Count));
}

// A stamp-shaped key of 14 characters that names save `n`.
inline QString key(qint64 n)
{
    return QStringLiteral("9%1").arg(n, 13, 10, QLatin1Char('0'));
}

// A long text, so a kill often lands while its pages are being written.
inline QString memo(qint64 n, const QString &what)
{
    const QString head = QStringLiteral("%1 %2 '引号' \\ %% 記事 😀 ").arg(what, key(n));
    return head + QString(3000, QChar(u'a' + int(n % 26)));
}

// A short text for a column of limited width (50 characters at most).
inline QString field(qint64 n, int column)
{
    return QStringLiteral("c%1-%2").arg(column).arg(key(n));
}

// A photo of some 20 KB whose bytes depend on `n`.
inline QByteArray photo(qint64 n)
{
    QByteArray bytes(20 * 1024, char(n % 251));
    bytes.replace(0, 2, "BM");
    bytes.append(key(n).toLatin1());
    return bytes;
}

inline QString password(qint64 n)
{
    return QStringLiteral("pw") + key(n);
}

inline bool flagA(qint64 n)
{
    return n % 2 == 0;
}

inline bool flagB(qint64 n)
{
    return n % 3 == 0;
}

} // namespace SavePlan
