#include "contacts/windows/UnitPanel.h"

#include "contacts/core/ContactColumns.h"
#include "contacts/core/ResultList.h"
#include "contacts/core/StoredForm.h"
#include "contacts/windows/RecordSet.h"
#include "contacts/windows/RecordTable.h"
#include "contacts/windows/TabButtonBar.h"
#include "contacts/windows/ValueBox.h"
#include "platform/ui/Dialogs.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace ContactColumns;

UnitPanel::UnitPanel(const QSqlDatabase &db, const ResultList *results, QWidget *parent)
    : QWidget(parent)
    , m_repository(db)
    , m_results(results)
{
    buildForm();
    buildButtons();
    openSet({});
    applyState();
}

void UnitPanel::buildForm()
{
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    for (int i = 0; i < UnitNotes; ++i) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(kUnitTexts.at(i));
        const bool number = i == UnitPhone || i == UnitFax;
        ValueBox::fit(edit, number ? ValueBox::digits(13) : i == UnitUrl ? ValueBox::address() : ValueBox::characters(16));
        m_edits << edit;
        form->addRow(kUnitCaptions.at(i) + u':', edit);
    }
    layout->addLayout(form);
    m_encode = new QCheckBox(QStringLiteral("是否加密处理"), this);
    m_encode->setObjectName(QStringLiteral("dEncode"));
    m_encode->setToolTip(QStringLiteral("基于128位加密处理"));
    layout->addWidget(m_encode);
    layout->addWidget(new QLabel(kUnitCaptions.at(UnitNotes) + u':', this));
    m_notes = new QPlainTextEdit(this);
    m_notes->setObjectName(QStringLiteral("dw_memo"));
    m_notes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(m_notes);
    m_table = new RecordTable(QStringLiteral("d"), QStringLiteral("双击显示内容"), {100, 120, 80, 80, 100},
                              {m_notes, kNotesShort, kNotesTall}, this);
    layout->addWidget(m_table, 1);
    layout->addStretch();

    connect(m_table, &RecordTable::rowChosen, this, &UnitPanel::showRow);
    connect(m_table, &RecordTable::refreshRequested, this, [this] { openSet(QString(m_setId)); });
    connect(m_table, &RecordTable::deleteRequested, this, &UnitPanel::gridDelete);
}

void UnitPanel::buildButtons()
{
    m_buttons = new TabButtonBar(QStringLiteral("d"), 3, this);
    layout()->addWidget(m_buttons);
    m_buttons->connectClicks<UnitPanel>(this, {&UnitPanel::modify, &UnitPanel::save, &UnitPanel::deleteCurrent,
                                               &UnitPanel::undo, &UnitPanel::startNew,
                                               &UnitPanel::loaderRequested});
}

void UnitPanel::applyState()
{
    m_buttons->apply(m_state);
    m_table->setHeld(m_state.isEditing());
}

void UnitPanel::reset()
{
    m_state.start();
    applyState();
}

void UnitPanel::openSet(const QString &contactId)
{
    m_setId = contactId;
    m_rows = RecordSet::fetch(m_repository, contactId, this);
    QList<qint64> rowids;
    QList<QStringList> cells;
    for (const UnitRecord &row : std::as_const(m_rows)) {
        rowids << row.rowid;
        cells << row.texts.mid(0, UnitNotes);
    }
    m_table->fill(rowids, std::move(cells));
}

void UnitPanel::load(const QString &contactId)
{
    openSet(contactId);
    if (m_rows.isEmpty()) {
        startNew();
        return;
    }
    showRow(0);
    m_state.loadedWithUnits();
    applyState();
}

void UnitPanel::showRow(int row)
{
    if (row < 0 || row >= m_rows.size())
        return;
    m_table->setShownRow(row);
    const UnitRecord &record = m_rows.at(row);
    const auto shown = StoredForm::shown(record.texts, record.encoded);
    for (int i = 0; i < UnitNotes; ++i)
        m_edits.at(i)->setText(shown.texts.value(i));
    m_notes->setPlainText(shown.texts.value(UnitNotes));
    m_encode->setChecked(record.encoded);
    if (!shown.ok())
        Dialogs::error(this, shown.error);
}

QStringList UnitPanel::shownTexts() const
{
    QStringList texts;
    for (const QLineEdit *edit : m_edits)
        texts << edit->text();
    texts << m_notes->toPlainText();
    return texts;
}

// Ready for the contact's next unit; typing replaces the selected prompt.
void UnitPanel::startNew()
{
    m_state.startNew();
    applyState();
    QLineEdit *name = m_edits.first();
    name->setText(kNamePrompt);
    name->selectAll();
    for (int i = 1; i < UnitNotes; ++i)
        m_edits.at(i)->clear();
    m_notes->clear();
    if (isVisible())
        name->setFocus();
}

void UnitPanel::modify()
{
    m_state.modify();
    applyState();
}

void UnitPanel::undo()
{
    m_state.undo();
    applyState();
    showRow(m_table->shownRow());
}

void UnitPanel::save()
{
    UnitRecord record;
    record.texts = StoredForm::toStore(shownTexts(), m_encode->isChecked(), true);
    if (record.texts.first().isEmpty()) {
        Dialogs::information(this, QStringLiteral("单位名称为空,无法操作....."));
        return;
    }
    record.encoded = m_encode->isChecked();
    const int row = m_table->shownRow();
    if (m_state.mode() == TabMode::New) {
        record.id = m_results->currentId();
        const Written written = m_repository.append(record);
        if (!written.ok) {
            Dialogs::error(this, written.error);
            return;
        }
        m_state.newSaved();
        applyState();
        Dialogs::information(this, QStringLiteral("成功保存本记录 ..."));
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

void UnitPanel::deleteCurrent()
{
    if (!Dialogs::confirm(this, QStringLiteral("是否确定删除本记录 (Yes/No)...")))
        return;
    removeShown();
    emit loaderRequested();
}

void UnitPanel::gridDelete()
{
    if (m_table->shownRow() >= 0 && Dialogs::confirm(this, QStringLiteral("是否确定删除本记录 (Yes/No)...")))
        removeShown();
    emit loaderRequested();
}

// The unit the form shows, never another row of the grid.
void UnitPanel::removeShown()
{
    const int row = m_table->shownRow();
    if (row < 0)
        RecordSet::reportGone(this);
    else
        RecordSet::failed(m_repository.remove(m_rows.at(row).rowid), this, [] {});
}
