#pragma once

#include "contacts/core/ContactSearch.h"

#include <QFrame>

class QButtonGroup;
class QLineEdit;
class QPushButton;
class QToolButton;

// The band at the top of the address book: the search text, the six search
// kinds, "开始查询", "导入记录", and at the right end either "新建联系人"
// (tabs hidden) or the about button (tabs shown).
class SearchArea final : public QFrame
{
    Q_OBJECT

public:
    // The least height; a larger desktop font makes the band taller.
    static constexpr int kHeight = 125;

    explicit SearchArea(QWidget *parent = nullptr);

    QLineEdit *searchBox() const { return m_box; }
    int bandHeight() const;
    ContactSearch::Kind kind() const;
    void setKind(ContactSearch::Kind kind);
    // Which button stands at the right end.
    void setTabsShown(bool shown);

signals:
    void searchRequested();
    void importRequested();
    void newContactRequested();
    void aboutRequested();

private:
    QLineEdit *m_box = nullptr;
    QButtonGroup *m_kinds = nullptr;
    QPushButton *m_newContact = nullptr;
    QToolButton *m_about = nullptr;
};
