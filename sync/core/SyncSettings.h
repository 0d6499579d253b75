#pragma once

#include "platform/ProfileFile.h"
#include "store/Result.h"

#include <QString>

// What the user chose on the sync page, kept in main.ini's [sync] section.
// The password is never kept here: it lives in the desktop's secret store
// under secretKey(). The address book and calendar are kept in the store,
// beside what the sync knows of each record.
struct SyncSettings
{
    enum class When { ByHand, AtStart, Every };

    QString server; // the address the user typed
    QString user;
    bool contacts = true;
    bool jobs = true;
    bool notes = true;
    bool includeProtected = false; // protected contacts and jobs, and the diary behind the password
    When when = When::ByHand;
    int minutes = 30; // with When::Every
    // SHA-256 of the server's certificate when the user chose to trust one
    // the system does not ("AB:CD:...").
    QString trustedFingerprint;
    QString lastResult; // of the last sync, in plain words

    bool isSet() const { return !server.trimmed().isEmpty(); }
    QString secretKey() const;

    static SyncSettings read(const ProfileFile &file);
    Result<void> write(const ProfileFile &file) const;
};

inline constexpr int kLeastSyncMinutes = 5;
inline constexpr int kMostSyncMinutes = 24 * 60;
