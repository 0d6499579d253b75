// Two organisers, A and B, kept in step through one real server (Radicale,
// and xandikos to catch what one server forgives): records added, changed
// and deleted on either side reach the other; a record changed on both
// keeps both versions; a deletion against a change keeps the change; a
// thousand records go and come without copies; a token the server lost
// costs a full comparison and nothing else. (A thousand records: tst_sync_volume.)
#include "DavServer.h"
#include "store/Sql.h"
#include "sync/core/DavDiscovery.h"
#include "sync/core/SyncRecords.h"
#include "sync/core/SyncState.h"
#include "SyncSide.h"
#include "VerifyOk.h"

#include <QTest>

#include <memory>

class tst_sync_engine final : public QObject
{
    Q_OBJECT

    SyncPair m_pair;
    SyncSide *m_a = nullptr;
    SyncSide *m_b = nullptr;

    Result<void> start()
    {
        QFETCH(DavServer::Kind, server);
        if (Result<void> started = m_pair.start(server); !started)
            return started;
        m_a = &m_pair.a();
        m_b = &m_pair.b();
        return {};
    }
    Result<SyncEngine::Report> sync(SyncSide &side) { return m_pair.sync(side); }
    static void servers() { SyncPair::addServerColumn(); }

private slots:
    void cleanup() { m_pair = SyncPair(); }

    void changesTravelBothWays_data() { servers(); }
    void changesTravelBothWays()
    {
        VERIFY_OK(start());
        QVERIFY(
            m_a->addContact(QStringLiteral("20260101080000"), QStringLiteral("张三"), QStringLiteral("13900000001")));
        QVERIFY(m_a->addJob(QStringLiteral("20260101080100"), QStringLiteral("20260105"), QStringLiteral("拜访客户")));
        QVERIFY(m_a->addNote(QStringLiteral("20260101090000"), QStringLiteral("第一篇日记")));
        Result<SyncEngine::Report> first = sync(*m_a);
        VERIFY_OK(first);
        QCOMPARE(first->sent, 3);
        Result<SyncEngine::Report> second = sync(*m_b);
        VERIFY_OK(second);
        QCOMPARE(second->received, 3);
        QCOMPARE(m_b->contacts(), m_a->contacts());
        QCOMPARE(m_b->jobs(), m_a->jobs());
        QCOMPARE(m_b->notes(), m_a->notes());

        // B changes the contact and deletes the job; A learns both.
        QVERIFY(m_b->run(QStringLiteral("UPDATE pe_info SET pe_mib = '13900000002'")));
        QVERIFY(m_b->run(QStringLiteral("DELETE FROM job_do")));
        Result<SyncEngine::Report> third = sync(*m_b);
        VERIFY_OK(third);
        QVERIFY2(third->sent == 1 && third->removedThere == 1, qPrintable(describe(*third)));
        Result<SyncEngine::Report> fourth = sync(*m_a);
        VERIFY_OK(fourth);
        QVERIFY2(fourth->received == 1 && fourth->removedHere == 1, qPrintable(describe(*fourth)));
        QCOMPARE(m_a->contacts(), QStringList{QStringLiteral("张三 | 13900000002 | 星河科技")});
        QCOMPARE(m_a->count(QStringLiteral("job_do")), 0);

        // Nothing changed: nothing goes or comes.
        Result<SyncEngine::Report> quiet = sync(*m_a);
        VERIFY_OK(quiet);
        QCOMPARE(describe(*quiet), describe({}));
    }

    void bothSidesChangedKeepsBoth_data() { servers(); }
    void bothSidesChangedKeepsBoth()
    {
        VERIFY_OK(start());
        QVERIFY(
            m_a->addContact(QStringLiteral("20260101080000"), QStringLiteral("张三"), QStringLiteral("13900000001")));
        QVERIFY(m_a->addJob(QStringLiteral("20260101080100"), QStringLiteral("20260105"), QStringLiteral("拜访客户")));
        VERIFY_OK(sync(*m_a));
        VERIFY_OK(sync(*m_b));
        QVERIFY(m_a->run(QStringLiteral("UPDATE pe_info SET pe_mib = 'A'")));
        QVERIFY(m_a->run(QStringLiteral("UPDATE job_do SET job_memo = '拜访客户(A改)'")));
        QVERIFY(m_b->run(QStringLiteral("UPDATE pe_info SET pe_mib = 'B'")));
        QVERIFY(m_b->run(QStringLiteral("UPDATE job_do SET job_memo = '拜访客户(B改)'")));
        VERIFY_OK(sync(*m_a));
        Result<SyncEngine::Report> b = sync(*m_b);
        VERIFY_OK(b);
        QVERIFY2(b->conflicts == 2, qPrintable(describe(*b)));
        VERIFY_OK(sync(*m_a));
        const QStringList contacts = {QStringLiteral("(冲突副本) 张三 | B | 星河科技"),
                                      QStringLiteral("张三 | A | 星河科技")};
        QCOMPARE(m_b->contacts(), contacts);
        QCOMPARE(m_a->contacts(), contacts);
        const QStringList jobs = {QStringLiteral("20260105000000 | (冲突副本) 拜访客户(B改) | 未完成.."),
                                  QStringLiteral("20260105000000 | 拜访客户(A改) | 未完成..")};
        QCOMPARE(m_b->jobs(), jobs);
        QCOMPARE(m_a->jobs(), jobs);
    }

    void deletionAgainstChangeKeepsTheChange_data() { servers(); }
    void deletionAgainstChangeKeepsTheChange()
    {
        VERIFY_OK(start());
        QVERIFY(m_a->addContact(QStringLiteral("20260101080000"), QStringLiteral("张三"), QStringLiteral("1")));
        VERIFY_OK(sync(*m_a));
        VERIFY_OK(sync(*m_b));
        // Deleted on A and sent; changed on B meanwhile.
        QVERIFY(m_a->run(QStringLiteral("DELETE FROM pe_info")));
        QVERIFY(m_a->run(QStringLiteral("DELETE FROM pe_dw_info")));
        QVERIFY(m_b->run(QStringLiteral("UPDATE pe_info SET pe_mib = '2'")));
        VERIFY_OK(sync(*m_a));
        Result<SyncEngine::Report> b = sync(*m_b);
        VERIFY_OK(b);
        QVERIFY2(b->sent == 1 && b->removedHere == 0, qPrintable(describe(*b)));
        VERIFY_OK(sync(*m_a));
        QCOMPARE(m_a->contacts(), QStringList{QStringLiteral("张三 | 2 | 星河科技")});

        // Changed on A and sent; deleted on B meanwhile: the change comes back.
        QVERIFY(m_a->run(QStringLiteral("UPDATE pe_info SET pe_mib = '3'")));
        VERIFY_OK(sync(*m_a));
        QVERIFY(m_b->run(QStringLiteral("DELETE FROM pe_info")));
        QVERIFY(m_b->run(QStringLiteral("DELETE FROM pe_dw_info")));
        Result<SyncEngine::Report> again = sync(*m_b);
        VERIFY_OK(again);
        QCOMPARE(m_b->contacts(), QStringList{QStringLiteral("张三 | 3 | 星河科技")});
    }

    // A record deleted on both sides, or added and deleted between two syncs,
    // leaves no change mark behind: nothing is left to send.
    void marksOfRecordsGoneEverywhereAreCleared_data() { servers(); }
    void marksOfRecordsGoneEverywhereAreCleared()
    {
        VERIFY_OK(start());
        QVERIFY(m_a->addContact(QStringLiteral("20260101080000"), QStringLiteral("张三"), QStringLiteral("1")));
        VERIFY_OK(sync(*m_a));
        VERIFY_OK(sync(*m_b));
        for (SyncSide *side : {m_a, m_b}) {
            QVERIFY(side->run(QStringLiteral("DELETE FROM pe_info")));
            QVERIFY(side->run(QStringLiteral("DELETE FROM pe_dw_info")));
        }
        QVERIFY(m_a->addJob(QStringLiteral("20260101080100"), QStringLiteral("20260105"), QStringLiteral("临时")));
        QVERIFY(m_a->run(QStringLiteral("DELETE FROM job_do")));
        VERIFY_OK(sync(*m_a));
        VERIFY_OK(sync(*m_b));
        VERIFY_OK(sync(*m_a));
        QCOMPARE(m_a->rows(QStringLiteral("SELECT kind, record_key FROM sync_change")), QStringList());
        QCOMPARE(m_b->rows(QStringLiteral("SELECT kind, record_key FROM sync_change")), QStringList());
        QCOMPARE(m_b->count(QStringLiteral("pe_info")), 0);
    }

    // Protected contacts and jobs, and the diary behind the password, stay
    // here unless the user chose to sync them.
    void protectedRecordsStayUnlessChosen_data()
    {
        QTest::addColumn<DavServer::Kind>("server");
        QTest::addColumn<bool>("chosen");
        for (const auto &[name, kind] :
             {std::pair("Radicale", DavServer::Kind::Radicale), std::pair("xandikos", DavServer::Kind::Xandikos)}) {
            QTest::addRow("%s, left here", name) << kind << false;
            QTest::addRow("%s, chosen", name) << kind << true;
        }
    }
    void protectedRecordsStayUnlessChosen()
    {
        QFETCH(bool, chosen);
        VERIFY_OK(start());
        QVERIFY(m_a->addContact(QStringLiteral("20260101080000"), QStringLiteral("6ZmI"), QStringLiteral("MQ==")));
        QVERIFY(m_a->run(QStringLiteral("UPDATE pe_info SET e_dec_yn = 1")));
        QVERIFY(m_a->run(QStringLiteral("INSERT INTO job_do (id, date_id, job_memo, alter_yn, e_dec_yn, complete_yn) "
                                        "VALUES ('20260101080100', '20260105000000', '5Yqg6Jaq', 0, 1, '未完成..')")));
        QVERIFY(m_a->addNote(QStringLiteral("20260101090000"), QStringLiteral("日记")));
        SyncEngine::Options options;
        options.includeProtected = chosen;
        options.notesNeedPassword = true;
        Result<SyncEngine::Report> a = m_a->sync(m_pair.server().account(), options);
        VERIFY_OK(a);
        QCOMPARE(a->sent, chosen ? 3 : 0);
        QCOMPARE(a->leftOut, chosen ? 0 : 3);
        VERIFY_OK(sync(*m_b));
        QCOMPARE(m_b->count(QStringLiteral("pe_info")), chosen ? 1 : 0);
        QCOMPARE(m_b->count(QStringLiteral("job_do")), chosen ? 1 : 0);
        QCOMPARE(m_b->count(QStringLiteral("note_pad")), chosen ? 1 : 0);
        if (chosen)
            QCOMPARE(m_b->rows(QStringLiteral("SELECT job_memo, e_dec_yn FROM job_do")),
                     QStringList{QStringLiteral("5Yqg6Jaq | 1")});
    }

    // A token the server no longer knows: every ETag is compared instead,
    // and only what differs comes.
    void lostTokenComparesEverything_data() { servers(); }
    void lostTokenComparesEverything()
    {
        VERIFY_OK(start());
        QVERIFY(m_a->addContact(QStringLiteral("20260101080000"), QStringLiteral("张三"), QStringLiteral("1")));
        QVERIFY(m_a->addContact(QStringLiteral("20260101080001"), QStringLiteral("李四"), QStringLiteral("2")));
        VERIFY_OK(sync(*m_a));
        VERIFY_OK(sync(*m_b));
        QVERIFY(m_a->run(QStringLiteral("UPDATE pe_info SET pe_mib = '9' WHERE pe_name = '李四'")));
        VERIFY_OK(sync(*m_a));
        VERIFY_OK(SyncState::setToken(m_b->db(), SyncKind::Contact, QStringLiteral("http://127.0.0.1/lost-token")));
        Result<SyncEngine::Report> b = sync(*m_b);
        VERIFY_OK(b);
        QVERIFY2(b->received == 1 && b->sent == 0, qPrintable(describe(*b)));
        QCOMPARE(m_b->contacts(), m_a->contacts());
    }
};

QTEST_GUILESS_MAIN(tst_sync_engine)
#include "tst_sync_engine.moc"
