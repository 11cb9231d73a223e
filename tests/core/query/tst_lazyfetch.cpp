#include "TestSupport.h"

#include "common/MessageSink.h"
#include "db/Database.h"
#include "db/FunLib.h"
#include "db/Sql.h"
#include "query/QnQuery.h"

#include <QAbstractItemModelTester>
#include <QtTest>

// The query as an item model over a few thousand rows: it reads segments around what is asked for, and it
// stays consistent (QAbstractItemModelTester watching) through edits, additions and deletions.
class TestLazyFetch : public QObject
{
    Q_OBJECT

    static constexpr int Rows = 3000;

    static void fill()
    {
        Transaction tx;
        for (int i = 0; i < Rows; ++i)
            TestEnv::exec(QStringLiteral("INSERT INTO QN_ARCHIVE_MASTER_TABLE (ARCHIVE_RECORD_ID, ARCHIVE_TYPE_ID, "
                                         "ARCHIVE_ID, ARCHIVE_NAME, NUMBER_FIELD1) VALUES (%1, %2, %3, %4, %5)")
                              .arg(Sql::quote(QStringLiteral("R%1").arg(i, 5, 10, QLatin1Char('0'))),
                                   Sql::quote(i % 3 ? QStringLiteral("001") : QStringLiteral("002")),
                                   Sql::quote(QStringLiteral("%1").arg(Rows - i, 6, 10, QLatin1Char('0'))),
                                   Sql::quote(QStringLiteral("档案%1").arg(i)), Sql::number(i)));
        QVERIFY(tx.commit());
    }

    // Every ARCHIVE_ID of the model, read through the model.
    static QStringList shown(const TQnQuery& q)
    {
        QStringList out;
        const int c = q.columnIndex(QStringLiteral("ARCHIVE_ID"));
        for (int r = 0; r < q.rowCount(); ++r)
            out << q.data(q.index(r, c)).toString();
        return out;
    }

    static QStringList stored(const QString& where)
    {
        QStringList out;
        auto q = OpenSql(QStringLiteral("SELECT ARCHIVE_ID FROM QN_ARCHIVE_MASTER_TABLE ") + where +
                         QStringLiteral(" ORDER BY ARCHIVE_ID"));
        while (q && q->next())
            out << q->value(0).toString();
        return out;
    }

private slots:
    void readsOnlyWhatIsAsked()
    {
        TestEnv env;
        QVERIFY(env.ok());
        fill();
        TQnQuery q;
        q.setTableName(QStringLiteral("QN_ARCHIVE_MASTER_TABLE"));
        q.setSql(QStringLiteral("SELECT * FROM QN_ARCHIVE_MASTER_TABLE ORDER BY ARCHIVE_ID"));
        QVERIFY(q.OpenQuery());
        QCOMPARE(q.rowCount(), Rows);
        QCOMPARE(q.rowCache().fetchCount(), 0); // the count came from SQL
        QCOMPARE(q.valueAt(2500, QStringLiteral("ARCHIVE_ID")).toString(), QStringLiteral("002501"));
        QCOMPARE(q.rowCache().fetchCount(), 1);
        QCOMPARE(q.valueAt(2400, QStringLiteral("ARCHIVE_NAME")).toString(), QStringLiteral("档案599"));
        QCOMPARE(q.rowCache().fetchCount(), 1); // same segment
        QCOMPARE(shown(q), stored(QString()));
        QVERIFY(q.rowCache().cachedSegments() <= q.rowCache().maxSegments());
    }

    // Chinese names in GBK order, sorted by the engine; the row numbers follow that order.
    void gbkOrder()
    {
        TestEnv env;
        QVERIFY(env.ok());
        fill();
        TQnQuery q;
        q.setTableName(QStringLiteral("QN_ARCHIVE_MASTER_TABLE"));
        q.setSql(QStringLiteral("SELECT * FROM QN_ARCHIVE_MASTER_TABLE ORDER BY ") +
                 Sql::orderByText(QStringLiteral("ARCHIVE_NAME")) + QStringLiteral(", ARCHIVE_ID"));
        QVERIFY(q.OpenQuery());
        QStringList names;
        auto sq = OpenSql(QStringLiteral("SELECT ARCHIVE_NAME FROM QN_ARCHIVE_MASTER_TABLE ORDER BY ") +
                          Sql::orderByText(QStringLiteral("ARCHIVE_NAME")) + QStringLiteral(", ARCHIVE_ID"));
        while (sq && sq->next())
            names << sq->value(0).toString();
        QCOMPARE(names.size(), Rows);
        for (int r : {0, 1, 255, 256, 1234, Rows - 1}) {
            QCOMPARE(q.valueAt(r, QStringLiteral("ARCHIVE_NAME")).toString(), names.at(r));
            QCOMPARE(q.locate(QStringLiteral("ARCHIVE_NAME"), names.at(r)), r);
        }
    }

    void staysConsistentThroughChanges()
    {
        TestEnv env;
        QVERIFY(env.ok());
        RecordingSink sink;
        fill();
        TQnQuery q;
        QAbstractItemModelTester tester(&q, QAbstractItemModelTester::FailureReportingMode::QtTest);
        q.setTableName(QStringLiteral("QN_ARCHIVE_MASTER_TABLE"));
        const QString where = QStringLiteral("WHERE ") + Sql::prefixCondition(QStringLiteral("ARCHIVE_TYPE_ID"), "001");
        q.setSql(QStringLiteral("SELECT * FROM QN_ARCHIVE_MASTER_TABLE ") + where +
                 QStringLiteral(" ORDER BY ARCHIVE_ID"));
        TFieldsData sum(QStringLiteral("NUMBER_FIELD1"), QStringLiteral("数量"), QStringLiteral("N"));
        sum.footerKind = QStringLiteral("@Sum");
        q.SetFieldsData({sum});
        QVERIFY(q.OpenQuery());
        QStringList expected = stored(where);
        QCOMPARE(q.rowCount(), expected.size());

        // Edit a row in the middle so that it would sort last: it stays where the user saw it.
        QVERIFY(q.setCurrentRow(1000));
        QVERIFY(q.EditRecord());
        QVERIFY(q.setValue(QStringLiteral("ARCHIVE_ID"), QStringLiteral("zzz")));
        QVERIFY(q.SaveRecord());
        expected[1000] = QStringLiteral("zzz");
        QCOMPARE(shown(q), expected);

        // Add two rows: they show at the end, the rest is untouched.
        for (const QString& id : {QStringLiteral("000000"), QStringLiteral("aaa")}) {
            QVERIFY(q.AppendRecord());
            q.setValue(QStringLiteral("ARCHIVE_RECORD_ID"), QStringLiteral("N") + id);
            q.setValue(QStringLiteral("ARCHIVE_TYPE_ID"), QStringLiteral("001"));
            q.setValue(QStringLiteral("ARCHIVE_ID"), id);
            q.setValue(QStringLiteral("NUMBER_FIELD1"), 1);
            QVERIFY(q.SaveRecord());
            expected << id;
        }
        QCOMPARE(q.currentRow(), expected.size() - 1);
        QCOMPARE(shown(q), expected);

        // A cancelled addition leaves nothing behind.
        QVERIFY(q.AppendRecord());
        q.CancelRecord();
        QCOMPARE(q.rowCount(), expected.size());

        // Delete rows before, at and after the edited one.
        for (int at : {500, 999, 999, -2}) {
            const int row = at < 0 ? int(expected.size()) + at : at; // -2: the row before the last
            QVERIFY(q.setCurrentRow(row));
            q.setNoDeleteConfirm(true);
            QVERIFY(q.DeleteRecord());
            expected.removeAt(row);
            QCOMPARE(q.currentRow(), row);
        }
        QCOMPARE(shown(q), expected);
        QVERIFY(sink.texts().isEmpty());

        // The footer agrees with the table.
        const QString total =
            TestEnv::value(QStringLiteral("SELECT TOTAL(NUMBER_FIELD1) FROM QN_ARCHIVE_MASTER_TABLE ") + where +
                           QStringLiteral(" OR ARCHIVE_ID = 'zzz'"));
        QCOMPARE(q.footerText(QStringLiteral("NUMBER_FIELD1")), TQnQuery::formatNumber(total.toDouble()));

        // Rows are found by value wherever they are: read from the table, pinned, or not there at all.
        for (const QString& id : {expected.first(), expected.at(777), QStringLiteral("zzz"), QStringLiteral("aaa"),
                                  expected.at(1500), expected.last()})
            QCOMPARE(q.locate(QStringLiteral("ARCHIVE_ID"), id), int(expected.indexOf(id)));
        QCOMPARE(q.locate(QStringLiteral("ARCHIVE_ID"), QStringLiteral("' OR '1'='1")), -1);
        QCOMPARE(q.locate(QStringLiteral("NO_SUCH_COLUMN"), 1), -1);

        // Reopened, the list is the table's again, in its order.
        QVERIFY(q.Refresh());
        QCOMPARE(shown(q), stored(where));
    }

    // A join is read as a plain result; after a change its rows are read again.
    void joinedStatement()
    {
        TestEnv env;
        QVERIFY(env.ok());
        RecordingSink sink;
        fill();
        TestEnv::exec("INSERT INTO QN_ARCHIVE_TYPE_TABLE (ARCHIVE_TYPE_ID, ARCHIVE_TYPE_NAME, PRIOR_ID) VALUES "
                      "('001', '文书', 'G001'), ('002', '会计', 'G001')");
        TQnQuery q;
        QAbstractItemModelTester tester(&q, QAbstractItemModelTester::FailureReportingMode::QtTest);
        q.setTableName(QStringLiteral("QN_ARCHIVE_MASTER_TABLE"));
        q.setSql(
            QStringLiteral("SELECT M.*, T.ARCHIVE_TYPE_NAME FROM QN_ARCHIVE_MASTER_TABLE M LEFT JOIN "
                           "QN_ARCHIVE_TYPE_TABLE T ON T.ARCHIVE_TYPE_ID = M.ARCHIVE_TYPE_ID ORDER BY ARCHIVE_ID"));
        QVERIFY(q.OpenQuery());
        QCOMPARE(q.rowCount(), Rows);
        QCOMPARE(q.valueAt(0, QStringLiteral("ARCHIVE_TYPE_NAME")).toString(), QStringLiteral("文书"));
        QVERIFY(q.setCurrentRow(10));
        QVERIFY(q.EditRecord());
        q.setValue(QStringLiteral("ARCHIVE_NAME"), QStringLiteral("改名"));
        QVERIFY(q.SaveRecord());
        QCOMPARE(q.text(QStringLiteral("ARCHIVE_NAME")), QStringLiteral("改名"));
        QCOMPARE(TestEnv::value("SELECT ARCHIVE_NAME FROM QN_ARCHIVE_MASTER_TABLE WHERE ARCHIVE_ID = '000011'"),
                 QStringLiteral("改名"));
        q.setNoDeleteConfirm(true);
        QVERIFY(q.DeleteRecord());
        QCOMPARE(q.rowCount(), Rows - 1);
        QCOMPARE(q.text(QStringLiteral("ARCHIVE_ID")), QStringLiteral("000012"));
        QCOMPARE(shown(q), stored(QString()));
        QVERIFY(sink.texts().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestLazyFetch)
#include "tst_lazyfetch.moc"
