// Times the address book over a store of 100,000 contacts, each with two work
// units and other information: every search kind against the engine's own
// count(*) of the same column and pattern, the result list alone and the
// click on "开始查询" up to the first contact shown, the pinyin searches, the
// lists ordered by pinyin, the export list of the longest list, and a move in
// the result list.
//
//   bench_contacts [contacts [copy-of-store]]   (Release build; offscreen by default)

#include "contacts/core/ContactSearch.h"
#include "contacts/core/ResultList.h"
#include "contacts/windows/Tpe_connect.h"
#include "platform/ui/Dialogs.h"
#include "store/FieldCodec.h"
#include "store/Sql.h"
#include "store/Store.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

const QString kSurnames = QStringLiteral("王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗");
const QString kGiven = QStringLiteral("伟芳娜秀英敏静丽强磊军洋勇艳杰娟涛明超兰霞平刚");

QString chineseName(QRandomGenerator &random)
{
    return QString(kSurnames.at(random.bounded(kSurnames.size()))) + kGiven.at(random.bounded(kGiven.size()))
           + kGiven.at(random.bounded(kGiven.size()));
}

bool fill(int contacts)
{
    QSqlDatabase db = Store::database();
    QRandomGenerator random(20261210);
    db.transaction();
    QSqlQuery person(db), unit(db), other(db);
    person.prepare("INSERT INTO pe_info (pe_id, pe_name, pe_sex, n_add, pe_mib, pe_other, pe_h_tel, post,"
                   " pe_code, code_add, net_con, pe_memo, pe_img, e_dec_yn)"
                   " VALUES (?, ?, ?, ?, ?, '-', ?, '100000', ?, ?, ?, ?, '', ?)");
    unit.prepare("INSERT INTO pe_dw_info (pe_id, dw_name, dw_add, dw_tel, dw_fax, dw_url, pe_memo, e_dec_yn)"
                 " VALUES (?, ?, '北京市海淀区中关村大街1号', ?, '-', 'http://example.com', ?, ?)");
    other.prepare("INSERT INTO pe_other_info (pe_id, pe_other_memo, e_dec_yn) VALUES (?, ?, ?)");
    const QDateTime start(QDate(2015, 1, 1), QTime(8, 0, 0));
    for (int i = 0; i < contacts; ++i) {
        const QString id = start.addSecs(qint64(i) * 97).toString("yyyyMMddHHmmss");
        const bool encoded = i % 10 == 0; // one contact in ten is protected
        const auto stored = [encoded](const QString &text) { return encoded ? FieldCodec::encode(text) : text; };
        const QString mobile = QStringLiteral("1%1").arg(3900000000LL + i * 7919LL % 99999999LL);
        person.addBindValue(id);
        person.addBindValue(stored(chineseName(random)));
        person.addBindValue(random.bounded(2));
        person.addBindValue(stored(QStringLiteral("上海市浦东新区世纪大道%1号").arg(i % 2000)));
        person.addBindValue(stored(mobile));
        person.addBindValue(stored(QStringLiteral("010-%1").arg(60000000 + i)));
        person.addBindValue(stored(QStringLiteral("11010119800101%1").arg(i % 10000, 4, 10, QChar('0'))));
        person.addBindValue(stored(QStringLiteral("河北省石家庄市%1号").arg(i % 500)));
        person.addBindValue(stored(QStringLiteral("user%1@example.com").arg(i)));
        person.addBindValue(stored(QStringLiteral("第%1位客户,每年春节前联系一次,喜欢喝茶。").arg(i)));
        person.addBindValue(encoded);
        if (!person.exec())
            return false;
        for (int u = 0; u < 2; ++u) {
            unit.addBindValue(id);
            unit.addBindValue(stored(QStringLiteral("第%1号贸易有限公司").arg(i * 2 + u)));
            unit.addBindValue(stored(QStringLiteral("021-%1").arg(50000000 + i * 2 + u)));
            unit.addBindValue(stored(QStringLiteral("合作%1年,负责华东区业务\n项目%2").arg(u + 1).arg(i * 2 + u)));
            unit.addBindValue(encoded);
            if (!unit.exec())
                return false;
        }
        other.addBindValue(id);
        other.addBindValue(
            stored(QStringLiteral("生日%1月%2日,爱好围棋与摄影,编号%3").arg(i % 12 + 1).arg(i % 28 + 1).arg(i)));
        other.addBindValue(encoded);
        if (!other.exec())
            return false;
    }
    return db.commit();
}

// This thread's processor time in ms: what a step costs when the machine is
// not shared (the store file is in the page cache, so it hardly waits).
double cpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

struct Case
{
    const char *kindName;
    QString text;
};

constexpr int kRuns = 9;

// The engine's own scan of the searched column for the same pattern: what a
// search costs at the least.
double countCpu(ContactSearch::Kind kind, const QString &text)
{
    const double started = cpuMs();
    const Result<QVariant> counted = Sql::scalar(Store::database(),
                                                 QStringLiteral("SELECT count(*) FROM %1 WHERE %2 LIKE ? ESCAPE '\\'")
                                                     .arg(ContactSearch::table(kind), ContactSearch::column(kind)),
                                                 {ContactSearch::containsPattern(text)});
    if (!counted)
        qFatal("count failed: %s", qPrintable(counted.error()));
    return cpuMs() - started;
}

// One search kind and text: the engine's count, the result list alone, and
// the click on "开始查询" up to the first contact shown, in alternating
// rounds so that a busy machine weighs on each alike.
void timeSearch(Tpe_connect &window, const Case &c, ContactSearch::Order order)
{
    auto *kind = window.findChild<QRadioButton *>(c.kindName);
    kind->setChecked(true);
    window.findChild<QCheckBox *>("pinyinOrder")->setChecked(order == ContactSearch::Order::Pinyin);
    auto *box = window.findChild<QLineEdit *>("searchBox");
    auto *search = window.findChild<QAbstractButton *>("searchButton");
    const auto searchKind = ContactSearch::Kind(ContactSearch::kCaptions.indexOf(kind->text()));
    QList<double> count, list, click, wall;
    int rows = 0;
    QElapsedTimer timer;
    for (int run = 0; run < kRuns; ++run) {
        count << countCpu(searchKind, c.text);
        ResultList results;
        double started = cpuMs();
        if (!results.open(Store::database(), searchKind, c.text, order))
            qFatal("search failed");
        list << cpuMs() - started;
        rows = results.count();
        box->setText(c.text);
        timer.restart();
        started = cpuMs();
        search->click();
        click << cpuMs() - started;
        wall << timer.nsecsElapsed() / 1e6;
        if (window.results().count() != rows)
            qFatal("the window listed %d rows, the list %d", window.results().count(), rows);
    }
    std::printf("%-18s %-10s %8d %10.2f %10.2f %7.2f %10.2f %10.2f\n", c.kindName, qPrintable(c.text), rows,
                median(count), median(list), median(list) / median(count), median(click), median(wall));
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int contacts = argc > 1 ? QString(argv[1]).toInt() : 100000;

    QTemporaryDir dir;
    const QString path = dir.filePath("pad.db");
    if (!QFile::copy(QStringLiteral(VELMORA_TEMPLATE_STORE), path)
        || !QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner)
        || Store::open(path).status != Store::Status::Ready) {
        std::fprintf(stderr, "cannot open a copy of the supplied store\n");
        return 1;
    }
    QElapsedTimer timer;
    timer.start();
    if (!fill(contacts)) {
        std::fprintf(stderr, "filling the store failed\n");
        return 1;
    }
    if (argc > 2)
        QFile::copy(path, QString::fromLocal8Bit(argv[2]));
    std::printf("filled %d contacts (x2 units, x1 other) in %.1f s; store %.1f MB\n", contacts,
                timer.elapsed() / 1000.0, QFileInfo(path).size() / 1e6);

    Dialogs::setScripted(true);
    Tpe_connect window(Store::database());
    window.show();
    auto *box = window.findChild<QLineEdit *>("searchBox");
    auto *search = window.findChild<QAbstractButton *>("searchButton");
    auto *next = window.findChild<QAbstractButton *>("nextButton");
    auto *previous = window.findChild<QAbstractButton *>("previousButton");

    const QList<Case> cases = {
        {"kindName", QStringLiteral("王伟")},         {"kindName", QStringLiteral("王")},
        {"kindMobile", QStringLiteral("39001")},      {"kindUnitName", QStringLiteral("第1234")},
        {"kindUnitName", QStringLiteral("贸易")},     {"kindPersonalMemo", QStringLiteral("第777")},
        {"kindPersonalMemo", QStringLiteral("客户")}, {"kindUnitMemo", QStringLiteral("项目4321")},
        {"kindUnitMemo", QStringLiteral("合作2年")},  {"kindOther", QStringLiteral("编号4321")},
        {"kindOther", QStringLiteral("爱好")},        {"kindName", QStringLiteral("wangwei")},
        {"kindName", QStringLiteral("ww")},           {"kindName", QStringLiteral("zhang")},
        {"kindUnitName", QStringLiteral("maoyi")},    {"kindUnitName", QStringLiteral("d1234h")},
    };
    std::printf("\nsearch over %d contacts: cpu ms, medians of %d alternating rounds\n", contacts, kRuns);
    std::printf("%-18s %-10s %8s %10s %10s %7s %10s %10s\n", "kind", "text", "rows", "count(*)", "list", "ratio",
                "click", "click wall");
    for (const Case &c : cases)
        timeSearch(window, c, ContactSearch::Order::ById);

    std::printf("\nlisted by the pinyin of names (按拼音排序)\n");
    for (const Case &c : {cases[1], cases[4], cases[6], cases[13]})
        timeSearch(window, c, ContactSearch::Order::Pinyin);
    window.findChild<QCheckBox *>("pinyinOrder")->setChecked(false);

    // The export list over the longest list: shown, then at its last row.
    window.findChild<QRadioButton *>("kindUnitName")->setChecked(true);
    box->setText(QStringLiteral("贸易"));
    search->click();
    auto *tabs = window.findChild<QTabWidget *>("pc1");
    timer.restart();
    double started = cpuMs();
    tabs->setCurrentIndex(Tpe_connect::ExportTab);
    const double shownCpu = cpuMs() - started;
    const double shownWall = timer.nsecsElapsed() / 1e6;
    timer.restart();
    started = cpuMs();
    window.findChild<QAbstractButton *>("lastButton")->click();
    std::printf("\nexport list of %d rows: shown in %.2f ms cpu (%.2f wall); last row in %.2f ms cpu (%.2f wall)\n",
                window.results().count(), shownCpu, shownWall, cpuMs() - started, timer.nsecsElapsed() / 1e6);
    tabs->setCurrentIndex(Tpe_connect::PersonalTab);

    // Moves through a long result list: each runs the contact loader.
    window.findChild<QRadioButton *>("kindName")->setChecked(true);
    box->setText(QStringLiteral("王"));
    search->click();
    QList<double> moves, moveCpu;
    for (int i = 0; i < 200; ++i) {
        timer.restart();
        const double started = cpuMs();
        (i % 4 == 3 ? previous : next)->click();
        moveCpu << cpuMs() - started;
        moves << timer.nsecsElapsed() / 1e6;
    }
    std::sort(moves.begin(), moves.end());
    std::printf("\nmove in the result list (contact loader), %lld moves: wall median %.2f ms, 95%% %.2f ms,"
                " max %.2f ms; cpu median %.2f ms\n",
                qlonglong(moves.size()), median(moves), moves.at(moves.size() * 95 / 100), moves.last(),
                median(moveCpu));
    window.close();
    Store::remove();
    return 0;
}
