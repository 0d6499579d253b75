#include "contacts/core/OtherTabState.h"

void OtherTabState::start()
{
    setMode(TabMode::View);
    show(Modify);
    show(Delete);
    hide(Save);
    hide(Undo);
}

void OtherTabState::loadedWithText()
{
    hide(Save);
    hide(Undo);
    show(Delete);
}

void OtherTabState::loadedEmpty()
{
    setMode(TabMode::New);
    show(Save);
    show(Undo);
    hide(Delete);
}

void OtherTabState::modify()
{
    setMode(TabMode::Edit);
    show(Save);
    show(Undo);
}

void OtherTabState::undo()
{
    hide(Save);
    hide(Undo);
}

void OtherTabState::editSaved()
{
    hide(Save);
    hide(Undo);
}
