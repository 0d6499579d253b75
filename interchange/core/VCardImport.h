#pragma once

#include "interchange/core/CardContact.h"
#include "interchange/core/CardStore.h"
#include "interchange/core/VCardReader.h"
#include "store/Result.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QSet>
#include <QSqlDatabase>

#include <optional>

// One card of a file as the import treats it, shown in the preview before
// anything is written.
struct CardPlan
{
    enum class Kind {
        New,     // a contact the store does not have
        Update,  // the contact that keeps the card's UID
        Record,  // another personal record of a contact (older stores)
        Refused, // cannot be imported: error says why
    };
    enum class Outcome { Pending, Added, Updated, Skipped, Failed };

    int number = 0; // place in the file, from 1
    int line = 0;
    Kind kind = Kind::New;
    QString existingName;     // the contact an update writes over
    bool changesKept = false; // it writes over a contact the store keeps
    QString error;
    QStringList tooLong; // each value longer than its column: field, length, limit
    QStringList notes;
    CardContact contact;
    Outcome outcome = Outcome::Pending;
    QString why; // why a card was skipped or failed while writing

    QString name() const { return contact.personTexts.value(ContactColumns::Name); }
};

// Reads a vCard file into plans, then writes them, each in short steps so a
// window can show progress and keep answering. A card is written whole or
// not at all: the cards of a step (a tenth of a second of work) are written
// in one transaction, committed at its end, so an interruption loses at
// most the cards of that step, never part of one. When a card fails part
// way, the step is undone and its other cards written again without it.
class VCardImport final
{
public:
    static Result<VCardImport> open(const QSqlDatabase &db, const QString &path);
    static Result<VCardImport> fromBytes(const QSqlDatabase &db, QByteArray bytes);

    // Reads and checks cards until `budgetMs` has passed. False once every
    // card is read, or reading stopped at a store error (error()).
    bool readStep(qint64 budgetMs);
    bool isReading() const { return m_reader.has_value() && m_error.isEmpty(); }
    qint64 readPosition() const { return m_readPosition; }
    qint64 readSize() const { return m_readSize; }
    // Lines outside every card that looked like card structure.
    QStringList problems() const { return m_problems; }
    const QList<CardPlan> &plans() const { return m_plans; }
    int count(CardPlan::Kind kind) const;
    int tooLongCount() const;
    // Cards that would write over contacts the store keeps.
    int updateCount() const;

    struct Choice
    {
        bool updateExisting = false; // else cards of contacts already kept are skipped
        bool cutLongValues = false;  // else cards with a too long value are skipped
    };
    void startWriting(Choice choice, const QDateTime &now);
    // Writes cards until `budgetMs` has passed. False once done, or stopped
    // by a store error (error()): the cards before it stay written.
    bool writeStep(qint64 budgetMs);
    bool isWriting() const { return m_writing; }
    int writePosition() const { return m_next; }
    int count(CardPlan::Outcome outcome) const;

    QString error() const { return m_error; }

private:
    VCardImport(QSqlDatabase db, VCardReader reader, CardStore store);
    CardPlan plan(const VCard::Card &card);
    Result<void> resolve(CardPlan &plan);
    void checkWidths(CardPlan &plan, const std::optional<CardStore::Existing> &existing) const;
    // Done: written, skipped, or failed before anything was written.
    // Spoiled: failed part way, so the step's transaction must be undone.
    enum class Written { Done, Spoiled };
    int writeCards(int first, int stopAt, qint64 budgetMs, const QElapsedTimer &timer);
    void undoStep(int first, const QSet<QString> &addedBefore);
    Written write(CardPlan &plan);
    Result<void> writeResolved(CardPlan &plan, const QByteArray &photo);

    QSqlDatabase m_db;
    std::optional<VCardReader> m_reader;
    CardStore m_store;
    QList<CardPlan> m_plans;
    QHash<QString, int> m_cardOfUid; // UID -> index of the card that has it
    QStringList m_problems;
    qint64 m_readPosition = 0;
    qint64 m_readSize = 0;
    Choice m_choice;
    QDateTime m_now;
    QSet<QString> m_added; // ids of contacts this import made
    bool m_writing = false;
    int m_next = 0;
    QString m_error;
};
