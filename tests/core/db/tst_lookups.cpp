#include "TestSupport.h"

#include "common/AppContext.h"
#include "common/Clock.h"
#include "common/MachineSettings.h"
#include "common/MessageSink.h"
#include "db/Database.h"
#include "db/EngineError.h"
#include "db/FunLib.h"
#include "db/KeyGenerator.h"
#include "db/Lookups.h"
#include "db/Sql.h"

#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

class TestLookups : public QObject
{
    Q_OBJECT

private slots:
    void settings()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        QVERIFY(!SettingIsOn(QStringLiteral("档案编号"))); // a missing row is off
        QCOMPARE(ReadSetting(QStringLiteral("档案编号")), QString());
        QVERIFY(WriteSetting(QStringLiteral("档案编号"), QStringLiteral("是")));
        QVERIFY(SettingIsOn(QStringLiteral("档案编号")));
        QVERIFY(WriteSetting(QStringLiteral("档案编号"), QStringLiteral("否")));
        QVERIFY(!SettingIsOn(QStringLiteral("档案编号")));
        QCOMPARE(TestEnv::value("SELECT COUNT(*) FROM SYS_ID_TABLE"), QStringLiteral("1"));
        QCOMPARE(LoadNumberingScheme(), 0);
        QVERIFY(WriteSetting(QStringLiteral("分类编号"), QStringLiteral("2")));
        QCOMPARE(LoadNumberingScheme(), 2);
        QCOMPARE(AppContext::instance().NumberingScheme, 2);
        // A hostile name is a name like any other.
        QVERIFY(WriteSetting(QStringLiteral("x' OR '1'='1"), QStringLiteral("是")));
        QVERIFY(!SettingIsOn(QStringLiteral("x")));
    }

    void settingWriteFailureKeepsOldValue()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        QVERIFY(WriteSetting(QStringLiteral("提醒名称"), QStringLiteral("到期日期")));
        RecordingSink sink;
        QVERIFY(!WriteSetting(QStringLiteral("提醒名称"), QString(300, QLatin1Char('x'))));
        QCOMPARE(sink.texts(), QStringList{QStringLiteral("参数保存过程发生错误")});
        QCOMPARE(ReadSetting(QStringLiteral("提醒名称")), QStringLiteral("到期日期"));
    }

    void typeSubtree_data()
    {
        QTest::addColumn<QString>("typeId");
        QTest::addColumn<QString>("alias");
        QTest::addColumn<int>("matches");
        QTest::newRow("empty") << ""
                               << "" << -1;
        QTest::newRow("top") << "001"
                             << "" << 4;
        QTest::newRow("second") << "001001"
                                << "" << 2;
        QTest::newRow("leaf") << "001001001"
                              << "M" << 1;
        QTest::newRow("other branch") << "002"
                                      << "M" << 1;
        QTest::newRow("hostile") << "001' OR '1'='1"
                                 << "" << 0;
    }
    void typeSubtree()
    {
        QFETCH(QString, typeId);
        QFETCH(QString, alias);
        QFETCH(int, matches);
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        for (const char* t : {"001", "001001", "001001001", "001002", "002"})
            TestEnv::exec(QStringLiteral("INSERT INTO QN_ARCHIVE_MASTER_TABLE (ARCHIVE_RECORD_ID, ARCHIVE_TYPE_ID) "
                                         "VALUES ('A%1', '%1')")
                              .arg(QLatin1String(t)));
        const QString cond = TypeSubtreeCondition(typeId, alias);
        if (matches < 0) {
            QVERIFY(cond.isEmpty());
            return;
        }
        QCOMPARE(TestEnv::value("SELECT COUNT(*) FROM QN_ARCHIVE_MASTER_TABLE M WHERE " + cond).toInt(), matches);
    }

    void typePath()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        TestEnv::exec("INSERT INTO QN_ARCHIVE_TYPE_TABLE (ARCHIVE_TYPE_ID, PRIOR_ID, ARCHIVE_TYPE_NAME) VALUES "
                      "('001', 'G001', '文书档案'), ('001002', '001', '永久'), ('001002001', '001002', '2009年')");
        QCOMPARE(TypePath("001002001"), QStringLiteral("文书档案 永久 2009年"));
        QCOMPARE(TypePath("001"), QStringLiteral("文书档案"));
        QCOMPARE(TypePath("999"), QString());
        QCOMPARE(TopTypeId("001002001"), QStringLiteral("001"));
    }

    void programNames()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        QCOMPARE(ReadProgramName(1, 3, QStringLiteral("查询管理")), QStringLiteral("档案明细资料"));
        QVERIFY(RenameProgram(QStringLiteral("卷内文件"), 1, 3, QStringLiteral("查询管理")));
        QCOMPARE(ReadProgramName(1, 3, QString()), QStringLiteral("卷内文件查询管理"));
        QVERIFY(!RenameProgram(QStringLiteral("x"), 1, 99, QStringLiteral("查询管理")));
    }

    void lendStates()
    {
        QCOMPARE(LendStateCondition(QStringLiteral("未归还")), QStringLiteral(" (RETURN_DATE IS NULL)@"));
        QCOMPARE(LendStateCondition(QStringLiteral("已归还"), QStringLiteral("L")),
                 QStringLiteral(" (NOT(L.RETURN_DATE IS NULL))@"));
    }

    void machineSettings()
    {
        TestEnv env(false);
        QVERIFY(WriteRegValue(QStringLiteral("QnArchivesColor"), QStringLiteral("16777215")));
        QCOMPARE(ReadRegInt(QStringLiteral("QnArchivesColor")), QStringLiteral("16777215"));
        QVERIFY(WriteRegValue(QStringLiteral("QnArchivesColor"), QStringLiteral("白色")));
        QCOMPARE(ReadRegInt(QStringLiteral("QnArchivesColor")), QString());
        QVERIFY(MachineSettings::filePath().startsWith(env.path("config")));
    }

    // Thousands of keys in one second never repeat, and keys only move forward.
    void recordKeys()
    {
        KeyGenerator::reset();
        Clock::setFixed(QDateTime(QDate(2009, 3, 25), QTime(10, 11, 12)));
        QSet<QString> seen;
        QString previous;
        for (int i = 0; i < 2500; ++i) {
            const QString k = KeyGenerator::next(QStringLiteral("A"));
            QCOMPARE(k.size(), 16);
            QVERIFY(!seen.contains(k));
            QVERIFY(k > previous);
            seen.insert(k);
            previous = k;
        }
        QVERIFY(seen.contains(QStringLiteral("A090325101112000")));
        // The clock going back does not take the keys back.
        Clock::setFixed(QDateTime(QDate(2009, 3, 25), QTime(9, 0, 0)));
        QVERIFY(KeyGenerator::next(QStringLiteral("A")) > previous);
        // A key found in a table moves the generator past it.
        KeyGenerator::reset();
        KeyGenerator::observe(QStringLiteral("A090325090000500"));
        QCOMPARE(KeyGenerator::next(QStringLiteral("A")), QStringLiteral("A090325090000501"));
        Clock::clearFixed();
    }

    void engineErrors()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        QSqlQuery q(Database::db());
        QVERIFY(q.exec("INSERT INTO SYS_USER_TABLE (USE_ID, USE_NAME) VALUES ('001', 'a')"));
        QVERIFY(!q.exec("INSERT INTO SYS_USER_TABLE (USE_ID, USE_NAME) VALUES ('001', 'b')"));
        {
            RecordingSink sink;
            ReportEngineError(q.lastError());
            QCOMPARE(sink.texts(), QStringList{QStringLiteral("数据库主键重复")});
        }
        QVERIFY(!q.exec("SELECT * FROM NO_SUCH_TABLE"));
        {
            RecordingSink sink;
            ReportEngineError(q.lastError());
            QCOMPARE(sink.entries().size(), 2);
            QCOMPARE(sink.entries().at(0).text, QStringLiteral("数据库操作错误"));
            QCOMPARE(sink.entries().at(1).kind, RecordingSink::Entry::Error);
            QVERIFY(sink.entries().at(1).text.contains(QStringLiteral("ErrorCode:")));
        }
        QVERIFY(!ExecSql("DELETE FROM NO_SUCH_TABLE")); // swallowed
    }
};

QTEST_GUILESS_MAIN(TestLookups)
#include "tst_lookups.moc"
