#include "ScriptedDialogs.h"
#include "store/Store.h"
#include "TempStore.h"
#include "tools/windows/Tcity_tools.h"
#include "Widgets.h"

#include <QApplication>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>

class TstRegionLookup : public QObject
{
    Q_OBJECT

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
        FIND_CHILD(provinces, QTableView, &w, "DBGrid1");
        FIND_CHILD(cities, QTableView, &w, "DBGrid2");
        FIND_CHILD(districts, QTableView, &w, "DBGrid3");
        QCOMPARE(w.windowTitle(), QStringLiteral("省市区归属划分"));
        QCOMPARE(provinces->model()->rowCount(), 34);
        QCOMPARE(current(provinces), QStringLiteral("北京市"));
        QCOMPARE(names(cities), QStringList{"北京市"});
        QCOMPARE(current(cities), QStringLiteral("北京市"));
        QCOMPARE(names(districts).mid(0, 3), (QStringList{"东城区", "西城区", "朝阳区"}));
        QVERIFY(dialogs.shown().isEmpty());
    }

    void arrowKeysRefillAtEveryStep()
    {
        TempStore store;
        VERIFY_OK(store.make());
        Tcity_tools w(Store::database());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        FIND_CHILD(provinces, QTableView, &w, "DBGrid1");
        FIND_CHILD(cities, QTableView, &w, "DBGrid2");
        FIND_CHILD(districts, QTableView, &w, "DBGrid3");
        provinces->setFocus();
        QTest::keyClick(provinces, Qt::Key_Down);
        QCOMPARE(current(provinces), QStringLiteral("天津市"));
        QCOMPARE(names(cities), QStringList{"天津市"});
        QCOMPARE(names(districts).first(), QStringLiteral("和平区"));
        QTest::keyClick(provinces, Qt::Key_Down);
        QCOMPARE(current(provinces), QStringLiteral("河北省"));
        QCOMPARE(cities->model()->rowCount(), 11);
        QCOMPARE(current(cities), QStringLiteral("石家庄市"));
        QCOMPARE(names(districts).mid(0, 2), (QStringList{"长安区", "桥西区"}));

        cities->setFocus();
        QTest::keyClick(cities, Qt::Key_Down);
        QCOMPARE(current(cities), QStringLiteral("唐山市"));
        QCOMPARE(current(provinces), QStringLiteral("河北省"));
        QVERIFY(!names(districts).contains(QStringLiteral("长安区")));
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
        FIND_CHILD(cities, QTableView, &w, "DBGrid2");
        FIND_CHILD(districts, QTableView, &w, "DBGrid3");
        QCOMPARE(names(cities), (QStringList{"北京市", "测试市"}));
        cities->setCurrentIndex(cities->model()->index(1, 0));
        QCOMPARE(current(cities), QStringLiteral("测试市"));
        QCOMPARE(districts->model()->rowCount(), 0);
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
        FIND_CHILD(provinces, QTableView, &w, "DBGrid1");
        FIND_CHILD(cities, QTableView, &w, "DBGrid2");
        FIND_CHILD(districts, QTableView, &w, "DBGrid3");
        provinces->setCurrentIndex(provinces->model()->index(1, 0));
        QCOMPARE(names(cities), QStringList{"天津市"});
        QCOMPARE(districts->model()->rowCount(), 0);
        provinces->setCurrentIndex(provinces->model()->index(34, 0));
        QCOMPARE(current(provinces), QStringLiteral("无城省"));
        QCOMPARE(cities->model()->rowCount(), 0);
        QCOMPARE(districts->model()->rowCount(), 0);
    }

    void listsCannotBeEdited()
    {
        TempStore store;
        VERIFY_OK(store.make());
        Tcity_tools w(Store::database());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        FIND_CHILD(districts, QTableView, &w, "DBGrid3");
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
        FIND_CHILD(provinces, QTableView, &w, "DBGrid1");
        FIND_CHILD(cities, QTableView, &w, "DBGrid2");
        const auto shown = dialogs.shown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, Dialogs::Kind::Error);
        QVERIFY2(shown[0].text.contains(QStringLiteral("city")), qPrintable(shown[0].text));
        QCOMPARE(provinces->model()->rowCount(), 34);
        QCOMPARE(cities->model()->rowCount(), 0);
        QVERIFY(w.isVisible());
    }
};

QTEST_MAIN(TstRegionLookup)
#include "tst_region_lookup.moc"
