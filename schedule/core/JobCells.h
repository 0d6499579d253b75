#pragma once

#include <QString>

// The texts the schedule's lists and labels show in place of stored values.
namespace JobCells {

inline constexpr int kMemoBytes = 20;
inline const QString kNoJobText = QStringLiteral("本日没有工作安排 .....");

// The first `limit` bytes of `text` in the GBK code page, whole characters
// only: a character whose bytes straddle the cut is left out, never shown as
// half a character.
QString leadingBytes(const QString &text, int limit = kMemoBytes);

// job_memo in the day list: the placeholder when empty, else its first bytes.
QString dayListMemo(const QString &memo);
// job_memo in the confirmation panel: its first bytes, no placeholder.
QString panelMemo(const QString &memo);
// A date_id or completion stamp as "yyyy-mm-dd"; empty stays empty.
QString day(const QString &stamp);
// alter_yn: "提醒于  hh:mm" from date_id, or "不提醒".
QString reminder(bool reminder, const QString &dateId);
// complete_yn under "完成情况:": "未完成.." as it is, else "于yyyy-mm-dd结束".
QString completion(const QString &completeYn);
// Said in the completion log when `jobsWithId` jobs carry the shown job's id
// (stores written before ids were made unique): the entries, which are linked
// by id, belong to them all. Empty for a job of its own.
QString sharedId(int jobsWithId);

} // namespace JobCells
