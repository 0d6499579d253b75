#pragma once

#include "contacts/core/TabButtons.h"

// The work-unit tab's mode and buttons. Loading a contact never changes the
// mode; it only sets the buttons of the view or, without units, starts a new one.
class UnitTabState final : public TabButtons
{
public:
    UnitTabState() { start(); }

    void start() override;
    void loadedWithUnits();
    // "新建", and a loaded contact without units.
    void startNew();
    void modify();
    void undo();
    void newSaved();
    void editSaved();
};
