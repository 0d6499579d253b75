// iCalendar from the planner's and the diary history browser's menus, driven
// as a user does: what an export takes and the password before protected
// jobs leave, the file written and opened, the list of an import before
// anything is written, the range recurring events are expanded over, the
// question before kept records are updated, and files that are refused.
#include "diary/windows/This_note_pad.h"
#include "FakePlannerHost.h"
#include "IcalRows.h"
#include "interchange/windows/IcalCommands.h"
#include "interchange/windows/IcalExportDialog.h"
#include "interchange/windows/IcalImportDialog.h"
#include "interchange/windows/IcalPlanModel.h"
#include "platform/ui/ShellOpen.h"
#include "schedule/windows/Tjob_do.h"
#include "ScriptedDialogs.h"
#include "store/Clock.h"
#include "TempStore.h"
#include "TextFit.h"
#include "Widgets.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QTableView>
#include <QTest>

namespace {

const QDateTime kNow(QDate(2026, 4, 1), QTime(8, 0));

// The message boxes shown: file dialogs and the password box left out.
QStringList boxTexts(ScriptedDialogs &dialogs)
{
    QStringList texts;
    for (const Dialogs::Shown &shown : dialogs.shown()) {
        if (shown.kind != Dialogs::Kind::OpenFile && shown.kind != Dialogs::Kind::SaveFile
            && shown.kind != Dialogs::Kind::Input)
            texts << shown.text;
    }
    return texts;
}

// The boxes shown once the first is: a run in steps shows its box later.
QStringList boxesWhenShown(ScriptedDialogs &dialogs)
{
    QStringList texts;
    for (int waited = 0; texts.isEmpty() && waited < 5000; waited += 20) {
        texts = boxTexts(dialogs);
        if (texts.isEmpty())
            QTest::qWait(20);
    }
    return texts;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString fixture(const QString &name)
{
    return QStringLiteral(ICAL_FIXTURES "/") + name;
}

} // namespace

class tst_ical_windows final : public QObject
{
    Q_OBJECT

    FakePlannerHost m_host;
    std::unique_ptr<TempStore> m_store;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<Tjob_do> m_planner;

    // Two open jobs and a protected one, each with a log entry on the first.
    void addJobs()
    {
        QVERIFY(IcalRows::addJob(QStringLiteral("20260401080000"), QStringLiteral("20260402093000"),
                                 QStringLiteral("拜访客户\n带上合同"), true, false, Ical::kOpenJob));
        QVERIFY(IcalRows::addJob(QStringLiteral("20260401080100"), QStringLiteral("20260415000000"),
                                 QStringLiteral("交季度报表"), false, false, QStringLiteral("20260414170000")));
        QVERIFY(IcalRows::addJob(QStringLiteral("20260401080200"), QStringLiteral("20260420000000"),
                                 QStringLiteral("加薪名单"), false, true, Ical::kOpenJob));
        QVERIFY(IcalRows::addEntry(QStringLiteral("20260401080000"), QStringLiteral("20260402120000"),
                                   QStringLiteral("已电话确认"), false));
    }

    template <typename T> T *openFromMenu(QWidget *window, const QString &action)
    {
        auto *item = Widgets::find<QAction>(window, action);
        if (!item)
            return nullptr;
        item->trigger();
        return window->findChild<T *>();
    }

    // Opens `path` in the planner's import dialog; the list is filled.
    IcalImportDialog *importIntoPlanner(const QString &path)
    {
        auto *dialog = openFromMenu<IcalImportDialog>(m_planner.get(), IcalCommands::kImportAction);
        if (!dialog)
            return nullptr;
        m_dialogs->answer(Dialogs::Answer::Ok, path);
        Widgets::find<QAbstractButton>(dialog, QStringLiteral("icalOpen"))->click();
        for (int waited = 0; dialog->isBusy() && waited < 5000; waited += 10)
            QTest::qWait(10);
        return dialog;
    }

    static QStringList column(const QWidget *dialog, int column)
    {
        const auto *list = Widgets::find<QTableView>(dialog, QStringLiteral("icalList"));
        QStringList cells;
        for (int row = 0; list && row < list->model()->rowCount(); ++row)
            cells << list->model()->index(row, column).data().toString();
        return cells;
    }

    void clickImport(QWidget *dialog)
    {
        FIND_CHILD(import, QAbstractButton, dialog, "icalImport");
        QVERIFY(import->isEnabled());
        import->click();
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China)); }
    void init()
    {
        Clock::setNow(kNow);
        m_host = FakePlannerHost();
        m_store = std::make_unique<TempStore>();
        VERIFY_OK(m_store->make());
        m_dialogs = std::make_unique<ScriptedDialogs>();
    }
    void cleanup()
    {
        m_planner.reset();
        m_dialogs.reset();
        m_store.reset();
        ShellOpen::setOpener({});
        Clock::reset();
    }

    // The commands come after what the planner's menu already offers.
    void plannerMenuKeepsItsItems()
    {
        m_planner = std::make_unique<Tjob_do>(m_host);
        FIND_CHILD(menu, QMenu, m_planner.get(), "PopupMenu1");
        QStringList names;
        for (const QAction *action : menu->actions()) {
            if (!action->isSeparator())
                names << action->objectName();
        }
        const qsizetype month = names.indexOf(QStringLiteral("N7"));
        QVERIFY(month >= 0);
        // Later commands (the text search) may follow them.
        QCOMPARE(names.mid(month + 1, 2), (QStringList{IcalCommands::kExportAction, IcalCommands::kImportAction}));
    }

    void exportJobs_data()
    {
        QTest::addColumn<bool>("passwordSet");
        QTest::addColumn<bool>("withProtected");
        QTest::addColumn<QString>("entered");
        QTest::addColumn<int>("tasks");
        QTest::addColumn<QString>("message");

        QTest::newRow("no password: all") << false << false << QString() << 3 << QStringLiteral("已导出3个工作到 ");
        QTest::newRow("password, protected left")
            << true << false << QString() << 2 << QStringLiteral("1个加密的记录没有导出(没有输入密码).");
        QTest::newRow("password given") << true << true << QStringLiteral("pw") << 3
                                        << QStringLiteral("已导出3个工作到 ");
        QTest::newRow("wrong password") << true << true << QStringLiteral("pq") << 0
                                        << QStringLiteral("1.密码输入错误,请检查后重新输入.....");
    }
    void exportJobs()
    {
        QFETCH(bool, passwordSet);
        QFETCH(bool, withProtected);
        QFETCH(QString, entered);
        QFETCH(int, tasks);
        QFETCH(QString, message);
        addJobs();
        if (passwordSet)
            m_host.password = QStringLiteral("pw");
        m_planner = std::make_unique<Tjob_do>(m_host);
        auto *dialog = openFromMenu<IcalExportDialog>(m_planner.get(), IcalCommands::kExportAction);
        QVERIFY(dialog);
        FIND_CHILD(summary, QLabel, dialog, "icalSummary");
        QVERIFY2(summary->text().startsWith(QStringLiteral("将导出3个工作")), qPrintable(summary->text()));
        FIND_CHILD(protectedBox, QCheckBox, dialog, "icalWithProtected");
        QCOMPARE(protectedBox->isVisibleTo(dialog), passwordSet);
        protectedBox->setChecked(withProtected);

        const QString path = m_store->filePath(QStringLiteral("jobs.ics"));
        if (withProtected)
            m_dialogs->answer(Dialogs::Answer::Ok, entered);
        if (tasks > 0)
            m_dialogs->answer(Dialogs::Answer::Ok, path);
        FIND_CHILD(exportButton, QAbstractButton, dialog, "icalExport");
        exportButton->click();
        const QStringList boxes = boxesWhenShown(*m_dialogs);
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].contains(message), qPrintable(boxes[0]));
        const QByteArray written = readAll(path);
        QCOMPARE(written.count("BEGIN:VTODO"), tasks);
        QCOMPARE(written.contains("加薪名单"), tasks == 3);
    }

    // A user who asks for it sees the file in the desktop's calendar program.
    void exportOpensTheFile_data()
    {
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QStringList>("boxesAfter");
        QTest::newRow("opened") << true << QStringList();
        QTest::newRow("no program") << false << QStringList{QStringLiteral("没有可以打开文件 %1 的程序.")};
    }
    void exportOpensTheFile()
    {
        QFETCH(bool, opens);
        QFETCH(QStringList, boxesAfter);
        addJobs();
        QStringList opened;
        ShellOpen::setOpener([&](const QString &path) {
            opened << path;
            return opens;
        });
        m_planner = std::make_unique<Tjob_do>(m_host);
        auto *dialog = openFromMenu<IcalExportDialog>(m_planner.get(), IcalCommands::kExportAction);
        QVERIFY(dialog);
        FIND_CHILD(openAfter, QCheckBox, dialog, "icalOpenAfter");
        openAfter->setChecked(true);
        // A name without its ending gets ".ics".
        m_dialogs->answer(Dialogs::Answer::Ok, m_store->filePath(QStringLiteral("jobs")));
        FIND_CHILD(exportButton, QAbstractButton, dialog, "icalExport");
        exportButton->click();
        QStringList boxes = boxesWhenShown(*m_dialogs);
        const QString path = m_store->filePath(QStringLiteral("jobs.ics"));
        QCOMPARE(opened, QStringList{path});
        QVERIFY(QFile::exists(path));
        boxes.removeFirst();
        for (QString &box : boxesAfter)
            box = box.arg(QDir::toNativeSeparators(path));
        QCOMPARE(boxes, boxesAfter);
    }

    // The list shows every occurrence in the range before anything is
    // written; an import writes them all and the planner reloads.
    void importShowsThenWrites_data()
    {
        QTest::addColumn<QDate>("first");
        QTest::addColumn<QDate>("last");
        QTest::addColumn<QStringList>("days");
        QTest::addColumn<int>("added");

        // The morning of 18 May is listed as replaced by the file's change
        // to that day, which comes last.
        QTest::newRow("next twelve months")
            << QDate() << QDate()
            << QStringList{QStringLiteral("2026-05-04"), QStringLiteral("2026-05-18"), QStringLiteral("2026-05-25"),
                           QStringLiteral("2026-06-01"), QStringLiteral("2026-06-08"), QStringLiteral("2026-05-18")}
            << 5;
        QTest::newRow("May only") << QDate(2026, 5, 1) << QDate(2026, 5, 31)
                                  << QStringList{QStringLiteral("2026-05-04"), QStringLiteral("2026-05-18"),
                                                 QStringLiteral("2026-05-25"), QStringLiteral("2026-05-18")}
                                  << 3;
        QTest::newRow("a week of none") << QDate(2026, 5, 5) << QDate(2026, 5, 10)
                                        << QStringList{QString(), QStringLiteral("2026-05-18")} << 0;
    }
    void importShowsThenWrites()
    {
        QFETCH(QDate, first);
        QFETCH(QDate, last);
        QFETCH(QStringList, days);
        QFETCH(int, added);
        m_planner = std::make_unique<Tjob_do>(m_host);
        auto *dialog = openFromMenu<IcalImportDialog>(m_planner.get(), IcalCommands::kImportAction);
        QVERIFY(dialog);
        FIND_CHILD(from, QDateEdit, dialog, "icalFrom");
        FIND_CHILD(to, QDateEdit, dialog, "icalTo");
        QCOMPARE(from->date(), kNow.date());
        QCOMPARE(to->date(), kNow.date().addMonths(12).addDays(-1));
        if (first.isValid()) {
            from->setDate(first);
            to->setDate(last);
        }
        m_dialogs->answer(Dialogs::Answer::Ok, fixture(QStringLiteral("weekly_alarm.ics")));
        FIND_CHILD(open, QAbstractButton, dialog, "icalOpen");
        open->click();
        QTRY_VERIFY(!dialog->isBusy());
        QCOMPARE(column(dialog, IcalPlanModel::Day), days);
        QCOMPARE(column(dialog, IcalPlanModel::Action).count(QStringLiteral("新建")), added);
        QCOMPARE(IcalRows::count(QStringLiteral("job_do")), 0);
        FIND_CHILD(import, QAbstractButton, dialog, "icalImport");
        QCOMPARE(import->isEnabled(), added > 0);
        if (added == 0)
            return;

        import->click();
        const QStringList boxes = boxesWhenShown(*m_dialogs);
        QCOMPARE(boxes, QStringList{QStringLiteral("导入完成: 新建%1条, 更新0条; 1条没有导入.").arg(added)});
        QCOMPARE(IcalRows::count(QStringLiteral("job_do")), added);
        QCOMPARE(m_host.reloads, 1);
        QCOMPARE(column(dialog, IcalPlanModel::Action).count(QStringLiteral("已新建")), added);
    }

    // The same file again updates what the first import made, after asking;
    // "No" brings in only what is new.
    void reimportAsksBeforeUpdating_data()
    {
        QTest::addColumn<Dialogs::Answer>("answer");
        QTest::addColumn<QString>("done");
        QTest::addColumn<QString>("text");
        QTest::newRow("update") << Dialogs::Answer::Yes << QStringLiteral("导入完成: 新建0条, 更新1条; 0条没有导入.")
                                << QStringLiteral("季度总结(改)");
        QTest::newRow("keep") << Dialogs::Answer::No << QStringLiteral("导入完成: 新建0条, 更新0条; 1条没有导入.")
                              << QStringLiteral("季度总结");
    }
    void reimportAsksBeforeUpdating()
    {
        QFETCH(Dialogs::Answer, answer);
        QFETCH(QString, done);
        QFETCH(QString, text);
        const QString path = m_store->filePath(QStringLiteral("todo.ics"));
        auto write = [&](const QString &summary) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QStringLiteral("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//t//EN\r\nBEGIN:VTODO\r\n"
                                      "UID:todo-1\r\nDTSTAMP:20260401T000000Z\r\nDUE;VALUE=DATE:20260501\r\n"
                                      "SUMMARY:%1\r\nEND:VTODO\r\nEND:VCALENDAR\r\n")
                           .arg(summary)
                           .toUtf8());
        };
        write(QStringLiteral("季度总结"));
        m_planner = std::make_unique<Tjob_do>(m_host);
        IcalImportDialog *dialog = importIntoPlanner(path);
        QVERIFY(dialog);
        clickImport(dialog);
        QCOMPARE(boxesWhenShown(*m_dialogs).size(), 1);
        dialog->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        write(QStringLiteral("季度总结(改)"));
        dialog = importIntoPlanner(path);
        QVERIFY(dialog);
        QCOMPARE(column(dialog, IcalPlanModel::Action), QStringList{QStringLiteral("更新")});
        m_dialogs->answer(answer);
        clickImport(dialog);
        const QStringList asked = boxTexts(*m_dialogs);
        QCOMPARE(asked.size(), 1);
        QVERIFY(asked[0].startsWith(QStringLiteral("文件中有1条记录是以前导入或导出过的")));
        QCOMPARE(boxesWhenShown(*m_dialogs), QStringList{done});
        QCOMPARE(IcalRows::rows(QStringLiteral("SELECT job_memo FROM job_do")), QStringList{text});
    }

    // A file that is no calendar, or not whole, says why and writes nothing.
    void refusedFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("says");
        QTest::newRow("NUL bytes") << QByteArray("BEGIN:VCALENDAR\r\nVERSION:2.0\r\n\0\0\r\n", 32) << QString();
        QTest::newRow("not whole") << QByteArray("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VTODO\r\nUID:x\r\n")
                                   << QStringLiteral("行");
        QTest::newRow("empty calendar") << QByteArray("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nEND:VCALENDAR\r\n")
                                        << QStringLiteral("没有可以导入的记录");
    }
    void refusedFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, says);
        const QString path = m_store->filePath(QStringLiteral("bad.ics"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        m_planner = std::make_unique<Tjob_do>(m_host);
        IcalImportDialog *dialog = importIntoPlanner(path);
        QVERIFY(dialog);
        const QStringList boxes = boxTexts(*m_dialogs);
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].contains(says), qPrintable(boxes[0]));
        FIND_CHILD(import, QAbstractButton, dialog, "icalImport");
        QVERIFY(!import->isEnabled());
        QCOMPARE(IcalRows::count(QStringLiteral("job_do")), 0);
    }

    // Notes leave the history browser as journal entries and come back into
    // an empty diary as the same notes; the browser lists them at once.
    void diaryRoundTrip()
    {
        QVERIFY(IcalRows::run(QStringLiteral("DELETE FROM note_pad")));
        QVERIFY(IcalRows::addNote(QStringLiteral("20260301090000"), QStringLiteral("三月的第一篇\n第二行")));
        QVERIFY(IcalRows::addNote(QStringLiteral("20260302100000"), QStringLiteral("第二篇")));
        const QStringList notes = IcalRows::rows(QStringLiteral("SELECT date_id, note_memo FROM note_pad"));
        auto browser = std::make_unique<This_note_pad>(Store::database());
        browser->show();
        auto *exporter = openFromMenu<IcalExportDialog>(browser.get(), IcalCommands::kExportAction);
        QVERIFY(exporter);
        FIND_CHILD(summary, QLabel, exporter, "icalSummary");
        QCOMPARE(summary->text(), QStringLiteral("将导出2篇日记."));
        const QString path = m_store->filePath(QStringLiteral("diary.ics"));
        m_dialogs->answer(Dialogs::Answer::Ok, path);
        Widgets::find<QAbstractButton>(exporter, QStringLiteral("icalExport"))->click();
        QCOMPARE(boxesWhenShown(*m_dialogs).size(), 1);
        QCOMPARE(readAll(path).count("BEGIN:VJOURNAL"), 2);

        QVERIFY(IcalRows::run(QStringLiteral("DELETE FROM note_pad")));
        QVERIFY(IcalRows::run(QStringLiteral("DELETE FROM record_uid")));
        auto *importer = openFromMenu<IcalImportDialog>(browser.get(), IcalCommands::kImportAction);
        QVERIFY(importer);
        m_dialogs->answer(Dialogs::Answer::Ok, path);
        Widgets::find<QAbstractButton>(importer, QStringLiteral("icalOpen"))->click();
        QTRY_VERIFY(!importer->isBusy());
        clickImport(importer);
        QCOMPARE(boxesWhenShown(*m_dialogs), QStringList{QStringLiteral("导入完成: 新建2条, 更新0条; 0条没有导入.")});
        QCOMPARE(IcalRows::rows(QStringLiteral("SELECT date_id, note_memo FROM note_pad")), notes);
        FIND_CHILD(counter, QLabel, browser.get(), "Label3");
        QCOMPARE(counter->text(), QStringLiteral("2"));
    }

    void dialogsFitTheirText_data()
    {
        QTest::addColumn<qreal>("scale");
        QTest::newRow("desktop font") << 1.0;
        QTest::newRow("larger text") << 1.5;
    }
    void dialogsFitTheirText()
    {
        QFETCH(qreal, scale);
        TextFit::ScaledFont font(scale);
        addJobs();
        m_host.password = QStringLiteral("pw");
        m_planner = std::make_unique<Tjob_do>(m_host);
        auto *exporter = openFromMenu<IcalExportDialog>(m_planner.get(), IcalCommands::kExportAction);
        QVERIFY(exporter);
        QVERIFY(QTest::qWaitForWindowExposed(exporter));
        TextFit::saveShot(exporter, QStringLiteral("ical-export-%1").arg(scale));
        QStringList faults = TextFit::faults(exporter);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));

        IcalImportDialog *importer = importIntoPlanner(fixture(QStringLiteral("weekly_alarm.ics")));
        QVERIFY(importer);
        QVERIFY(QTest::qWaitForWindowExposed(importer));
        TextFit::saveShot(importer, QStringLiteral("ical-import-%1").arg(scale));
        faults = TextFit::faults(importer);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    }
};

QTEST_MAIN(tst_ical_windows)
#include "tst_ical_windows.moc"
