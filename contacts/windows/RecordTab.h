#pragma once

#include "contacts/core/ContactRecords.h"
#include "contacts/core/RecordChoice.h"
#include "contacts/core/TabButtons.h"
#include "contacts/windows/RecordTable.h"
#include "store/Result.h"

#include <QList>
#include <QStringList>
#include <QWidget>

#include <type_traits>

class TabButtonBar;

// A record tab of the address book: its form, the grid of the contact's rows
// under it, the buttons and the row being edited. The grid and the buttons
// are the same on every tab; what a tab shows and writes (its form, its
// columns, its repository) it gives through the members below.
class RecordTab : public QWidget
{
    Q_OBJECT

public:
    // How a tab looks: controls named by `prefix`, the grid's hint and
    // column widths, and how many button places the tab has.
    struct Look
    {
        QString prefix;
        QString gridHint;
        QList<int> columnWidths;
        int places = 3;
    };
    // The rowids of a reading of the set and their cells in the grid.
    struct Listing
    {
        QList<qint64> rowids;
        QList<QStringList> cells;
    };

    // Back to view state (the window was shown or collapsed).
    void reset();

signals:
    // The contact is loaded afresh into every tab.
    void loaderRequested();

protected:
    RecordTab(Look look, TabButtons &state, QWidget *parent);

    // Made once the tab's memo box exists; the tab places them in its layout.
    RecordTable *makeTable(RecordTable::Memo memo);
    TabButtonBar *makeButtons();

    // Reads the rows of `contactId` ("" has none) into the tab.
    virtual Listing readSet(const QString &contactId) = 0;
    // Shows row `row` of the last reading in the form.
    virtual void showRecord(int row) = 0;
    // Deletes row `row` of the last reading.
    virtual Result<RowChange> removeRow(int row) = 0;

    void applyState();
    void openSet(const QString &contactId);
    void reopen() { openSet(QString(m_setId)); }
    void showRow(int row);
    int shownRow() const { return m_table->shownRow(); }
    // What "保存" does now (see RecordChoice::saveAction).
    RecordChoice::Save saveAction(bool editOfEmptyAppends = false) const;
    // Shows why an update or delete failed and returns true; a row deleted
    // meanwhile also leaves the set, and the form keeps what it shows.
    bool failed(const Result<RowChange> &changed);
    bool failed(const Result<void> &written);
    void reportGone();
    // "删除" of the shown row, once the user confirmed; false when nothing
    // was deleted. A row gone already is reported without asking.
    bool deleteShown();
    // "删除" from the buttons, and from the grid's menu (which asks nothing
    // while the form shows no row); every tab is loaded afresh after it.
    void deleteAndReload();
    void gridDeleteAndReload();

    // Every row of `contactId` ("" has none); a store error is shown and
    // leaves the set empty.
    template <typename Repository> auto fetch(const Repository &repository, const QString &contactId)
    {
        using Rows = std::decay_t<decltype(repository.byContact(contactId).value())>;
        if (contactId.isEmpty())
            return Rows();
        auto fetched = repository.byContact(contactId);
        if (!fetched) {
            showError(fetched.error());
            return Rows();
        }
        return std::move(fetched).value();
    }
    void showError(const QString &text);

    RecordTable *table() const { return m_table; }
    TabButtonBar *buttonBar() const { return m_buttons; }

private:
    Look m_look;
    TabButtons &m_state;
    QString m_setId; // the contact the set was opened for
    RecordTable *m_table = nullptr;
    TabButtonBar *m_buttons = nullptr;
};

// The grid's rowids and cells of a tab's rows.
template <typename Record, typename Cells> RecordTab::Listing listingOf(const QList<Record> &rows, Cells cells)
{
    RecordTab::Listing listing;
    for (const Record &row : rows) {
        listing.rowids << row.rowid;
        listing.cells << cells(row);
    }
    return listing;
}
