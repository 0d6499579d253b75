#include "contacts/csv/ContactImport.h"

#include "contacts/core/ContactColumns.h"
#include "contacts/core/PersonRepository.h"
#include "store/StoreError.h"

#include <QElapsedTimer>
#include <QSqlError>

using namespace ContactColumns;

namespace {
const QString kEmpty = QStringLiteral("-");

// Grid column of each text position (0 = not imported, filled with "-").
constexpr int kGridColumn[PersonTextCount] = {1, 3, 4, 5, 6, 7, 8, 9, 10, 0};
constexpr int kSexColumn = 2;

QString cellOrDash(const QStringList &fields, int gridColumn)
{
    const QString text = gridColumn > 0 ? fields.value(gridColumn - 1) : QString();
    return text.isEmpty() ? kEmpty : text;
}
} // namespace

bool ContactImport::isMale(const QString &cell)
{
    return cell.isEmpty() || cell == QStringLiteral("男") || cell == QStringLiteral("true");
}

PersonRecord ContactImport::record(const QStringList &fields, const QByteArray &photo)
{
    PersonRecord record;
    for (int i = 0; i < PersonTextCount; ++i)
        record.texts << cellOrDash(fields, kGridColumn[i]);
    record.male = isMale(fields.value(kSexColumn - 1));
    record.photo = photo;
    record.encoded = false;
    return record;
}

ContactImport::ContactImport(QSqlDatabase db, QList<QStringList> rows, QByteArray photo)
    : m_db(std::move(db))
    , m_rows(std::move(rows))
    , m_photo(std::move(photo))
{
}

bool ContactImport::step(const QDateTime &now, qint64 budgetMs)
{
    if (finished())
        return false;
    QElapsedTimer timer;
    timer.start();
    // One transaction per step, ended before the window handles events
    // again: a row that fails is not written, every row before it is
    // committed.
    const int before = m_done;
    const bool batched = m_db.transaction();
    // Prepared once a step: the rows of a step cost what the engine's own
    // inserts cost.
    Result<PersonAppender> appender = PersonAppender::make(m_db);
    if (!appender)
        m_error = appender.error();
    const qint64 nowSecs = now.toSecsSinceEpoch();
    while (!finished()) {
        if (!importOne(*appender, nowSecs) || timer.elapsed() >= budgetMs)
            break;
    }
    if (batched && !m_db.commit()) {
        // A full disk may refuse the commit itself: then no row of this
        // step is in the file, and the count says so.
        const QString error = StoreError::text(m_db.lastError());
        m_db.rollback();
        m_done = before;
        if (!failed())
            m_error = error;
    }
    return !finished();
}

bool ContactImport::importOne(PersonAppender &appender, qint64 nowSecs)
{
    PersonRecord row = record(m_rows.at(m_done), m_photo);
    const Result<qint64> used = appender.append(row, qMax(nowSecs, m_nextFree));
    if (!used) {
        m_error = used.error();
        return false;
    }
    m_nextFree = *used + 1;
    ++m_done;
    return true;
}
