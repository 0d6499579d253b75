#pragma once

#include "Dialogs.h"

// Scripted dialogs for the life of a test function: no box ever blocks, and
// what was shown can be read back.
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
        Dialogs::clearScript();
        Dialogs::setScripted(false);
    }
    ScriptedDialogs(const ScriptedDialogs &) = delete;
    ScriptedDialogs &operator=(const ScriptedDialogs &) = delete;

    void answer(Dialogs::Answer answer, const QString &text = {}, int filterIndex = 0)
    {
        Dialogs::pushReply({answer, text, filterIndex});
    }
    QList<Dialogs::Shown> shown() { return Dialogs::takeShown(); }
    // The texts of the boxes shown since the last call.
    QStringList texts()
    {
        QStringList list;
        for (const auto &box : Dialogs::takeShown())
            list << box.text;
        return list;
    }
};
