#pragma once

#include "contacts/core/TabButtons.h"

// The personal tab's mode and buttons. "新建" hides "删除" and shows "取消"
// over it; "撤消" only appears while the tab edits a shown record.
class PersonalTabState final : public TabButtons
{
public:
    PersonalTabState() { start(); }

    // Window shown: view with "修改", "删除", "新建".
    void start() override;
    void modify();
    void undo();
    // "新建", "新建联系人", and a loaded contact without a personal record.
    void startNew();
    // "取消" while a result list is open (without one the window collapses).
    void cancel();
    void editSaved();
};
