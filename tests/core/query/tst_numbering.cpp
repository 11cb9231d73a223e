#include "TestSupport.h"

#include "common/Clock.h"
#include "common/MessageSink.h"
#include "db/Database.h"
#include "db/KeyGenerator.h"
#include "db/Sql.h"
#include "query/Numbering.h"
#include "query/QnQuery.h"

#include <QSqlQuery>
#include <QtTest>

// Automatic numbers drawn when a record is added, on a real database.
class TestNumbering : public QObject
{
    Q_OBJECT

    static void addArchive(const QString& recordId, const QString& archiveId, const QString& type = "001")
    {
        TestEnv::exec(QStringLiteral("INSERT INTO QN_ARCHIVE_MASTER_TABLE (ARCHIVE_RECORD_ID, ARCHIVE_TYPE_ID, "
                                     "ARCHIVE_ID) VALUES (%1, %2, %3)")
                          .arg(Sql::quote(recordId), Sql::quote(type), Sql::quote(archiveId)));
    }

private slots:
    void init() { Clock::setFixed(QDateTime(QDate(2009, 3, 25), QTime(10, 11, 12))); }
    void cleanup() { Clock::clearFixed(); }

    void nextNumber_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("yearMonth");
        QTest::addColumn<QString>("today");
        QTest::addColumn<QStringList>("existing"); // "number" or "number@type"
        QTest::addColumn<QString>("expected");

        const QStringList da{"DA2009030007", "DA2009020012"};
        QTest::newRow("month, prefix") << "M"
                                       << "DA" << 10 << ""
                                       << "200903"
                                       << "" << da << "DA2009030008";
        QTest::newRow("next month") << "M"
                                    << "DA" << 10 << ""
                                    << "200904"
                                    << "" << da << "DA2009040001";
        QTest::newRow("month over the year end") << "M"
                                                 << "DA" << 10 << ""
                                                 << "200901"
                                                 << "" << QStringList{"DA2008120015"} << "DA2009010001";
        QTest::newRow("running, empty table") << "C"
                                              << "" << 6 << ""
                                              << "200903"
                                              << "" << QStringList{} << "000001";
        QTest::newRow("running without width") << "C"
                                               << "" << 0 << ""
                                               << "200903"
                                               << "" << QStringList{"41", "9"} << "42";
        QTest::newRow("running, prefix") << "C"
                                         << "DA" << 4 << ""
                                         << "200903"
                                         << "" << QStringList{"DA0003", "DB0009", "0005"} << "DA0004";
        QTest::newRow("year") << "Y"
                              << "" << 10 << ""
                              << "200903"
                              << "" << QStringList{"2009000005", "2008000099"} << "2009000006";
        QTest::newRow("year roll-over") << "Y"
                                        << "" << 10 << ""
                                        << "201001"
                                        << "" << QStringList{"2009000005", "2008000099"} << "2010000001";
        QTest::newRow("year, empty table") << "Y"
                                           << "" << 10 << ""
                                           << "200903"
                                           << "" << QStringList{} << "2009000001";
        QTest::newRow("year within a scope") << "Y"
                                             << "" << 10 << "ARCHIVE_TYPE_ID = '001'"
                                             << "200903"
                                             << "" << QStringList{"2009000005@001", "2009000010@002"} << "2009000006";
        QTest::newRow("day") << "D"
                             << "X" << 11 << ""
                             << "200903"
                             << "20090325" << QStringList{"X20090325007", "X20090324050"} << "X20090325008";
        QTest::newRow("quote in prefix") << "C"
                                         << "D'A" << 4 << ""
                                         << "200903"
                                         << "" << QStringList{"D'A0002"} << "D'A0003";
    }
    void nextNumber()
    {
        QFETCH(QString, kind);
        QFETCH(QString, prefix);
        QFETCH(int, width);
        QFETCH(QString, condition);
        QFETCH(QString, yearMonth);
        QFETCH(QString, today);
        QFETCH(QStringList, existing);
        QFETCH(QString, expected);
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        RecordingSink sink;
        int n = 0;
        for (const QString& e : existing) {
            const QStringList parts = e.split(QLatin1Char('@'));
            addArchive(QStringLiteral("R%1").arg(++n), parts.at(0), parts.value(1, QStringLiteral("001")));
        }
        TQnQuery q;
        q.setTableName(QStringLiteral("QN_ARCHIVE_MASTER_TABLE"));
        q.setYearMonth(yearMonth);
        q.setToday(today);
        TInsertData d;
        d.fieldName = QStringLiteral("ARCHIVE_ID");
        d.caption = QStringLiteral("档案编号");
        d.kind = kind;
        d.prefix = prefix;
        d.width = width;
        d.condition = condition;
        q.SetInsertData({d});
        QVERIFY(q.OpenQuery());
        QVERIFY(q.AppendRecord());
        QCOMPARE(q.text(QStringLiteral("ARCHIVE_ID")), expected);
        QVERIFY(sink.texts().isEmpty());
    }

    void noDigitsLeftForTheCounter()
    {
        TestEnv env;
        QVERIFY(env.ok());
        RecordingSink sink;
        TQnQuery q;
        q.setTableName(QStringLiteral("QN_ARCHIVE_MASTER_TABLE"));
        TInsertData d;
        d.fieldName = QStringLiteral("ARCHIVE_ID");
        d.caption = QStringLiteral("档案编号");
        d.kind = QStringLiteral("Y");
        d.width = 4; // the year fills it
        q.SetInsertData({d});
        QVERIFY(q.OpenQuery());
        QVERIFY(!q.AppendRecord());
        QCOMPARE(sink.texts(),
                 (QStringList{"档案编号字段需插入的值是空的", "数据插入错误", "自动数据生成过程发生错误"}));
        QCOMPARE(sink.entries().at(1).kind, RecordingSink::Entry::Error);
        QCOMPARE(q.state(), TQnQuery::Browse);
        QCOMPARE(q.recordCount(), 0);
    }

    void withoutTableName()
    {
        TestEnv env;
        QVERIFY(env.ok());
        RecordingSink sink;
        TQnQuery q;
        q.setObjectName(QStringLiteral("Query"));
        q.setSql(QStringLiteral("SELECT * FROM QN_ARCHIVE_MASTER_TABLE"));
        TInsertData d;
        d.fieldName = QStringLiteral("ARCHIVE_ID");
        d.kind = QStringLiteral("C");
        d.width = 4;
        q.SetInsertData({d});
        QVERIFY(q.OpenQuery());
        QVERIFY(!q.AppendRecord());
        QCOMPARE(sink.texts().value(0), QStringLiteral("Query必须有一个表名"));
    }

    // The series condition is a range the ARCHIVE_ID index serves, not a function of every row.
    void seriesConditionUsesTheIndex()
    {
        TestEnv env;
        QVERIFY(env.ok());
        const QString sql =
            Numbering::maxStatement(QStringLiteral("QN_ARCHIVE_MASTER_TABLE"), QStringLiteral("ARCHIVE_ID"),
                                    QStringLiteral("DA"), QStringLiteral("200903"), 10, QString());
        QSqlQuery q(Database::db());
        QVERIFY(q.exec(QStringLiteral("EXPLAIN QUERY PLAN ") + sql));
        QString plan;
        while (q.next())
            plan += q.value(3).toString() + QLatin1Char('\n');
        QVERIFY2(plan.contains(QLatin1String("INDEX")) && plan.contains(QLatin1String("ARCHIVE_ID>")),
                 qPrintable(plan));
    }

    // Record keys come from the one generator and stay ahead of keys already stored.
    void recordKeysStayAheadOfTheTable()
    {
        TestEnv env;
        QVERIFY(env.ok());
        RecordingSink sink;
        KeyGenerator::reset();
        addArchive(QStringLiteral("A090325101112999"), QStringLiteral("1"));
        TQnQuery q;
        q.setTableName(QStringLiteral("QN_ARCHIVE_MASTER_TABLE"));
        TInsertData d;
        d.fieldName = QStringLiteral("ARCHIVE_RECORD_ID");
        d.kind = QStringLiteral("T");
        d.prefix = QStringLiteral("A");
        q.SetInsertData({d});
        QVERIFY(q.OpenQuery());
        QSet<QString> keys;
        for (int i = 0; i < 5; ++i) {
            QVERIFY(q.AppendRecord());
            const QString key = q.text(QStringLiteral("ARCHIVE_RECORD_ID"));
            QVERIFY2(key > QStringLiteral("A090325101112999"), qPrintable(key));
            QCOMPARE(key.size(), 16);
            keys.insert(key);
            q.CancelRecord();
        }
        QCOMPARE(keys.size(), 5);
    }
};

QTEST_GUILESS_MAIN(TestNumbering)
#include "tst_numbering.moc"
