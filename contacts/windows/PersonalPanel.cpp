#include "contacts/windows/PersonalPanel.h"

#include "contacts/core/ContactColumns.h"
#include "contacts/core/ResultList.h"
#include "contacts/core/StoredForm.h"
#include "contacts/windows/PhotoBox.h"
#include "contacts/windows/RecordTable.h"
#include "contacts/windows/TabButtonBar.h"
#include "contacts/windows/ValueBox.h"
#include "platform/ui/Dialogs.h"
#include "store/Clock.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace ContactColumns;

namespace {

// Where each one-line value stands in the form: row, column pair.
struct Place
{
    int text;
    int row;
    int column;
    int span;
};
constexpr Place kPlaces[] = {
    {Name, 0, 0, 1},          {Mobile, 1, 0, 1},         {HomePhone, 1, 2, 1},      {Other, 2, 0, 1},
    {Postcode, 2, 2, 1},      {IdentityNumber, 3, 0, 3}, {CurrentAddress, 4, 0, 3}, {RegisteredAddress, 5, 0, 3},
    {OnlineContact, 6, 0, 3},
};

// What each one-line box must have room for.
QString usualValue(int text)
{
    switch (text) {
    case Name:
        return ValueBox::characters(6);
    case IdentityNumber:
        return ValueBox::digits(20);
    case CurrentAddress:
    case RegisteredAddress:
        return ValueBox::characters(16);
    case OnlineContact:
        return ValueBox::address();
    default: // phones, postcode, other
        return ValueBox::digits(13);
    }
}

} // namespace

PersonalPanel::PersonalPanel(const QSqlDatabase &db, const ResultList *results, QWidget *parent)
    : RecordTab({QStringLiteral("p"), QStringLiteral("双击显示信息"), {60, 30, 200, 90}, 3}, m_state, parent)
    , m_repository(db)
    , m_results(results)
{
    buildForm();
    buildButtons();
    openSet({});
    applyState();
}

void PersonalPanel::buildForm()
{
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    auto *form = new QGridLayout;
    for (int i = 0; i < Remarks; ++i)
        m_edits << nullptr;
    for (const Place &place : kPlaces) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(kPersonTexts.at(place.text));
        ValueBox::fit(edit, usualValue(place.text));
        m_edits[place.text] = edit;
        QString label = kPersonCaptions.at(place.text) + u':';
        form->addWidget(new QLabel(label, this), place.row, place.column);
        form->addWidget(edit, place.row, place.column + 1, 1, place.span);
    }
    auto *sex = new QHBoxLayout;
    m_male = new QRadioButton(QStringLiteral("男"), this);
    m_male->setObjectName(QStringLiteral("sexMale"));
    m_female = new QRadioButton(QStringLiteral("女"), this);
    m_female->setObjectName(QStringLiteral("sexFemale"));
    m_male->setChecked(true);
    sex->addWidget(m_male);
    sex->addWidget(m_female);
    form->addWidget(new QLabel(QStringLiteral("性别:"), this), 0, 2);
    form->addLayout(sex, 0, 3);
    top->addLayout(form, 1);

    auto *photoColumn = new QVBoxLayout;
    photoColumn->addWidget(new QLabel(QStringLiteral("照   片"), this), 0, Qt::AlignHCenter);
    m_photo = new PhotoBox(this);
    photoColumn->addWidget(m_photo);
    m_encode = new QCheckBox(QStringLiteral("是否加密处理"), this);
    m_encode->setObjectName(QStringLiteral("pEncode"));
    m_encode->setToolTip(QStringLiteral("基于128位加密处理"));
    photoColumn->addWidget(m_encode);
    photoColumn->addStretch();
    top->addLayout(photoColumn);
    layout->addLayout(top);

    layout->addWidget(new QLabel(QStringLiteral("备注:"), this));
    m_remarks = new QPlainTextEdit(this);
    m_remarks->setObjectName(kPersonTexts.at(Remarks));
    m_remarks->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(m_remarks);
    RecordTable *table = makeTable({m_remarks, kRemarksShort, kRemarksTall});
    layout->addWidget(table, 1);
    layout->addStretch();

    // Tab walks the form in reading order: name and sex, then the rest.
    QList<QWidget *> order{m_edits[Name], m_male, m_female};
    for (int text :
         {Mobile, HomePhone, Other, Postcode, IdentityNumber, CurrentAddress, RegisteredAddress, OnlineContact})
        order << m_edits[text];
    order << m_encode << m_remarks;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(table, &RecordTable::deleteRequested, this, &PersonalPanel::gridDelete);
}

void PersonalPanel::buildButtons()
{
    TabButtonBar *buttons = makeButtons();
    auto *print = new QPushButton(QStringLiteral("打印"));
    print->setObjectName(QStringLiteral("pPrint"));
    buttons->addExtra(print);
    layout()->addWidget(buttons);
    buttons->connectClicks<PersonalPanel>(this,
                                          {&PersonalPanel::modify, &PersonalPanel::save, &PersonalPanel::deleteCurrent,
                                           &PersonalPanel::undo, &PersonalPanel::startNew, &PersonalPanel::cancel});
    connect(print, &QPushButton::clicked, this, &PersonalPanel::printRequested);
}

// The personal record set: every row with the id (none for "").
RecordTab::Listing PersonalPanel::readSet(const QString &contactId)
{
    m_rows = fetch(m_repository, contactId);
    return listingOf(m_rows, [](const PersonRecord &row) {
        return QStringList{row.texts.value(Name), row.male ? QStringLiteral("男") : QStringLiteral("女"),
                           row.texts.value(CurrentAddress), row.texts.value(Mobile)};
    });
}

void PersonalPanel::load(const QString &contactId)
{
    openSet(contactId);
    if (m_rows.isEmpty())
        startNew();
    else
        showRow(0);
}

// Shows a row of the set in the controls, decoded when it was stored encoded.
void PersonalPanel::showRecord(int row)
{
    const PersonRecord &record = m_rows.at(row);
    (record.male ? m_male : m_female)->setChecked(true);
    const auto shown = StoredForm::shown(record.texts, record.encoded);
    setTexts(shown.texts);
    m_photo->setPhoto(record.photo);
    m_encode->setChecked(record.encoded);
    if (!shown.ok())
        Dialogs::error(this, shown.error);
}

void PersonalPanel::setTexts(const QStringList &texts)
{
    for (int i = 0; i < Remarks; ++i)
        m_edits.at(i)->setText(texts.value(i));
    m_remarks->setPlainText(texts.value(Remarks));
}

QStringList PersonalPanel::shownTexts() const
{
    QStringList texts;
    for (const QLineEdit *edit : m_edits)
        texts << edit->text();
    texts << m_remarks->toPlainText();
    return texts;
}

bool PersonalPanel::shownMale() const
{
    return m_male->isChecked();
}

QByteArray PersonalPanel::shownPhoto() const
{
    return m_photo->photo();
}

bool PersonalPanel::encodeTicked() const
{
    return m_encode->isChecked();
}

void PersonalPanel::modify()
{
    m_state.modify();
    applyState();
    nameBox()->setFocus();
}

void PersonalPanel::undo()
{
    m_state.undo();
    applyState();
    showRow(shownRow());
}

void PersonalPanel::startNew()
{
    emit newContactStarted();
    setTexts(QStringList());
    m_photo->setPhoto({});
    m_male->setChecked(true);
    m_state.startNew();
    applyState();
    nameBox()->setFocus();
}

void PersonalPanel::cancel()
{
    if (!m_results->isOpen()) {
        emit collapseRequested();
        return;
    }
    m_state.cancel();
    applyState();
    showRow(shownRow());
}

void PersonalPanel::save()
{
    const RecordChoice::Save action = saveAction();
    if (action == RecordChoice::Save::Nothing)
        return;
    PersonRecord record;
    record.texts = StoredForm::toStore(shownTexts(), encodeTicked());
    if (record.texts.first().isEmpty()) {
        Dialogs::information(this, QStringLiteral("姓名为空,无法操作....."));
        return;
    }
    record.male = shownMale();
    record.photo = shownPhoto();
    record.encoded = encodeTicked();
    if (action == RecordChoice::Save::Append)
        saveNew(std::move(record));
    else if (action == RecordChoice::Save::Gone)
        reportGone();
    else
        saveEdit(std::move(record));
}

void PersonalPanel::saveNew(PersonRecord record)
{
    if (failed(m_repository.append(record, Clock::now())))
        return;
    openSet(record.id);
    if (Dialogs::confirm(this, QStringLiteral("成功保存本记录,是否继续输入(Yes/No)..."))) {
        startNew();
        return;
    }
    // The contact is saved: the tab must not stay ready to append it again
    // to whatever the next search shows.
    reset();
    emit collapseRequested();
}

void PersonalPanel::saveEdit(PersonRecord record)
{
    const PersonRecord &shown = m_rows.at(shownRow());
    record.rowid = shown.rowid;
    record.id = shown.id;
    if (failed(m_repository.update(record)))
        return;
    openSet(record.id);
    m_state.editSaved();
    applyState();
    Dialogs::information(this, QStringLiteral("修改完成,成功保存本记录 ..."));
}

// Deletes the shown row only; its work units and other information stay.
// The form keeps the deleted values until another row is shown.
void PersonalPanel::deleteCurrent()
{
    if (deleteShown())
        reopen();
}

void PersonalPanel::gridDelete()
{
    deleteCurrent();
    emit loaderRequested();
}

Result<RowChange> PersonalPanel::removeRow(int row)
{
    return m_repository.remove(m_rows.at(row).rowid);
}
