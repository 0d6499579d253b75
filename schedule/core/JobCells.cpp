#include "schedule/core/JobCells.h"

#include "schedule/core/JobRecord.h"
#include "store/FieldCodec.h"

namespace JobCells {

namespace {

// Length of the GB18030 character that starts at `i`: one byte below 0x80,
// four when the second byte is a digit, two otherwise.
int characterLength(const QByteArray &bytes, qsizetype i)
{
    if (uchar(bytes.at(i)) < 0x80)
        return 1;
    if (i + 1 < bytes.size() && bytes.at(i + 1) >= '0' && bytes.at(i + 1) <= '9')
        return 4;
    return 2;
}

} // namespace

QString leadingBytes(const QString &text, int limit)
{
    // Every character takes at least one byte, so `limit` characters (plus
    // the low half of a pair cut in two) cover the cut.
    qsizetype chars = std::min<qsizetype>(text.size(), limit);
    if (chars > 0 && chars < text.size() && text.at(chars - 1).isHighSurrogate())
        ++chars;
    const QByteArray bytes = FieldCodec::textToBytes(text.left(chars));
    if (bytes.size() <= limit)
        return text.left(chars);
    qsizetype end = 0;
    while (end < bytes.size()) {
        const int next = characterLength(bytes, end);
        if (end + next > limit)
            break;
        end += next;
    }
    return FieldCodec::bytesToText(bytes.left(end));
}

QString dayListMemo(const QString &memo)
{
    return memo.isEmpty() ? kNoJobText : leadingBytes(memo);
}

QString panelMemo(const QString &memo)
{
    return leadingBytes(memo);
}

QString day(const QString &stamp)
{
    if (stamp.isEmpty())
        return {};
    return stamp.mid(0, 4) + u'-' + stamp.mid(4, 2) + u'-' + stamp.mid(6, 2);
}

QString reminder(bool reminder, const QString &dateId)
{
    if (!reminder)
        return QStringLiteral("不提醒");
    return QStringLiteral("提醒于  ") + dateId.mid(8, 2) + u':' + dateId.mid(10, 2);
}

QString completion(const QString &completeYn)
{
    if (completeYn == JobRecord::kOpenJob)
        return completeYn;
    return QStringLiteral("于") + day(completeYn) + QStringLiteral("结束");
}

QString sharedId(int jobsWithId)
{
    if (jobsWithId < 2)
        return {};
    return QStringLiteral("另有%1条工作安排与本条共用编号,右边的完成记录(包括新增的)为它们共有。").arg(jobsWithId - 1);
}

} // namespace JobCells
