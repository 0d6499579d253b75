#include "contacts/windows/OtherPanel.h"

#include "contacts/core/ResultList.h"
#include "contacts/core/StoredForm.h"
#include "contacts/windows/RecordTable.h"
#include "contacts/windows/TabButtonBar.h"
#include "platform/ui/Dialogs.h"
#include "store/FieldCodec.h"

#include <QCheckBox>
#include <QFrame>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

OtherPanel::OtherPanel(const QSqlDatabase &db, const ResultList *results, QWidget *parent)
    : RecordTab({QStringLiteral("o"), QStringLiteral("双击显示内容"), {500}, 2}, m_state, parent)
    , m_repository(db)
    , m_results(results)
{
    auto *layout = new QVBoxLayout(this);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("pe_other_memo"));
    m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(m_text, 1);
    RecordTable *table = makeTable({m_text, kTextShort, 0});
    layout->addWidget(table, 1);
    m_encode = new QCheckBox(QStringLiteral("是否加密处理"), this);
    m_encode->setObjectName(QStringLiteral("oEncode"));
    m_encode->setToolTip(QStringLiteral("基于128位加密处理"));
    layout->addWidget(m_encode);
    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    layout->addWidget(line);
    TabButtonBar *buttons = makeButtons();
    layout->addWidget(buttons);
    buttons->connectClicks<OtherPanel>(this, {&OtherPanel::modify, &OtherPanel::save, &OtherPanel::deleteAndReload,
                                              &OtherPanel::undo, nullptr, nullptr});
    connect(table, &RecordTable::deleteRequested, this, &OtherPanel::gridDeleteAndReload);
    openSet({});
    applyState();
}

RecordTab::Listing OtherPanel::readSet(const QString &contactId)
{
    m_rows = fetch(m_repository, contactId);
    return listingOf(m_rows, [](const OtherRecord &row) { return QStringList{row.memo.section(u'\n', 0, 0)}; });
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

void OtherPanel::showRecord(int row)
{
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
    // "修改" after "撤消" on a contact without the text edits a record that
    // never was: the text is added, as a new one would be.
    switch (saveAction(true)) {
    case RecordChoice::Save::Nothing:
        break;
    case RecordChoice::Save::Append:
        if (!append(record))
            return;
        break;
    case RecordChoice::Save::Gone:
        reportGone();
        return;
    case RecordChoice::Save::Update:
        record.rowid = m_rows.at(shownRow()).rowid;
        if (failed(m_repository.update(record)))
            return;
        m_state.editSaved();
        applyState();
        Dialogs::information(this, QStringLiteral("修改完成,成功保存本记录 ..."));
        break;
    }
    emit loaderRequested();
}

bool OtherPanel::append(OtherRecord &record)
{
    record.id = m_results->currentId();
    if (failed(m_repository.append(record)))
        return false;
    Dialogs::information(this, QStringLiteral("成功保存本记录 ..."));
    return true;
}

// The text the form shows, never another row of the grid.
Result<RowChange> OtherPanel::removeRow(int row)
{
    return m_repository.remove(m_rows.at(row).rowid);
}
