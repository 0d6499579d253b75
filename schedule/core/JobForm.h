#pragma once

#include "JobRecord.h"

#include <optional>
#include <QDate>
#include <QTime>

// What the planner's save makes of its inputs: the job row, or the reason
// nothing may be stored.
namespace JobForm {

struct Input {
    QDate day;
    bool reminder = false;
    QString reminderText; // the time box's text, "h:mm" or "hh:mm"
    bool protect = false;
    QString text; // stored as typed, not trimmed
};

struct Built {
    std::optional<JobRecord> job; // id and rowid still unset
    QString error; // set when `job` is empty
};

// "保存" is offered only for a text with more than white space.
bool canSave(const QString &text);

// A time of day written as hours (one or two digits), a colon and two digits.
std::optional<QTime> parseTime(const QString &text);
QString invalidTimeMessage(const QString &text);

Built build(const Input &input);

} // namespace JobForm
