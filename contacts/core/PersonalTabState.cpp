#include "contacts/core/PersonalTabState.h"

void PersonalTabState::start()
{
    setMode(TabMode::View);
    show(Modify);
    show(Delete);
    show(New);
    hide(Save);
    hide(Undo);
    hide(Cancel);
}

void PersonalTabState::modify()
{
    setMode(TabMode::Edit);
    hide(New);
    show(Save);
    show(Undo);
}

void PersonalTabState::undo()
{
    setMode(TabMode::View);
    show(New);
    hide(Save);
    hide(Undo);
}

void PersonalTabState::startNew()
{
    hide(Delete);
    show(Cancel);
    show(Save);
    setMode(TabMode::New);
}

void PersonalTabState::cancel()
{
    hide(Save);
    hide(Cancel);
    show(Delete);
    undo();
}

void PersonalTabState::editSaved()
{
    setMode(TabMode::View);
    show(New);
    hide(Save);
    hide(Undo);
}
