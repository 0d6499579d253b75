// A thousand records (500 contacts, 500 jobs) through a real server, both
// ways: all of them arrive, none twice, and the next sync moves nothing.
// Long (a server takes every record on its own), so the sanitizer run of the
// test command leaves it out.
#include "SyncSide.h"
#include "VerifyOk.h"

#include <QTest>

class tst_sync_volume final : public QObject
{
    Q_OBJECT

    SyncPair m_pair;

private slots:
    void cleanup() { m_pair = SyncPair(); }

    void aThousandRecords_data() { SyncPair::addServerColumn(); }
    void aThousandRecords()
    {
        QFETCH(DavServer::Kind, server);
        VERIFY_OK(m_pair.start(server));
        SyncSide &a = m_pair.a();
        SyncSide &b = m_pair.b();
        QVERIFY(a.run(QStringLiteral(
            "WITH RECURSIVE n(k) AS (SELECT 0 UNION ALL SELECT k + 1 FROM n WHERE k < 499) "
            "INSERT INTO pe_info (pe_id, pe_name, pe_sex, n_add, pe_mib, pe_other, pe_h_tel, post, pe_code, "
            "code_add, net_con, pe_memo, pe_img, e_dec_yn) SELECT printf('2020%010d', k), '联系人' || k, 1, '-', "
            "'139' || printf('%08d', k), '-', '-', '-', '-', '-', '-', '-', '', 0 FROM n")));
        QVERIFY(a.run(
            QStringLiteral("WITH RECURSIVE n(k) AS (SELECT 0 UNION ALL SELECT k + 1 FROM n WHERE k < 499) "
                           "INSERT INTO job_do (id, date_id, job_memo, alter_yn, e_dec_yn, complete_yn) "
                           "SELECT printf('2021%010d', k), '20260105000000', '工作' || k, 0, 0, '未完成..' FROM n")));
        Result<SyncEngine::Report> first = m_pair.sync(a);
        VERIFY_OK(first);
        QCOMPARE(first->sent, 1000);
        Result<SyncEngine::Report> second = m_pair.sync(b);
        VERIFY_OK(second);
        QCOMPARE(second->received, 1000);
        QCOMPARE(b.contacts(), a.contacts());
        QCOMPARE(b.jobs(), a.jobs());
        for (SyncSide *side : {&a, &b}) {
            Result<SyncEngine::Report> again = m_pair.sync(*side);
            VERIFY_OK(again);
            QCOMPARE(describe(*again), describe({}));
        }
        QCOMPARE(a.count(QStringLiteral("pe_info")), 500);
        QCOMPARE(b.count(QStringLiteral("job_do")), 500);
    }
};

QTEST_GUILESS_MAIN(tst_sync_volume)
#include "tst_sync_volume.moc"
