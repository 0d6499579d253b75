// The sync page driven as a user does, against a real Radicale: the server
// and login typed, the address book and calendar made on the server, the
// settings kept in main.ini and never the password, 立即同步 with its
// result in plain words, a wrong password, and a certificate the system does
// not trust, taken only after the user checked its fingerprint. Runs on a
// private session bus with no secret store, as many desktops have.
#include "DavServer.h"
#include "platform/ProfileFile.h"
#include "ScriptedDialogs.h"
#include "store/Sql.h"
#include "store/Store.h"
#include "sync/core/SyncRunner.h"
#include "sync/core/SyncState.h"
#include "sync/windows/SyncHost.h"
#include "sync/windows/Tsync_config.h"
#include "TempStore.h"
#include "TextFit.h"
#include "Widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

class FakeSyncHost final : public SyncHost
{
public:
    explicit FakeSyncHost(const TempStore &store)
        : m_store(store)
    {
    }
    QSqlDatabase database() const override { return Store::database(); }
    QString storePath() const override { return m_store.storePath(); }
    QString profilePath() const override { return m_store.filePath(QStringLiteral("main.ini")); }
    bool diaryNeedsPassword() const override { return false; }
    SyncRunner &syncRunner() override { return m_runner; }
    bool startSync(QString *why) override
    {
        const SyncSettings settings = SyncSettings::read(ProfileFile(profilePath()));
        Result<SyncRunner::Job> job = SyncRunner::jobFor(settings, password, storePath(), false);
        if (!job) {
            *why = job.error();
            return false;
        }
        m_runner.start(*job);
        return true;
    }
    std::optional<QString> password;

private:
    const TempStore &m_store;
    SyncRunner m_runner;
};

} // namespace

class tst_sync_config final : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempStore> m_store;
    std::unique_ptr<FakeSyncHost> m_host;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    DavServer m_server;

    Tsync_config *openPage()
    {
        auto *page = new Tsync_config(*m_host);
        page->show();
        return page;
    }

    static void type(QWidget *page, const char *name, const QString &text)
    {
        auto *edit = Widgets::find<QLineEdit>(page, QString::fromLatin1(name));
        QVERIFY2(edit, Widgets::missing<QLineEdit>(page, QString::fromLatin1(name)).constData());
        edit->setText(text);
    }

    // Types the server's address and login, asks for the collections and
    // waits for the answer.
    void findOn(Tsync_config *page, const DavAccount &account)
    {
        type(page, "serverEdit", account.server.toString());
        type(page, "userEdit", account.user);
        type(page, "passwordEdit", account.password);
        FIND_CHILD(find, QPushButton, page, "findButton");
        find->click();
        QTRY_VERIFY_WITH_TIMEOUT(!page->isBusy(), 30000);
    }

    QStringList boxTexts()
    {
        QStringList texts;
        for (const Dialogs::Shown &shown : m_dialogs->shown())
            texts << shown.text;
        return texts;
    }

private slots:
    void initTestCase()
    {
        if (!DavServer::installed(DavServer::Kind::Radicale))
            QSKIP("radicale is not installed");
    }
    void init()
    {
        m_store = std::make_unique<TempStore>();
        VERIFY_OK(m_store->make());
        m_host = std::make_unique<FakeSyncHost>(*m_store);
        m_dialogs = std::make_unique<ScriptedDialogs>();
    }
    void cleanup()
    {
        m_dialogs.reset();
        m_host.reset();
        m_store.reset();
        m_server.stop();
    }

    void savesThenSyncs()
    {
        DavServer::Options options;
        options.password = QStringLiteral("s3cret");
        VERIFY_OK(m_server.start(DavServer::Kind::Radicale, options));
        QPointer<Tsync_config> page = openPage();
        findOn(page, m_server.account());
        QCOMPARE(boxTexts(), QStringList());
        FIND_CHILD(book, QComboBox, page.data(), "addressBookBox");
        FIND_CHILD(calendar, QComboBox, page.data(), "calendarBox");
        // A new account has neither: the page offers to make them.
        QCOMPARE(book->currentText(), QStringLiteral("在服务器上新建“记事本”"));
        QCOMPARE(calendar->currentText(), QStringLiteral("在服务器上新建“记事本”"));

        QVERIFY(Sql::run(Store::database(),
                         QStringLiteral("INSERT INTO pe_info (pe_id, pe_name, pe_sex, n_add, pe_mib, pe_other, "
                                        "pe_h_tel, post, pe_code, code_add, net_con, pe_memo, pe_img, e_dec_yn) VALUES "
                                        "('20260101080000', '张三', 1, '-', '1', '-', '-', '-', '-', '-', '-', '-', "
                                        "'', 0)")));
        m_host->password = QStringLiteral("s3cret");
        QSignalSpy finished(&m_host->syncRunner(), &SyncRunner::finished);
        FIND_CHILD(syncNow, QPushButton, page.data(), "syncNow");
        syncNow->click();
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 60000);
        QVERIFY2(finished.first().at(0).toBool(), qPrintable(finished.first().at(1).toString()));
        FIND_CHILD(last, QLabel, page.data(), "lastResult");
        QVERIFY2(last->text().contains(QStringLiteral("发送到服务器")), qPrintable(last->text()));

        // The collections made were kept; main.ini has no password.
        VERIFY_OK(SyncState::collectionUrl(Store::database(), SyncKind::Contact));
        QVERIFY(SyncState::collectionUrl(Store::database(), SyncKind::Contact).value().has_value());
        QFile ini(m_host->profilePath());
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QByteArray written = ini.readAll();
        QVERIFY(written.contains("user=alice"));
        QVERIFY(!written.contains("s3cret"));
        // No secret store on this bus: the user is told the password lasts
        // this run only.
        FIND_CHILD(note, QLabel, page.data(), "passwordNote");
        QVERIFY2(note->text().contains(QStringLiteral("只在本次运行中保留")), qPrintable(note->text()));
        delete page;
    }

    void wrongPasswordSaysSo()
    {
        DavServer::Options options;
        options.password = QStringLiteral("s3cret");
        VERIFY_OK(m_server.start(DavServer::Kind::Radicale, options));
        DavAccount account = m_server.account();
        account.password = QStringLiteral("wrong");
        QPointer<Tsync_config> page = openPage();
        findOn(page, account);
        const QStringList boxes = boxTexts();
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes.first().contains(QStringLiteral("不接受这个用户名或密码")), qPrintable(boxes.first()));
        delete page;
    }

    // A certificate the system does not trust is taken only when the user
    // says so, after seeing its fingerprint; "No" leaves the page as it was.
    void untrustedCertificateAsksFirst_data()
    {
        QTest::addColumn<bool>("trust");
        QTest::newRow("trusted") << true;
        QTest::newRow("refused") << false;
    }
    void untrustedCertificateAsksFirst()
    {
        QFETCH(bool, trust);
        DavServer::Options options;
        options.tls = true;
        VERIFY_OK(m_server.start(DavServer::Kind::Radicale, options));
        QPointer<Tsync_config> page = openPage();
        m_dialogs->answer(trust ? Dialogs::Answer::Yes : Dialogs::Answer::No);
        findOn(page, m_server.account());
        // A second look, after "Yes", runs in the background too.
        QTRY_VERIFY_WITH_TIMEOUT(!page->isBusy(), 30000);
        const QStringList boxes = boxTexts();
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes.first().contains(QString::fromLatin1(m_server.fingerprint())), qPrintable(boxes.first()));
        FIND_CHILD(save, QPushButton, page.data(), "saveButton");
        FIND_CHILD(book, QComboBox, page.data(), "addressBookBox");
        book->setCurrentIndex(-1);
        FIND_CHILD(calendar, QComboBox, page.data(), "calendarBox");
        calendar->setCurrentIndex(-1);
        save->click();
        const SyncSettings saved = SyncSettings::read(ProfileFile(m_host->profilePath()));
        QCOMPARE(saved.trustedFingerprint, trust ? QString::fromLatin1(m_server.fingerprint()) : QString());
        delete page;
    }

    void pageFitsItsText_data()
    {
        QTest::addColumn<qreal>("scale");
        QTest::newRow("desktop font") << 1.0;
        QTest::newRow("larger text") << 1.5;
    }
    void pageFitsItsText()
    {
        QFETCH(qreal, scale);
        TextFit::ScaledFont font(scale);
        QPointer<Tsync_config> page = openPage();
        QVERIFY(QTest::qWaitForWindowExposed(page));
        TextFit::saveShot(page, QStringLiteral("sync-page-%1").arg(scale));
        const QStringList faults = TextFit::faults(page);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
        delete page;
    }
};

QTEST_MAIN(tst_sync_config)
#include "tst_sync_config.moc"
