#include "contacts/core/RecordChoice.h"

void RecordChoice::open(QList<qint64> rowids)
{
    m_rowids = std::move(rowids);
    if (!m_rowids.contains(m_shown))
        m_shown = -1;
}

int RecordChoice::shownRow() const
{
    return m_shown < 0 ? -1 : int(m_rowids.indexOf(m_shown));
}

void RecordChoice::show(int row)
{
    m_shown = m_rowids.value(row, -1);
}

RecordChoice::Save RecordChoice::saveAction(TabMode mode, bool editOfEmptyAppends) const
{
    switch (mode) {
    case TabMode::View:
        return Save::Nothing;
    case TabMode::New:
        return Save::Append;
    case TabMode::Edit:
        if (editOfEmptyAppends && m_rowids.isEmpty())
            return Save::Append;
        return shownRow() < 0 ? Save::Gone : Save::Update;
    }
    return Save::Nothing;
}
