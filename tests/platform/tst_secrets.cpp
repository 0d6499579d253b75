// Passwords on a session bus without a secret store, as on a desktop that
// runs none: the password is kept for this run only and the user is told
// why. The test runs on a private bus of its own, which starts no service.
#include "platform/Secrets.h"

#include <QTest>

class tst_secrets final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
            QSKIP("needs a private session bus: run under dbus-run-session");
    }

    void withoutSecretStoreKeptForThisRun()
    {
        const QString key = QStringLiteral("sync:user@127.0.0.1");
        const Secrets::Kept kept = Secrets::keep(key, QStringLiteral("秘密 pw"));
        QVERIFY(!kept.lasting);
        QVERIFY(!kept.why.isEmpty());
        QVERIFY(Secrets::sessionOnlyText(kept).contains(QStringLiteral("只在本次运行中保留")));
        QCOMPARE(Secrets::find(key), std::optional<QString>(QStringLiteral("秘密 pw")));
        Secrets::forget(key);
        QCOMPARE(Secrets::find(key), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(tst_secrets)
#include "tst_secrets.moc"
