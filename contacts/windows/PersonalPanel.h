#pragma once

#include "contacts/core/ContactRecords.h"
#include "contacts/core/PersonalTabState.h"
#include "contacts/core/PersonRepository.h"
#include "contacts/windows/RecordTab.h"

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class PhotoBox;
class ResultList;

// The tab "个人信息栏": the personal record of the current contact, its photo,
// and the other records that share its id.
class PersonalPanel final : public RecordTab
{
    Q_OBJECT

public:
    static constexpr int kRemarksTall = 201;
    static constexpr int kRemarksShort = 97;

    PersonalPanel(const QSqlDatabase &db, const ResultList *results, QWidget *parent = nullptr);

    // The contact loader's personal step.
    void load(const QString &contactId);
    // "新建": an empty form for a contact not yet saved.
    void startNew();

    QStringList shownTexts() const;
    bool shownMale() const;
    QByteArray shownPhoto() const;
    bool encodeTicked() const;
    int recordCount() const { return int(m_rows.size()); }
    const PersonalTabState &state() const { return m_state; }
    QLineEdit *nameBox() const { return m_edits.first(); }

signals:
    // The unit and other tabs hide: an unsaved contact has no id for them.
    void newContactStarted();
    void collapseRequested();
    void printRequested();

private:
    void buildForm();
    void buildButtons();
    Listing readSet(const QString &contactId) override;
    void showRecord(int row) override;
    Result<RowChange> removeRow(int row) override;
    void setTexts(const QStringList &texts);

    void modify();
    void undo();
    void cancel();
    void save();
    void saveNew(PersonRecord record);
    void saveEdit(PersonRecord record);
    void deleteCurrent();
    void gridDelete();

    PersonRepository m_repository;
    const ResultList *m_results = nullptr;
    PersonalTabState m_state;
    QList<PersonRecord> m_rows; // the personal record set

    QList<QLineEdit *> m_edits; // the nine one-line values, remarks aside
    QPlainTextEdit *m_remarks = nullptr;
    QRadioButton *m_male = nullptr;
    QRadioButton *m_female = nullptr;
    QCheckBox *m_encode = nullptr;
    PhotoBox *m_photo = nullptr;
};
