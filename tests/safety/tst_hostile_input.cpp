// Every text the user can type into a field that reaches the store is kept
// exactly or refused whole with a clear message, and no other row changes.
#include "app/core/PasswordHash.h"
#include "app/core/PasswordRow.h"
#include "contacts/core/ContactColumns.h"
#include "contacts/core/OtherRepository.h"
#include "contacts/core/PersonRepository.h"
#include "contacts/core/UnitRepository.h"
#include "diary/core/NoteRepository.h"
#include "schedule/core/JobEntryRepository.h"
#include "schedule/core/JobRepository.h"
#include "store/FieldCodec.h"
#include "store/Store.h"
#include "TempStore.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

namespace {

const QStringList kTables = {
    QStringLiteral("note_pad"),    QStringLiteral("job_do"),     QStringLiteral("job_do_sub"),
    QStringLiteral("pe_info"),     QStringLiteral("pe_dw_info"), QStringLiteral("pe_other_info"),
    QStringLiteral("public_code"),
};

// Every row of every table, keyed "table/rowid".
QMap<QString, QString> snapshot()
{
    QMap<QString, QString> rows;
    for (const QString &table : kTables) {
        QSqlQuery q(Store::database());
        q.exec(QStringLiteral("SELECT rowid, * FROM ") + table);
        while (q.next()) {
            QStringList values;
            for (int i = 1; i < q.record().count(); ++i)
                values << q.value(i).toString();
            rows.insert(table + u'/' + q.value(0).toString(), values.join(QChar(0x1f)));
        }
    }
    return rows;
}

struct Outcome
{
    bool ok = false;
    QString error;
    QString table;
    qint64 rowid = -1;
    QString stored; // the text as read back
};

QString readBack(const QString &table, const QString &column, qint64 rowid)
{
    QSqlQuery q(Store::database());
    q.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?").arg(column, table));
    q.addBindValue(rowid);
    return q.exec() && q.next() ? q.value(0).toString() : QString();
}

qint64 lastRow(const QString &table)
{
    QSqlQuery q(Store::database());
    q.exec(QStringLiteral("SELECT max(rowid) FROM ") + table);
    return q.next() ? q.value(0).toLongLong() : -1;
}

// Saves `text` through the repository that owns `field` ("table.column").
Outcome save(const QString &field, const QString &text)
{
    const QString table = field.section(u'.', 0, 0);
    const QString column = field.section(u'.', 1);
    const QSqlDatabase db = Store::database();
    Outcome out;
    out.table = table;
    const QDateTime now(QDate(2026, 12, 10), QTime(9, 0));
    if (table == QLatin1String("note_pad")) {
        const Result<void> saved = NoteRepository(db).append(QStringLiteral("20261210090000"), text);
        out.ok = saved.ok();
        out.error = saved.error();
        out.rowid = lastRow(table);
        out.stored = FieldCodec::decode(readBack(table, column, out.rowid)).text;
        return out;
    }
    if (table == QLatin1String("job_do")) {
        JobRecord job;
        job.dateId = QStringLiteral("20261210000000");
        job.memo = text;
        job.completion = JobRecord::kOpenJob;
        const Result<void> saved = JobRepository(db).append(job, now);
        out.ok = saved.ok();
        out.error = saved.error();
        out.rowid = job.rowid;
    } else if (table == QLatin1String("job_do_sub")) {
        JobEntry entry;
        entry.jobId = QStringLiteral("20261210090000");
        entry.dateId = QStringLiteral("20261210090000");
        entry.memo = text;
        const Result<void> saved = JobEntryRepository(db).append(entry);
        out.ok = saved.ok();
        out.error = saved.error();
        out.rowid = entry.rowid;
    } else if (table == QLatin1String("pe_info")) {
        PersonRecord person;
        for (const QString &name : ContactColumns::kPersonTexts)
            person.texts << (name == column ? text : QStringLiteral("x"));
        const Result<void> saved = PersonRepository(db).append(person, now);
        out = {saved.ok(), saved.error(), table, person.rowid, {}};
    } else if (table == QLatin1String("pe_dw_info")) {
        UnitRecord unit;
        unit.id = QStringLiteral("20261210090000");
        for (const QString &name : ContactColumns::kUnitTexts)
            unit.texts << (name == column ? text : QStringLiteral("x"));
        const Result<void> saved = UnitRepository(db).append(unit);
        out = {saved.ok(), saved.error(), table, unit.rowid, {}};
    } else if (table == QLatin1String("pe_other_info")) {
        OtherRecord other;
        other.id = QStringLiteral("20261210090000");
        other.memo = text;
        const Result<void> saved = OtherRepository(db).append(other);
        out = {saved.ok(), saved.error(), table, other.rowid, {}};
    } else {
        // The password is kept as a hash: what must hold is that it checks.
        const Result<void> saved = PasswordRow(db).save(PasswordHash::make(text), true, false);
        const Result<PasswordRow::Values> values = PasswordRow(db).read();
        out.ok = saved.ok();
        out.error = values ? saved.error() : values.error();
        out.rowid = -1;
        out.stored =
            values && PasswordHash::verify(values->code, text) == PasswordHash::Check::Match ? text : QString();
        return out;
    }
    if (out.ok)
        out.stored = readBack(table, column, out.rowid);
    return out;
}

QStringList fields()
{
    QStringList list = {QStringLiteral("note_pad.note_memo"), QStringLiteral("job_do.job_memo"),
                        QStringLiteral("job_do_sub.job_memo_sub"), QStringLiteral("pe_other_info.pe_other_memo"),
                        QStringLiteral("public_code.pub_code")};
    for (const QString &column : ContactColumns::kPersonTexts)
        list << QStringLiteral("pe_info.") + column;
    for (const QString &column : ContactColumns::kUnitTexts)
        list << QStringLiteral("pe_dw_info.") + column;
    return list;
}

// The width a column allows, or 0 for unbounded text.
int widthOf(const QString &field)
{
    static const QMap<QString, int> widths = [] {
        QMap<QString, int> map;
        for (const QString &column : ContactColumns::kPersonTexts)
            map.insert(QStringLiteral("pe_info.") + column, column == QLatin1String("pe_memo") ? 0 : 50);
        for (const QString &column : ContactColumns::kUnitTexts)
            map.insert(QStringLiteral("pe_dw_info.") + column, column == QLatin1String("pe_memo") ? 0 : 255);
        return map;
    }();
    return widths.value(field);
}

} // namespace

class tst_hostile_input final : public QObject
{
    Q_OBJECT

private slots:
    void keptExactlyOrRefusedWhole_data();
    void keptExactlyOrRefusedWhole();
};

void tst_hostile_input::keptExactlyOrRefusedWhole_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    const QList<std::pair<const char *, QString>> texts = {
        {"quotes", QStringLiteral("O'Neil \"x\" '); DELETE FROM note_pad; --")},
        {"backslashes", QStringLiteral("C:\\dir\\n \\' \\\\ end\\")},
        {"percent", QStringLiteral("100% _a_ %s %n %1 %%")},
        {"control", QStringLiteral("a\x01\x02\t\r\n\x1b[31m\x7f b")},
        {"long", QString(10000, QChar(u'长'))},
        {"outside GBK", QStringLiteral("😀 𠀀 한국어 ﷺ \u200b\ufeff Ω̈")},
    };
    for (const QString &field : fields()) {
        for (const auto &[name, text] : texts)
            QTest::addRow("%s %s", qPrintable(field), name) << field << text;
    }
}

void tst_hostile_input::keptExactlyOrRefusedWhole()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    TempStore store;
    VERIFY_OK(store.make());
    QVERIFY(save(QStringLiteral("note_pad.note_memo"), QStringLiteral("a neighbour")).ok);
    const QMap<QString, QString> before = snapshot();

    const Outcome out = save(field, text);

    const int width = widthOf(field);
    if (width > 0 && text.size() > width) {
        QVERIFY(!out.ok);
        QVERIFY2(out.error.contains(QString::number(width)), qPrintable(out.error));
        QCOMPARE(snapshot(), before);
        return;
    }
    QVERIFY2(out.ok, qPrintable(out.error));
    QCOMPARE(out.stored, text);
    QMap<QString, QString> after = snapshot();
    const QString written = out.table + u'/' + QString::number(out.rowid);
    if (out.rowid >= 0)
        after.remove(written);
    else
        after.removeIf([](const auto &row) { return row.key().startsWith(QLatin1String("public_code/")); });
    QMap<QString, QString> unchanged = before;
    if (out.rowid < 0)
        unchanged.removeIf([](const auto &row) { return row.key().startsWith(QLatin1String("public_code/")); });
    QCOMPARE(after, unchanged);
}

QTEST_GUILESS_MAIN(tst_hostile_input)
#include "tst_hostile_input.moc"
