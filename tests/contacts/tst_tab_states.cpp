#include "contacts/core/OtherTabState.h"
#include "contacts/core/PersonalTabState.h"
#include "contacts/core/RecordChoice.h"
#include "contacts/core/UnitTabState.h"

#include <QTest>

#include <functional>
#include <map>

// The button-state tables of the three record tabs: after a run of actions,
// what each place shows and which mode the save button works in.
class TstTabStates : public QObject
{
    Q_OBJECT

    template <typename State> using Actions = std::map<QString, std::function<void(State &)>>;

    static QString places(const TabButtons &state, int count)
    {
        QStringList shown;
        for (int place = 0; place < count; ++place) {
            const auto button = state.inPlace(place);
            shown << (button ? TabButtons::caption(*button) : QString());
        }
        return shown.join(u'|');
    }

    template <typename State> static void check(const Actions<State> &actions, int placeCount)
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
        QTest::newRow("start") << ""
                               << "修改|删除|新建" << view;
        QTest::newRow("modify") << "modify"
                                << "保存|撤消|" << edit;
        QTest::newRow("modify undo") << "modify undo"
                                     << "修改|删除|新建" << view;
        QTest::newRow("new") << "new"
                             << "保存||取消" << fresh;
        QTest::newRow("new cancel") << "new cancel"
                                    << "修改|删除|新建" << view;
        QTest::newRow("loader finds none while editing") << "modify new"
                                                         << "保存|撤消|取消" << fresh;
        QTest::newRow("modify saved") << "modify saved"
                                      << "修改|删除|新建" << view;
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
        QTest::newRow("start") << ""
                               << "修改|删除|新建" << view;
        QTest::newRow("loaded without units") << "new"
                                              << "保存||取消" << fresh;
        QTest::newRow("new saved, reloaded") << "new newSaved loaded"
                                             << "修改|删除|新建" << fresh;
        QTest::newRow("modify") << "loaded modify"
                                << "保存|撤消|" << edit;
        QTest::newRow("modify undo") << "loaded modify undo"
                                     << "修改|删除|新建" << view;
        QTest::newRow("modify saved") << "loaded modify editSaved"
                                      << "修改|删除|新建" << view;
        QTest::newRow("editing, next contact has none") << "modify new"
                                                        << "保存|撤消|取消" << fresh;
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
        QTest::newRow("start") << ""
                               << "修改|删除" << view;
        QTest::newRow("loaded with text") << "text"
                                          << "修改|删除" << view;
        QTest::newRow("loaded empty") << "empty"
                                      << "保存|撤消" << fresh;
        QTest::newRow("modify") << "text modify"
                                << "保存|撤消" << edit;
        QTest::newRow("undo with text") << "text modify undo"
                                        << "修改|删除" << edit;
        QTest::newRow("undo without text") << "empty undo"
                                           << "修改|" << fresh;
        QTest::newRow("modify saved") << "text modify saved"
                                      << "修改|删除" << edit;
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

    // What "保存" does: the mode, the rows the set holds and the row shown.
    void saveAction_data()
    {
        using S = RecordChoice::Save;
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("shown");
        QTest::addColumn<bool>("editOfEmptyAppends");
        QTest::addColumn<int>("action");
        QTest::newRow("view") << int(TabMode::View) << 2 << 1 << false << int(S::Nothing);
        QTest::newRow("new") << int(TabMode::New) << 2 << 1 << false << int(S::Append);
        QTest::newRow("edit of the shown row") << int(TabMode::Edit) << 2 << 1 << false << int(S::Update);
        QTest::newRow("edit, no row shown") << int(TabMode::Edit) << 2 << -1 << false << int(S::Gone);
        QTest::newRow("edit of an empty set") << int(TabMode::Edit) << 0 << -1 << false << int(S::Gone);
        QTest::newRow("edit of an empty set that appends") << int(TabMode::Edit) << 0 << -1 << true << int(S::Append);
        QTest::newRow("edit that appends, a row shown") << int(TabMode::Edit) << 1 << 0 << true << int(S::Update);
    }
    void saveAction()
    {
        QFETCH(int, mode);
        QFETCH(int, rows);
        QFETCH(int, shown);
        QFETCH(bool, editOfEmptyAppends);
        QFETCH(int, action);
        RecordChoice choice;
        QList<qint64> rowids;
        for (int row = 0; row < rows; ++row)
            rowids << 10 + row;
        choice.open(rowids);
        choice.show(shown);
        QCOMPARE(int(choice.saveAction(TabMode(mode), editOfEmptyAppends)), action);
    }

    // A new reading keeps the shown record by its rowid, wherever it now
    // stands; a record deleted meanwhile leaves nothing shown, so no
    // neighbour is ever taken for it.
    void shownRowFollowsItsRowid()
    {
        RecordChoice choice;
        choice.open({4, 7, 9});
        QCOMPARE(choice.firstRow(), 0);
        choice.show(1);
        choice.open({2, 4, 7, 9});
        QCOMPARE(choice.shownRow(), 2);
        choice.open({2, 4, 9});
        QCOMPARE(choice.shownRow(), -1);
        QCOMPARE(choice.saveAction(TabMode::Edit), RecordChoice::Save::Gone);
        choice.open({});
        QCOMPARE(choice.firstRow(), -1);
    }
};

QTEST_GUILESS_MAIN(TstTabStates)
#include "tst_tab_states.moc"
