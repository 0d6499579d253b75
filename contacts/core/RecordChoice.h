#pragma once

#include "contacts/core/TabButtons.h"

#include <QList>

// Which row of a record tab's set the form shows, and what the tab's "保存"
// and "删除" act on. Rows are known by their rowid, so a new reading of the
// set keeps the shown row while it is still there, and a row deleted
// meanwhile is never mistaken for its neighbour.
class RecordChoice
{
public:
    // What "保存" does with the form.
    enum class Save {
        Nothing, // the tab only shows a record
        Append,  // a new record for the contact
        Update,  // written over the shown row
        Gone,    // the shown row was deleted meanwhile: nothing can be written
    };

    // A new reading of the set, in the order the grid lists it.
    void open(QList<qint64> rowids);
    int count() const { return int(m_rowids.size()); }
    qint64 rowidAt(int row) const { return m_rowids.value(row, -1); }

    // -1 while the form shows no row of the set (none yet, or one deleted since).
    int shownRow() const;
    // The form now shows `row` (-1 or out of range: none).
    void show(int row);
    // The row a freshly loaded contact shows: its first, or none.
    int firstRow() const { return m_rowids.isEmpty() ? -1 : 0; }

    // `editOfEmptyAppends`: an edit in a tab whose set is empty adds the
    // record (the other-information tab offers "修改" on a contact without
    // its text).
    Save saveAction(TabMode mode, bool editOfEmptyAppends = false) const;

private:
    QList<qint64> m_rowids;
    qint64 m_shown = -1; // rowid of the shown row
};
