#pragma once

#include "interchange/core/IcalExport.h"

#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <optional>

class QMenu;
class QWidget;

// The iCalendar commands a window offers: "导出到iCalendar文件..." and
// "从iCalendar文件导入...", appended to one of its menus after what it
// already holds. Each opens one dialog over the window (a second use brings
// the open one forward).
namespace IcalCommands {

struct Setup
{
    QSqlDatabase db;
    IcalExport::What what = IcalExport::What::Jobs;
    // The days the window lists now ("yyyyMMdd" or "yyyyMM") and how it
    // names them, asked when the export opens; none for a diary.
    std::function<std::pair<QString, QString>()> listed;
    // The password that guards protected records; none when none does.
    std::function<std::optional<QString>()> password;
    // Called after an import wrote jobs or notes.
    std::function<void()> imported;
};

inline const QString kExportAction = QStringLiteral("icalExportAction");
inline const QString kImportAction = QStringLiteral("icalImportAction");

void addTo(QMenu *menu, QWidget *window, const Setup &setup);

} // namespace IcalCommands
