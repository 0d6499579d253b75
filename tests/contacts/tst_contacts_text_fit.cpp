#include "contacts/windows/ImportPanel.h"
#include "ContactsFixture.h"
#include "TextFit.h"

#include <QFile>
#include <QRegularExpression>

// Every caption of the address book can be read whole, in each of its
// layouts and on each tab, at the fonts of this desktop and at larger ones.
class TstContactsTextFit : public QObject
{
    Q_OBJECT

    static constexpr const char *kId = "20260101000001";

    static void addContacts(ContactsFixture &f)
    {
        QVERIFY(
            f.exec("INSERT INTO pe_info (pe_id, pe_name, pe_sex, n_add, pe_mib, pe_other, pe_h_tel, post,"
                   " pe_code, code_add, net_con, pe_memo, pe_img) VALUES (?, '欧阳明', 1, '北京市海淀区中关村大街1号',"
                   " '13900000001', '-', '010-62345678', '100080', '110108199001011234', '北京市海淀区',"
                   " 'ouyang.ming@example.com', '老同学', '')",
                   {kId}));
        QVERIFY(f.exec("INSERT INTO pe_info (pe_id, pe_name) VALUES ('20260101000002', '欧阳红')"));
        for (const char *unit : {"北京星辰科技有限公司", "上海远航贸易有限公司", "广州南方物流有限公司"}) {
            QVERIFY(f.exec("INSERT INTO pe_dw_info (pe_id, dw_name, dw_add, dw_tel, dw_fax, dw_url, pe_memo)"
                           " VALUES (?, ?, '北京市朝阳区建国路88号', '010-85551234', '010-85551235',"
                           " 'www.example.com', '负责华北区销售')",
                           {kId, QString::fromUtf8(unit)}));
        }
        QVERIFY(f.exec("INSERT INTO pe_other_info (pe_id, pe_other_memo) VALUES (?, '生日 5月1日')", {kId}));
    }

    static void expectAllReadable(ContactsFixture &f)
    {
        QTest::qWait(10);
        TextFit::saveShot(f.window, QString::fromLatin1(QTest::currentDataTag()));
        QStringList faults = TextFit::faults(f.window);
        // The record and import grids hold whatever the user stored (values
        // of up to 255 characters): their columns are as wide as their cells,
        // and a grid wider than the tab scrolls sideways, as data grids do.
        static const QRegularExpression scrolled(QStringLiteral("^[pdoei]Grid .* is cut off by the edge of the list$"));
        faults.removeIf([](const QString &fault) { return scrolled.match(fault).hasMatch(); });
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China)); }

    void window_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<qreal>("fontScale");
        for (qreal scale : {1.0, 1.5}) {
            const char *suffix = scale > 1 ? ", larger font" : "";
            for (const char *state : {"collapsed", "one contact", "several contacts", "work units", "other",
                                      "new contact", "import", "export"})
                QTest::addRow("%s%s", state, suffix) << QString::fromLatin1(state) << scale;
        }
    }
    void window()
    {
        QFETCH(QString, state);
        QFETCH(qreal, fontScale);
        TextFit::ScaledFont font(fontScale);
        ContactsFixture f;
        VERIFY_OK(f.make());
        addContacts(f);
        if (state == u"new contact") {
            VERIFY_OK(f.press(QStringLiteral("newContactButton")));
        } else if (state == u"import") {
            const QString path = f.store.filePath(QStringLiteral("in.csv"));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("欧阳明,男,北京市海淀区,13900000001\r\n欧阳红,女,上海市,13900000002\r\n");
            file.close();
            VERIFY_OK(f.press(QStringLiteral("importButton")));
            f.importPanel()->openFile(path);
        } else if (state != u"collapsed") {
            VERIFY_OK(f.search(QStringLiteral("kindName"),
                               state == u"one contact" ? QStringLiteral("欧阳明") : QStringLiteral("欧阳")));
            QVERIFY(f.window->isExpanded());
            const QMap<QString, Tpe_connect::Tab> tabs{{"work units", Tpe_connect::UnitTab},
                                                       {"other", Tpe_connect::OtherTab},
                                                       {"export", Tpe_connect::ExportTab}};
            f.tabs()->setCurrentIndex(tabs.value(state, Tpe_connect::PersonalTab));
        }
        expectAllReadable(f);
    }
};

QTEST_MAIN(TstContactsTextFit)
#include "tst_contacts_text_fit.moc"
