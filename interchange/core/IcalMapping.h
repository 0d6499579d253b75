#pragma once

#include "interchange/core/IcalPlan.h"
#include "interchange/core/IcalZones.h"

#include <QDate>
#include <QDateTime>
#include <QList>

// What one VTODO, VEVENT or VJOURNAL of a file becomes in the store: a task
// a job, an event a job at its start (its alarm a reminder at the alarm's
// minute, when that minute falls on the job's day), a journal entry a diary
// note. A recurring event becomes a job per occurrence in the chosen range,
// each with a UID of its own (the event's UID and the occurrence's
// RECURRENCE-ID), so reading the file again finds them. The store keeps
// the reminder minute as the only time of a job: an event's start time
// without an alarm leaves the day alone.
namespace IcalMapping {

struct Context
{
    IcalZones *zones = nullptr;
    int calendar = 0;
    QDate first; // the days recurring events are expanded over
    QDate last;
    QDateTime now;       // for what a file leaves undated
    int line = 0;        // where the component begins
    QString fallbackUid; // for a component without UID
};

// The properties read here, for telling which of libical's complaints
// about a component cost it something the store would keep.
bool isRead(const QByteArray &propertyName);

QList<IcalPlan> plans(icalcomponent *item, Context &context);

} // namespace IcalMapping
