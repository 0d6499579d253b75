#pragma once

#include "contacts/core/ResultList.h"
#include "contacts/core/ShownContact.h"

#include <QSqlDatabase>
#include <QWidget>

#include <functional>

class QTabWidget;
class ImportPanel;
class NavigationStrip;
class OtherPanel;
class PersonalPanel;
class SearchArea;
class UnitPanel;
class VCardImportPanel;

// "通讯录": the address book. A search fills the result list; its current row
// decides the contact that the three record tabs show. The window is short
// (collapsed) until a search finds rows or a contact is started.
class Tpe_connect final : public QWidget
{
    Q_OBJECT

public:
    // Least sizes: the window is as wide as its bands need, at least kWidth,
    // and expanded as tall as its tabs need, at least kExpandedExtra under
    // the search area.
    static constexpr int kWidth = 565;
    static constexpr int kCollapsedExtra = 40;
    static constexpr int kExpandedExtra = 580;
    static constexpr int kExpandedTop = 20;
    enum Tab { PersonalTab, UnitTab, OtherTab, ImportTab, ExportTab };

    explicit Tpe_connect(QSqlDatabase db, QWidget *parent = nullptr);

    // The launcher supplies the about window, which this subsystem cannot reach.
    void setAboutOpener(std::function<void()> open) { m_openAbout = std::move(open); }

    // The contact loader: fills the record tabs from the current result row.
    void loadContact();
    void collapse();
    void expandForResults();
    void expandForNewContact();
    void expandForImport();
    bool isExpanded() const;

    const ResultList &results() const { return m_results; }
    // Makes a row of the result list current (0-based) and shows its contact.
    void selectResultRow(int position);
    QString currentContactId() const { return m_results.currentId(); }
    // Everything the record tabs show now, decoded and with unsaved input.
    ShownContact shownContact() const;
    // The pages of the import and export tabs, filled by their own panels.
    QWidget *page(Tab tab) const;

signals:
    void printRequested();
    // A search opened or closed the result list.
    void resultsChanged();
    // The result list moved to another contact.
    void positionChanged();

protected:
    void showEvent(QShowEvent *event) override;
    // Refused while an import runs (either format): closing would stop it half way.
    void closeEvent(QCloseEvent *event) override;

private:
    void buildTabs();
    void buildTransferPanels();
    int bandWidth() const;
    void placeBands();
    void setHeightAndTop(int extra, int top);
    void search();
    void closeResults();
    void showCount();
    void orderChosen(ContactSearch::Order order);
    void step(Result<bool> (ResultList::*move)());
    void moved(const Result<bool> &moved);
    void tabChanged();
    void showTabs(bool shown);
    void setCurrentTabQuietly(Tab tab);

    QSqlDatabase m_db;
    ResultList m_results;
    std::function<void()> m_openAbout;
    SearchArea *m_searchArea = nullptr;
    NavigationStrip *m_nav = nullptr;
    QTabWidget *m_tabs = nullptr;
    PersonalPanel *m_personal = nullptr;
    UnitPanel *m_unit = nullptr;
    OtherPanel *m_other = nullptr;
    ImportPanel *m_import = nullptr;
    VCardImportPanel *m_vcardImport = nullptr;
    QList<QWidget *> m_pages;
    bool m_quiet = false; // tab changes made by the window itself
    bool m_centred = false;
};
