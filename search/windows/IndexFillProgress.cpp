#include "search/windows/IndexFillProgress.h"

#include "platform/ui/Dialogs.h"
#include "search/core/IndexFill.h"

#include <QProgressDialog>

namespace IndexFillProgress {

bool runIfPending(QWidget *parent, const QSqlDatabase &db)
{
    IndexFill fill(db);
    const Result<bool> pending = fill.pending();
    if (pending && !*pending)
        return true;
    QProgressDialog progress(kLabel, kLater, 0, 0, parent);
    progress.setObjectName(QStringLiteral("indexFillProgress"));
    progress.setWindowTitle(QStringLiteral("建立查找索引"));
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(500);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    bool stopped = false;
    const Result<void> filled = pending ? fill.run([&](qint64 done, qint64 total) {
        // Rows are counted in thousands so the bar's range stays an int.
        progress.setMaximum(int(std::max<qint64>(1, (total + 999) / 1000)));
        progress.setValue(int(done / 1000));
        stopped = progress.wasCanceled();
        return !stopped;
    })
                                        : Result<void>(fail(pending.error()));
    progress.close();
    if (!filled) {
        Dialogs::error(parent, filled.error());
        return false;
    }
    return !stopped;
}

} // namespace IndexFillProgress
