#include "app/Tmain.h"
#include "ScriptedDialogs.h"
#include "store/Store.h"
#include "TempStore.h"
#include "tools/windows/Tcala_tools.h"
#include "tools/windows/Tcity_tools.h"
#include "tools/windows/Tmim_tools.h"
#include "tools/windows/Ttools_box.h"
#include "tools/windows/Ttools_sub.h"

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
        QTest::mouseClick(box.findChild<QToolButton *>(QStringLiteral("SpeedButton%1").arg(position)), Qt::LeftButton);
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
        QCOMPARE(box.findChild<QLabel *>(QStringLiteral("Label%1").arg(position))->text(), label);
        const QIcon picture = box.findChild<QToolButton *>(QStringLiteral("SpeedButton%1").arg(position))->icon();
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
        QVERIFY(QTest::qWaitForWindowExposed(calculator));
        QTest::mouseClick(calculator->findChild<QWidget *>(QStringLiteral("b5")), Qt::LeftButton);
        calculator->showMinimized();
        press(box, 1);
        QCOMPARE(box.findChild<Tcala_tools *>(), calculator.data());
        QVERIFY(!(calculator->windowState() & Qt::WindowMinimized));
        QCOMPARE(calculator->findChild<QLineEdit *>(QStringLiteral("edit1"))->text(), QStringLiteral("05"));

        calculator->close();
        QTRY_VERIFY(calculator.isNull());
        press(box, 1);
        auto *fresh = box.findChild<Tcala_tools *>();
        QVERIFY(fresh);
        QCOMPARE(fresh->findChild<QLineEdit *>(QStringLiteral("edit1"))->text(), QStringLiteral("0"));
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
        auto *button = launcher.findChild<QToolButton *>(QStringLiteral("BitBtn4"));
        QTest::mouseClick(button, Qt::LeftButton);
        QPointer<Ttools_box> first = launcher.findChild<Ttools_box *>();
        QVERIFY(first && first->isVisible());
        QTest::mouseClick(first->findChild<QToolButton *>(QStringLiteral("SpeedButton2")), Qt::LeftButton);
        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_VERIFY(first.isNull());
        QCOMPARE(launcher.findChildren<Ttools_box *>().size(), 1);
        QVERIFY(launcher.findChild<Ttools_box *>()->isVisible());
        QVERIFY(!launcher.findChild<Tcity_tools *>());
    }
};

QTEST_MAIN(TstToolbox)
#include "tst_toolbox.moc"
