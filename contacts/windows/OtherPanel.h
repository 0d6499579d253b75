#pragma once

#include "ContactRecords.h"
#include "OtherRepository.h"
#include "OtherTabState.h"

#include <QWidget>

class QCheckBox;
class QPlainTextEdit;
class ResultList;
class TabButtonBar;

// The tab "其他信息": one free text per contact, kept exactly as typed.
class OtherPanel final : public QWidget
{
    Q_OBJECT

public:
    static inline const QString kPrompt = QStringLiteral(" 请输入新的备注内容....");

    OtherPanel(const QSqlDatabase &db, const ResultList *results, QWidget *parent = nullptr);

    // The contact loader's other-information step.
    void load(const QString &contactId);
    void reset();

    QString shownText() const;
    const OtherTabState &state() const { return m_state; }

signals:
    void loaderRequested();

private:
    void applyState();
    void modify();
    void undo();
    void save();
    void deleteCurrent();

    OtherRepository m_repository;
    const ResultList *m_results = nullptr;
    OtherTabState m_state;
    QList<OtherRecord> m_rows; // the other-information set; the first row is shown

    QPlainTextEdit *m_text = nullptr;
    QCheckBox *m_encode = nullptr;
    TabButtonBar *m_buttons = nullptr;
};
