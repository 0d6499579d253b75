#pragma once

#include <QByteArray>
#include <QString>

// How the password is kept in the password row: a salted PBKDF2-HMAC-SHA256
// hash, written "$pbkdf2-sha256$<iterations>$<salt>$<key>" (salt and key in
// Base64). Rows written by older copies hold the password's protection form
// written backwards; those are still accepted, and the next save of the
// password replaces them with a hash.
namespace PasswordHash {

inline const QString kPrefix = QStringLiteral("$pbkdf2-sha256$");
inline constexpr int kIterations = 200000;
// A stored count above this is refused rather than computed for minutes.
inline constexpr int kMaxIterations = 10000000;
inline constexpr int kSaltBytes = 16;
inline constexpr int kKeyBytes = 32;

// A fresh hash of `password` with a random salt.
QString make(const QString &password);
QString make(const QString &password, const QByteArray &salt, int iterations);

enum class Check {
    Match,
    Mismatch,
    Unreadable, // neither a hash nor the older form
};

// Compares `entry` exactly as typed, blanks and letter case included.
Check verify(const QString &stored, const QString &entry);

bool isHash(const QString &stored);

// RFC 8018 PBKDF2 with HMAC-SHA256.
QByteArray pbkdf2(const QByteArray &password, const QByteArray &salt, int iterations, int length);

} // namespace PasswordHash
