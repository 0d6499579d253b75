#pragma once

#include "platform/ui/Dialogs.h"

#include <QStringList>
#include <QTest>

// Scripted dialogs for the life of a test function: no box ever blocks, and
// what was shown can be read back. An answer that no box took fails the test:
// the window went another way than the test meant, or the answer is stale.
class ScriptedDialogs final
{
public:
    ScriptedDialogs()
    {
        Dialogs::clearScript();
        Dialogs::setScripted(true);
    }
    ~ScriptedDialogs()
    {
        const QStringList unused = Dialogs::pendingReplies();
        Dialogs::clearScript();
        Dialogs::setScripted(false);
        // A test that failed already stopped before its boxes came.
        if (!unused.isEmpty() && QTest::currentTestFunction() && !QTest::currentTestFailed())
            QTest::qFail(qPrintable(QStringLiteral("answers never used: ") + unused.join(QStringLiteral(", "))),
                         __FILE__, __LINE__);
    }
    ScriptedDialogs(const ScriptedDialogs &) = delete;
    ScriptedDialogs &operator=(const ScriptedDialogs &) = delete;

    void answer(Dialogs::Answer answer, const QString &text = {}, int filterIndex = 0)
    {
        Dialogs::pushReply({answer, text, filterIndex});
    }
    QList<Dialogs::Shown> shown() { return Dialogs::takeShown(); }
    // Takes the boxes shown: empty when they were the one question asked
    // before typed text is dropped (when `asked`) or none at all; otherwise
    // what was shown instead.
    QByteArray unexpectedDropQuestion(bool asked)
    {
        const QList<Dialogs::Shown> boxes = shown();
        const bool asExpected = asked ? boxes.size() == 1 && boxes[0].kind == Dialogs::Kind::Confirm
                                            && boxes[0].text == QStringLiteral("内容尚未保存,确定放弃吗?")
                                      : boxes.isEmpty();
        if (asExpected)
            return {};
        QStringList texts;
        for (const Dialogs::Shown &box : boxes)
            texts << box.text;
        return QStringLiteral("expected %1, shown: [%2]")
            .arg(asked ? QStringLiteral("the drop question") : QStringLiteral("no box"), texts.join(u'|'))
            .toUtf8();
    }
    // The texts of the boxes shown since the last call.
    QStringList texts()
    {
        QStringList list;
        for (const auto &box : Dialogs::takeShown())
            list << box.text;
        return list;
    }
};
