#pragma once

#include <QDateTime>
#include <QString>

// Row keys and ordering keys are local time stamps of 14 digits,
// "yyyyMMddhhmmss"; a day key is their first eight digits.
namespace TimeStamp {

inline constexpr int kLength = 14;
inline constexpr int kDayKeyLength = 8;

QString format(const QDateTime &moment);
QString now();
QString dayKey(const QDateTime &moment);
QString todayKey();
// An invalid QDateTime when `stamp` is not 14 digits of a real moment.
QDateTime parse(const QString &stamp);
bool isValid(const QString &stamp);

} // namespace TimeStamp
