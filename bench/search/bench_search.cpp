// Times the search indexes over a large store. Run from a Release build:
//   bench_search [notes [contacts]]   (default 100000 each)
// It copies the supplied pad.db, writes the notes as a store of version 5
// held them (no index), times the upgrade's fill of the text index, then
// times searches of terms of three and more characters (trigram index) and
// of one and two (substring test), and a reading lookup over the contacts.
//
// Notes are about 500 characters of made-up prose: two-character words drawn
// from a vocabulary of 4000 with a Zipf spread, as real writing repeats
// itself, with a few Latin words and line breaks.
#include "search/core/IndexFill.h"
#include "search/core/TextSearch.h"
#include "store/FieldCodec.h"
#include "store/IndexSchema.h"
#include "store/Sql.h"
#include "store/Store.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace {

constexpr int kWords = 4000;

// The words of the made-up prose; word i is drawn with a weight of 1/(i+1).
struct Prose
{
    QStringList words;
    QList<double> cumulative;

    explicit Prose(QRandomGenerator &random)
    {
        double sum = 0;
        for (int i = 0; i < kWords; ++i) {
            words << QString(QChar(char16_t(0x4e00 + random.bounded(3500))))
                         + QChar(char16_t(0x4e00 + random.bounded(3500)));
            sum += 1.0 / (i + 1);
            cumulative << sum;
        }
    }

    QString word(QRandomGenerator &random) const
    {
        const double at = random.generateDouble() * cumulative.last();
        return words.at(std::lower_bound(cumulative.begin(), cumulative.end(), at) - cumulative.begin());
    }

    QString note(QRandomGenerator &random) const
    {
        QString text;
        const int length = 450 + int(random.bounded(100));
        while (text.size() < length) {
            const int roll = int(random.bounded(40));
            if (roll == 0)
                text += u'\n';
            else if (roll == 1)
                text += QStringLiteral(" report ");
            else if (roll == 2)
                text += u'，';
            else
                text += word(random);
        }
        return text;
    }
};

// This thread's CPU time: on a shared machine wall time also counts the
// waits for a core.
double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

bool run(const QString &statement, const QVariantList &values = {})
{
    const Result<QSqlQuery> done = Sql::run(Store::database(), statement, values);
    if (!done)
        std::fprintf(stderr, "%s\n", qPrintable(done.error()));
    return done.ok();
}

// The notes as an older program wrote them: without the index triggers.
bool writeNotes(int count, const Prose &prose, QRandomGenerator &random)
{
    for (const char *event : {"insert", "update", "delete"})
        if (!run(QStringLiteral("DROP TRIGGER search_note_pad_%1").arg(QLatin1String(event))))
            return false;
    QSqlDatabase db = Store::database();
    db.transaction();
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("INSERT INTO note_pad (date_id, note_memo) VALUES (?, ?)"));
    QDateTime moment(QDate(1999, 1, 1), QTime(8, 0));
    for (int i = 0; i < count; ++i) {
        moment = moment.addSecs(600 + random.bounded(7200));
        QString text = prose.note(random);
        // A rare term, in one note of a thousand.
        if (i % 1000 == 500)
            text.insert(text.size() / 2, QStringLiteral("仓库租赁合同"));
        insert.addBindValue(moment.toString(QStringLiteral("yyyyMMddHHmmss")));
        insert.addBindValue(FieldCodec::encode(text));
        if (!insert.exec())
            return false;
    }
    return db.commit() && IndexSchema::addTextIndex(db).ok();
}

bool writeContacts(int count, QRandomGenerator &random)
{
    const QString surnames = QStringLiteral("王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹彭曾单");
    const QString given = QStringLiteral("伟芳娜秀英敏静丽强磊军洋勇艳杰娟涛明超兰霞平刚三国华建新志文");
    QSqlDatabase db = Store::database();
    db.transaction();
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("INSERT INTO pe_info (pe_id, pe_name) VALUES (?, ?)"));
    for (int i = 0; i < count; ++i) {
        QString name(surnames.at(random.bounded(surnames.size())));
        for (int n = 1 + int(random.bounded(2)); n > 0; --n)
            name += given.at(random.bounded(given.size()));
        insert.addBindValue(QString::number(20000101000000LL + i));
        insert.addBindValue(name);
        if (!insert.exec())
            return false;
    }
    return db.commit();
}

struct Timing
{
    double median = 0;
    double cpuMedian = 0;
    double max = 0;
    int hits = 0;
};

template <typename Work> Timing timeIt(int repeats, Work work)
{
    QList<double> ms;
    QList<double> cpu;
    Timing t;
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer timer;
        timer.start();
        const double start = cpuMs();
        t.hits = work();
        cpu << cpuMs() - start;
        ms << msSince(timer);
    }
    std::sort(ms.begin(), ms.end());
    std::sort(cpu.begin(), cpu.end());
    t.cpuMedian = cpu[cpu.size() / 2];
    t.median = ms[ms.size() / 2];
    t.max = ms.last();
    return t;
}

void reportSearch(const QString &term, double target)
{
    const TextSearch search(Store::database());
    const Timing t = timeIt(15, [&] {
        const Result<TextSearch::Found> found = search.find(term, {true, true});
        return found ? int(found->hits.size()) + (found->more ? 1 : 0) : -1;
    });
    std::printf("search %-14s %4d%s hits  median %7.2f ms  max %7.2f ms  cpu median %7.2f ms  (target %.0f ms)\n",
                qPrintable(u'"' + term + u'"'), std::min(t.hits, TextSearch::kLimit),
                t.hits > TextSearch::kLimit ? "+" : " ", t.median, t.max, t.cpuMedian, target);
}

void reportReading(const QString &typed)
{
    const Timing t = timeIt(15, [&] {
        const Result<QVariant> n = Sql::scalar(
            Store::database(),
            QStringLiteral("SELECT count(*) FROM pe_info_reading WHERE reading_matches(syllables, ?)"), {typed});
        return n ? n->toInt() : -1;
    });
    const Timing listed = timeIt(15, [&] {
        Result<QSqlQuery> rows = Sql::read(
            Store::database(),
            QStringLiteral("SELECT rowid FROM pe_info WHERE rowid IN (SELECT source_rowid FROM pe_info_reading "
                           "WHERE reading_matches(syllables, ?)) ORDER BY pe_id"),
            {typed});
        int n = 0;
        while (rows && rows->next())
            ++n;
        return n;
    });
    std::printf("reading %-10s %6d contacts  count median %6.2f ms (cpu %6.2f)  max %6.2f | listed by pe_id "
                "median %6.2f ms  (target 30 ms)\n",
                qPrintable(u'"' + typed + u'"'), t.hits, t.median, t.cpuMedian, t.max, listed.median);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int notes = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int contacts = argc > 2 ? std::atoi(argv[2]) : 100000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pad.db"));
    if (!QFile::copy(QStringLiteral(VELMORA_TEMPLATE_STORE), path)
        || !QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner)
        || Store::open(path).status != Store::Status::Ready) {
        std::fprintf(stderr, "cannot open a copy of the supplied store\n");
        return 1;
    }
    QRandomGenerator random(20241211);
    const Prose prose(random);
    if (!writeNotes(notes, prose, random)) {
        std::fprintf(stderr, "cannot write the notes\n");
        return 1;
    }

    QElapsedTimer building;
    building.start();
    const double cpuStart = cpuMs();
    qint64 shown = 0;
    double lastBatch = 0;
    const Result<void> filled = IndexFill(Store::database()).run([&](qint64 done, qint64) {
        shown = done;
        lastBatch = msSince(building);
        return true;
    });
    if (!filled) {
        std::fprintf(stderr, "fill: %s\n", qPrintable(filled.error()));
        return 1;
    }
    std::printf("index of %lld notes built in %.1f s, cpu %.1f s (target 30 s), of which the final merge %.1f s; "
                "store %.0f MB\n",
                shown, msSince(building) / 1000, (cpuMs() - cpuStart) / 1000, (msSince(building) - lastBatch) / 1000,
                double(QFile(path).size()) / 1e6);

    // One more note, saved as a user saves it: the triggers index it.
    const Timing save = timeIt(15, [&] {
        return run(QStringLiteral("INSERT INTO note_pad (date_id, note_memo) VALUES ('20991231000000', ?)"),
                   {FieldCodec::encode(prose.note(random))});
    });
    std::printf("save of one note with its index rows: median %.2f ms\n", save.median);

    const QString common = prose.words.at(0);
    const QString middling = prose.words.at(200);
    reportSearch(QStringLiteral("仓库租赁合同"), 50);
    reportSearch(QStringLiteral("租赁合"), 50);
    reportSearch(prose.words.at(3) + prose.words.at(7).left(1), 50);
    reportSearch(QStringLiteral("report"), 50);
    reportSearch(middling + prose.words.at(0), 50);
    reportSearch(QStringLiteral("仓库"), 300);
    reportSearch(prose.words.at(3000), 300);
    reportSearch(common, 300);
    reportSearch(QString(QChar(char16_t(0x4e00 + 3499))), 300);
    reportSearch(QStringLiteral("Q"), 300);

    if (!writeContacts(contacts, random)) {
        std::fprintf(stderr, "cannot write the contacts\n");
        return 1;
    }
    for (const QString &typed : {QStringLiteral("zs"), QStringLiteral("zhangs"), QStringLiteral("zhangsan"),
                                 QStringLiteral("ZhangSan"), QStringLiteral("shanw"), QStringLiteral("xyz")})
        reportReading(typed);
    Store::remove();
    // A copy of the filled store to look into, when asked for.
    if (const QString keep = qEnvironmentVariable("VELMORA_BENCH_KEEP"); !keep.isEmpty())
        QFile::copy(path, keep);
    return 0;
}
