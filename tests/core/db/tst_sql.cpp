#include "TestSupport.h"

#include "db/Database.h"
#include "db/Sql.h"

#include <QSqlQuery>
#include <QtTest>

// Hostile values go through the quoting helper and come back out unchanged, matching nothing else.
class TestSql : public QObject
{
    Q_OBJECT

private slots:
    void quoteRoundTrip_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("plain") << QStringLiteral("档案");
        QTest::newRow("quote") << QStringLiteral("O'Brien");
        QTest::newRow("injection") << QStringLiteral("' OR '1'='1");
        QTest::newRow("comment") << QStringLiteral("x'; DROP TABLE SYS_USER_TABLE; --");
        QTest::newRow("backslash") << QStringLiteral("a\\'b");
        QTest::newRow("percent") << QStringLiteral("50%_off");
        QTest::newRow("empty") << QStringLiteral("");
    }
    void quoteRoundTrip()
    {
        QFETCH(QString, value);
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        TestEnv::exec(
            QStringLiteral("INSERT INTO SYS_ID_TABLE(NAME_ID, AUTO_ID) VALUES ('k', %1)").arg(Sql::quote(value)));
        QCOMPARE(TestEnv::value(QStringLiteral("SELECT AUTO_ID FROM SYS_ID_TABLE WHERE NAME_ID='k'")), value);
        // The value used as a condition finds only its own row.
        TestEnv::exec(QStringLiteral("INSERT INTO SYS_ID_TABLE(NAME_ID, AUTO_ID) VALUES ('other', 'x')"));
        QCOMPARE(TestEnv::value(
                     QStringLiteral("SELECT COUNT(*) FROM SYS_ID_TABLE WHERE AUTO_ID = %1").arg(Sql::quote(value))),
                 QStringLiteral("1"));
        if (!value.isEmpty())
            QCOMPARE(TestEnv::value(QStringLiteral("SELECT COUNT(*) FROM SYS_ID_TABLE WHERE %1")
                                        .arg(Sql::containsCondition(QStringLiteral("AUTO_ID"), value))),
                     QStringLiteral("1"));
        QCOMPARE(TestEnv::value(QStringLiteral("SELECT COUNT(*) FROM SYS_USER_TABLE")), QStringLiteral("0"));
    }

    void dates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("sql");
        QTest::newRow("iso") << "2009-03-25"
                             << "'2009-03-25'";
        QTest::newRow("slashes") << "2009/3/5"
                                 << "'2009-03-05'";
        QTest::newRow("mdy") << "03/25/2009"
                             << "'2009-03-25'";
        QTest::newRow("two-digit 69") << "69-01-02"
                                      << "'2069-01-02'";
        QTest::newRow("two-digit 70") << "70-01-02"
                                      << "'1970-01-02'";
        QTest::newRow("compact") << "20090325"
                                 << "'2009-03-25'";
        QTest::newRow("with time") << "2009-03-25 10:11:12"
                                   << "'2009-03-25'";
        QTest::newRow("empty is null") << ""
                                       << "NULL";
        QTest::newRow("day 45") << "2009-13-45"
                                << "NULL";
        QTest::newRow("junk") << "abc"
                              << "NULL";
    }
    void dates()
    {
        QFETCH(QString, text);
        QFETCH(QString, sql);
        QCOMPARE(Sql::quoteDate(text), sql);
    }

    void numbers_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("sql");
        QTest::newRow("int") << 42.0 << "42";
        QTest::newRow("decimal") << 1234.5 << "1234.5";
        QTest::newRow("negative") << -0.25 << "-0.25";
        QTest::newRow("large") << 12345678901.0 << "12345678901";
    }
    void numbers()
    {
        QFETCH(double, value);
        QFETCH(QString, sql);
        QCOMPARE(Sql::number(value), sql);
    }

    void identifiers()
    {
        QVERIFY(Sql::isIdentifier(QStringLiteral("TEXT_FIELD1")));
        QVERIFY(!Sql::isIdentifier(QStringLiteral("TEXT_FIELD1; DROP")));
        QVERIFY(!Sql::isIdentifier(QStringLiteral("1ABC")));
        QVERIFY(Sql::identifier(QStringLiteral("a b")).isEmpty());
    }

    // Prefix and date-range conditions select the right rows and are answered from an index.
    void indexFriendlyConditions()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        const QStringList types{"001", "001001", "001002", "0011", "002", "002001"};
        for (const QString& t : types)
            TestEnv::exec(
                QStringLiteral("INSERT INTO QN_ARCHIVE_MASTER_TABLE(ARCHIVE_RECORD_ID, ARCHIVE_TYPE_ID, DATE_FIELD1) "
                               "VALUES (%1, %2, '2009-11-30')")
                    .arg(Sql::quote(QStringLiteral("A") + t), Sql::quote(t)));
        const QString cond = Sql::prefixCondition(QStringLiteral("ARCHIVE_TYPE_ID"), QStringLiteral("001"));
        QCOMPARE(TestEnv::value(QStringLiteral("SELECT COUNT(*) FROM QN_ARCHIVE_MASTER_TABLE WHERE ") + cond),
                 QStringLiteral("4"));
        QSqlQuery plan(Database::db());
        QVERIFY(plan.exec(QStringLiteral("EXPLAIN QUERY PLAN SELECT * FROM QN_ARCHIVE_MASTER_TABLE WHERE ") + cond));
        QVERIFY(plan.next());
        QVERIFY2(plan.value(3).toString().contains(QLatin1String("INDEX")), qPrintable(plan.value(3).toString()));

        QCOMPARE(TestEnv::value(QStringLiteral("SELECT COUNT(*) FROM QN_ARCHIVE_MASTER_TABLE WHERE ") +
                                Sql::monthCondition(QStringLiteral("DATE_FIELD1"), 2009, 11)),
                 QStringLiteral("6"));
        QCOMPARE(TestEnv::value(QStringLiteral("SELECT COUNT(*) FROM QN_ARCHIVE_MASTER_TABLE WHERE ") +
                                Sql::monthCondition(QStringLiteral("DATE_FIELD1"), 2009, 12)),
                 QStringLiteral("0"));
        QCOMPARE(TestEnv::value(QStringLiteral("SELECT COUNT(*) FROM QN_ARCHIVE_MASTER_TABLE WHERE ") +
                                Sql::yearCondition(QStringLiteral("DATE_FIELD1"), 2010)),
                 QStringLiteral("0"));
    }
};

QTEST_GUILESS_MAIN(TestSql)
#include "tst_sql.moc"
