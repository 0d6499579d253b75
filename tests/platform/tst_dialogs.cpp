#include "platform/ui/Dialogs.h"
#include "ScriptedDialogs.h"

#include <QApplication>
#include <QTest>

class TstDialogs : public QObject
{
    Q_OBJECT

private slots:
    void fullStopRule_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << "disk full"
                                << "disk full.";
        QTest::newRow("already a stop") << "disk full."
                                        << "disk full.";
        QTest::newRow("digit sorts after") << "code 5"
                                           << "code 5.";
        QTest::newRow("blank sorts before") << "oops "
                                            << "oops ";
        QTest::newRow("comma sorts before") << "a,"
                                            << "a,";
        QTest::newRow("chinese") << QStringLiteral("磁盘已满") << QStringLiteral("磁盘已满.");
        QTest::newRow("chinese stop") << QStringLiteral("记录文件没有打开。") << QStringLiteral("记录文件没有打开。");
        QTest::newRow("chinese question") << QStringLiteral("是否继续?") << QStringLiteral("是否继续?");
        QTest::newRow("chinese exclamation") << QStringLiteral("出错了!") << QStringLiteral("出错了!");
        QTest::newRow("question mark") << "why?"
                                       << "why?";
        QTest::newRow("ellipsis") << QStringLiteral("请稍候…") << QStringLiteral("请稍候…");
        QTest::newRow("empty") << ""
                               << "";
    }
    void fullStopRule()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(Dialogs::withFullStop(text), shown);
    }

    void scriptedBoxesAreRecordedAndAnswered()
    {
        ScriptedDialogs dialogs;
        dialogs.answer(Dialogs::Answer::No);
        QVERIFY(!Dialogs::confirm(nullptr, QStringLiteral("删除?(Yes/No)")));
        QVERIFY(Dialogs::confirm(nullptr, QStringLiteral("again")));
        Dialogs::error(nullptr, QStringLiteral("bad"));
        const auto shown = dialogs.shown();
        QCOMPARE(shown.size(), 3);
        QCOMPARE(shown[0].title, QStringLiteral("Confirm"));
        QCOMPARE(shown[2].title, QStringLiteral("Velmora商务记事本"));
        QCOMPARE(shown[2].text, QStringLiteral("bad."));
    }

    void responderRunsWhileItsBoxIsOpen()
    {
        ScriptedDialogs dialogs;
        int nested = 0;
        Dialogs::pushResponder([&](const Dialogs::Shown &) {
            Dialogs::information(nullptr, QStringLiteral("inner"));
            ++nested;
            return Dialogs::Reply{};
        });
        Dialogs::information(nullptr, QStringLiteral("outer"));
        QCOMPARE(nested, 1);
        QCOMPARE(dialogs.texts(), (QStringList{QStringLiteral("outer"), QStringLiteral("inner")}));
    }

    void cancelledInputIsEmptyOptional()
    {
        ScriptedDialogs dialogs;
        QVERIFY(!Dialogs::input(nullptr, "t", " ").has_value());
        dialogs.answer(Dialogs::Answer::Ok, QStringLiteral("abc "));
        QCOMPARE(Dialogs::input(nullptr, "t", " ").value(), QStringLiteral("abc "));
    }
};

QTEST_MAIN(TstDialogs)
#include "tst_dialogs.moc"
