#pragma once

#include <QSqlDatabase>

class QWidget;

// The fill of the search indexes (IndexFill) with a progress window, for a
// store that held records before the indexes came: run at start and before
// any search that reads the indexes, it does nothing once they are whole.
namespace IndexFillProgress {

inline const QString kLabel = QStringLiteral("正在为已有的记录建立查找索引,请稍候...");
inline const QString kLater = QStringLiteral("以后再建");

// Fills what is left; true once the indexes are whole. "以后再建" stops the
// fill where it is, to go on at the next start; an error is shown over
// `parent`.
bool runIfPending(QWidget *parent, const QSqlDatabase &db);

} // namespace IndexFillProgress
