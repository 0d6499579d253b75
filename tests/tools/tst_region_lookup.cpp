#include "ScriptedDialogs.h"
#include "store/Store.h"
#include "TempStore.h"
#include "tools/windows/Tcity_tools.h"

#include <QApplication>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>

class TstRegionLookup : public QObject
{
    Q_OBJECT

    static QTableView *list(Tcity_tools &w, int n)
    {
        return w.findChild<QTableView *>(QStringLiteral("DBGrid%1").arg(n));
    }
    static QStringList names(QTableView *view)
    {
        QStringList texts;
        for (int row = 0; row < view->model()->rowCount(); ++row)
            texts << view->model()->index(row, 0).data().toString();
        return texts;
    }
    static QString current(QTableView *view) { return view->currentIndex().data().toString(); }
    static bool exec(const QString &sql, const QStringList &values)
    {
        QSqlQuery query(Store::database());
        query.prepare(sql);
        for (const QString &v : values)
            query.addBindValue(v);
        return query.exec();
    }

private slots:
    void opensOnTheFirstProvince()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        Tcity_tools w(Store::database());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.windowTitle(), QStringLiteral("省市区归属划分"));
        QCOMPARE(list(w, 1)->model()->rowCount(), 34);
        QCOMPARE(current(list(w, 1)), QStringLiteral("北京市"));
        QCOMPARE(names(list(w, 2)), QStringList{"北京市"});
        QCOMPARE(current(list(w, 2)), QStringLiteral("北京市"));
        QCOMPARE(names(list(w, 3)).mid(0, 3), (QStringList{"东城区", "西城区", "朝阳区"}));
        QVERIFY(dialogs.shown().isEmpty());
    }

    void arrowKeysRefillAtEveryStep()
    {
        TempStore store;
        VERIFY_OK(store.make());
        Tcity_tools w(Store::database());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTableView *provinces = list(w, 1);
        provinces->setFocus();
        QTest::keyClick(provinces, Qt::Key_Down);
        QCOMPARE(current(provinces), QStringLiteral("天津市"));
        QCOMPARE(names(list(w, 2)), QStringList{"天津市"});
        QCOMPARE(names(list(w, 3)).first(), QStringLiteral("和平区"));
        QTest::keyClick(provinces, Qt::Key_Down);
        QCOMPARE(current(provinces), QStringLiteral("河北省"));
        QCOMPARE(list(w, 2)->model()->rowCount(), 11);
        QCOMPARE(current(list(w, 2)), QStringLiteral("石家庄市"));
        QCOMPARE(names(list(w, 3)).mid(0, 2), (QStringList{"长安区", "桥西区"}));

        QTableView *cities = list(w, 2);
        cities->setFocus();
        QTest::keyClick(cities, Qt::Key_Down);
        QCOMPARE(current(cities), QStringLiteral("唐山市"));
        QCOMPARE(current(provinces), QStringLiteral("河北省"));
        QVERIFY(!names(list(w, 3)).contains(QStringLiteral("长安区")));
    }

    // The flag row's father names no real city; even a city given that key
    // does not bring it into the list.
    void reservedRowIsNeverListed()
    {
        TempStore store;
        VERIFY_OK(store.make());
        QVERIFY(exec(QStringLiteral("INSERT INTO city (cityID, city, father) VALUES (?, ?, ?)"),
                     {"671000", "测试市", "110000"}));
        Tcity_tools w(Store::database());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(names(list(w, 2)), (QStringList{"北京市", "测试市"}));
        list(w, 2)->setCurrentIndex(list(w, 2)->model()->index(1, 0));
        QCOMPARE(current(list(w, 2)), QStringLiteral("测试市"));
        QCOMPARE(list(w, 3)->model()->rowCount(), 0);
    }

    void emptyDetailLists()
    {
        TempStore store;
        VERIFY_OK(store.make());
        QVERIFY(exec(QStringLiteral("INSERT INTO povince (provinceID, province) VALUES (?, ?)"), {"990000", "无城省"}));
        QVERIFY(exec(QStringLiteral("DELETE FROM area WHERE father = ?"), {"120100"}));
        Tcity_tools w(Store::database());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        list(w, 1)->setCurrentIndex(list(w, 1)->model()->index(1, 0));
        QCOMPARE(names(list(w, 2)), QStringList{"天津市"});
        QCOMPARE(list(w, 3)->model()->rowCount(), 0);
        list(w, 1)->setCurrentIndex(list(w, 1)->model()->index(34, 0));
        QCOMPARE(current(list(w, 1)), QStringLiteral("无城省"));
        QCOMPARE(list(w, 2)->model()->rowCount(), 0);
        QCOMPARE(list(w, 3)->model()->rowCount(), 0);
    }

    void listsCannotBeEdited()
    {
        TempStore store;
        VERIFY_OK(store.make());
        Tcity_tools w(Store::database());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTableView *districts = list(w, 3);
        districts->setFocus();
        const QModelIndex first = districts->model()->index(0, 0);
        districts->setCurrentIndex(first);
        QTest::keyClick(districts, Qt::Key_F2);
        QTest::keyClicks(districts, "x");
        QTest::keyClick(districts, Qt::Key_Delete);
        QCOMPARE(first.data().toString(), QStringLiteral("东城区"));
        QVERIFY(!(first.flags() & Qt::ItemIsEditable));
        QVERIFY(!districts->model()->setData(first, QStringLiteral("x")));
        QSqlQuery count(Store::database());
        QVERIFY(count.exec(QStringLiteral("SELECT area FROM area WHERE areaID = '110101'")) && count.next());
        QCOMPARE(count.value(0).toString(), QStringLiteral("东城区"));
    }

    void storeErrorIsShownAndTheWindowStays()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        QVERIFY(exec(QStringLiteral("DROP TABLE city"), {}));
        Tcity_tools w(Store::database());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const auto shown = dialogs.shown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, Dialogs::Kind::Error);
        QVERIFY2(shown[0].text.contains(QStringLiteral("city")), qPrintable(shown[0].text));
        QCOMPARE(list(w, 1)->model()->rowCount(), 34);
        QCOMPARE(list(w, 2)->model()->rowCount(), 0);
        QVERIFY(w.isVisible());
    }
};

QTEST_MAIN(TstRegionLookup)
#include "tst_region_lookup.moc"
