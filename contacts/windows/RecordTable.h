#pragma once

#include "contacts/core/RecordChoice.h"

#include <QGroupBox>
#include <QList>
#include <QStringList>

class RecordGrid;

// The "多项记录表" of a record tab: a grid over the tab's record set, shown
// under the tab's memo box while the set holds two or more rows.
//
// The form above always shows one row of the set, the shown row, and the
// tab's buttons act on that row alone. A click or a key move on the grid
// asks the tab to show the row moved to; while the tab edits or adds, the
// grid is held on the shown row, so what the user types never lands on a
// record the form did not show.
class RecordTable final : public QGroupBox
{
    Q_OBJECT

public:
    // The memo box over the grid, and its heights with and without the grid
    // (0: the box takes whatever room the tab leaves).
    struct Memo
    {
        QWidget *box = nullptr;
        int withList = 0;
        int alone = 0;
    };

    // The grid is named `<prefix>Grid`, the group `<prefix>GridBox`.
    RecordTable(const QString &prefix, const QString &hint, const QList<int> &columnWidths, Memo memo,
                QWidget *parent = nullptr);

    // A new reading of the set: each row's rowid and its cells. The shown row
    // stays shown while it is still in the set; otherwise no row is shown.
    void fill(const QList<qint64> &rowids, QList<QStringList> cells);
    // -1 when the form shows no row of the set (none yet, or one deleted since).
    int shownRow() const;
    // The tab now shows `row` (-1: none); the grid's current row follows.
    void setShownRow(int row);
    // While held the grid cannot leave the shown row.
    void setHeld(bool held);
    bool isHeld() const { return m_held; }
    const RecordChoice &choice() const { return m_choice; }
    RecordGrid *grid() const { return m_grid; }

signals:
    // The user moved to `row`: the tab shows it.
    void rowChosen(int row);
    void refreshRequested();
    void deleteRequested();

private:
    void currentMoved(int row);
    void followShown();

    RecordGrid *m_grid = nullptr;
    Memo m_memo;
    QString m_hint;
    RecordChoice m_choice;
    bool m_held = false;
    bool m_quiet = false; // moves made by the table itself
};
