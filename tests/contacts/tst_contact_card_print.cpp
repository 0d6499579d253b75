#include "contacts/windows/OtherPanel.h"
#include "contacts/windows/UnitPanel.h"
#include "ContactsFixture.h"
#include "report/PageView.h"
#include "report/Tprint_box.h"
#include "report/Tprint_view.h"
#include "store/FieldCodec.h"

// "打印" on the personal tab prints what the window shows at that moment.
class TstContactCardPrint : public QObject
{
    Q_OBJECT

    static QStringList pageTexts(const report::RenderedPage &page)
    {
        QStringList texts;
        for (const report::PlacedItem &item : page.items)
            texts += item.lines;
        return texts;
    }

private slots:
    void printCopiesTheScreen_data()
    {
        QTest::addColumn<QString>("sexButton");
        QTest::addColumn<QString>("sex");
        QTest::newRow("男") << "sexMale"
                            << "男";
        QTest::newRow("女") << "sexFemale"
                            << "女";
    }
    void printCopiesTheScreen()
    {
        QFETCH(QString, sexButton);
        QFETCH(QString, sex);
        ContactsFixture f;
        VERIFY_OK(f.make());
        FIND_CHILD(mobile, QLineEdit, f.window, "pe_mib");
        FIND_CHILD(remarks, QPlainTextEdit, f.window, "pe_memo");
        FIND_CHILD(sexChoice, QRadioButton, f.window, sexButton);
        const QString id = QStringLiteral("20260101000001");
        // Two personal records share the id; the first is stored encoded.
        QVERIFY(f.exec("INSERT INTO pe_info (pe_id, pe_name, pe_memo, e_dec_yn) VALUES (?, ?, ?, 1)",
                       {id, FieldCodec::encode(QStringLiteral("甲")), FieldCodec::encode(QStringLiteral("一\n\n二"))}));
        QVERIFY(f.exec("INSERT INTO pe_info (pe_id, pe_name, pe_memo) VALUES (?, '甲', '一')", {id}));
        VERIFY_OK(f.search(QStringLiteral("kindName"), QStringLiteral("甲")));
        QVERIFY(f.window->results().isOpen());

        // Unsaved input, as the user left it.
        mobile->setText(QStringLiteral("13900000000"));
        sexChoice->setChecked(true);
        remarks->setPlainText(QStringLiteral("第一段\n\n   \n第二段"));
        VERIFY_OK(f.press(QStringLiteral("pPrint")));

        Tprint_view *view = Tprint_view::reference();
        QVERIFY(view);
        QVERIFY(Tprint_box::reference());
        QCOMPARE(Tprint_box::reference()->parentWidget(), f.window);
        const report::RenderedReport *card = view->pageView()->report();
        QCOMPARE(card->pages.size(), 2); // one page per personal record
        for (const report::RenderedPage &page : card->pages) {
            const QStringList texts = pageTexts(page);
            QVERIFY(texts.contains(QStringLiteral("甲")));
            QVERIFY(texts.contains(QStringLiteral("13900000000")));
            QVERIFY(texts.contains(sex));
            // The prompts of the empty work-unit and other-information tabs.
            QVERIFY(texts.contains(UnitPanel::kNamePrompt));
            QVERIFY(texts.contains(OtherPanel::kPrompt));
            const qsizetype first = texts.indexOf(QStringLiteral("第一段"));
            QVERIFY(first >= 0);
            QCOMPARE(texts.value(first + 1), QStringLiteral("第二段"));
        }
        view->close();
    }
};

QTEST_MAIN(TstContactCardPrint)
#include "tst_contact_card_print.moc"
