#include "contacts/windows/OtherPanel.h"

#include "contacts/core/ResultList.h"
#include "contacts/core/StoredForm.h"
#include "contacts/windows/RecordSet.h"
#include "contacts/windows/RecordTable.h"
#include "contacts/windows/TabButtonBar.h"
#include "platform/ui/Dialogs.h"
#include "store/FieldCodec.h"

#include <QCheckBox>
#include <QFrame>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kAskDelete = QStringLiteral("是否确定删除本记录 (Yes/No)...");

} // namespace

OtherPanel::OtherPanel(const QSqlDatabase &db, const ResultList *results, QWidget *parent)
    : QWidget(parent)
    , m_repository(db)
    , m_results(results)
{
    auto *layout = new QVBoxLayout(this);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("pe_other_memo"));
    m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(m_text, 1);
    m_table = new RecordTable(QStringLiteral("o"), QStringLiteral("双击显示内容"), {500}, {m_text, kTextShort, 0},
                              this);
    layout->addWidget(m_table, 1);
    m_encode = new QCheckBox(QStringLiteral("是否加密处理"), this);
    m_encode->setObjectName(QStringLiteral("oEncode"));
    m_encode->setToolTip(QStringLiteral("基于128位加密处理"));
    layout->addWidget(m_encode);
    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    layout->addWidget(line);
    m_buttons = new TabButtonBar(QStringLiteral("o"), 2, this);
    layout->addWidget(m_buttons);
    m_buttons->connectClicks<OtherPanel>(this, {&OtherPanel::modify, &OtherPanel::save, &OtherPanel::deleteCurrent,
                                                &OtherPanel::undo, nullptr, nullptr});
    connect(m_table, &RecordTable::rowChosen, this, &OtherPanel::showRow);
    connect(m_table, &RecordTable::refreshRequested, this, [this] { openSet(QString(m_setId)); });
    connect(m_table, &RecordTable::deleteRequested, this, &OtherPanel::gridDelete);
    openSet({});
    applyState();
}

void OtherPanel::applyState()
{
    m_buttons->apply(m_state);
    m_table->setHeld(m_state.isEditing());
}

void OtherPanel::reset()
{
    m_state.start();
    applyState();
}

void OtherPanel::openSet(const QString &contactId)
{
    m_setId = contactId;
    m_rows = RecordSet::fetch(m_repository, contactId, this);
    QList<qint64> rowids;
    QList<QStringList> cells;
    for (const OtherRecord &row : std::as_const(m_rows)) {
        rowids << row.rowid;
        cells << QStringList{row.memo.section(u'\n', 0, 0)};
    }
    m_table->fill(rowids, std::move(cells));
}

void OtherPanel::load(const QString &contactId)
{
    openSet(contactId);
    if (m_rows.isEmpty()) {
        m_state.loadedEmpty();
        m_text->setPlainText(kPrompt);
    } else {
        showRow(0);
        m_state.loadedWithText();
    }
    applyState();
}

void OtherPanel::showRow(int row)
{
    if (row < 0 || row >= m_rows.size())
        return;
    m_table->setShownRow(row);
    const OtherRecord &record = m_rows.at(row);
    const auto shown = StoredForm::shown({record.memo}, record.encoded);
    m_text->setPlainText(shown.texts.first());
    m_encode->setChecked(record.encoded);
    if (!shown.ok())
        Dialogs::error(this, shown.error);
}

QString OtherPanel::shownText() const
{
    return m_text->toPlainText();
}

void OtherPanel::modify()
{
    m_state.modify();
    applyState();
    m_text->setFocus();
}

// Leaves the typed text on screen; only the next load replaces it.
void OtherPanel::undo()
{
    m_state.undo();
    applyState();
    m_text->setFocus();
}

void OtherPanel::save()
{
    const QString text = shownText();
    if (StoredForm::trimmed(text).isEmpty()) {
        Dialogs::information(this, QStringLiteral("内容为空,无法操作....."));
        return;
    }
    OtherRecord record;
    record.memo = m_encode->isChecked() ? FieldCodec::encode(text) : text;
    record.encoded = m_encode->isChecked();
    const int row = m_table->shownRow();
    // "修改" after "撤消" on a contact without the text edits a record that
    // never was: the text is added, as a new one would be.
    if (m_state.mode() == TabMode::New || (m_state.mode() == TabMode::Edit && m_rows.isEmpty())) {
        if (!append(record))
            return;
    } else if (m_state.mode() == TabMode::Edit) {
        if (row < 0) {
            RecordSet::reportGone(this);
            return;
        }
        record.rowid = m_rows.at(row).rowid;
        if (RecordSet::failed(m_repository.update(record), this, [this] { openSet(QString(m_setId)); }))
            return;
        m_state.editSaved();
        applyState();
        Dialogs::information(this, QStringLiteral("修改完成,成功保存本记录 ..."));
    }
    emit loaderRequested();
}

bool OtherPanel::append(OtherRecord &record)
{
    record.id = m_results->currentId();
    if (RecordSet::failed(m_repository.append(record), this, [] {}))
        return false;
    Dialogs::information(this, QStringLiteral("成功保存本记录 ..."));
    return true;
}

void OtherPanel::deleteCurrent()
{
    if (Dialogs::confirm(this, kAskDelete))
        removeShown();
    emit loaderRequested();
}

void OtherPanel::gridDelete()
{
    if (m_table->shownRow() >= 0 && Dialogs::confirm(this, kAskDelete))
        removeShown();
    emit loaderRequested();
}

// The text the form shows, never another row of the grid.
void OtherPanel::removeShown()
{
    const int row = m_table->shownRow();
    if (row >= 0)
        RecordSet::failed(m_repository.remove(m_rows.at(row).rowid), this, [] {});
}
