#pragma once

#include "contacts/core/ContactRecords.h"
#include "contacts/core/UnitRepository.h"
#include "contacts/core/UnitTabState.h"
#include "contacts/windows/RecordTab.h"

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class ResultList;

// The tab "工作单位栏": the current contact's work units, one shown at a time.
class UnitPanel final : public RecordTab
{
    Q_OBJECT

public:
    static constexpr int kNotesTall = 257;
    static constexpr int kNotesShort = 153;
    static inline const QString kNamePrompt = QStringLiteral("请输入该单位名称,不能为空!");

    UnitPanel(const QSqlDatabase &db, const ResultList *results, QWidget *parent = nullptr);

    // The contact loader's work-unit step.
    void load(const QString &contactId);

    QStringList shownTexts() const;
    const UnitTabState &state() const { return m_state; }

private:
    void buildForm();
    void buildButtons();
    Listing readSet(const QString &contactId) override;
    void showRecord(int row) override;
    Result<RowChange> removeRow(int row) override;

    void startNew();
    void modify();
    void undo();
    void save();

    UnitRepository m_repository;
    const ResultList *m_results = nullptr;
    UnitTabState m_state;
    QList<UnitRecord> m_rows; // the work-unit set

    QList<QLineEdit *> m_edits; // name, address, telephone, fax, web address
    QPlainTextEdit *m_notes = nullptr;
    QCheckBox *m_encode = nullptr;
};
