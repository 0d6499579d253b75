#pragma once

#include "contacts/core/ContactSearch.h"

#include <QFrame>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QToolButton;

// The band at the top of the address book: the search text, the six search
// kinds, "开始查询", the order of what is found ("按拼音排序"), "导入记录", and
// at the right end either "新建联系人" (tabs hidden) or the about button
// (tabs shown).
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
    ContactSearch::Order order() const;
    // Quietly: orderChosen() is for the user's choices.
    void setOrder(ContactSearch::Order order);
    // Which button stands at the right end.
    void setTabsShown(bool shown);

signals:
    void searchRequested();
    void orderChosen(ContactSearch::Order order);
    void importRequested();
    void newContactRequested();
    void aboutRequested();

private:
    QLineEdit *m_box = nullptr;
    QButtonGroup *m_kinds = nullptr;
    QCheckBox *m_pinyinOrder = nullptr;
    QPushButton *m_newContact = nullptr;
    QToolButton *m_about = nullptr;
};
