#include "Clock.h"
#include "FakeShell.h"
#include "ScriptedDialogs.h"
#include "Tcala_tools.h"
#include "Tcity_tools.h"
#include "TempStore.h"
#include "TextFit.h"
#include "Tmim_tools.h"
#include "Ttools_box.h"
#include "Ttools_sub.h"

#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

// Every caption of the toolbox and its tools can be read whole, on every
// tab and with the longest times, at the fonts of this desktop.
namespace {

// Makes the row showing `name` current, as a click on it would.
void choose(QTableView *list, const QString &name)
{
    const QAbstractItemModel *model = list->model();
    const QModelIndexList found
        = model->match(model->index(0, 0), Qt::DisplayRole, name, 1, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(name));
    list->setCurrentIndex(found.first());
}

void expectAllReadable(QWidget &window)
{
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    TextFit::saveShot(&window, QString::fromLatin1(QTest::currentDataTag()));
    const QStringList faults = TextFit::faults(&window);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
}

} // namespace

class TstToolsTextFit : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Clock::reset(); }

    void toolWindows_data()
    {
        QTest::addColumn<QString>("window");
        QTest::newRow("toolbox") << "Ttools_box";
        QTest::newRow("calculator") << "Tcala_tools";
        QTest::newRow("region lookup") << "Tcity_tools";
    }

    // The longest names of the supplied region data, each in its list.
    void regionNames_data()
    {
        QTest::addColumn<QString>("province");
        QTest::addColumn<QString>("city");
        QTest::addColumn<QString>("district");
        QTest::newRow("region lookup, longest province and city")
            << "新疆维吾尔自治区" << "克孜勒苏柯尔克孜自治州" << "阿图什市";
        QTest::newRow("region lookup, longest district")
            << "云南省" << "临沧市" << "双江拉祜族佤族布朗族傣族自治县";
    }
    void regionNames()
    {
        QFETCH(QString, province);
        QFETCH(QString, city);
        QFETCH(QString, district);
        ScriptedDialogs dialogs;
        TempStore store;
        Tcity_tools lookup(Store::database());
        lookup.show();
        choose(lookup.findChild<QTableView *>(QStringLiteral("DBGrid1")), province);
        choose(lookup.findChild<QTableView *>(QStringLiteral("DBGrid2")), city);
        choose(lookup.findChild<QTableView *>(QStringLiteral("DBGrid3")), district);
        expectAllReadable(lookup);
    }
    void toolWindows()
    {
        QFETCH(QString, window);
        ScriptedDialogs dialogs;
        TempStore store;
        FakeShell shell;
        std::unique_ptr<QWidget> shown;
        if (window == u"Ttools_box")
            shown = std::make_unique<Ttools_box>(shell);
        else if (window == u"Tcala_tools")
            shown = std::make_unique<Tcala_tools>();
        else
            shown = std::make_unique<Tcity_tools>(Store::database());
        shown->show();
        expectAllReadable(*shown);
    }

    void converterTabs_data()
    {
        QTest::addColumn<int>("tab");
        const QStringList names { "length", "mass", "area", "temperature", "volume", "formulas" };
        for (int tab = 0; tab < names.size(); ++tab)
            QTest::newRow(qPrintable(QStringLiteral("converter, ") + names[tab])) << tab;
    }
    void converterTabs()
    {
        QFETCH(int, tab);
        Ttools_sub converter;
        converter.findChild<QTabWidget *>(QStringLiteral("pc1"))->setCurrentIndex(tab);
        converter.show();
        expectAllReadable(converter);
    }

    void stopwatch_data()
    {
        QTest::addColumn<qint64>("elapsedMs");
        QTest::newRow("stopwatch, stopped") << qint64(0);
        QTest::newRow("stopwatch, past 100 hours") << qint64(100) * 3600 * 1000 + 59 * 60 * 1000;
    }
    void stopwatch()
    {
        QFETCH(qint64, elapsedMs);
        Clock::setNow(QDateTime(QDate(2024, 5, 1), QTime(8, 0)));
        Tmim_tools stopwatch;
        stopwatch.show();
        auto *startPause = stopwatch.findChild<QPushButton *>(QStringLiteral("Button1"));
        startPause->click();
        Clock::advance(elapsedMs);
        startPause->click(); // paused: "开始" again, the time shown
        expectAllReadable(stopwatch);
    }
};

QTEST_MAIN(TstToolsTextFit)
#include "tst_tools_text_fit.moc"
