#include "contacts/core/UnitTabState.h"

void UnitTabState::start()
{
    setMode(TabMode::View);
    show(Modify);
    show(Delete);
    show(New);
    hide(Save);
    hide(Undo);
    hide(Cancel);
}

void UnitTabState::loadedWithUnits()
{
    show(New);
    show(Delete);
    hide(Save);
    hide(Undo);
    hide(Cancel);
}

void UnitTabState::startNew()
{
    setMode(TabMode::New);
    show(Cancel);
    show(Save);
    hide(Delete);
}

void UnitTabState::modify()
{
    setMode(TabMode::Edit);
    hide(New);
    show(Save);
    show(Undo);
}

void UnitTabState::undo()
{
    setMode(TabMode::View);
    show(New);
    hide(Save);
    hide(Undo);
}

void UnitTabState::newSaved()
{
    hide(Save);
    hide(Undo);
    hide(Cancel);
    show(Delete);
}

void UnitTabState::editSaved()
{
    setMode(TabMode::View);
    show(New);
    hide(Save);
    hide(Undo);
}
