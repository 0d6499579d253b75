#pragma once

#include "search/core/SearchHitModel.h"
#include "search/core/TextSearch.h"

#include <QSqlDatabase>
#include <QWidget>

#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableView;

// "查找日记和日程": finds the notes, jobs and completion-log entries whose
// text holds what the user typed, newest first, each with its date and the
// match in context. A double-click (or Enter) on a hit hands it to the window
// that opened the search, which shows it: the search knows no other window.
class Tfind_text final : public QWidget
{
    Q_OBJECT

public:
    struct Setup
    {
        QSqlDatabase db;
        // The launcher's password (none while none is set); left empty by
        // an opener that does not know it, whose search then lists no
        // protected job or entry.
        std::function<std::optional<QString>()> password;
        // The opener is the diary, which was opened past its own password.
        bool diaryOpen = false;
        // Shows a chosen hit.
        std::function<void(const SearchHit &)> open;
    };

    static inline const QString kTitle = QStringLiteral("查找日记和日程");
    static inline const QString kAction = QStringLiteral("findTextAction");
    static inline const QString kEmpty = QStringLiteral("查找内容不能为空,请重新输入...");
    static inline const QString kWrongPassword = QStringLiteral("1.密码输入错误,请检查后重新输入.....");
    // Longer terms make contexts too wide to list.
    static constexpr int kLongestTerm = 20;

    explicit Tfind_text(Setup setup, QWidget *parent = nullptr);

    // Appends "查找日记和日程..." to `menu`, opening one search window over
    // `window` (a second use brings it forward).
    static void addTo(QMenu *menu, QWidget *window, const Setup &setup);

private:
    QLayout *buildTermRow();
    QTableView *buildList();
    void findTyped();
    void protectionToggled(bool on);
    void openHit(const QModelIndex &index);
    bool noPasswordSet() const;
    SearchScope scope() const;
    void fitColumns();

    Setup m_setup;
    TextSearch m_search;
    SearchHitModel m_model;
    bool m_passwordGiven = false;
    QLineEdit *m_term = nullptr;
    QPushButton *m_find = nullptr;
    QCheckBox *m_protected = nullptr;
    QLabel *m_status = nullptr;
    QTableView *m_list = nullptr;
};
