#include "schedule/core/JobForm.h"

#include "store/FieldCodec.h"
#include "store/TimeStamp.h"

#include <QRegularExpression>

namespace JobForm {

bool canSave(const QString &text)
{
    return !text.trimmed().isEmpty();
}

bool holdsUnsaved(const QString &text)
{
    return canSave(text);
}

std::optional<QTime> parseTime(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral(R"(^\s*(\d{1,2}):(\d{2})\s*$)"));
    const auto match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QTime time(match.captured(1).toInt(), match.captured(2).toInt());
    if (!time.isValid())
        return std::nullopt;
    return time;
}

QString invalidTimeMessage(const QString &text)
{
    return QStringLiteral("'%1' is not a valid date and time").arg(text);
}

Result<JobRecord> build(const Input &input)
{
    JobRecord job;
    const QString dayKey = TimeStamp::dayKey(input.day.startOfDay());
    if (input.reminder) {
        const auto time = parseTime(input.reminderText);
        if (!time)
            return fail(invalidTimeMessage(input.reminderText));
        job.dateId = dayKey + time->toString(QStringLiteral("HHmm")) + QStringLiteral("00");
        job.reminder = true;
    } else {
        job.dateId = dayKey + QStringLiteral("000000");
    }
    job.isProtected = input.protect;
    job.memo = input.protect ? FieldCodec::encode(input.text) : input.text;
    job.completion = JobRecord::kOpenJob;
    return job;
}

} // namespace JobForm
