#include "TestSupport.h"

#include "db/Database.h"
#include "db/EngineError.h"
#include "db/FunLib.h"
#include "db/Schema.h"
#include "db/Sql.h"

#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

// The database made by the installation step: tables, widths, delivered rows, locking.
class TestSchema : public QObject
{
    Q_OBJECT

private slots:
    void everyTableExistsWithItsColumns()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        for (const Schema::Table& t : Schema::tables()) {
            QSqlQuery q(Database::db());
            QVERIFY2(q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(t.name)), qPrintable(t.name));
            QStringList cols;
            while (q.next())
                cols << q.value(1).toString();
            QStringList expected;
            for (const auto& c : t.columns)
                expected << c.name;
            QCOMPARE(cols, expected);
        }
        // 25 generic columns, in order, after the key and the type.
        QSqlQuery q(Database::db());
        QVERIFY(q.exec(QStringLiteral("PRAGMA table_info(QN_ARCHIVE_MASTER_TABLE)")));
        QStringList cols;
        while (q.next())
            cols << q.value(1).toString();
        QCOMPARE(cols.mid(2, 25), Schema::genericColumns());
        QCOMPARE(Schema::valueListTables().size(), 27);
    }

    void deliveredRows()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        QCOMPARE(TestEnv::value("SELECT COMPOSE_NAME FROM SYS_COMPOSE_TABLE WHERE COMPOSE_ID = 1"),
                 QStringLiteral("档案管理"));
        QCOMPARE(TestEnv::value("SELECT COMPOSE_NAME FROM SYS_COMPOSE_TABLE WHERE COMPOSE_ID = 2"),
                 QStringLiteral("系统管理"));
        QCOMPARE(TestEnv::value("SELECT group_concat(PROGRAM_ID) FROM (SELECT PROGRAM_ID FROM SYS_PROGRAM_TABLE "
                                "WHERE COMPOSE_ID = 1 ORDER BY PROGRAM_ID)"),
                 QStringLiteral("1,2,3,4,5,6,7"));
        QCOMPARE(TestEnv::value("SELECT group_concat(PROGRAM_ID) FROM (SELECT PROGRAM_ID FROM SYS_PROGRAM_TABLE "
                                "WHERE COMPOSE_ID = 2 ORDER BY PROGRAM_ID)"),
                 QStringLiteral("1,2"));
        QCOMPARE(TestEnv::value("SELECT PROGRAM_NAME FROM SYS_PROGRAM_TABLE WHERE COMPOSE_ID = 1 AND PROGRAM_ID = 3"),
                 QStringLiteral("档案明细资料查询管理"));
        const QStringList names{"档案类别资料录入编辑", "档案资料录入编辑管理", "档案借阅记录查询管理",
                                "EXCEL资料导入管理",    "单位名称录入编辑",     "档案借阅管理",
                                "数据备份管理",         "过时数据删除"};
        for (const QString& n : names)
            QCOMPARE(TestEnv::value("SELECT COUNT(*) FROM SYS_PROGRAM_TABLE WHERE PROGRAM_NAME = " + Sql::quote(n)),
                     QStringLiteral("1"));
        // Every program can at least be opened by someone granted it.
        QCOMPARE(TestEnv::value("SELECT COUNT(*) FROM SYS_PROGRAM_TABLE WHERE BROWSE_RIGHT <> '是'"),
                 QStringLiteral("0"));
    }

    // Names are matched without regard to case; the rights column is spelled "DElETE_RIGHT" in places.
    void namesAreCaseInsensitive()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        TestEnv::exec(
            "INSERT INTO sys_right_table (use_id, compose_id, program_id, DElETE_RIGHT) VALUES ('001', 1, 1, '是')");
        QCOMPARE(TestEnv::value("SELECT DELETE_RIGHT FROM SYS_RIGHT_TABLE"), QStringLiteral("是"));
    }

    void widthsCountGbkBytes_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("fits");
        QTest::newRow("10 chinese") << QString(10, QChar(0x5F20)) << true;
        QTest::newRow("11 chinese") << QString(11, QChar(0x5F20)) << false;
        QTest::newRow("20 latin") << QString(20, QLatin1Char('a')) << true;
        QTest::newRow("21 latin") << QString(21, QLatin1Char('a')) << false;
        QTest::newRow("9 chinese + 2 latin") << QString(9, QChar(0x5F20)) + "ab" << true;
        QTest::newRow("9 chinese + 3 latin") << QString(9, QChar(0x5F20)) + "abc" << false;
    }
    void widthsCountGbkBytes()
    {
        QFETCH(QString, value);
        QFETCH(bool, fits);
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        QSqlQuery q(Database::db());
        const bool ok = q.exec(
            QStringLiteral("INSERT INTO SYS_USER_TABLE (USE_ID, USE_NAME) VALUES ('001', %1)").arg(Sql::quote(value)));
        QCOMPARE(ok, fits);
        if (!fits) {
            QCOMPARE(classifyEngineError(q.lastError()).condition, EngineCondition::ValueTooLarge);
            QCOMPARE(TestEnv::value("SELECT COUNT(*) FROM SYS_USER_TABLE"), QStringLiteral("0"));
        }
    }

    // Codes keep their zeros, empty dates are NULL, and a malformed date never reaches a date column.
    void typesKeepWhatTheyHold()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        TestEnv::exec(
            "INSERT INTO QN_ARCHIVE_MASTER_TABLE (ARCHIVE_RECORD_ID, ARCHIVE_TYPE_ID, ARCHIVE_ID, DATE_FIELD1, "
            "NUMBER_FIELD1) VALUES ('A1', '001', '000123', " +
            Sql::quoteDate("") + ", 12.5)");
        QCOMPARE(TestEnv::value("SELECT ARCHIVE_ID FROM QN_ARCHIVE_MASTER_TABLE"), QStringLiteral("000123"));
        QCOMPARE(TestEnv::value("SELECT typeof(ARCHIVE_TYPE_ID) FROM QN_ARCHIVE_MASTER_TABLE"), QStringLiteral("text"));
        QCOMPARE(TestEnv::value("SELECT DATE_FIELD1 IS NULL FROM QN_ARCHIVE_MASTER_TABLE"), QStringLiteral("1"));
        QSqlQuery q(Database::db());
        QVERIFY(!q.exec("UPDATE QN_ARCHIVE_MASTER_TABLE SET DATE_FIELD1 = '03/25/2009'"));
        QVERIFY(q.exec("UPDATE QN_ARCHIVE_MASTER_TABLE SET DATE_FIELD1 = " + Sql::quoteDate("03/25/2009")));
        QCOMPARE(TestEnv::value("SELECT DATE_FIELD1 FROM QN_ARCHIVE_MASTER_TABLE"), QStringLiteral("2009-03-25"));
        // A lending without a return date counts as not returned.
        TestEnv::exec("INSERT INTO QN_ARCHIVE_LEND_TABLE (ARCHIVE_RECORD_ID, LEND_ID, LEND_DATE, RETURN_DATE) VALUES "
                      "('A1', 'L1', '2009-03-01', " +
                      Sql::quoteDate(QString()) + ")");
        QCOMPARE(TestEnv::value("SELECT COUNT(*) FROM QN_ARCHIVE_LEND_TABLE WHERE RETURN_DATE IS NULL"),
                 QStringLiteral("1"));
    }

    // Chinese text sorts by GBK order (pinyin for the common characters), not by code point.
    void gbkCollation()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        // 阿 (a), 波 (bo), 张 (zhang): code points order them 张 < 波 < 阿... GBK gives pinyin order.
        for (const QString& n :
             {QStringLiteral("张"), QStringLiteral("阿"), QStringLiteral("波"), QStringLiteral("abc")})
            TestEnv::exec("INSERT INTO QN_ARCHIVE_NAME_TABLE (ARCHIVE_NAME) VALUES (" + Sql::quote(n) + ")");
        QCOMPARE(
            LookupColumn("SELECT ARCHIVE_NAME FROM QN_ARCHIVE_NAME_TABLE ORDER BY " + Sql::orderByText("ARCHIVE_NAME")),
            (QStringList{"abc", "阿", "波", "张"}));
    }

    void secondOpenerIsRefused()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        // Another process holding the lock file keeps us out with a clear message.
        Database::close();
        QLockFile other(env.databaseDir() + "/" + Database::LockName);
        QVERIFY(other.tryLock(0));
        QString error;
        // A lock held by a live process of ours reads as held; a stale one would be taken over.
        QCOMPARE(Database::open(env.databaseDir(), &error), Database::OpenResult::Locked);
        QVERIFY(error.contains(QStringLiteral("独占")));
        other.unlock();
        QCOMPARE(Database::open(env.databaseDir(), &error), Database::OpenResult::Ok);
        // While we hold it, a plain second connection cannot write.
        QString why;
        {
            QSqlDatabase second = Database::openFile(Database::databaseFile(env.databaseDir()), "second", &why);
            QVERIFY(second.isOpen());
            QSqlQuery q(second);
            QVERIFY(!q.exec("INSERT INTO SYS_ID_TABLE (NAME_ID, AUTO_ID) VALUES ('x', 'y')"));
            second.close();
        }
        QSqlDatabase::removeDatabase("second");
    }

    void missingAliasIsDetectable()
    {
        TestEnv env(false);
        QString error;
        QCOMPARE(Database::openFromAlias(&error), Database::OpenResult::MissingAlias);
        QVERIFY(!Database::hasDatabase(env.path("nowhere")));
    }

    void initRefusesToOverwrite()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        TestEnv::exec("INSERT INTO SYS_ID_TABLE (NAME_ID, AUTO_ID) VALUES ('keep', 'me')");
        Database::close();
        QProcess cli;
        QProcessEnvironment pe = QProcessEnvironment::systemEnvironment();
        pe.insert("XDG_CONFIG_HOME", env.path("config"));
        cli.setProcessEnvironment(pe);
        cli.start(VUZAZO_CLI, {"init", "--install-dir", env.installDir()});
        QVERIFY(cli.waitForFinished(30000));
        QVERIFY(cli.exitCode() != 0);
        QVERIFY(QString::fromUtf8(cli.readAllStandardError()).contains(QStringLiteral("不能覆盖")));
        QCOMPARE(Database::open(env.databaseDir()), Database::OpenResult::Ok);
        QCOMPARE(TestEnv::value("SELECT AUTO_ID FROM SYS_ID_TABLE WHERE NAME_ID = 'keep'"), QStringLiteral("me"));
    }

    // Wrong arguments are told in Chinese with exit status 2, and nothing is created.
    void cliArgumentErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown command") << QStringList{"bogus"} << QStringLiteral("没有这个命令: bogus");
        QTest::newRow("option without its value")
            << QStringList{"init", "--install-dir"} << QStringLiteral("选项 --install-dir 后面缺少值");
        QTest::newRow("extra argument") << QStringList{"init", "extra"} << QStringLiteral("不认识的参数: extra");
        QTest::newRow("demo count not a number")
            << QStringList{"demo", "--archives", "abc"} << QStringLiteral("--archives 和 --details 要写");
        QTest::newRow("demo details without archives")
            << QStringList{"demo", "--archives", "0", "--details", "3"} << QStringLiteral("有明细就要有档案");
    }
    void demoWithoutDatabaseSaysToInit()
    {
        TestEnv env(false);
        QProcess cli;
        QProcessEnvironment pe = QProcessEnvironment::systemEnvironment();
        pe.insert("XDG_CONFIG_HOME", env.path("config"));
        cli.setProcessEnvironment(pe);
        cli.start(VUZAZO_CLI, {"demo", "--install-dir", env.path("none")});
        QVERIFY(cli.waitForFinished(30000));
        QCOMPARE(cli.exitCode(), 1);
        const QString err = QString::fromUtf8(cli.readAllStandardError());
        QVERIFY2(err.contains(QStringLiteral("请先建立数据库: vuzazo-cli init --install-dir ") + env.path("none")),
                 qPrintable(err));
    }

    void cliArgumentErrors()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        TestEnv env(false);
        QProcess cli;
        QProcessEnvironment pe = QProcessEnvironment::systemEnvironment();
        pe.insert("XDG_CONFIG_HOME", env.path("config"));
        pe.insert("XDG_DATA_HOME", env.path("data"));
        pe.remove("XDG_RUNTIME_DIR"); // as under cron or sudo: Qt's notice about it is no message of ours
        cli.setProcessEnvironment(pe);
        cli.start(VUZAZO_CLI, args);
        QVERIFY(cli.waitForFinished(30000));
        QCOMPARE(cli.exitCode(), 2);
        const QString err = QString::fromUtf8(cli.readAllStandardError());
        QVERIFY2(err.contains(message), qPrintable(err));
        QVERIFY2(!err.contains("QStandardPaths"), qPrintable(err));
        QVERIFY(!QFileInfo::exists(env.path("data")));
    }
};

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
