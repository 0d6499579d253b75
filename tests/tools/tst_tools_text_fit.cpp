#include "ScriptedDialogs.h"
#include "store/Clock.h"
#include "store/Store.h"
#include "TempStore.h"
#include "TextFit.h"
#include "tools/windows/Tcala_tools.h"
#include "tools/windows/Tcity_tools.h"
#include "tools/windows/Tmim_tools.h"
#include "tools/windows/Ttools_box.h"
#include "tools/windows/Ttools_sub.h"
#include "Widgets.h"

#include <QPushButton>
#include <QTableView>
#include <QTabWidget>
#include <QTest>

// Every caption of the toolbox and its tools can be read whole, on every
// tab, with the longest names and times, at the fonts of this desktop and
// at larger ones.
namespace {

// Makes the row showing `name` current, as a click on it would.
void choose(QTableView *list, const QString &name)
{
    const QAbstractItemModel *model = list->model();
    const QModelIndexList found = model->match(model->index(0, 0), Qt::DisplayRole, name, 1, Qt::MatchExactly);
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
        QTest::addColumn<qreal>("fontScale");
        for (const qreal scale : {1.0, 1.5}) {
            const QString font = scale == 1.0 ? QString() : QStringLiteral(", larger font");
            QTest::newRow(qPrintable("toolbox" + font)) << "Ttools_box" << scale;
            QTest::newRow(qPrintable("calculator" + font)) << "Tcala_tools" << scale;
            QTest::newRow(qPrintable("region lookup" + font)) << "Tcity_tools" << scale;
        }
    }
    void toolWindows()
    {
        QFETCH(QString, window);
        QFETCH(qreal, fontScale);
        TextFit::ScaledFont font(fontScale);
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        std::unique_ptr<QWidget> shown;
        if (window == u"Ttools_box")
            shown = std::make_unique<Ttools_box>(Store::database());
        else if (window == u"Tcala_tools")
            shown = std::make_unique<Tcala_tools>();
        else
            shown = std::make_unique<Tcity_tools>(Store::database());
        shown->show();
        expectAllReadable(*shown);
    }

    // The longest names of the supplied region data, each in its list.
    void regionNames_data()
    {
        QTest::addColumn<QString>("province");
        QTest::addColumn<QString>("city");
        QTest::addColumn<QString>("district");
        QTest::addColumn<qreal>("fontScale");
        QTest::newRow("region lookup, longest province and city") << "新疆维吾尔自治区"
                                                                  << "克孜勒苏柯尔克孜自治州"
                                                                  << "阿图什市" << 1.0;
        QTest::newRow("region lookup, longest district") << "云南省"
                                                         << "临沧市"
                                                         << "双江拉祜族佤族布朗族傣族自治县" << 1.0;
        QTest::newRow("region lookup, longest district, larger font") << "云南省"
                                                                      << "临沧市"
                                                                      << "双江拉祜族佤族布朗族傣族自治县" << 1.5;
    }
    void regionNames()
    {
        QFETCH(QString, province);
        QFETCH(QString, city);
        QFETCH(QString, district);
        QFETCH(qreal, fontScale);
        TextFit::ScaledFont font(fontScale);
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        Tcity_tools lookup(Store::database());
        lookup.show();
        FIND_CHILD(provinces, QTableView, &lookup, "DBGrid1");
        FIND_CHILD(cities, QTableView, &lookup, "DBGrid2");
        FIND_CHILD(districts, QTableView, &lookup, "DBGrid3");
        choose(provinces, province);
        choose(cities, city);
        choose(districts, district);
        expectAllReadable(lookup);
    }

    void converterTabs_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<qreal>("fontScale");
        const QStringList names{"length", "mass", "area", "temperature", "volume", "formulas"};
        for (int tab = 0; tab < names.size(); ++tab)
            QTest::newRow(qPrintable(QStringLiteral("converter, ") + names[tab])) << tab << 1.0;
        QTest::newRow("converter, temperature, larger font") << 3 << 1.5;
    }
    void converterTabs()
    {
        QFETCH(int, tab);
        QFETCH(qreal, fontScale);
        TextFit::ScaledFont font(fontScale);
        Ttools_sub converter;
        FIND_CHILD(tabs, QTabWidget, &converter, "pc1");
        tabs->setCurrentIndex(tab);
        converter.show();
        expectAllReadable(converter);
    }

    void stopwatch_data()
    {
        QTest::addColumn<qint64>("elapsedMs");
        QTest::addColumn<qreal>("fontScale");
        const qint64 hundredHours = qint64(100) * 3600 * 1000 + 59 * 60 * 1000;
        QTest::newRow("stopwatch, stopped") << qint64(0) << 1.0;
        QTest::newRow("stopwatch, past 100 hours") << hundredHours << 1.0;
        QTest::newRow("stopwatch, larger font") << hundredHours << 1.5;
    }
    void stopwatch()
    {
        QFETCH(qint64, elapsedMs);
        QFETCH(qreal, fontScale);
        TextFit::ScaledFont font(fontScale);
        Clock::setNow(QDateTime(QDate(2024, 5, 1), QTime(8, 0)));
        Tmim_tools stopwatch;
        stopwatch.show();
        FIND_CHILD(startPause, QPushButton, &stopwatch, "Button1");
        startPause->click();
        Clock::advance(elapsedMs);
        startPause->click(); // paused: "开始" again, the time shown
        expectAllReadable(stopwatch);
    }
};

QTEST_MAIN(TstToolsTextFit)
#include "tst_tools_text_fit.moc"
