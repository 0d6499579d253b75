#pragma once

#include "interchange/core/IcalFile.h"
#include "interchange/core/IcalPlan.h"
#include "interchange/core/IcalZones.h"
#include "interchange/core/JobIdPool.h"
#include "interchange/core/JobNoteStore.h"
#include "store/Result.h"

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QTimeZone>

#include <memory>

// Reads an iCalendar file into plans, shown before anything is written,
// then writes them: every job and note of the file in one transaction, so a
// store error or a stop half way leaves the store as it was. Both run in
// short steps so a window can show progress and keep answering; between
// the first and the last write step the window keeps the rest of the
// program from the store.
class IcalImport final
{
public:
    struct Options
    {
        QDate first; // recurring events are expanded over these days
        QDate last;
        QTimeZone zone = QTimeZone::systemTimeZone(); // of the store's stamps
        QDateTime now;
        // The writes join the caller's transaction, which the caller commits
        // or rolls back (a sync applies a record with its own bookkeeping).
        bool inCallersTransaction = false;
        // The job ids in use, when the caller keeps them across many small
        // imports (a sync writes one record at a time); read from the store
        // when none. New ids are taken from it.
        std::shared_ptr<JobIdPool> jobIds;
    };
    // The range the user is offered first: the next twelve months.
    static Options defaults(const QDateTime &now);

    static Result<IcalImport> open(const QSqlDatabase &db, const QString &path, const Options &options);
    static Result<IcalImport> fromBytes(const QSqlDatabase &db, QByteArray bytes, const Options &options);
    IcalImport(IcalImport &&) noexcept;
    IcalImport &operator=(IcalImport &&) noexcept;
    ~IcalImport();

    // Reads components until `budgetMs` has passed. False once every
    // component is read and matched with the store, or a store error
    // stopped it (error()).
    bool readStep(qint64 budgetMs);
    bool isReading() const;
    // From 0 to 1.
    double readProgress() const;
    const QList<IcalPlan> &plans() const { return m_plans; }
    // What the user should know about the file as a whole.
    const QStringList &notes() const { return m_notes; }
    int count(IcalPlan::Kind kind, IcalPlan::Action action) const;
    int count(IcalPlan::Action action) const;

    // Updates write over records the store keeps; without `updateExisting`
    // those plans are skipped.
    void startWriting(bool updateExisting);
    // Writes plans until `budgetMs` has passed. False once all are written
    // and committed, or a store error undid them all (error()).
    bool writeStep(qint64 budgetMs);
    bool isWriting() const { return m_transaction != nullptr; }
    int writePosition() const { return m_next; }
    int count(IcalPlan::Outcome outcome) const;
    // Undoes what was written so far.
    void cancelWriting();

    QString error() const { return m_error; }

    // A whole import in one call, every update included.
    static Result<IcalImport> run(const QSqlDatabase &db, QByteArray bytes, const Options &options);

private:
    IcalImport(QSqlDatabase db, IcalFile file, const Options &options);
    void readZones();
    void readItem(const IcalFile::Part &part);
    void settleUids();
    Result<void> resolve(IcalPlan &plan);
    Result<void> write(IcalPlan &plan);
    Result<void> writeJob(IcalPlan &plan);
    Result<void> writeNote(IcalPlan &plan);
    QString freshJobId(const QString &wanted);
    void undo(const QString &why);

    enum class Stage { Zones, Items, Resolve, Done };
    class Transaction;

    QSqlDatabase m_db;
    IcalFile m_file;
    Options m_options;
    std::unique_ptr<IcalZones> m_zones;
    JobNoteStore m_store;
    QList<IcalPlan> m_plans;
    QStringList m_notes;
    Stage m_stage = Stage::Zones;
    int m_nextPart = 0;
    int m_nextPlan = 0;
    bool m_updateExisting = true;
    std::unique_ptr<Transaction> m_transaction; // while writing
    int m_next = 0;
    std::shared_ptr<JobIdPool> m_jobIds;
    QString m_error;
};
