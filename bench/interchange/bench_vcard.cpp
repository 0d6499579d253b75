// Times vCard export and import: 100,000 contacts (a third with a work
// unit, a tenth with other information) exported to one file, the first
// time (each contact is given its UID) and again; then 10,000 cards with a
// phone-sized JPEG photo each read, checked and written into an empty
// store, and the same file read again, updating every contact.
//
//   bench_vcard   (Release build; offscreen by default)

#include "BenchTiming.h"
#include "interchange/core/CardPhoto.h"
#include "interchange/core/VCardExport.h"
#include "interchange/core/VCardImport.h"
#include "store/Store.h"

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>

namespace {

const QDateTime kNow(QDate(2026, 5, 1), QTime(8, 0));

using BenchTiming::report;
using BenchTiming::Stopwatch;
using BenchTiming::Timing;

bool exec(const QString &sql)
{
    QSqlQuery query(Store::database());
    if (query.exec(sql))
        return true;
    std::fprintf(stderr, "%s\n", qPrintable(query.lastError().text()));
    return false;
}

// Every contact removed and the file shrunk back, so each timed write
// starts from the same store: pages freed by a delete would be journaled
// again when reused. Secure delete would zero every freed page first, which
// the shrinking makes needless here.
void emptyContacts()
{
    exec(QStringLiteral("PRAGMA secure_delete = OFF"));
    for (const char *table : {"pe_info", "pe_dw_info", "pe_other_info", "record_uid"})
        exec(QStringLiteral("DELETE FROM ") + QLatin1String(table));
    exec(QStringLiteral("VACUUM"));
    exec(QStringLiteral("PRAGMA secure_delete = ON"));
}

int count(const QString &sql)
{
    QSqlQuery query(Store::database());
    query.exec(sql);
    query.next();
    return query.value(0).toInt();
}

// 100,000 contacts made by the engine itself, so only the export is timed.
bool addContacts()
{
    return exec(QStringLiteral(
               "WITH RECURSIVE n(k) AS (SELECT 0 UNION ALL SELECT k + 1 FROM n WHERE k < 99999) "
               "INSERT INTO pe_info (pe_id, pe_name, pe_sex, n_add, pe_mib, pe_other, pe_h_tel, post, pe_code, "
               "code_add, net_con, pe_memo, pe_img, e_dec_yn) SELECT printf('2020%010d', k), '联系人' || k, k % 2, "
               "'北京市海淀区中关村大街' || k || '号', '139' || printf('%08d', k), '-', '010-6000' || k, '100080', "
               "'11010119900101' || printf('%04d', k % 10000), '河北省保定市', 'user' || k || '@example.com', "
               "'备注; 第一行' || char(10) || '第二行', '', 0 FROM n"))
           && exec(
               QStringLiteral("INSERT INTO pe_dw_info (pe_id, dw_name, dw_add, dw_tel, dw_fax, dw_url, pe_memo, "
                              "e_dec_yn) SELECT pe_id, '星河科技有限公司', '北京市朝阳区建国路88号', '010-85551234', "
                              "'010-85551235', 'www.example.com', '负责华北区销售', 0 FROM pe_info "
                              "WHERE rowid % 3 = 0"))
           && exec(QStringLiteral("INSERT INTO pe_other_info (pe_id, pe_other_memo, e_dec_yn) "
                                  "SELECT pe_id, '生日 5月1日', 0 FROM pe_info WHERE rowid % 10 = 0"));
}

QStringList allIds()
{
    QStringList ids;
    QSqlQuery query(Store::database());
    query.exec(QStringLiteral("SELECT pe_id FROM pe_info ORDER BY pe_id"));
    while (query.next())
        ids << query.value(0).toString();
    return ids;
}

Timing timedExport(int *cards)
{
    const QStringList ids = allIds();
    const Stopwatch watch;
    Result<VCardExport> run = VCardExport::run(Store::database(), ids, VCardWriter::Version::V30);
    const Timing taken = watch.elapsed();
    *cards = run ? run->cards() : -1;
    return taken;
}

// A phone's contact picture: 96 by 96 pixels, JPEG.
QByteArray photo()
{
    QImage image(96, 96, QImage::Format_RGB32);
    for (int y = 0; y < 96; ++y) {
        for (int x = 0; x < 96; ++x)
            image.setPixel(x, y, qRgb(x * 2, y * 2, (x + y) % 256));
    }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 85);
    return jpeg;
}

QByteArray cards(int count)
{
    QByteArray out;
    const QByteArray picture = photo();
    for (int i = 0; i < count; ++i) {
        CardContact contact;
        contact.uid = QStringLiteral("bench-%1").arg(i);
        contact.personTexts = {QStringLiteral("联系人%1").arg(i),
                               QStringLiteral("北京市海淀区中关村大街%1号").arg(i),
                               QStringLiteral("139%1").arg(i, 8, 10, QLatin1Char('0')),
                               QString(),
                               QStringLiteral("010-6000%1").arg(i),
                               QStringLiteral("100080"),
                               QString(),
                               QStringLiteral("河北省保定市"),
                               QStringLiteral("user%1@example.com").arg(i),
                               QStringLiteral("第一行\n第二行")};
        contact.male = i % 2 == 0;
        contact.photo = picture;
        CardUnit unit;
        unit.texts = {QStringLiteral("星河科技有限公司"), QStringLiteral("北京市朝阳区建国路88号"),
                      QStringLiteral("010-85551234"),     QString(),
                      QStringLiteral("www.example.com"),  QStringLiteral("负责华北区销售")};
        contact.units << unit;
        VCardWriter::append(out, contact, VCardWriter::Version::V30);
    }
    return out;
}

Timing timedImport(const QByteArray &file, int *written)
{
    const Stopwatch watch;
    Result<VCardImport> import = VCardImport::fromBytes(Store::database(), file);
    if (!import)
        return {-1, -1};
    while (import->readStep(100)) { }
    import->startWriting({true, false}, kNow);
    while (import->writeStep(100)) { }
    const Timing taken = watch.elapsed();
    if (!import->error().isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(import->error()));
    *written = import->count(CardPlan::Outcome::Added) + import->count(CardPlan::Outcome::Updated);
    return taken;
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath("pad.db");
    if (!QFile::copy(QStringLiteral(VELMORA_TEMPLATE_STORE), path)
        || !QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner)
        || Store::open(path).status != Store::Status::Ready) {
        std::fprintf(stderr, "cannot open a copy of the supplied store\n");
        return 1;
    }
    if (!exec(QStringLiteral("DELETE FROM pe_info")) || !addContacts())
        return 1;
    QFile load(QStringLiteral("/proc/loadavg"));
    if (load.open(QIODevice::ReadOnly))
        std::printf("load average: %s", load.readLine().constData());

    int exported = 0;
    report("export 100,000 contacts, UIDs made", timedExport(&exported), 3000);
    if (exported != 100000)
        return 1;
    report("export 100,000 contacts again", timedExport(&exported), 3000);

    emptyContacts();
    const QByteArray file = cards(10000);
    std::printf("%-40s %6.1f MB\n", "file of 10,000 cards with photos", double(file.size()) / 1e6);
    {
        // The engine alone writing what the import writes: the personal
        // record with its BMP photo, the unit and the UID of every card.
        const Result<QByteArray> bmp = CardPhoto::toStored(photo());
        QSqlDatabase db = Store::database();
        const Stopwatch watch;
        db.transaction();
        QSqlQuery person(db), unit(db), uid(db);
        person.prepare(QStringLiteral("INSERT INTO pe_info (pe_id, pe_name, n_add, pe_mib, pe_other, pe_h_tel, post, "
                                      "pe_code, code_add, net_con, pe_memo, pe_sex, pe_img, e_dec_yn) "
                                      "VALUES (?, ?, ?, ?, '-', ?, '100080', '-', '河北省保定市', ?, ?, 1, ?, 0)"));
        unit.prepare(QStringLiteral("INSERT INTO pe_dw_info (pe_id, dw_name, dw_add, dw_tel, dw_fax, dw_url, pe_memo, "
                                    "e_dec_yn) VALUES (?, '星河科技有限公司', '北京市朝阳区建国路88号', "
                                    "'010-85551234', '-', 'www.example.com', '负责华北区销售', 0)"));
        uid.prepare(QStringLiteral("INSERT INTO record_uid (kind, record_key, uid) VALUES ('contact', ?, ?)"));
        for (int i = 0; i < 10000; ++i) {
            const QString id = QStringLiteral("2026%1").arg(i, 10, 10, QLatin1Char('0'));
            const QVariantList values{id,
                                      QStringLiteral("联系人%1").arg(i),
                                      QStringLiteral("北京市海淀区中关村大街%1号").arg(i),
                                      QStringLiteral("139%1").arg(i, 8, 10, QLatin1Char('0')),
                                      QStringLiteral("010-6000%1").arg(i),
                                      QStringLiteral("user%1@example.com").arg(i),
                                      QStringLiteral("第一行\n第二行"),
                                      *bmp};
            for (int v = 0; v < values.size(); ++v)
                person.bindValue(v, values.at(v));
            unit.bindValue(0, id);
            uid.bindValue(0, id);
            uid.bindValue(1, QStringLiteral("bench-%1").arg(i));
            if (!person.exec() || !unit.exec() || !uid.exec())
                return 1;
        }
        db.commit();
        const Timing taken = watch.elapsed();
        std::printf("%-40s %6lld ms, processor %6lld ms\n", "engine alone writing the same rows",
                    static_cast<long long>(taken.wallMs), static_cast<long long>(taken.cpuMs));
        emptyContacts();
    }
    int written = 0;
    report("import 10,000 cards with photos", timedImport(file, &written), 3000);
    if (written != 10000 || count(QStringLiteral("SELECT count(DISTINCT pe_id) FROM pe_info")) != 10000)
        return 1;
    report("import them again, updating each", timedImport(file, &written), 3000);
    return written == 10000 && count(QStringLiteral("SELECT count(*) FROM pe_info")) == 10000 ? 0 : 1;
}
