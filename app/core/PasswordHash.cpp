#include "app/core/PasswordHash.h"

#include "store/FieldCodec.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QStringList>

#include <algorithm>
#include <array>
#include <optional>

namespace PasswordHash {

namespace {

constexpr int kBlock = 64;  // SHA-256 block size
constexpr int kDigest = 32; // SHA-256 digest size
using Digest = std::array<char, kDigest>;

// HMAC-SHA256 with the key pads made once; each call costs two hashes.
class Hmac
{
public:
    explicit Hmac(QByteArray key)
    {
        if (key.size() > kBlock)
            key = QCryptographicHash::hash(key, QCryptographicHash::Sha256);
        key.resize(kBlock, '\0');
        m_innerPad.resize(kBlock);
        m_outerPad.resize(kBlock);
        for (int i = 0; i < kBlock; ++i) {
            m_innerPad[i] = char(key.at(i) ^ 0x36);
            m_outerPad[i] = char(key.at(i) ^ 0x5c);
        }
    }

    void sign(QByteArrayView message, Digest &out)
    {
        m_inner.reset();
        m_inner.addData(m_innerPad);
        m_inner.addData(message);
        m_outer.reset();
        m_outer.addData(m_outerPad);
        m_outer.addData(m_inner.resultView());
        const QByteArrayView result = m_outer.resultView();
        std::copy(result.begin(), result.end(), out.begin());
    }

private:
    QByteArray m_innerPad;
    QByteArray m_outerPad;
    QCryptographicHash m_inner{QCryptographicHash::Sha256};
    QCryptographicHash m_outer{QCryptographicHash::Sha256};
};

bool constantTimeEqual(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size())
        return false;
    unsigned char diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        diff |= static_cast<unsigned char>(a.at(i) ^ b.at(i));
    return diff == 0;
}

QByteArray passwordBytes(const QString &password)
{
    return password.toUtf8();
}

std::optional<QByteArray> base64(const QString &text)
{
    const auto decoded = QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.isEmpty())
        return std::nullopt;
    return decoded.decoded;
}

Check verifyHash(const QString &stored, const QString &entry)
{
    const QStringList parts = stored.mid(kPrefix.size()).split(u'$');
    if (parts.size() != 3)
        return Check::Unreadable;
    bool numeric = false;
    const int iterations = parts.at(0).toInt(&numeric);
    const auto salt = base64(parts.at(1));
    const auto key = base64(parts.at(2));
    if (!numeric || iterations < 1 || iterations > kMaxIterations || !salt || !key)
        return Check::Unreadable;
    const QByteArray computed = pbkdf2(passwordBytes(entry), *salt, iterations, int(key->size()));
    return constantTimeEqual(computed, *key) ? Check::Match : Check::Mismatch;
}

Check verifyOlderForm(const QString &stored, const QString &entry)
{
    QString forward = stored;
    std::reverse(forward.begin(), forward.end());
    const FieldCodec::Decoded decoded = FieldCodec::decode(forward);
    if (!decoded.ok)
        return Check::Unreadable;
    return decoded.text == entry ? Check::Match : Check::Mismatch;
}

} // namespace

QByteArray pbkdf2(const QByteArray &password, const QByteArray &salt, int iterations, int length)
{
    Hmac hmac(password);
    QByteArray derived;
    for (quint32 block = 1; derived.size() < length; ++block) {
        QByteArray first = salt;
        first.append(char(block >> 24)).append(char(block >> 16)).append(char(block >> 8)).append(char(block));
        Digest u;
        hmac.sign(first, u);
        Digest sum = u;
        for (int i = 1; i < iterations; ++i) {
            hmac.sign(QByteArrayView(u.data(), kDigest), u);
            for (int j = 0; j < kDigest; ++j)
                sum[j] = char(sum[j] ^ u[j]);
        }
        derived.append(sum.data(), kDigest);
    }
    derived.truncate(length);
    return derived;
}

QString make(const QString &password, const QByteArray &salt, int iterations)
{
    const QByteArray key = pbkdf2(passwordBytes(password), salt, iterations, kKeyBytes);
    return kPrefix + QString::number(iterations) + u'$' + QString::fromLatin1(salt.toBase64()) + u'$'
           + QString::fromLatin1(key.toBase64());
}

QString make(const QString &password)
{
    QByteArray salt(kSaltBytes, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(salt.data()), kSaltBytes / int(sizeof(quint32)));
    return make(password, salt, kIterations);
}

bool isHash(const QString &stored)
{
    return stored.startsWith(kPrefix);
}

Check verify(const QString &stored, const QString &entry)
{
    return isHash(stored) ? verifyHash(stored, entry) : verifyOlderForm(stored, entry);
}

} // namespace PasswordHash
