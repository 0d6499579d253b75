#include "app/core/PasswordHash.h"
#include "store/FieldCodec.h"

#include <QTest>

#include <algorithm>

namespace {

// The form older copies wrote: the protection form, backwards.
QString olderForm(const QString &password)
{
    QString stored = FieldCodec::encode(password);
    std::reverse(stored.begin(), stored.end());
    return stored;
}

QString quickHash(const QString &password)
{
    return PasswordHash::make(password, QByteArrayLiteral("0123456789abcdef"), 10);
}

} // namespace

class TstPasswordHash : public QObject
{
    Q_OBJECT

private slots:
    // Known answers for PBKDF2-HMAC-SHA256 (RFC 7914, section 11).
    void pbkdf2KnownAnswers_data()
    {
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<QByteArray>("salt");
        QTest::addColumn<int>("iterations");
        QTest::addColumn<QByteArray>("key");
        QTest::newRow("one iteration") << QByteArray("passwd") << QByteArray("salt") << 1
                                       << QByteArray(
                                              "55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc"
                                              "49ca9cccf179b645991664b39d77ef317c71b845b1e30bd509112041d3a19783");
        QTest::newRow("80000 iterations")
            << QByteArray("Password") << QByteArray("NaCl") << 80000
            << QByteArray("4ddcd8f60b98be21830cee5ef22701f9641a4418d04c0414aeff08876b34ab56"
                          "a1d425a1225833549adb841b51c9b3176a272bdebba1d078478f62b397f33c8d");
    }
    void pbkdf2KnownAnswers()
    {
        QFETCH(QByteArray, password);
        QFETCH(QByteArray, salt);
        QFETCH(int, iterations);
        QFETCH(QByteArray, key);
        QCOMPARE(PasswordHash::pbkdf2(password, salt, iterations, 64).toHex(), key);
    }

    void verify_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<PasswordHash::Check>("check");
        using C = PasswordHash::Check;
        QTest::newRow("hash right") << quickHash("密码 pw") << "密码 pw" << C::Match;
        QTest::newRow("hash trailing blank") << quickHash("pw") << "pw " << C::Mismatch;
        QTest::newRow("hash letter case") << quickHash("pw") << "PW" << C::Mismatch;
        QTest::newRow("older form right") << olderForm("中文密码") << "中文密码" << C::Match;
        QTest::newRow("older form ending in one =") << olderForm("abcde") << "abcde" << C::Match;
        QTest::newRow("older form trailing blank") << olderForm("abcde") << "abcde " << C::Mismatch;
        QTest::newRow("neither form") << "abc def"
                                      << "abc def" << C::Unreadable;
        QTest::newRow("hash without key") << "$pbkdf2-sha256$10$MDEyMw=="
                                          << "pw" << C::Unreadable;
        QTest::newRow("hash, bad count") << "$pbkdf2-sha256$ten$MDEy$MDEy"
                                         << "pw" << C::Unreadable;
        QTest::newRow("hash, endless count") << "$pbkdf2-sha256$2000000000$MDEy$MDEy"
                                             << "pw" << C::Unreadable;
    }
    void verify()
    {
        QFETCH(QString, stored);
        QFETCH(QString, entry);
        QFETCH(PasswordHash::Check, check);
        QCOMPARE(PasswordHash::verify(stored, entry), check);
    }

    void freshHashesAreSaltedAndSlow()
    {
        // A blank and a Chinese letter cannot occur in Base64, so the password
        // showing up in the stored form can only mean it was stored readable.
        const QString password = QStringLiteral("我的 pw");
        const QString first = PasswordHash::make(password);
        const QString second = PasswordHash::make(password);
        QVERIFY(first.startsWith(QStringLiteral("$pbkdf2-sha256$200000$")));
        QVERIFY(first != second);
        QVERIFY(!first.contains(password));
        QCOMPARE(PasswordHash::verify(first, password), PasswordHash::Check::Match);
        // The stored form fits pub_code.
        QVERIFY(first.size() <= 255);
    }
};

QTEST_GUILESS_MAIN(TstPasswordHash)
#include "tst_password_hash.moc"
