// Times contact import and export: importing 10,000 rows through the import
// tab beside the engine inserting the same rows by itself, opening a
// 10,000-line file into its grid, and exporting 100,000 contacts to a file.
// Import and engine take turns over several rounds, each from the same empty
// table, and the medians are compared, so a disk busy with other work
// weighs on both alike.
//
//   bench_contact_transfer   (Release build; offscreen by default)

#include "contacts/core/ContactColumns.h"
#include "contacts/csv/ContactExport.h"
#include "contacts/csv/ContactImport.h"
#include "contacts/csv/ImportGrid.h"
#include "contacts/windows/ImportPanel.h"
#include "platform/AppPaths.h"
#include "platform/ui/Dialogs.h"
#include "store/Store.h"
#include "store/TimeStamp.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kRounds = 5;

QByteArray lines(int count)
{
    QByteArray text;
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("联系人%1,男,\"北京市,海淀区 %1\",139%2,-,010-6000,100000,110101,户籍地址,qq%1\r\n")
                    .arg(i)
                    .arg(i, 8, 10, QLatin1Char('0'))
                    .toUtf8();
    return text;
}

int count(const QString &sql)
{
    QSqlQuery query(Store::database());
    query.exec(sql);
    query.next();
    return query.value(0).toInt();
}

void report(const char *what, qint64 ms, qint64 limit)
{
    std::printf("%-44s %6lld ms (target <= %lld ms) %s\n", what, static_cast<long long>(ms),
                static_cast<long long>(limit), ms <= limit ? "ok" : "OVER");
}

// Every contact removed and the file shrunk back, so each timed round
// starts from the same store. Secure delete would zero every freed page
// first, which the file's shrinking makes needless here.
void emptyContacts()
{
    QSqlQuery(Store::database()).exec(QStringLiteral("PRAGMA secure_delete = OFF"));
    QSqlQuery(Store::database()).exec(QStringLiteral("DELETE FROM pe_info"));
    QSqlQuery(Store::database()).exec(QStringLiteral("VACUUM"));
    QSqlQuery(Store::database()).exec(QStringLiteral("PRAGMA secure_delete = ON"));
}

qint64 median(QList<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

// The engine alone writing the rows an import writes: every value made
// before the clock starts, then one statement prepared once, every value
// bound, one transaction.
qint64 rawInsert(const ImportGrid &grid, const QByteArray &photo)
{
    using namespace ContactColumns;
    QList<QVariantList> rows;
    const QDateTime start = QDateTime::currentDateTime();
    for (int r = 1; r < grid.rowCount(); ++r) {
        const PersonRecord record = ContactImport::record(grid.fields(r), photo);
        QVariantList values;
        for (const QString &text : record.texts)
            values << text;
        values << record.male << record.photo << record.encoded << TimeStamp::format(start.addSecs(r));
        rows << values;
    }
    QSqlDatabase db = Store::database();
    QElapsedTimer timer;
    timer.start();
    db.transaction();
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("INSERT INTO %1 (%2, %3, %4, %5, %6) VALUES (?%7)")
                       .arg(kPersonTable, kPersonTexts.join(QStringLiteral(", ")), kSex, kPhoto, kEncoded, kId,
                            QStringLiteral(", ?").repeated(PersonTextCount + 3)));
    for (const QVariantList &values : std::as_const(rows)) {
        for (int i = 0; i < values.size(); ++i)
            insert.bindValue(i, values.at(i));
        if (!insert.exec())
            return -1;
    }
    if (!db.commit())
        return -1;
    return timer.elapsed();
}

// The import tab importing every row of its grid, until its progress bar
// is gone again.
qint64 importThroughPanel(QApplication &app, ImportPanel &panel)
{
    QAbstractButton *import = panel.findChild<QAbstractButton *>(QStringLiteral("iImport"));
    if (!import)
        return -1;
    QElapsedTimer timer;
    timer.start();
    import->click();
    while (panel.isImporting())
        app.processEvents();
    const qint64 ms = timer.elapsed();
    for (const Dialogs::Shown &shown : Dialogs::takeShown()) {
        std::fprintf(stderr, "box: %s\n", qPrintable(shown.text));
        return -1;
    }
    return ms;
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Dialogs::setScripted(true); // a box must fail the run, not wait for a click
    QTemporaryDir dir;
    const QString path = dir.filePath("pad.db");
    if (!QFile::copy(QStringLiteral(VELMORA_TEMPLATE_STORE), path)
        || !QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner)
        || Store::open(path).status != Store::Status::Ready) {
        std::fprintf(stderr, "cannot open a copy of the supplied store\n");
        return 1;
    }
    AppPaths::setHome(QStringLiteral(VELMORA_RUNTIME_DIR)); // pic/null_pic.bmp
    QSqlQuery(Store::database()).exec(QStringLiteral("DELETE FROM pe_info"));
    const QString file = dir.filePath("contacts.csv");
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(lines(10000)) < 0)
        return 1;
    out.close();

    ImportPanel panel(Store::database());
    panel.resize(560, 480);
    panel.show();
    QElapsedTimer timer;
    timer.start();
    panel.openFile(file);
    app.processEvents();
    report("open a 10,000-line file into the grid", timer.elapsed(), 1000);
    if (panel.grid().rowCount() != 10001)
        return 1;

    QFile photoFile(AppPaths::file(QStringLiteral("pic/null_pic.bmp")));
    if (!photoFile.open(QIODevice::ReadOnly))
        return 1;
    const QByteArray photo = photoFile.readAll();
    QList<qint64> raws;
    QList<qint64> imports;
    for (int round = 0; round < kRounds; ++round) {
        emptyContacts();
        raws << rawInsert(panel.grid(), photo);
        emptyContacts();
        imports << importThroughPanel(app, panel);
        if (raws.last() < 0 || imports.last() < 0)
            return 1;
    }
    const qint64 raw = median(raws);
    const qint64 imported = median(imports);
    std::printf("%-44s %6lld ms (median of %d)\n", "engine alone inserting the same rows", static_cast<long long>(raw),
                kRounds);
    report("import 10,000 rows (median)", imported, 3000);
    std::printf("%-44s %6.2f (target <= 1.50) %s\n", "import / engine alone", double(imported) / double(raw),
                imported * 2 <= raw * 3 ? "ok" : "OVER");
    if (count(QStringLiteral("SELECT count(DISTINCT pe_id) FROM pe_info")) != 10000)
        return 1;

    // Nine more copies of every row, k years later (an id keeps its 14
    // digits), make 100,000 contacts.
    QSqlQuery copy(Store::database());
    const bool copied =
        copy.exec(QStringLiteral("WITH RECURSIVE n(k) AS (SELECT 1 UNION ALL SELECT k + 1 FROM n WHERE k < 9) "
                                 "INSERT INTO pe_info (pe_id, pe_name, pe_sex, n_add, pe_mib, pe_other, pe_h_tel, "
                                 "post, pe_code, code_add, net_con, pe_memo, pe_img, e_dec_yn) "
                                 "SELECT (substr(pe_id, 1, 4) + k) || substr(pe_id, 5), pe_name, pe_sex, n_add, "
                                 "pe_mib, pe_other, pe_h_tel, post, "
                                 "pe_code, code_add, net_con, pe_memo, pe_img, e_dec_yn FROM pe_info, n"));
    if (!copied || count(QStringLiteral("SELECT count(DISTINCT pe_id) FROM pe_info")) != 100000) {
        std::fprintf(stderr, "cannot copy the imported rows\n");
        return 1;
    }
    QList<ContactSearch::Hit> hits;
    QSqlQuery all(Store::database());
    all.exec(QStringLiteral("SELECT rowid, pe_id FROM pe_info ORDER BY pe_id"));
    while (all.next())
        hits << ContactSearch::Hit{all.value(0).toLongLong(), all.value(1).toString()};
    timer.restart();
    const Result<ContactExport::Exported> result =
        ContactExport::build(Store::database(), ContactSearch::Kind::Name, hits);
    QFile target(dir.filePath("out.csv"));
    if (!result.ok() || !target.open(QIODevice::WriteOnly) || target.write(result->bytes) < 0)
        return 1;
    target.close();
    report("export 100,000 contacts", timer.elapsed(), 2000);
    return result->lines == 100000 ? 0 : 1;
}
