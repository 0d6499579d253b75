#pragma once

#include "contacts/core/TabButtons.h"

// The other-information tab's mode and its two places ("修改"/"保存",
// "删除"/"撤消"). A contact without the text starts a new one at load.
class OtherTabState final : public TabButtons
{
public:
    OtherTabState() { start(); }

    void start() override;
    void loadedWithText();
    void loadedEmpty();
    void modify();
    void undo();
    void editSaved();
};
