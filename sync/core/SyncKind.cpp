#include "sync/core/SyncKind.h"

namespace SyncKinds {

QString name(SyncKind kind)
{
    switch (kind) {
    case SyncKind::Contact:
        return QStringLiteral("contact");
    case SyncKind::Job:
        return QStringLiteral("job");
    case SyncKind::Note:
        return QStringLiteral("note");
    }
    return {};
}

std::optional<SyncKind> fromName(const QString &name)
{
    for (const SyncKind kind : {SyncKind::Contact, SyncKind::Job, SyncKind::Note}) {
        if (SyncKinds::name(kind) == name)
            return kind;
    }
    return std::nullopt;
}

RecordUids::Kind uidKind(SyncKind kind)
{
    switch (kind) {
    case SyncKind::Contact:
        return RecordUids::Kind::Contact;
    case SyncKind::Job:
        return RecordUids::Kind::Job;
    case SyncKind::Note:
        break;
    }
    return RecordUids::Kind::Note;
}

} // namespace SyncKinds
