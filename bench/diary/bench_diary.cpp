// Times the history browser over a long diary. Run from a Release build:
//   bench_diary [notes]   (default 100000)
// It copies the supplied pad.db to a temporary folder, fills it with notes of
// about 500 characters and drives the real window offscreen.
#include "Dialogs.h"
#include "FieldCodec.h"
#include "Shell.h"
#include "Store.h"
#include "This_note_pad.h"

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

#include <algorithm>
#include <cstdio>
#include <numeric>

namespace {

class BenchShell final : public Shell
{
public:
    QSqlDatabase database() const override { return Store::database(); }
    QString currentPassword() const override { return kNoPassword; }
    void setCurrentPassword(const QString &) override {}
    bool diaryNeedsPassword() const override { return false; }
    bool scheduleNeedsPassword() const override { return false; }
    void setNeedsPassword(bool, bool) override {}
    QString defaultReminderTime() const override { return QStringLiteral("09:00"); }
    void reloadReminders() override {}
};

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
        else
            text += QChar(char16_t(0x4e00 + random.bounded(0x5000)));
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

void report(const char *what, const Spread &s, int samples)
{
    std::printf("%-34s median %7.3f ms   p99 %7.3f ms   max %7.3f ms   (%d samples)\n", what, s.median, s.p99,
                s.max, samples);
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;

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

    BenchShell shell;
    // Opening: create, show, list the keys and show the newest note, painted.
    QList<double> opens;
    for (int i = 0; i < 7; ++i) {
        QElapsedTimer timer;
        timer.start();
        auto *browser = new This_note_pad(shell);
        browser->show();
        browser->repaint();
        opens.append(msSince(timer));
        delete browser;
        QCoreApplication::processEvents();
    }
    report("open browser", spread(opens), int(opens.size()));

    This_note_pad browser(shell);
    browser.show();
    browser.repaint();
    QCoreApplication::processEvents();
    auto *total = browser.findChild<QLabel *>(QStringLiteral("Label3"));
    if (total->text() != QString::number(count)) {
        std::fprintf(stderr, "browser shows %s notes\n", qPrintable(total->text()));
        return 1;
    }
    auto button = [&](const char *name) { return browser.findChild<QToolButton *>(QString::fromLatin1(name)); };
    auto timeClick = [&](QToolButton *b) {
        QElapsedTimer timer;
        timer.start();
        b->click();
        browser.repaint();
        return msSince(timer);
    };

    const long rssOpen = residentKb();
    const int steps = std::min(count - 1, 20000);
    QList<double> forward;
    for (int i = 0; i < steps; ++i)
        forward.append(timeClick(button("sp2")));
    report("next (后一条)", spread(forward), int(forward.size()));
    QList<double> backward;
    for (int i = 0; i < std::min(steps, 2000); ++i)
        backward.append(timeClick(button("sp1")));
    report("previous (前一条)", spread(backward), int(backward.size()));
    QList<double> jumps;
    for (int i = 0; i < 200; ++i)
        jumps.append(timeClick(button(i % 2 ? "sp3" : "sp4")));
    report("first / last (首个 / 未尾)", spread(jumps), int(jumps.size()));
    QCoreApplication::processEvents();
    const long rssBrowsed = residentKb();

    // Deletes spread over the list: the newest, the middle, the oldest region.
    auto *remove = browser.findChild<QAction *>(QStringLiteral("N1"));
    QList<double> deletes;
    for (int i = 0; i < 300; ++i) {
        button(i % 3 == 0 ? "sp3" : "sp4")->click();
        for (int k = 0; k < (i % 3 == 1 ? 50 : 0); ++k)
            button("sp1")->click();
        QElapsedTimer timer;
        timer.start();
        remove->trigger();
        browser.repaint();
        deletes.append(msSince(timer));
        Dialogs::takeShown();
    }
    report("delete (删除本记录)", spread(deletes), int(deletes.size()));
    std::printf("resident memory: %ld kB after opening, %ld kB after %d steps (growth %ld kB)\n", rssOpen,
                rssBrowsed, steps + int(backward.size() + jumps.size()), rssBrowsed - rssOpen);
    std::printf("notes left: %s\n", qPrintable(total->text()));
    Store::remove();
    return 0;
}
