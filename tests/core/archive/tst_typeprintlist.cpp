#include "TestSupport.h"

#include "archive/TypePrintList.h"
#include "db/Sql.h"

#include <QtTest>

// The printed archive type list: depth-first order by ORDER_ID, indents and outline numbers.
class TestTypePrintList : public QObject
{
    Q_OBJECT

private:
    static void type(const QString& key, const QString& parent, int order, const QString& name,
                     const QString& note = {})
    {
        TestEnv::exec(
            QStringLiteral("INSERT INTO QN_ARCHIVE_TYPE_TABLE(ARCHIVE_TYPE_ID, PRIOR_ID, ORDER_ID, "
                           "ARCHIVE_TYPE_NAME, NOTE) VALUES (%1, %2, %3, %4, %5)")
                .arg(Sql::quote(key), Sql::quote(parent), Sql::number(order), Sql::quote(name), Sql::quote(note)));
    }
    static QStringList names(const QList<TTypeListRow>& rows)
    {
        QStringList l;
        for (const auto& r : rows)
            l << r.nodeName;
        return l;
    }

private slots:
    void outlineNumber_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("siblings");
        QTest::addColumn<QString>("text");
        QTest::newRow("few") << 3 << 9 << "3.";
        QTest::newRow("two digits, small") << 9 << 10 << "9. ";
        QTest::newRow("two digits, big") << 10 << 12 << "10.";
        QTest::newRow("three digits, small") << 7 << 120 << "7.  ";
        QTest::newRow("three digits, middle") << 42 << 120 << "42. ";
        QTest::newRow("three digits, big") << 100 << 120 << "100.";
    }
    void outlineNumber()
    {
        QFETCH(int, position);
        QFETCH(int, siblings);
        QFETCH(QString, text);
        QCOMPARE(OutlineNumber(position, siblings), text);
    }

    void lists()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        // Order by ORDER_ID, not by key or insertion.
        type("002", "G001", 2, "科技档案", "技术");
        type("001", "G001", 1, "文书档案", "行政");
        type("001002", "001", 2, "长期");
        type("001001", "001", 1, "永久", "重要");
        type("001001001", "001001", 1, "卷内");
        type("003", "G001", 3, "O'Neil专档");

        QCOMPARE(names(BuildTypePrintList("G001", false)),
                 QStringList({"文书档案", "  永久", "    卷内", "  长期", "科技档案", "O'Neil专档"}));
        QCOMPARE(names(BuildTypePrintList("G001", true)),
                 QStringList({"1.文书档案", "  1.永久", "    1.卷内", "  2.长期", "2.科技档案", "3.O'Neil专档"}));
        const auto branch = BuildTypePrintList("001", true);
        QCOMPARE(names(branch), QStringList({"文书档案", "  1.永久", "    1.卷内", "  2.长期"}));
        QCOMPARE(branch.first().note, QStringLiteral("行政"));
        QCOMPARE(branch.at(1).note, QStringLiteral("重要"));
        QCOMPARE(names(BuildTypePrintList("001001001", false)), QStringList({"卷内"}));
        QVERIFY(BuildTypePrintList("009", false).isEmpty());
        QVERIFY(BuildTypePrintList("' OR '1'='1", false).isEmpty());
    }

    void empty()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        QVERIFY(BuildTypePrintList("G001", true).isEmpty());
    }

    // A type that names itself as its parent (a damaged table) is listed once, not forever.
    void cycle()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        type("001", "G001", 1, "文书档案");
        type("001001", "001001", 1, "自己");
        type("001002", "001", 2, "子");
        TestEnv::exec("UPDATE QN_ARCHIVE_TYPE_TABLE SET PRIOR_ID = '001002' WHERE ARCHIVE_TYPE_ID = '001'");
        type("004", "G001", 4, "其它");
        QCOMPARE(names(BuildTypePrintList("001", false)), QStringList({"文书档案", "  子"}));
    }
};

QTEST_GUILESS_MAIN(TestTypePrintList)
#include "tst_typeprintlist.moc"
