#include "contacts/windows/RecordTab.h"

#include "contacts/core/ContactStoreError.h"
#include "contacts/windows/TabButtonBar.h"
#include "platform/ui/Dialogs.h"

namespace {

const QString kAskDelete = QStringLiteral("是否确定删除本记录 (Yes/No)...");

} // namespace

RecordTab::RecordTab(Look look, TabButtons &state, QWidget *parent)
    : QWidget(parent)
    , m_look(std::move(look))
    , m_state(state)
{
}

RecordTable *RecordTab::makeTable(RecordTable::Memo memo)
{
    m_table = new RecordTable(m_look.prefix, m_look.gridHint, m_look.columnWidths, memo, this);
    connect(m_table, &RecordTable::rowChosen, this, &RecordTab::showRow);
    connect(m_table, &RecordTable::refreshRequested, this, &RecordTab::reopen);
    return m_table;
}

TabButtonBar *RecordTab::makeButtons()
{
    m_buttons = new TabButtonBar(m_look.prefix, m_look.places, this);
    return m_buttons;
}

void RecordTab::applyState()
{
    m_buttons->apply(m_state);
    m_table->setHeld(m_state.isEditing());
}

void RecordTab::reset()
{
    m_state.start();
    applyState();
}

void RecordTab::openSet(const QString &contactId)
{
    m_setId = contactId;
    Listing listing = readSet(contactId);
    m_table->fill(listing.rowids, std::move(listing.cells));
}

void RecordTab::showRow(int row)
{
    if (row < 0 || row >= m_table->choice().count())
        return;
    m_table->setShownRow(row);
    showRecord(row);
}

RecordChoice::Save RecordTab::saveAction(bool editOfEmptyAppends) const
{
    return m_table->choice().saveAction(m_state.mode(), editOfEmptyAppends);
}

bool RecordTab::failed(const Result<RowChange> &changed)
{
    if (changed && *changed == RowChange::Done)
        return false;
    Dialogs::error(this, changed ? ContactStoreError::kGone : changed.error());
    if (changed)
        reopen();
    return true;
}

bool RecordTab::failed(const Result<void> &written)
{
    if (written)
        return false;
    Dialogs::error(this, written.error());
    return true;
}

void RecordTab::showError(const QString &text)
{
    Dialogs::error(this, text);
}

void RecordTab::reportGone()
{
    Dialogs::error(this, ContactStoreError::kGone);
}

void RecordTab::deleteAndReload()
{
    deleteShown();
    emit loaderRequested();
}

void RecordTab::gridDeleteAndReload()
{
    if (shownRow() >= 0)
        deleteShown();
    emit loaderRequested();
}

bool RecordTab::deleteShown()
{
    const int row = shownRow();
    if (row < 0) {
        reportGone();
        return false;
    }
    if (!Dialogs::confirm(this, kAskDelete))
        return false;
    return !failed(removeRow(row));
}
