#include "contacts/windows/UnitPanel.h"

#include "contacts/core/ContactColumns.h"
#include "contacts/core/ResultList.h"
#include "contacts/core/StoredForm.h"
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
    : RecordTab({QStringLiteral("d"), QStringLiteral("双击显示内容"), {100, 120, 80, 80, 100}, 3}, m_state, parent)
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
        ValueBox::fit(edit, number         ? ValueBox::digits(13)
                            : i == UnitUrl ? ValueBox::address()
                                           : ValueBox::characters(16));
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
    RecordTable *table = makeTable({m_notes, kNotesShort, kNotesTall});
    layout->addWidget(table, 1);
    layout->addStretch();
    connect(table, &RecordTable::deleteRequested, this, &UnitPanel::gridDeleteAndReload);
}

void UnitPanel::buildButtons()
{
    TabButtonBar *buttons = makeButtons();
    layout()->addWidget(buttons);
    buttons->connectClicks<UnitPanel>(this, {&UnitPanel::modify, &UnitPanel::save, &UnitPanel::deleteAndReload,
                                             &UnitPanel::undo, &UnitPanel::startNew, &UnitPanel::loaderRequested});
}

RecordTab::Listing UnitPanel::readSet(const QString &contactId)
{
    m_rows = fetch(m_repository, contactId);
    return listingOf(m_rows, [](const UnitRecord &row) { return row.texts.mid(0, UnitNotes); });
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

void UnitPanel::showRecord(int row)
{
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
    showRow(shownRow());
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
    switch (saveAction()) {
    case RecordChoice::Save::Nothing:
        break;
    case RecordChoice::Save::Append:
        record.id = m_results->currentId();
        if (failed(m_repository.append(record)))
            return;
        m_state.newSaved();
        applyState();
        Dialogs::information(this, QStringLiteral("成功保存本记录 ..."));
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

// The unit the form shows, never another row of the grid.
Result<RowChange> UnitPanel::removeRow(int row)
{
    return m_repository.remove(m_rows.at(row).rowid);
}
