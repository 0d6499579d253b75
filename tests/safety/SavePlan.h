#pragma once

#include <QByteArray>
#include <QString>
#include <QStringEncoder>
#include <QStringList>

// What the save worker writes for save number `n`: every value follows from
// `n`, so after a kill the checker knows every column a saved row must hold.
// Saves take turns over the kinds below.
namespace SavePlan {

enum class Kind { Note, Job, Entry, Contact, Unit, Other, Import, Password, Count };

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

// Rows of the comma-separated file an import save reads.
inline constexpr int kImportRows = 4;

// The ten cells row `row` of import save `n` must give once read: a name
// that carries the save's key, the sex, and cells with commas, quotes and a
// line break that only a quoted field can hold.
inline QStringList importCells(qint64 n, int row)
{
    QStringList cells = {QStringLiteral("m%1-%2").arg(row).arg(key(n)),
                         row % 2 == 0 ? QStringLiteral("男") : QStringLiteral("女")};
    cells << QStringLiteral("i3,\"%1\"").arg(key(n)) << QStringLiteral("i4\n%1").arg(key(n));
    for (int column = 5; column <= 10; ++column)
        cells << QStringLiteral("i%1-%2").arg(column).arg(key(n));
    return cells;
}

// The file of import save `n` as it lies on disk: GBK bytes, CR LF.
inline QByteArray importFile(qint64 n)
{
    QString text;
    for (int row = 0; row < kImportRows; ++row) {
        QStringList fields;
        for (QString cell : importCells(n, row)) {
            if (cell.contains(u',') || cell.contains(u'"') || cell.contains(u'\n'))
                cell = u'"' + cell.replace(u'"', QStringLiteral("\"\"")) + u'"';
            fields << cell;
        }
        text += fields.join(u',') + QStringLiteral("\r\n");
    }
    QStringEncoder gbk("GB18030");
    return gbk.encode(text);
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
