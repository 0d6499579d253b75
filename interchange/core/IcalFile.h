#pragma once

#include "store/Result.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// An iCalendar file checked and cut into its components before libical sees
// any of it. libical reads what it can and says little about a file's shape:
// a component that never ends swallows the rest of the file, one in the
// wrong place is taken as it comes. So the file's BEGIN and END lines are
// checked here first, and a file that is not whole is refused with the line
// that breaks it, before anything is written.
class IcalFile final
{
public:
    static constexpr qint64 kMaxBytes = 64 * 1024 * 1024;

    // One component directly inside a VCALENDAR, as text of its own.
    struct Part
    {
        int calendar = 0; // which VCALENDAR of the file, from 0
        int line = 0;     // its BEGIN line, from 1
        QByteArray name;  // VEVENT, VTODO, VJOURNAL or VTIMEZONE
        QByteArray text;
    };

    static Result<IcalFile> read(const QString &path);
    // Fails with the reason a user is shown when the bytes are no iCalendar
    // text (too large, NUL bytes, vCalendar 1.0) or not whole (a component
    // that never ends, an END that closes another, one inside another where
    // it cannot be).
    static Result<IcalFile> fromBytes(QByteArray bytes);

    const QList<Part> &timezones() const { return m_timezones; }
    const QList<Part> &items() const { return m_items; }
    // What was passed over, for the user to know.
    const QStringList &notes() const { return m_notes; }
    qint64 size() const { return m_size; }

private:
    IcalFile() = default;
    Result<void> scan(const QByteArray &bytes);

    QList<Part> m_timezones;
    QList<Part> m_items;
    QStringList m_notes;
    qint64 m_size = 0;
};
