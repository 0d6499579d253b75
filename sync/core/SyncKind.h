#pragma once

#include "interchange/core/RecordUids.h"

#include <QString>

#include <optional>

// What a sync carries: contacts to an address book, jobs and notes to a
// calendar. The names are those the sync tables and record_uid store.
enum class SyncKind { Contact, Job, Note };

namespace SyncKinds {

QString name(SyncKind kind);
std::optional<SyncKind> fromName(const QString &name);
RecordUids::Kind uidKind(SyncKind kind);

} // namespace SyncKinds
