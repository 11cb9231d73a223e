#include "TestSupport.h"

#include "db/DemoData.h"
#include "db/FunLib.h"

#include <QtTest>

// The demo room is consistent: every archive under an existing leaf type, every detail and lending under
// an existing archive, keys unique, and a second fill refused without touching the data.
class TestDemoData : public QObject
{
    Q_OBJECT

private slots:
    void fillsConsistentRoom()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        QString error;
        DemoData::Options o;
        o.archives = 500;
        o.details = 1500;
        QVERIFY2(DemoData::fill(o, &error), qPrintable(error));
        QCOMPARE(TestEnv::value("SELECT COUNT(*) FROM QN_ARCHIVE_MASTER_TABLE"), QStringLiteral("500"));
        QCOMPARE(TestEnv::value("SELECT COUNT(*) FROM QN_ARCHIVE_DETAIL_TABLE"), QStringLiteral("1500"));
        QCOMPARE(TestEnv::value("SELECT MAX(length(ARCHIVE_TYPE_ID)) FROM QN_ARCHIVE_TYPE_TABLE"),
                 QStringLiteral("15"));
        QCOMPARE(TestEnv::value("SELECT COUNT(*) FROM QN_ARCHIVE_MASTER_TABLE M WHERE NOT EXISTS (SELECT 1 FROM "
                                "QN_ARCHIVE_TYPE_TABLE T WHERE T.ARCHIVE_TYPE_ID = M.ARCHIVE_TYPE_ID)"),
                 QStringLiteral("0"));
        QCOMPARE(TestEnv::value("SELECT COUNT(*) FROM QN_ARCHIVE_DETAIL_TABLE D WHERE NOT EXISTS (SELECT 1 FROM "
                                "QN_ARCHIVE_MASTER_TABLE M WHERE M.ARCHIVE_RECORD_ID = D.ARCHIVE_RECORD_ID)"),
                 QStringLiteral("0"));
        QCOMPARE(TestEnv::value("SELECT COUNT(*) FROM QN_ARCHIVE_LEND_TABLE L WHERE NOT EXISTS (SELECT 1 FROM "
                                "QN_ARCHIVE_MASTER_TABLE M WHERE M.ARCHIVE_RECORD_ID = L.ARCHIVE_RECORD_ID)"),
                 QStringLiteral("0"));
        QVERIFY(TestEnv::value("SELECT COUNT(*) FROM QN_ARCHIVE_LEND_TABLE WHERE RETURN_DATE IS NULL AND "
                               "RETURN_LIMIT_DATE < date('now')")
                    .toInt() > 0);
        QCOMPARE(TestEnv::value("SELECT COUNT(*) FROM SYS_USER_TABLE WHERE SYS_USER = '是'"), QStringLiteral("1"));
        QCOMPARE(TestEnv::value("SELECT COUNT(*) FROM SYS_ARCHIVE_FIELD_TABLE"), QStringLiteral("10"));

        QVERIFY(!DemoData::fill(o, &error));
        QCOMPARE(TestEnv::value("SELECT COUNT(*) FROM QN_ARCHIVE_MASTER_TABLE"), QStringLiteral("500"));
    }
};

QTEST_GUILESS_MAIN(TestDemoData)
#include "tst_demodata.moc"
