#pragma once

#include <QString>

#include <optional>

// Passwords the program must remember (a sync server's): kept in the
// desktop's secret store when one runs on the session bus, never in a file
// of ours. Without one a password is kept for this run only, and the caller
// tells the user so. Calls wait for the store's answer: they run a local
// event loop for at most a few seconds.
namespace Secrets {

struct Kept
{
    bool lasting = false; // in the desktop's secret store
    QString why;          // when not lasting: what the secret store said
};

// Keeps `secret` under `key` in the desktop's secret store, or for this run.
Kept keep(const QString &key, const QString &secret);
// What is kept under `key`: this run's copy first, then the secret store's.
std::optional<QString> find(const QString &key);
void forget(const QString &key);

// The words for a password kept for this run only.
QString sessionOnlyText(const Kept &kept);

} // namespace Secrets
