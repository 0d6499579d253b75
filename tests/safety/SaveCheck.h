#pragma once

#include "contacts/core/ContactColumns.h"
#include "SavePlan.h"
#include "schedule/core/JobRecord.h"
#include "store/FieldCodec.h"

#include <QMap>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include <algorithm>

// Reads a store the save worker wrote to and finds which of its saves are
// there, whole, and what is wrong with the rest.
namespace SaveCheck {

// What one inspection of the store found.
struct Found
{
    QSet<qint64> saves;   // every save number with all its rows whole
    QSet<qint64> partial; // imports killed after some of their steps
    int rows = 0;         // rows of saves, whole or not
    qint64 password = -1; // the save number the password row holds
    qint64 highest = -1;  // the highest save number seen anywhere
    QStringList faults;
};

inline qint64 numberOf(const QString &key)
{
    if (key.size() != 14 || !key.startsWith(u'9'))
        return -1;
    bool ok = false;
    const qint64 n = key.mid(1).toLongLong(&ok);
    return ok ? n : -1;
}

class Inspector final
{
public:
    explicit Inspector(QSqlDatabase db)
        : m_db(db)
    {
    }

    void run(Found &found)
    {
        m_found = &found;
        QSqlQuery integrity(m_db);
        if (!integrity.exec(QStringLiteral("PRAGMA integrity_check")) || !integrity.next()
            || integrity.value(0).toString() != QLatin1String("ok"))
            found.faults << QStringLiteral("integrity_check: ") + integrity.value(0).toString();
        each(
            QStringLiteral("SELECT date_id, note_memo FROM note_pad"), 0,
            [](const QSqlQuery &q, qint64 n) {
                // The diary keeps notes in their protection form.
                return q.value(1).toString() == FieldCodec::encode(SavePlan::memo(n, QStringLiteral("note")));
            },
            SavePlan::Kind::Note);
        each(
            QStringLiteral("SELECT date_id, id, job_memo, alter_yn, e_dec_yn, complete_yn FROM job_do"), 0,
            [](const QSqlQuery &q, qint64 n) {
                return q.value(1).toString().size() == 14
                       && q.value(2).toString() == SavePlan::memo(n, QStringLiteral("job"))
                       && q.value(3).toBool() == SavePlan::flagA(n) && q.value(4).toBool() == SavePlan::flagB(n)
                       && q.value(5).toString() == JobRecord::kOpenJob;
            },
            SavePlan::Kind::Job);
        each(
            QStringLiteral("SELECT id, date_id, job_memo_sub, e_dec_yn FROM job_do_sub"), 0,
            [](const QSqlQuery &q, qint64 n) {
                return q.value(1).toString() == SavePlan::key(n)
                       && q.value(2).toString() == SavePlan::memo(n, QStringLiteral("entry"))
                       && q.value(3).toBool() == SavePlan::flagA(n);
            },
            SavePlan::Kind::Entry);
        people();
        each(
            QStringLiteral("SELECT pe_id, %1, e_dec_yn FROM pe_dw_info").arg(ContactColumns::kUnitTexts.join(u',')), 0,
            [](const QSqlQuery &q, qint64 n) {
                bool whole = true;
                for (int c = 0; c < ContactColumns::UnitTextCount; ++c)
                    whole = whole && q.value(1 + c).toString() == SavePlan::field(n, c);
                return whole && q.value(1 + ContactColumns::UnitTextCount).toBool() == SavePlan::flagA(n);
            },
            SavePlan::Kind::Unit);
        each(
            QStringLiteral("SELECT pe_id, pe_other_memo, e_dec_yn FROM pe_other_info"), 0,
            [](const QSqlQuery &q, qint64 n) {
                return q.value(1).toString() == SavePlan::memo(n, QStringLiteral("other"))
                       && q.value(2).toBool() == SavePlan::flagA(n);
            },
            SavePlan::Kind::Other);
        password();
    }

    // Rows of the supplied store, which no save touches, per table.
    QMap<QString, int> foreignRows() const
    {
        QMap<QString, int> counts;
        for (const QString &table : {QStringLiteral("note_pad"), QStringLiteral("job_do"), QStringLiteral("job_do_sub"),
                                     QStringLiteral("pe_info"), QStringLiteral("pe_dw_info"),
                                     QStringLiteral("pe_other_info"), QStringLiteral("public_code")}) {
            QSqlQuery q(m_db);
            q.exec(QStringLiteral("SELECT count(*) FROM ") + table);
            counts[table] = q.next() ? q.value(0).toInt() : -1;
        }
        return counts;
    }

private:
    template <typename Whole> void each(const QString &sql, int keyColumn, Whole whole, SavePlan::Kind kind)
    {
        QSqlQuery q(m_db);
        if (!q.exec(sql)) {
            m_found->faults << sql + QStringLiteral(": ") + q.lastError().text();
            return;
        }
        while (q.next()) {
            const QString key = q.value(keyColumn).toString();
            const qint64 n = numberOf(key);
            if (n < 0)
                continue; // a row of the supplied store
            m_found->highest = std::max(m_found->highest, n);
            ++m_found->rows;
            if (SavePlan::kindOf(n) != kind || !whole(q, n) || m_found->saves.contains(n))
                m_found->faults << QStringLiteral("row of save %1 is not whole or not alone").arg(n);
            m_found->saves.insert(n);
        }
    }

    // Contacts saved one by one and contacts imported from a file. An
    // import commits its rows step by step, so a killed one may have its
    // first rows and not the rest; every row it has must be whole.
    void people()
    {
        const QString sql = QStringLiteral("SELECT substr(pe_name, 4), pe_id, pe_sex, pe_img, e_dec_yn, %1 "
                                           "FROM pe_info ORDER BY rowid")
                                .arg(ContactColumns::kPersonTexts.join(u','));
        QSqlQuery q(m_db);
        if (!q.exec(sql)) {
            m_found->faults << sql + QStringLiteral(": ") + q.lastError().text();
            return;
        }
        QMap<qint64, int> imported; // save number -> rows in so far
        while (q.next()) {
            const qint64 n = numberOf(q.value(0).toString());
            if (n < 0)
                continue; // a row of the supplied store
            m_found->highest = std::max(m_found->highest, n);
            ++m_found->rows;
            QStringList texts;
            for (int c = 0; c < ContactColumns::PersonTextCount; ++c)
                texts << q.value(5 + c).toString();
            const bool whole = q.value(1).toString().size() == 14;
            if (SavePlan::kindOf(n) == SavePlan::Kind::Contact) {
                if (!whole || !contactIsWhole(q, texts, n) || m_found->saves.contains(n))
                    m_found->faults << QStringLiteral("contact of save %1 is not whole or not alone").arg(n);
                m_found->saves.insert(n);
            } else if (SavePlan::kindOf(n) == SavePlan::Kind::Import) {
                const int row = imported.value(n);
                if (!whole || !importIsWhole(q, texts, n, row))
                    m_found->faults
                        << QStringLiteral("row %1 of import %2 is not whole or out of order").arg(row).arg(n);
                imported[n] = row + 1;
            } else {
                m_found->faults << QStringLiteral("save %1 wrote a contact").arg(n);
            }
        }
        for (auto it = imported.cbegin(); it != imported.cend(); ++it) {
            if (it.value() == SavePlan::kImportRows)
                m_found->saves.insert(it.key());
            else
                m_found->partial.insert(it.key());
        }
    }

    static bool contactIsWhole(const QSqlQuery &q, const QStringList &texts, qint64 n)
    {
        for (int c = 0; c < ContactColumns::PersonTextCount; ++c) {
            if (texts.at(c) != SavePlan::field(n, c))
                return false;
        }
        return q.value(2).toBool() == SavePlan::flagA(n) && q.value(3).toByteArray() == SavePlan::photo(n)
               && q.value(4).toBool() == SavePlan::flagB(n);
    }

    // Cells 1 and 3-10 land in the text columns in order, the last column
    // is "-"; cell 2 is the sex; the import's photo; never protected.
    static bool importIsWhole(const QSqlQuery &q, const QStringList &texts, qint64 n, int row)
    {
        if (row >= SavePlan::kImportRows)
            return false;
        QStringList cells = SavePlan::importCells(n, row);
        const bool male = cells.takeAt(1) == QStringLiteral("男");
        cells << QStringLiteral("-");
        return texts == cells && q.value(2).toBool() == male && q.value(3).toByteArray() == SavePlan::photo(n)
               && !q.value(4).toBool();
    }

    void password()
    {
        QSqlQuery q(m_db);
        q.prepare(
            QStringLiteral("SELECT pub_code, pub_static_do_n, pub_static_do_d FROM public_code WHERE pub_id = ?"));
        q.addBindValue(QStringLiteral("2"));
        if (!q.exec() || !q.next())
            return;
        const qint64 n = numberOf(q.value(0).toString().mid(2));
        if (n < 0)
            return;
        m_found->password = n;
        m_found->highest = std::max(m_found->highest, n);
        if (SavePlan::kindOf(n) != SavePlan::Kind::Password || q.value(0).toString() != SavePlan::password(n)
            || q.value(1).toBool() != SavePlan::flagA(n) || q.value(2).toBool() != SavePlan::flagB(n))
            m_found->faults << QStringLiteral("password row of save %1 is not whole").arg(n);
        if (q.next())
            m_found->faults << QStringLiteral("a second password row");
    }

    QSqlDatabase m_db;
    Found *m_found = nullptr;
};

} // namespace SaveCheck
