#pragma once

#include "contacts/core/ContactRecords.h"
#include "contacts/core/OtherRepository.h"
#include "contacts/core/OtherTabState.h"
#include "contacts/windows/RecordTab.h"

class QCheckBox;
class QPlainTextEdit;
class ResultList;

// The tab "其他信息": one free text per contact, kept exactly as typed. A
// store may hold several for one contact (contacts once shared an id); the
// grid then lists them, as the other record tabs list theirs.
class OtherPanel final : public RecordTab
{
    Q_OBJECT

public:
    static inline const QString kPrompt = QStringLiteral(" 请输入新的备注内容....");
    static constexpr int kTextShort = 300;

    OtherPanel(const QSqlDatabase &db, const ResultList *results, QWidget *parent = nullptr);

    // The contact loader's other-information step.
    void load(const QString &contactId);

    QString shownText() const;
    const OtherTabState &state() const { return m_state; }

private:
    Listing readSet(const QString &contactId) override;
    void showRecord(int row) override;
    Result<RowChange> removeRow(int row) override;
    void modify();
    void undo();
    void save();
    bool append(OtherRecord &record);

    OtherRepository m_repository;
    const ResultList *m_results = nullptr;
    OtherTabState m_state;
    QList<OtherRecord> m_rows; // the other-information set

    QPlainTextEdit *m_text = nullptr;
    QCheckBox *m_encode = nullptr;
};
