#include "sync/windows/Tsync_config.h"

#include "platform/ProfileFile.h"
#include "platform/Secrets.h"
#include "platform/ui/Dialogs.h"
#include "sync/core/DavClient.h"
#include "sync/core/DavDiscovery.h"
#include "sync/core/DavXml.h"
#include "sync/core/SyncRunner.h"
#include "sync/core/SyncState.h"
#include "sync/windows/SyncHost.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QThread>
#include <QVBoxLayout>

#include <memory>

namespace {

const QString kCreate = QStringLiteral("new");
const QString kNewName = QStringLiteral("记事本");

void fill(QComboBox *box, const QList<DavCollection> &collections, DavCollection::Kind kind, const QString &kept)
{
    box->clear();
    for (const DavCollection &collection : collections) {
        if (collection.kind != kind)
            continue;
        const QString url = collection.url.toString();
        box->addItem(collection.displayName.isEmpty() ? collection.url.path() : collection.displayName, url);
        box->setItemData(box->count() - 1, url, Qt::ToolTipRole);
    }
    box->addItem(QStringLiteral("在服务器上新建“%1”").arg(kNewName), kCreate);
    const int keptAt = box->findData(kept);
    box->setCurrentIndex(keptAt >= 0 ? keptAt : 0);
}

} // namespace

// What a look at the server found, carried from the worker thread.
struct Tsync_config::Found
{
    QString error;
    QByteArray fingerprint; // of a certificate the system does not trust
    QList<DavCollection> collections;
};

Tsync_config::Tsync_config(SyncHost &host, QWidget *parent)
    : QDialog(parent)
    , m_host(host)
{
    setObjectName(QStringLiteral("Tsync_config"));
    setWindowTitle(QStringLiteral("同步"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    showSettings();
    SyncRunner &runner = m_host.syncRunner();
    connect(&runner, &SyncRunner::progress, this, &Tsync_config::syncProgress);
    connect(&runner, &SyncRunner::finished, this, &Tsync_config::syncFinished);
    updateButtons();
}

Tsync_config::~Tsync_config()
{
    if (m_worker)
        m_worker->wait();
}

bool Tsync_config::isBusy() const
{
    return m_worker != nullptr;
}

void Tsync_config::buildControls()
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(buildAccount());
    layout->addWidget(buildCollections());
    layout->addWidget(buildChoices());
    layout->addWidget(buildWhen());
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("syncProgress"));
    m_progress->hide();
    layout->addWidget(m_progress);
    m_lastResult = new QLabel(this);
    m_lastResult->setObjectName(QStringLiteral("lastResult"));
    m_lastResult->setWordWrap(true);
    m_lastResult->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_lastResult);
    layout->addLayout(buildButtons());
}

QWidget *Tsync_config::buildAccount()
{
    auto *box = new QGroupBox(QStringLiteral("服务器"), this);
    box->setObjectName(QStringLiteral("accountBox"));
    auto *form = new QFormLayout(box);
    m_server = new QLineEdit(box);
    m_server->setObjectName(QStringLiteral("serverEdit"));
    m_server->setPlaceholderText(QStringLiteral("https://example.com/dav/"));
    m_server->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("https://example.com/remote.php/dav/")));
    m_user = new QLineEdit(box);
    m_user->setObjectName(QStringLiteral("userEdit"));
    m_passwordEdit = new QLineEdit(box);
    m_passwordEdit->setObjectName(QStringLiteral("passwordEdit"));
    m_passwordEdit->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("服务器地址:"), m_server);
    form->addRow(QStringLiteral("用户名:"), m_user);
    form->addRow(QStringLiteral("密码:"), m_passwordEdit);
    m_passwordNote = new QLabel(QStringLiteral("密码保存在桌面的密码保管服务中,不写入任何文件。"), box);
    m_passwordNote->setObjectName(QStringLiteral("passwordNote"));
    m_passwordNote->setWordWrap(true);
    form->addRow(m_passwordNote);
    return box;
}

QWidget *Tsync_config::buildCollections()
{
    auto *box = new QGroupBox(QStringLiteral("服务器上的通讯录和日历"), this);
    box->setObjectName(QStringLiteral("collectionBox"));
    auto *form = new QFormLayout(box);
    m_find = new QPushButton(QStringLiteral("查找通讯录和日历"), box);
    m_find->setObjectName(QStringLiteral("findButton"));
    m_addressBook = new QComboBox(box);
    m_addressBook->setObjectName(QStringLiteral("addressBookBox"));
    m_calendar = new QComboBox(box);
    m_calendar->setObjectName(QStringLiteral("calendarBox"));
    form->addRow(m_find);
    form->addRow(QStringLiteral("通讯录:"), m_addressBook);
    form->addRow(QStringLiteral("日历:"), m_calendar);
    connect(m_find, &QPushButton::clicked, this, &Tsync_config::findCollections);
    return box;
}

QWidget *Tsync_config::buildChoices()
{
    auto *box = new QGroupBox(QStringLiteral("同步的内容"), this);
    box->setObjectName(QStringLiteral("whatBox"));
    auto *layout = new QVBoxLayout(box);
    auto *kinds = new QHBoxLayout;
    m_contacts = new QCheckBox(QStringLiteral("联系人"), box);
    m_contacts->setObjectName(QStringLiteral("syncContacts"));
    m_jobs = new QCheckBox(QStringLiteral("工作安排"), box);
    m_jobs->setObjectName(QStringLiteral("syncJobs"));
    m_notes = new QCheckBox(QStringLiteral("日记"), box);
    m_notes->setObjectName(QStringLiteral("syncNotes"));
    kinds->addWidget(m_contacts);
    kinds->addWidget(m_jobs);
    kinds->addWidget(m_notes);
    kinds->addStretch(1);
    layout->addLayout(kinds);
    m_protected = new QCheckBox(QStringLiteral("也同步加密的联系人和工作,以及受密码保护的日记"), box);
    m_protected->setObjectName(QStringLiteral("syncProtected"));
    layout->addWidget(m_protected);
    auto *note = new QLabel(QStringLiteral("不选时,加密的联系人和工作、\n受密码保护的日记只留在本机。"), box);
    note->setObjectName(QStringLiteral("protectedNote"));
    layout->addWidget(note);
    return box;
}

QWidget *Tsync_config::buildWhen()
{
    auto *box = new QGroupBox(QStringLiteral("同步的时间"), this);
    box->setObjectName(QStringLiteral("whenBox"));
    auto *layout = new QHBoxLayout(box);
    m_byHand = new QRadioButton(QStringLiteral("手动"), box);
    m_byHand->setObjectName(QStringLiteral("whenByHand"));
    m_atStart = new QRadioButton(QStringLiteral("每次启动时"), box);
    m_atStart->setObjectName(QStringLiteral("whenAtStart"));
    m_every = new QRadioButton(QStringLiteral("每隔"), box);
    m_every->setObjectName(QStringLiteral("whenEvery"));
    m_minutes = new QSpinBox(box);
    m_minutes->setObjectName(QStringLiteral("minutesBox"));
    m_minutes->setRange(kLeastSyncMinutes, kMostSyncMinutes);
    m_minutes->setSuffix(QStringLiteral(" 分钟"));
    layout->addWidget(m_byHand);
    layout->addWidget(m_atStart);
    layout->addWidget(m_every);
    layout->addWidget(m_minutes);
    layout->addStretch(1);
    return box;
}

QLayout *Tsync_config::buildButtons()
{
    auto *row = new QHBoxLayout;
    m_syncNow = new QPushButton(QStringLiteral("立即同步"), this);
    m_syncNow->setObjectName(QStringLiteral("syncNow"));
    m_save = new QPushButton(QStringLiteral("保存"), this);
    m_save->setObjectName(QStringLiteral("saveButton"));
    m_save->setDefault(true);
    m_close = new QPushButton(QStringLiteral("关闭"), this);
    m_close->setObjectName(QStringLiteral("closeButton"));
    row->addWidget(m_syncNow);
    row->addStretch(1);
    row->addWidget(m_save);
    row->addWidget(m_close);
    connect(m_syncNow, &QPushButton::clicked, this, &Tsync_config::syncNow);
    connect(m_save, &QPushButton::clicked, this, [this] { save(); });
    connect(m_close, &QPushButton::clicked, this, &Tsync_config::reject);
    return row;
}

void Tsync_config::showSettings()
{
    const SyncSettings settings = SyncSettings::read(ProfileFile(m_host.profilePath()));
    m_server->setText(settings.server);
    m_user->setText(settings.user);
    m_fingerprint = settings.trustedFingerprint;
    if (settings.isSet()) {
        m_password = Secrets::find(settings.secretKey()).value_or(QString());
        m_passwordEdit->setText(m_password);
    }
    m_contacts->setChecked(settings.contacts);
    m_jobs->setChecked(settings.jobs);
    m_notes->setChecked(settings.notes);
    m_protected->setChecked(settings.includeProtected);
    m_byHand->setChecked(settings.when == SyncSettings::When::ByHand);
    m_atStart->setChecked(settings.when == SyncSettings::When::AtStart);
    m_every->setChecked(settings.when == SyncSettings::When::Every);
    m_minutes->setValue(settings.minutes);
    m_lastResult->setText(settings.lastResult.isEmpty() ? QStringLiteral("还没有同步过。")
                                                        : QStringLiteral("上次同步: ") + settings.lastResult);
    const QSqlDatabase db = m_host.database();
    const QString book = SyncState::collectionUrl(db, SyncKind::Contact).valueOr(std::nullopt).value_or(QString());
    const QString calendar = SyncState::collectionUrl(db, SyncKind::Job).valueOr(std::nullopt).value_or(QString());
    QList<DavCollection> kept;
    if (!book.isEmpty())
        kept << DavCollection{QUrl(book), {}, DavCollection::Kind::AddressBook, {}};
    if (!calendar.isEmpty())
        kept << DavCollection{QUrl(calendar), {}, DavCollection::Kind::Calendar, {}};
    fill(m_addressBook, kept, DavCollection::Kind::AddressBook, book);
    fill(m_calendar, kept, DavCollection::Kind::Calendar, calendar);
}

SyncSettings Tsync_config::chosen() const
{
    SyncSettings settings = SyncSettings::read(ProfileFile(m_host.profilePath()));
    settings.server = m_server->text().trimmed();
    settings.user = m_user->text().trimmed();
    settings.contacts = m_contacts->isChecked();
    settings.jobs = m_jobs->isChecked();
    settings.notes = m_notes->isChecked();
    settings.includeProtected = m_protected->isChecked();
    settings.when = m_every->isChecked()     ? SyncSettings::When::Every
                    : m_atStart->isChecked() ? SyncSettings::When::AtStart
                                             : SyncSettings::When::ByHand;
    settings.minutes = m_minutes->value();
    settings.trustedFingerprint = m_fingerprint;
    return settings;
}

DavAccount Tsync_config::account() const
{
    DavAccount account;
    account.server = QUrl::fromUserInput(m_server->text().trimmed());
    account.user = m_user->text().trimmed();
    account.password = m_passwordEdit->text();
    account.trustedFingerprint = m_fingerprint.toLatin1();
    return account;
}

void Tsync_config::runOnServer(std::function<void(DavClient &)> work, std::function<void()> done)
{
    const DavAccount chosenAccount = account();
    m_worker = QThread::create([chosenAccount, work = std::move(work)] {
        DavClient client(chosenAccount);
        work(client);
    });
    connect(m_worker, &QThread::finished, this, [this, done = std::move(done)] {
        m_worker->deleteLater();
        m_worker = nullptr;
        done();
        updateButtons();
    });
    m_worker->start();
    updateButtons();
}

void Tsync_config::findCollections()
{
    if (!account().server.isValid() || account().server.host().isEmpty()) {
        Dialogs::error(this, QStringLiteral("请填写服务器地址,例如 https://example.com/dav/"));
        return;
    }
    auto found = std::make_shared<Found>();
    runOnServer(
        [found](DavClient &client) {
            const DavReply probe = client.propfind(client.account().server, 0, DavXml::principalBody());
            if (probe.failure == DavReply::Failure::UntrustedCertificate) {
                found->fingerprint = probe.fingerprint;
                found->error = DavClient::explain(probe);
                return;
            }
            Result<QList<DavCollection>> collections = DavDiscovery::find(client);
            if (collections)
                found->collections = *collections;
            else
                found->error = collections.error();
        },
        [this, found] { collectionsFound(*found); });
}

void Tsync_config::collectionsFound(const Found &found)
{
    if (!found.fingerprint.isEmpty()) {
        const bool trust =
            Dialogs::confirm(this, QStringLiteral("服务器的证书不受本机信任。\n证书指纹(SHA-256): "
                                                  "%1\n请与服务器管理员核对指纹。是否信任这个证书? (Yes/No)")
                                       .arg(QString::fromLatin1(found.fingerprint)));
        if (trust) {
            m_fingerprint = QString::fromLatin1(found.fingerprint);
            findCollections();
        }
        return;
    }
    if (!found.error.isEmpty()) {
        Dialogs::error(this, found.error);
        return;
    }
    fill(m_addressBook, found.collections, DavCollection::Kind::AddressBook, m_addressBook->currentData().toString());
    fill(m_calendar, found.collections, DavCollection::Kind::Calendar, m_calendar->currentData().toString());
}

// The address book and calendar chosen, made on the server first when the
// user chose a new one.
void Tsync_config::createThenKeep(std::function<void()> then)
{
    const bool newBook = m_contacts->isChecked() && m_addressBook->currentData().toString() == kCreate;
    const bool newCalendar =
        (m_jobs->isChecked() || m_notes->isChecked()) && m_calendar->currentData().toString() == kCreate;
    if (!newBook && !newCalendar) {
        if (keepCollections())
            then();
        return;
    }
    auto made = std::make_shared<Found>();
    runOnServer(
        [made, newBook, newCalendar](DavClient &client) {
            using Kind = DavCollection::Kind;
            for (const auto &[wanted, kind] :
                 {std::pair(newBook, Kind::AddressBook), std::pair(newCalendar, Kind::Calendar)}) {
                if (!wanted)
                    continue;
                Result<DavCollection> collection = DavDiscovery::create(client, kind, kNewName);
                if (!collection) {
                    made->error = collection.error();
                    return;
                }
                made->collections << *collection;
            }
        },
        [this, made, then] {
            if (!made->error.isEmpty()) {
                Dialogs::error(this, made->error);
                return;
            }
            for (const DavCollection &collection : made->collections) {
                QComboBox *box = collection.kind == DavCollection::Kind::AddressBook ? m_addressBook : m_calendar;
                box->insertItem(0, collection.displayName, collection.url.toString());
                box->setCurrentIndex(0);
            }
            if (keepCollections())
                then();
        });
}

bool Tsync_config::keepCollections()
{
    const QSqlDatabase db = m_host.database();
    const QList<std::pair<SyncKind, QString>> chosen = {
        {SyncKind::Contact, m_addressBook->currentData().toString()},
        {SyncKind::Job, m_calendar->currentData().toString()},
        {SyncKind::Note, m_calendar->currentData().toString()},
    };
    for (const auto &[kind, url] : chosen) {
        if (url.isEmpty() || url == kCreate)
            continue;
        if (Result<void> kept = SyncState::setCollection(db, kind, url); !kept) {
            Dialogs::error(this, kept.error());
            return false;
        }
    }
    return true;
}

bool Tsync_config::save()
{
    const SyncSettings settings = chosen();
    if (!settings.isSet() || !account().server.isValid()) {
        Dialogs::error(this, QStringLiteral("请填写服务器地址,例如 https://example.com/dav/"));
        return false;
    }
    if (Result<void> written = settings.write(ProfileFile(m_host.profilePath())); !written) {
        Dialogs::error(this, written.error());
        return false;
    }
    m_password = m_passwordEdit->text();
    const Secrets::Kept kept = Secrets::keep(settings.secretKey(), m_password);
    m_passwordNote->setText(kept.lasting ? QStringLiteral("密码保存在桌面的密码保管服务中,不写入任何文件。")
                                         : Secrets::sessionOnlyText(kept));
    createThenKeep([] {});
    emit settingsSaved();
    return true;
}

void Tsync_config::syncNow()
{
    if (!save())
        return;
    // The collections may still be in the making: the sync starts after.
    auto start = [this] {
        QString why;
        if (!m_host.startSync(&why)) {
            Dialogs::error(this, why);
            return;
        }
        m_progress->setRange(0, 0);
        m_progress->show();
        m_lastResult->setText(QStringLiteral("正在同步..."));
        updateButtons();
    };
    if (m_worker)
        connect(m_worker, &QThread::finished, this, start, Qt::QueuedConnection);
    else
        start();
}

void Tsync_config::syncProgress(const QString &stage, int done, int total)
{
    m_progress->show();
    m_progress->setRange(0, std::max(total, 0));
    m_progress->setValue(done);
    m_lastResult->setText(stage);
}

void Tsync_config::syncFinished(bool, const QString &text)
{
    m_progress->hide();
    m_lastResult->setText(QStringLiteral("上次同步: ") + text);
    updateButtons();
}

void Tsync_config::updateButtons()
{
    const bool syncing = m_host.syncRunner().isRunning();
    m_find->setEnabled(!isBusy());
    m_save->setEnabled(!isBusy());
    m_syncNow->setEnabled(!isBusy() && !syncing);
}
