#pragma once

#include "schedule/core/JobRecord.h"
#include "store/Result.h"

#include <optional>
#include <QDate>
#include <QTime>

// What the planner's save makes of its inputs: the job row, or the reason
// nothing may be stored.
namespace JobForm {

struct Input
{
    QDate day;
    bool reminder = false;
    QString reminderText; // the time box's text, "h:mm" or "hh:mm"
    bool protect = false;
    QString text; // stored as typed, not trimmed
};

// "保存" is offered only for a text with more than white space.
bool canSave(const QString &text);
// The planner's job text and the log's new entry start empty and are emptied
// by each save, so they hold typing never saved exactly when their text is
// worth saving; white space alone is no loss.
bool holdsUnsaved(const QString &text);

// A time of day written as hours (one or two digits), a colon and two digits.
std::optional<QTime> parseTime(const QString &text);
QString invalidTimeMessage(const QString &text);

// The job row, its id and rowid still unset.
Result<JobRecord> build(const Input &input);

} // namespace JobForm
