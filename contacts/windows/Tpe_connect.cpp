#include "contacts/windows/Tpe_connect.h"

#include "contacts/card/ContactCardPrint.h"
#include "contacts/core/StoredForm.h"
#include "contacts/windows/ExportPanel.h"
#include "contacts/windows/FormatPages.h"
#include "contacts/windows/ImportPanel.h"
#include "contacts/windows/NavigationStrip.h"
#include "contacts/windows/OtherPanel.h"
#include "contacts/windows/PersonalPanel.h"
#include "contacts/windows/SearchArea.h"
#include "contacts/windows/UnitPanel.h"
#include "interchange/windows/VCardImportPanel.h"
#include "platform/AppPaths.h"
#include "platform/ProfileFile.h"
#include "platform/ui/Dialogs.h"
#include "search/windows/IndexFillProgress.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QShortcut>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const QStringList kTabCaptions = {QStringLiteral("个人信息栏"), QStringLiteral("工作单位栏"),
                                  QStringLiteral("其他信息"), QStringLiteral("记录导入"), QStringLiteral("记录导出")};
const char *const kTabNames[] = {"tabPersonal", "tabUnit", "tabOther", "tabImport", "tabExport"};

// The order chosen for the result list is kept in main.ini for the next
// time the address book opens.
const QString kOrderSection = QStringLiteral("contacts");
const QString kOrderKey = QStringLiteral("order");
const QString kPinyin = QStringLiteral("pinyin");

ContactSearch::Order savedOrder()
{
    const QString order = ProfileFile(AppPaths::profileFile()).read(kOrderSection, kOrderKey, QString());
    return order == kPinyin ? ContactSearch::Order::Pinyin : ContactSearch::Order::ById;
}

Result<void> saveOrder(ContactSearch::Order order)
{
    return ProfileFile(AppPaths::profileFile())
        .write(kOrderSection, kOrderKey, order == ContactSearch::Order::Pinyin ? kPinyin : QStringLiteral("id"));
}

QRect screenArea(const QWidget *window)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

} // namespace

Tpe_connect::Tpe_connect(QSqlDatabase db, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_db(std::move(db))
{
    setObjectName(QStringLiteral("Tpe_connect"));
    setWindowTitle(QStringLiteral("通讯录"));
    m_searchArea = new SearchArea(this);
    m_nav = new NavigationStrip(this);
    buildTabs();

    m_searchArea->setOrder(savedOrder());
    connect(m_searchArea, &SearchArea::searchRequested, this, &Tpe_connect::search);
    connect(m_searchArea, &SearchArea::orderChosen, this, &Tpe_connect::orderChosen);
    connect(m_searchArea, &SearchArea::newContactRequested, this, &Tpe_connect::expandForNewContact);
    connect(m_searchArea, &SearchArea::importRequested, this, &Tpe_connect::expandForImport);
    connect(m_searchArea, &SearchArea::aboutRequested, this, [this] {
        if (m_openAbout)
            m_openAbout();
    });
    connect(m_nav, &NavigationStrip::firstRequested, this, [this] { step(&ResultList::moveFirst); });
    connect(m_nav, &NavigationStrip::previousRequested, this, [this] { step(&ResultList::movePrevious); });
    connect(m_nav, &NavigationStrip::nextRequested, this, [this] { step(&ResultList::moveNext); });
    connect(m_nav, &NavigationStrip::lastRequested, this, [this] { step(&ResultList::moveLast); });
    // The window sees Esc before its controls: it closes without a question.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    collapse();
}

void Tpe_connect::buildTabs()
{
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("pc1"));
    m_personal = new PersonalPanel(m_db, &m_results);
    m_unit = new UnitPanel(m_db, &m_results);
    m_other = new OtherPanel(m_db, &m_results);
    m_pages = {m_personal, m_unit, m_other, new QWidget, new QWidget};
    for (int i = 0; i < m_pages.size(); ++i) {
        m_pages[i]->setObjectName(QLatin1String(kTabNames[i]));
        m_tabs->addTab(m_pages[i], kTabCaptions.at(i));
    }
    connect(m_tabs, &QTabWidget::currentChanged, this, &Tpe_connect::tabChanged);
    buildTransferPanels();
    connect(m_personal, &PersonalPanel::newContactStarted, this, [this] {
        setCurrentTabQuietly(PersonalTab);
        m_tabs->setTabVisible(UnitTab, false);
        m_tabs->setTabVisible(OtherTab, false);
    });
    connect(m_personal, &PersonalPanel::collapseRequested, this, [this] {
        collapse();
        m_searchArea->searchBox()->setFocus();
    });
    connect(m_personal, &PersonalPanel::loaderRequested, this, &Tpe_connect::loadContact);
    connect(m_personal, &PersonalPanel::printRequested, this, &Tpe_connect::printRequested);
    // The card copies the screen as it is at the moment of "打印".
    connect(m_personal, &PersonalPanel::printRequested, this,
            [this] { ContactCard::printPreview(this, ContactCard::fromShown(shownContact())); });
    connect(m_unit, &UnitPanel::loaderRequested, this, &Tpe_connect::loadContact);
    connect(m_other, &OtherPanel::loaderRequested, this, &Tpe_connect::loadContact);
}

void Tpe_connect::buildTransferPanels()
{
    m_import = new ImportPanel(m_db);
    m_vcardImport = new VCardImportPanel(m_db);
    auto *importFormats = new FormatPages(QStringLiteral("iFormat"));
    importFormats->addPage(QStringLiteral("逗号分隔(CSV)"), m_import);
    importFormats->addPage(QStringLiteral("vCard"), m_vcardImport);
    auto *exportPanel = new ExportPanel(m_db, *this);
    const QList<std::pair<Tab, QWidget *>> panels{{ImportTab, importFormats}, {ExportTab, exportPanel}};
    for (const auto &[tab, panel] : panels) {
        auto *layout = new QVBoxLayout(m_pages[tab]);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(panel);
    }
    // Both show the current contact on the personal tab, with every tab back.
    const auto showPersonal = [this] {
        for (Tab tab : {PersonalTab, UnitTab, OtherTab})
            m_tabs->setTabVisible(tab, m_results.isOpen());
        m_tabs->setTabVisible(PersonalTab, true);
        m_tabs->setCurrentIndex(PersonalTab);
    };
    connect(exportPanel, &ExportPanel::exported, this, showPersonal);
    connect(exportPanel, &ExportPanel::detailsRequested, this, showPersonal);
}

void Tpe_connect::closeEvent(QCloseEvent *event)
{
    if (m_import->isImporting() || m_vcardImport->isBusy()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

QWidget *Tpe_connect::page(Tab tab) const
{
    return m_pages.value(tab);
}

void Tpe_connect::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    collapse();
    m_personal->reset();
    m_unit->reset();
    m_other->reset();
    if (!m_centred) {
        const QRect area = screenArea(this);
        QWidget::move(area.center() - QPoint(width() / 2, height() / 2));
        m_centred = true;
    }
    m_searchArea->searchBox()->clear();
    m_searchArea->searchBox()->setFocus();
}

// The fixed sizes are least sizes: at a larger desktop font the bands and the
// tabs ask for more, and the window grows to give it to them.
int Tpe_connect::bandWidth() const
{
    return std::max({kWidth, m_searchArea->minimumSizeHint().width(), m_nav->minimumSizeHint().width(),
                     m_tabs->minimumSizeHint().width()});
}

void Tpe_connect::placeBands()
{
    const int search = m_searchArea->bandHeight();
    const int nav = m_nav->bandHeight();
    m_searchArea->setGeometry(0, 0, width(), search);
    m_nav->setGeometry(0, search, width(), nav);
    const int top = search + (m_nav->isVisibleTo(this) ? nav : 0);
    m_tabs->setGeometry(0, top, width(), std::max(0, height() - top));
}

void Tpe_connect::setHeightAndTop(int extra, int top)
{
    const int search = m_searchArea->bandHeight();
    int height = search + extra;
    if (extra == kExpandedExtra) {
        const int nav = m_nav->isVisibleTo(this) ? m_nav->bandHeight() : 0;
        height = std::max(height, search + nav + m_tabs->minimumSizeHint().height());
    }
    setFixedSize(bandWidth(), height);
    QWidget::move(x(), top);
    placeBands();
}

bool Tpe_connect::isExpanded() const
{
    return m_tabs->isVisibleTo(this);
}

void Tpe_connect::showTabs(bool shown)
{
    m_tabs->setVisible(shown);
    m_searchArea->setTabsShown(shown);
}

void Tpe_connect::setCurrentTabQuietly(Tab tab)
{
    const bool quiet = m_quiet;
    m_quiet = true;
    m_tabs->setTabVisible(tab, true);
    m_tabs->setCurrentIndex(tab);
    m_quiet = quiet;
}

// Closing the result list collapses the window, and collapsing closes it.
void Tpe_connect::collapse()
{
    m_results.close();
    m_nav->hide();
    showTabs(false);
    const bool first = !m_centred;
    setHeightAndTop(kCollapsedExtra, first ? y() : screenArea(this).height() / 2);
    emit resultsChanged();
}

void Tpe_connect::closeResults()
{
    if (m_results.isOpen())
        collapse();
}

void Tpe_connect::expandForResults()
{
    showTabs(true);
    for (Tab tab : {PersonalTab, UnitTab, OtherTab, ImportTab, ExportTab})
        m_tabs->setTabVisible(tab, true);
    setCurrentTabQuietly(PersonalTab);
    setHeightAndTop(kExpandedExtra, kExpandedTop);
}

void Tpe_connect::expandForNewContact()
{
    showTabs(true);
    for (Tab tab : {ImportTab, ExportTab})
        m_tabs->setTabVisible(tab, true);
    setHeightAndTop(kExpandedExtra, kExpandedTop);
    setCurrentTabQuietly(PersonalTab);
    m_personal->startNew();
}

void Tpe_connect::expandForImport()
{
    showTabs(true);
    setCurrentTabQuietly(ImportTab);
    for (Tab tab : {PersonalTab, UnitTab, OtherTab})
        m_tabs->setTabVisible(tab, false);
    setHeightAndTop(kExpandedExtra, kExpandedTop);
}

void Tpe_connect::search()
{
    QLineEdit *box = m_searchArea->searchBox();
    const QString text = StoredForm::trimmed(box->text());
    if (text.isEmpty()) {
        Dialogs::information(this, QStringLiteral("查询条件内容不能为空,请重新输入..."));
        box->selectAll();
        box->setFocus();
        return;
    }
    closeResults();
    const auto kind = m_searchArea->kind();
    // A store upgraded from before the readings lists everyone only once
    // they are all read.
    if (ContactSearch::readsPinyin(kind, text))
        IndexFillProgress::runIfPending(this, m_db);
    if (Result<void> opened = m_results.open(m_db, kind, text, m_searchArea->order()); !opened) {
        Dialogs::error(this, opened.error());
        return;
    }
    if (m_results.count() == 0) {
        collapse();
        return;
    }
    showCount();
    expandForResults();
    emit resultsChanged();
    loadContact();
}

// The navigation strip and the tabs' edge follow how many rows are listed.
void Tpe_connect::showCount()
{
    const bool several = m_results.count() >= 2;
    m_nav->setVisible(several);
    m_nav->setCount(m_results.count());
    m_tabs->setTabPosition(several ? QTabWidget::West : QTabWidget::North);
}

// The rows listed are found again in the order chosen, and the contact shown
// stays shown (the tabs keep what they hold) when it is still found.
void Tpe_connect::orderChosen(ContactSearch::Order order)
{
    if (Result<void> saved = saveOrder(order); !saved)
        Dialogs::error(this, QStringLiteral("排序方式无法保存到设置文件:\n%1").arg(saved.error()));
    if (!m_results.isOpen() || m_results.count() == 0)
        return;
    const qint64 shown = m_results.current().rowid;
    ResultList reordered;
    Result<void> opened = reordered.open(m_db, m_results.kind(), m_results.text(), order);
    Result<int> position = opened ? reordered.positionOf(shown) : Result<int>(fail(opened.error()));
    if (position && *position > 0) {
        Result<bool> moved = reordered.moveTo(*position);
        if (!moved)
            position = fail(moved.error());
    }
    if (!position) {
        Dialogs::error(this, position.error());
        return;
    }
    if (reordered.count() == 0) {
        collapse();
        return;
    }
    m_results = std::move(reordered);
    showCount(); // rows saved or deleted since the search may be listed now
    setHeightAndTop(kExpandedExtra, y());
    emit resultsChanged();
    if (*position < 0) {
        loadContact();
    } else {
        m_nav->setPosition(m_results.position() + 1);
        emit positionChanged();
    }
}

void Tpe_connect::moved(const Result<bool> &moved)
{
    if (!moved)
        Dialogs::error(this, moved.error());
    else if (*moved)
        loadContact();
}

void Tpe_connect::step(Result<bool> (ResultList::*move)())
{
    moved((m_results.*move)());
}

void Tpe_connect::selectResultRow(int position)
{
    moved(m_results.moveTo(position));
}

void Tpe_connect::tabChanged()
{
    if (!m_quiet)
        loadContact();
}

void Tpe_connect::loadContact()
{
    if (!m_results.isOpen() || m_results.count() == 0)
        return;
    const bool quiet = m_quiet;
    m_quiet = true; // the personal step may hide tabs, which moves the current one
    const QString id = m_results.currentId();
    m_unit->load(id);
    m_other->load(id);
    m_personal->load(id);
    m_nav->setPosition(m_results.position() + 1);
    m_quiet = quiet;
    emit positionChanged();
}

ShownContact Tpe_connect::shownContact() const
{
    ShownContact shown;
    shown.personTexts = m_personal->shownTexts();
    shown.male = m_personal->shownMale();
    shown.photo = m_personal->shownPhoto();
    shown.unitTexts = m_unit->shownTexts();
    shown.otherText = m_other->shownText();
    shown.personalRecords = m_personal->recordCount();
    return shown;
}
