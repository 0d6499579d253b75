#include "app/Tmain.h"
#include "ScriptedDialogs.h"
#include "store/Store.h"
#include "TempStore.h"
#include "tools/windows/Tcala_tools.h"
#include "tools/windows/Tcity_tools.h"
#include "tools/windows/Tmim_tools.h"
#include "tools/windows/Ttools_box.h"
#include "tools/windows/Ttools_sub.h"
#include "Widgets.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QToolButton>

class TstToolbox : public QObject
{
    Q_OBJECT

    static void press(Ttools_box &box, int position)
    {
        FIND_CHILD(button, QToolButton, &box, QStringLiteral("SpeedButton%1").arg(position));
        QTest::mouseClick(button, Qt::LeftButton);
    }

private slots:
    void fourToolsInOrder_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("caption");
        QTest::newRow("calculator") << 1 << "计算器"
                                    << "计算器";
        QTest::newRow("region lookup") << 2 << "省市归属查询"
                                       << "省市区归属划分";
        QTest::newRow("unit converter") << 3 << "单位换算器"
                                        << "百宝箱工具";
        QTest::newRow("stopwatch") << 4 << "秒表工具"
                                   << "秒表功能";
    }
    // Each button opens its tool once, owned by the toolbox; pressing it
    // again brings the same window back.
    void fourToolsInOrder()
    {
        QFETCH(int, position);
        QFETCH(QString, label);
        QFETCH(QString, caption);
        TempStore store;
        VERIFY_OK(store.make());
        Ttools_box box(Store::database());
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QCOMPARE(box.windowTitle(), QStringLiteral("百宝箱"));
        FIND_CHILD(toolLabel, QLabel, &box, QStringLiteral("Label%1").arg(position));
        FIND_CHILD(button, QToolButton, &box, QStringLiteral("SpeedButton%1").arg(position));
        QCOMPARE(toolLabel->text(), label);
        const QIcon picture = button->icon();
        QVERIFY(!picture.pixmap(64, 64).isNull());
        press(box, position);
        press(box, position);
        const auto tools = box.findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        QList<QWidget *> windows;
        for (QWidget *w : tools)
            if (w->isWindow())
                windows << w;
        QCOMPARE(windows.size(), 1);
        QCOMPARE(windows[0]->windowTitle(), caption);
        QVERIFY(windows[0]->isVisible());
    }

    void minimisedToolComesBackUnchanged()
    {
        TempStore store;
        VERIFY_OK(store.make());
        Ttools_box box(Store::database());
        box.show();
        press(box, 1);
        QPointer<Tcala_tools> calculator = box.findChild<Tcala_tools *>();
        QVERIFY(calculator);
        QVERIFY(QTest::qWaitForWindowExposed(calculator));
        FIND_CHILD(five, QWidget, calculator.data(), "b5");
        FIND_CHILD(display, QLineEdit, calculator.data(), "edit1");
        QTest::mouseClick(five, Qt::LeftButton);
        calculator->showMinimized();
        press(box, 1);
        QCOMPARE(box.findChild<Tcala_tools *>(), calculator.data());
        QVERIFY(!(calculator->windowState() & Qt::WindowMinimized));
        QCOMPARE(display->text(), QStringLiteral("05"));

        calculator->close();
        QTRY_VERIFY(calculator.isNull());
        press(box, 1);
        auto *fresh = box.findChild<Tcala_tools *>();
        QVERIFY(fresh);
        FIND_CHILD(freshDisplay, QLineEdit, fresh, "edit1");
        QCOMPARE(freshDisplay->text(), QStringLiteral("0"));
    }

    void closingTheToolboxTakesItsTools()
    {
        TempStore store;
        VERIFY_OK(store.make());
        QPointer<Ttools_box> box = new Ttools_box(Store::database());
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->show();
        for (int position = 1; position <= 4; ++position)
            press(*box, position);
        QList<QPointer<QWidget>> tools{box->findChild<Tcala_tools *>(), box->findChild<Tcity_tools *>(),
                                       box->findChild<Ttools_sub *>(), box->findChild<Tmim_tools *>()};
        for (const auto &tool : tools)
            QVERIFY(tool);
        box->close();
        QTRY_VERIFY(box.isNull());
        for (const auto &tool : tools)
            QVERIFY(tool.isNull());
    }

    // The launcher's button replaces an open toolbox with a new one.
    void launcherOpensOneToolbox()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make(false));
        Tmain launcher;
        launcher.show();
        FIND_CHILD(button, QToolButton, &launcher, "BitBtn4");
        QTest::mouseClick(button, Qt::LeftButton);
        QPointer<Ttools_box> first = launcher.findChild<Ttools_box *>();
        QVERIFY(first && first->isVisible());
        FIND_CHILD(regionLookup, QToolButton, first.data(), "SpeedButton2");
        QTest::mouseClick(regionLookup, Qt::LeftButton);
        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_VERIFY(first.isNull());
        const auto boxes = launcher.findChildren<Ttools_box *>();
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes.first()->isVisible());
        QVERIFY(!launcher.findChild<Tcity_tools *>());
    }
};

QTEST_MAIN(TstToolbox)
#include "tst_toolbox.moc"
