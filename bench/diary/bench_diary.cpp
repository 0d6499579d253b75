// Times the history browser over a long diary. Run from a Release build:
//   bench_diary [notes [steps [vocabulary]]]
// (default 100000 notes, 20000 steps, 3500 distinct characters)
// It copies the supplied pad.db to a temporary folder, fills it with notes of
// about 500 characters and drives the real window offscreen.
#include "diary/core/NoteHistory.h"
#include "diary/windows/This_note_pad.h"
#include "platform/ui/Dialogs.h"
#include "store/FieldCodec.h"
#include "store/Store.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QToolButton>

namespace {

long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

int kVocabulary = 3500;

QString noteText(QRandomGenerator &random)
{
    QString text;
    const int length = 450 + int(random.bounded(100));
    text.reserve(length);
    for (int i = 0; i < length; ++i) {
        if (i % 40 == 39)
            text += u'\n';
        else if (random.bounded(10) == 0)
            text += QChar(u'a' + random.bounded(26));
        else // a vocabulary the size of the list of common characters
            text += QChar(char16_t(0x4e00 + random.bounded(kVocabulary)));
    }
    return text;
}

bool fill(int count)
{
    QRandomGenerator random(20241210);
    QList<QString> stamps;
    QDateTime moment(QDate(1999, 1, 1), QTime(8, 0));
    for (int i = 0; i < count; ++i) {
        moment = moment.addSecs(600 + random.bounded(7200));
        stamps.append(moment.toString(QStringLiteral("yyyyMMddHHmmss")));
    }
    // Saved in no particular order, so rowids and stamps do not agree.
    std::shuffle(stamps.begin(), stamps.end(), *QRandomGenerator::global());
    QSqlDatabase db = Store::database();
    db.transaction();
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("insert into note_pad (date_id, note_memo) values (?, ?)"));
    for (const QString &stamp : stamps) {
        insert.addBindValue(stamp);
        insert.addBindValue(FieldCodec::encode(noteText(random)));
        if (!insert.exec())
            return false;
    }
    return db.commit();
}

struct Spread
{
    double median = 0;
    double p99 = 0;
    double max = 0;
};

Spread spread(QList<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms[std::min<qsizetype>(ms.size() - 1, ms.size() * 99 / 100)], ms.back()};
}

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Wall time and this thread's CPU time of each sample. The machine may be
// shared: wall time then includes waiting for a core, CPU time does not.
struct Samples
{
    QList<double> wall;
    QList<double> cpu;

    template <typename Work> void time(Work work)
    {
        QElapsedTimer timer;
        const double cpuStart = cpuMs();
        timer.start();
        work();
        wall.append(msSince(timer));
        cpu.append(cpuMs() - cpuStart);
    }
};

void report(const char *what, const Samples &samples)
{
    const Spread w = spread(samples.wall);
    const Spread c = spread(samples.cpu);
    std::printf("%-28s wall median %7.3f p99 %7.3f max %7.3f | cpu median %7.3f p99 %7.3f max "
                "%7.3f ms (n=%lld)\n",
                what, w.median, w.p99, w.max, c.median, c.p99, c.max, static_cast<long long>(samples.wall.size()));
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    if (argc > 3)
        kVocabulary = std::atoi(argv[3]);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pad.db"));
    if (!QFile::copy(QStringLiteral(VELMORA_TEMPLATE_STORE), path)
        || !QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner)
        || Store::open(path).status != Store::Status::Ready) {
        std::fprintf(stderr, "cannot open a copy of the supplied store\n");
        return 1;
    }
    QElapsedTimer filling;
    filling.start();
    if (!fill(count)) {
        std::fprintf(stderr, "cannot fill the store\n");
        return 1;
    }
    std::printf("filled %d notes in %.1f s, store %.1f MB\n", count, msSince(filling) / 1000,
                double(QFile(path).size()) / 1e6);
    Dialogs::setScripted(true); // the delete question answers Yes

    // Opening: create, show, list the keys and show the newest note, painted.
    Samples opens;
    for (int i = 0; i < 7; ++i) {
        This_note_pad *browser = nullptr;
        opens.time([&] {
            browser = new This_note_pad(Store::database());
            browser->show();
            browser->repaint();
        });
        delete browser;
        QCoreApplication::processEvents();
    }
    report("open browser", opens);

    // The core alone: read one note by its key and decode it.
    {
        NoteHistory history(Store::database());
        (void)history.open();
        Samples reads;
        for (int i = 0; i < 5000; ++i)
            reads.time([&] {
                history.next();
                history.current();
            });
        report("read + decode one note", reads);
    }

    This_note_pad browser(Store::database());
    browser.show();
    browser.repaint();
    QCoreApplication::processEvents();
    auto *total = browser.findChild<QLabel *>(QStringLiteral("Label3"));
    if (total->text() != QString::number(count)) {
        std::fprintf(stderr, "browser shows %s notes\n", qPrintable(total->text()));
        return 1;
    }
    auto button = [&](const char *name) { return browser.findChild<QToolButton *>(QString::fromLatin1(name)); };
    auto click = [&](const char *name) {
        return [&browser, b = button(name)] {
            b->click();
            browser.repaint();
        };
    };

    const long rssOpen = residentKb();
    const int steps = std::min(count - 1, argc > 2 ? std::atoi(argv[2]) : 20000);
    Samples forward;
    for (int i = 1; i <= steps; ++i) {
        forward.time(click("sp2"));
        if (i % 5000 == 0)
            std::printf("resident memory after %d steps: %ld kB\n", i, residentKb());
    }
    report("next (后一条)", forward);
    Samples backward;
    for (int i = 0; i < std::min(steps, 2000); ++i)
        backward.time(click("sp1"));
    report("previous (前一条)", backward);
    Samples jumps;
    for (int i = 0; i < 200; ++i)
        jumps.time(click(i % 2 ? "sp3" : "sp4"));
    report("first / last (首个 / 未尾)", jumps);
    QCoreApplication::processEvents();
    const long rssBrowsed = residentKb();

    // Deletes spread over the list: the newest, the middle, the oldest region.
    auto *remove = browser.findChild<QAction *>(QStringLiteral("N1"));
    Samples deletes;
    for (int i = 0; i < 300; ++i) {
        button(i % 3 == 0 ? "sp3" : "sp4")->click();
        for (int k = 0; k < (i % 3 == 1 ? 50 : 0); ++k)
            button("sp1")->click();
        deletes.time([&] {
            remove->trigger();
            browser.repaint();
        });
        Dialogs::takeShown();
    }
    report("delete (删除本记录)", deletes);
    {
        NoteHistory history(Store::database());
        (void)history.open();
        Samples removes;
        for (int i = 0; i < 100; ++i) {
            i % 2 ? history.last() : history.first();
            removes.time([&] { (void)history.removeCurrent(); });
        }
        report("delete one note (store)", removes);
    }
    const int browsed = steps + int(backward.wall.size() + jumps.wall.size());
    std::printf("resident memory: %ld kB after opening, %ld kB after %d steps (growth %ld kB)\n", rssOpen, rssBrowsed,
                browsed, rssBrowsed - rssOpen);
    std::printf("notes left: %s\n", qPrintable(total->text()));
    std::printf("notes of %d to %d characters drawn from %d distinct characters\n", 450, 549, kVocabulary);
    Store::remove();
    return 0;
}
