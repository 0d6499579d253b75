#include "contacts/core/OtherTabState.h"
#include "contacts/core/PersonalTabState.h"
#include "contacts/core/UnitTabState.h"

#include <QTest>

#include <functional>
#include <map>

// The button-state tables of the three record tabs: after a run of actions,
// what each place shows and which mode the save button works in.
class TstTabStates : public QObject
{
    Q_OBJECT

    template<typename State>
    using Actions = std::map<QString, std::function<void(State &)>>;

    static QString places(const TabButtons &state, int count)
    {
        QStringList shown;
        for (int place = 0; place < count; ++place) {
            const auto button = state.inPlace(place);
            shown << (button ? TabButtons::caption(*button) : QString());
        }
        return shown.join(u'|');
    }

    template<typename State>
    static void check(const Actions<State> &actions, int placeCount)
    {
        QFETCH(QString, run);
        QFETCH(QString, expected);
        QFETCH(int, mode);
        State state;
        for (const QString &name : run.split(u' ', Qt::SkipEmptyParts)) {
            QVERIFY2(actions.count(name), qPrintable(name));
            actions.at(name)(state);
        }
        QCOMPARE(places(state, placeCount), expected);
        QCOMPARE(int(state.mode()), mode);
    }

    static void columns()
    {
        QTest::addColumn<QString>("run");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("mode");
    }

private slots:
    void personal_data()
    {
        columns();
        const int view = int(TabMode::View), edit = int(TabMode::Edit), fresh = int(TabMode::New);
        QTest::newRow("start") << "" << "修改|删除|新建" << view;
        QTest::newRow("modify") << "modify" << "保存|撤消|" << edit;
        QTest::newRow("modify undo") << "modify undo" << "修改|删除|新建" << view;
        QTest::newRow("new") << "new" << "保存||取消" << fresh;
        QTest::newRow("new cancel") << "new cancel" << "修改|删除|新建" << view;
        QTest::newRow("loader finds none while editing") << "modify new" << "保存|撤消|取消" << fresh;
        QTest::newRow("modify saved") << "modify saved" << "修改|删除|新建" << view;
    }
    void personal()
    {
        const Actions<PersonalTabState> actions{
            {"modify", &PersonalTabState::modify},   {"undo", &PersonalTabState::undo},
            {"new", &PersonalTabState::startNew},    {"cancel", &PersonalTabState::cancel},
            {"saved", &PersonalTabState::editSaved},
        };
        check(actions, 3);
    }

    void unit_data()
    {
        columns();
        const int view = int(TabMode::View), edit = int(TabMode::Edit), fresh = int(TabMode::New);
        QTest::newRow("start") << "" << "修改|删除|新建" << view;
        QTest::newRow("loaded without units") << "new" << "保存||取消" << fresh;
        QTest::newRow("new saved, reloaded") << "new newSaved loaded" << "修改|删除|新建" << fresh;
        QTest::newRow("modify") << "loaded modify" << "保存|撤消|" << edit;
        QTest::newRow("modify undo") << "loaded modify undo" << "修改|删除|新建" << view;
        QTest::newRow("modify saved") << "loaded modify editSaved" << "修改|删除|新建" << view;
        QTest::newRow("editing, next contact has none") << "modify new" << "保存|撤消|取消" << fresh;
    }
    void unit()
    {
        const Actions<UnitTabState> actions{
            {"loaded", &UnitTabState::loadedWithUnits}, {"new", &UnitTabState::startNew},
            {"modify", &UnitTabState::modify},          {"undo", &UnitTabState::undo},
            {"newSaved", &UnitTabState::newSaved},      {"editSaved", &UnitTabState::editSaved},
        };
        check(actions, 3);
    }

    void other_data()
    {
        columns();
        const int view = int(TabMode::View), edit = int(TabMode::Edit), fresh = int(TabMode::New);
        QTest::newRow("start") << "" << "修改|删除" << view;
        QTest::newRow("loaded with text") << "text" << "修改|删除" << view;
        QTest::newRow("loaded empty") << "empty" << "保存|撤消" << fresh;
        QTest::newRow("modify") << "text modify" << "保存|撤消" << edit;
        QTest::newRow("undo with text") << "text modify undo" << "修改|删除" << edit;
        QTest::newRow("undo without text") << "empty undo" << "修改|" << fresh;
        QTest::newRow("modify saved") << "text modify saved" << "修改|删除" << edit;
    }
    void other()
    {
        const Actions<OtherTabState> actions{
            {"text", &OtherTabState::loadedWithText}, {"empty", &OtherTabState::loadedEmpty},
            {"modify", &OtherTabState::modify},       {"undo", &OtherTabState::undo},
            {"saved", &OtherTabState::editSaved},
        };
        check(actions, 2);
    }
};

QTEST_GUILESS_MAIN(TstTabStates)
#include "tst_tab_states.moc"
