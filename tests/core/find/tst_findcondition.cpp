#include "TestSupport.h"

#include "db/FunLib.h"
#include "db/Sql.h"
#include "find/FindCondition.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(TFieldsData)

// Each find kind's condition runs against a small archive room and must select exactly the expected rows.
class TestFindCondition : public QObject
{
    Q_OBJECT

private:
    static void fill()
    {
        struct Archive
        {
            const char *id, *number, *name, *type, *date, *num, *text1, *text2;
        };
        const Archive archives[] = {
            {"A1", "2008-001", "合同一", "001", "2008-11-15", "5", "2008年11月", "有效"},
            {"A2", "2009-001", "O'Brien合同", "001001", "2009-01-10", "12.5", "2009年01月", "停用"},
            {"A3", "2009-002", "会议记录", "002", "2009-01-31", "100", "2009年02月", "有效"},
            {"A4", "2009-003", "100%纯", "002001", nullptr, nullptr, nullptr, nullptr},
            {"A5", "2008-002", "x_y", "001", "2008-11-30", "-3", "2008年11月", "有效"},
        };
        auto text = [](const char* s) { return s ? Sql::quote(QString::fromUtf8(s)) : QStringLiteral("NULL"); };
        for (const Archive& a : archives)
            TestEnv::exec(QStringLiteral("INSERT INTO QN_ARCHIVE_MASTER_TABLE(ARCHIVE_RECORD_ID, ARCHIVE_ID, "
                                         "ARCHIVE_NAME, ARCHIVE_TYPE_ID, DATE_FIELD1, NUMBER_FIELD1, TEXT_FIELD1, "
                                         "TEXT_FIELD2) VALUES (%1, %2, %3, %4, %5, %6, %7, %8)")
                              .arg(text(a.id), text(a.number), text(a.name), text(a.type),
                                   a.date ? Sql::quoteDate(QString::fromLatin1(a.date)) : QStringLiteral("NULL"),
                                   a.num ? Sql::numberOrNull(QString::fromLatin1(a.num)) : QStringLiteral("NULL"),
                                   text(a.text1), text(a.text2)));
        const char* lends[][5] = {
            {"L1", "A1", "2009-01-05", "张三", nullptr},
            {"L2", "A2", "2008-12-20", "O'Neil", "2009-01-02"},
            {"L3", "A3", "2009-01-05", "李四", nullptr},
        };
        for (const auto& l : lends)
            TestEnv::exec(QStringLiteral("INSERT INTO QN_ARCHIVE_LEND_TABLE(LEND_ID, ARCHIVE_RECORD_ID, LEND_DATE, "
                                         "LEND_NAME, RETURN_DATE) VALUES (%1, %2, %3, %4, %5)")
                              .arg(text(l[0]), text(l[1]), Sql::quoteDate(QString::fromLatin1(l[2])), text(l[3]),
                                   l[4] ? Sql::quoteDate(QString::fromLatin1(l[4])) : QStringLiteral("NULL")));
        const char* details[][3] = {{"D1", "A1", "附件甲"}, {"D2", "A3", "附件乙"}, {"D3", "A3", "它's"}};
        for (const auto& d : details)
            TestEnv::exec(QStringLiteral("INSERT INTO QN_ARCHIVE_DETAIL_TABLE(DETAIL_RECORD_ID, ARCHIVE_RECORD_ID, "
                                         "DETAIL_ARCHIVE_NAME) VALUES (%1, %2, %3)")
                              .arg(text(d[0]), text(d[1]), text(d[2])));
    }

    static QString selected(const QString& condition, QString* error)
    {
        QSqlError e;
        auto q = OpenSql(QStringLiteral("SELECT ARCHIVE_RECORD_ID FROM QN_ARCHIVE_MASTER_TABLE M WHERE ") + condition +
                             QStringLiteral(" ORDER BY ARCHIVE_RECORD_ID"),
                         &e);
        if (!q) {
            *error = e.text();
            return {};
        }
        QStringList ids;
        while (q->next())
            ids << q->value(0).toString();
        return ids.join(QLatin1Char(','));
    }

    static TFieldsData field(const QString& name, const QString& kind, const QString& code, const QString& second = {},
                             const QString& prefix = QStringLiteral("M"))
    {
        TFieldsData f(name, QStringLiteral("字段"), kind);
        f.findKind = code;
        f.findText = second;
        f.tablePrefix = prefix;
        return f;
    }

    static const QString LendSub;
    static const QString DetailSub;

    std::unique_ptr<TestEnv> m_env;

private slots:
    // One archive room for the whole table: the conditions only read it.
    void initTestCase()
    {
        m_env = std::make_unique<TestEnv>();
        QVERIFY2(m_env->ok(), qPrintable(m_env->error()));
        fill();
    }
    void cleanupTestCase() { m_env.reset(); }

    void conditions_data()
    {
        QTest::addColumn<TFieldsData>("field");
        QTest::addColumn<QString>("op");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("month");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("rows");    // selected records, or empty when refused
        QTest::addColumn<QString>("message"); // the refusal

        const TFieldsData name = field(QStringLiteral("ARCHIVE_NAME"), QStringLiteral("C"), QStringLiteral("T"));
        const TFieldsData number = field(QStringLiteral("NUMBER_FIELD1"), QStringLiteral("N"), QStringLiteral("T"));
        const TFieldsData dateT = field(QStringLiteral("DATE_FIELD1"), QStringLiteral("D"), QStringLiteral("T"));
        const TFieldsData ym =
            field(QStringLiteral("DATE_FIELD1"), QStringLiteral("D"), QStringLiteral("Y"), QStringLiteral("档案年月"));
        const TFieldsData ymText =
            field(QStringLiteral("TEXT_FIELD1"), QStringLiteral("C"), QStringLiteral("Y"), QStringLiteral("归档年月"));
        const TFieldsData day = field(QStringLiteral("DATE_FIELD1"), QStringLiteral("D"), QStringLiteral("D"));
        const TFieldsData state = field(QStringLiteral("TEXT_FIELD2"), QStringLiteral("C"), QStringLiteral("B"),
                                        QStringLiteral("有效;;停用"));
        const QString none;
        const QString nothing = QStringLiteral("-");
        auto row = [&](const char* tag, const TFieldsData& f, const QString& op, const QString& value,
                       const QString& rows, const QString& message = {}) {
            QTest::newRow(tag) << f << op << value << none << none << none << rows << message;
        };

        row("T like", name, "Like", "合同", "A1,A2");
        row("T equal with a quote", name, "=", "O'Brien合同", "A2");
        row("T like a lone quote", name, "Like", "'", "A2");
        row("T like percent is literal", name, "Like", "%", "A4");
        row("T like underscore is literal", name, "Like", "_", "A5");
        row("T injection finds nothing", name, "=", "' OR '1'='1", nothing);
        row("T not equal", name, "<>", "会议记录", "A1,A2,A4,A5");
        row("T number equal", number, "=", "12.5", "A2");
        row("T number thousands", number, ">=", "1,00", "A3");
        row("T number at least", number, ">=", "5", "A1,A2,A3");
        row("T number not equal skips empty", number, "<>", "5", "A2,A3,A5");
        row("T number refuses text", number, "=", "1 OR 1=1", none, FindCondition::BadNumber);
        row("T date field by day", dateT, ">=", "2009-01-10", "A2,A3");
        row("T date field refuses text", dateT, "=", "yesterday", none, FindCondition::BadDate);
        row("empty value", name, "=", "  ", none, FindCondition::NoValue);
        row("unknown operator", name, "= 1 OR 1 =", "x", none, FindCondition::NoRelation);

        auto ymRow = [&](const char* tag, const TFieldsData& f, const QString& op, const QString& y, const QString& m,
                         const QString& rows, const QString& message = {}) {
            QTest::newRow(tag) << f << op << none << y << m << none << rows << message;
        };
        ymRow("Y November before January", ym, ">=", "2008", "11", "A1,A2,A3,A5");
        ymRow("Y up to December", ym, "<=", "2008", "12", "A1,A5");
        ymRow("Y from December", ym, ">=", "2008", "12", "A2,A3");
        ymRow("Y month", ym, "=", "2009", "01", "A2,A3");
        ymRow("Y not the month", ym, "<>", "2009", "01", "A1,A5");
        ymRow("Y up to the month's last day", ym, "<=", "2009", "01", "A1,A2,A3,A5");
        ymRow("Y last month of the calendar", ym, "<=", "9999", "12", "A1,A2,A3,A5");
        ymRow("Y on a text column", ymText, "=", "2008", "11", "A1,A5");
        ymRow("Y no year", ym, "=", "", "01", none, FindCondition::NoYear);
        ymRow("Y short year", ym, "=", "208", "01", none, FindCondition::BadYear);
        ymRow("Y no month", ym, "=", "2008", "", none, FindCondition::NoMonth);
        ymRow("Y short month", ym, "=", "2008", "8", none, FindCondition::BadMonth);
        ymRow("Y month 13", ym, "=", "2008", "13", none, FindCondition::BadMonth);

        row("D equal", day, "=", "2009-01-10", "A2");
        row("D up to", day, "<=", "2008-11-30", "A1,A5");
        row("D from", day, ">=", "2008-12-01", "A2,A3");
        row("D not", day, "<>", "2009-01-31", "A1,A2,A5");
        row("D empty", day, "=", "", none, FindCondition::NoDate);
        row("D short", day, "=", "2000-8-8", none, FindCondition::BadDate);
        row("D impossible", day, "=", "2000-02-30", none, FindCondition::BadDate);
        row("D slashes", day, "=", "2000/08/08", none, FindCondition::BadDate);

        TFieldsData dls = field(LendSub, QStringLiteral("D"), QStringLiteral("DLS"), QStringLiteral("LEND_DATE"));
        row("DLS lent that day", dls, "=", "2009-01-05", "A1,A3");
        row("DLS lent before the year's end", dls, "<=", "2008-12-31", "A2");

        row("DT text", field(QStringLiteral("TEXT_FIELD2"), QStringLiteral("C"), QStringLiteral("DT")), "=", "有效",
            "A1,A3,A5");
        row("LDT lender with a quote", field(LendSub + QStringLiteral(" LEND_NAME"), "C", "LDT"), "=", "O'Neil", "A2");
        row("DSF like", field(QStringLiteral("ARCHIVE_ID"), "C", "DSF"), "Like", "2009", "A2,A3,A4");

        TFieldsData ds = field(QStringLiteral("ARCHIVE_NAME"), "C", "DS", QStringLiteral("ARCHIVE_RECORD_ID"));
        ds.subTable = QStringLiteral("QN_ARCHIVE_LEND_TABLE");
        ds.subResult = QStringLiteral("ARCHIVE_RECORD_ID");
        ds.subWhere = QStringLiteral("LEND_NAME");
        row("DS lender", ds, "=", "张三", "A1");
        row("DS lender like a quote", ds, "Like", "'", "A2");

        row("LS detail like", field(DetailSub, "C", "LS"), "Like", "附件", "A1,A3");
        row("LS detail with a quote", field(DetailSub, "C", "LS"), "=", "它's", "A3");
        row("LT detail", field(DetailSub, "C", "LT"), "=", "附件甲", "A1");
        row("B state", state, "=", "停用", "A2");
        row("BLS lender", field(LendSub + QStringLiteral(" LEND_NAME"), "C", "BLS", "张三;李四"), "=", "李四", "A3");
        row("S type", field(QStringLiteral("ARCHIVE_TYPE_ID"), "C", "S"), "=", "001", "A1,A5");
        row("BT contains", field(QStringLiteral("TEXT_FIELD2"), "C", "BT"), "=", "效", "A1,A3,A5");

        auto keyRow = [&](const char* tag, const TFieldsData& f, const QString& op, const QString& value,
                          const QString& key, const QString& rows, const QString& message = {}) {
            QTest::newRow(tag) << f << op << value << none << none << key << rows << message;
        };
        const TFieldsData es = field(QStringLiteral("ARCHIVE_TYPE_NAME"), "C", "ES", QStringLiteral("ARCHIVE_TYPE_ID"));
        keyRow("ES key", es, "=", "文书档案", "001001", "A2");
        keyRow("ES key as a prefix", es, "Like", "文书档案", "001", "A1,A2,A5");
        keyRow("ES no key", es, "=", "文书档案", "", none, FindCondition::NoKey);
        keyRow("ESB key", field(QStringLiteral("X"), "C", "ESB", QStringLiteral("ARCHIVE_TYPE_ID")), "=", "文书档案",
               "002", "A3");
        keyRow("ELS key", field(QStringLiteral("X"), "C", "ELS", LendSub + QStringLiteral(" LEND_NAME")), "=", "张三",
               "张三", "A1");
        keyRow("BS whole condition", field(QStringLiteral("X"), "C", "BS"), "=", "停用", " (M.TEXT_FIELD2 = '停用')@",
               "A2");
        keyRow("BS without key", field(QStringLiteral("X"), "C", "BS"), "=", "停用", "", none, FindCondition::NoKey);
        keyRow("LBS not returned", field(LendSub + QLatin1Char(' '), "C", "LBS", {}, {}), "=", "未归还",
               "(RETURN_DATE IS NULL)@", "A1,A3");
        const TFieldsData bf = field(QStringLiteral("ARCHIVE_ID"), "C", "BF");
        keyRow("BF template", bf, "=", "2008-001", "( * OR M.ARCHIVE_TYPE_ID = '002')", "A1,A3");
        keyRow("BF key before @", bf, "=", "停用", " (M.TEXT_FIELD2 = '停用')@ignored", "A2");
        keyRow("BF typed only", bf, "=", "2009-003", "", "A4");
    }

    void conditions()
    {
        QFETCH(TFieldsData, field);
        QFETCH(QString, op);
        QFETCH(QString, value);
        QFETCH(QString, year);
        QFETCH(QString, month);
        QFETCH(QString, key);
        QFETCH(QString, rows);
        QFETCH(QString, message);

        FindCondition::Entry entry;
        entry.op = op;
        entry.value = value;
        entry.year = year;
        entry.month = month;
        entry.key = key;
        entry.keyValue = value;
        const FindCondition::Result r = FindCondition::build(field, entry);
        if (!message.isEmpty()) {
            QVERIFY(!r.ok);
            QCOMPARE(r.message, message);
            return;
        }
        QVERIFY2(r.ok, qPrintable(r.message));
        QString error;
        const QString got = selected(r.condition, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error + QStringLiteral(" in ") + r.condition));
        QCOMPARE(got, rows == QLatin1String("-") ? QString() : rows);
        // Nothing was changed by running it.
        QCOMPARE(TestEnv::value(QStringLiteral("SELECT COUNT(*) FROM QN_ARCHIVE_MASTER_TABLE")), QStringLiteral("5"));
    }

    // Year, month and day conditions are date ranges on the column: no function wraps it.
    void periodsStayIndexFriendly()
    {
        TFieldsData f(QStringLiteral("DATE_FIELD1"), QStringLiteral("日期"), QStringLiteral("D"));
        f.findKind = QStringLiteral("Y");
        f.findText = QStringLiteral("年月");
        FindCondition::Entry e;
        e.op = QStringLiteral(">=");
        e.year = QStringLiteral("2008");
        e.month = QStringLiteral("11");
        QCOMPARE(FindCondition::build(f, e).condition, QStringLiteral("DATE_FIELD1 >= '2008-11-01'"));
        e.op = QStringLiteral("=");
        QCOMPARE(FindCondition::build(f, e).condition,
                 QStringLiteral("(DATE_FIELD1 >= '2008-11-01' AND DATE_FIELD1 < '2008-12-01')"));
        f.findKind = QStringLiteral("D");
        e.value = QStringLiteral("2008-12-31");
        e.op = QStringLiteral("<=");
        QCOMPARE(FindCondition::build(f, e).condition, QStringLiteral("DATE_FIELD1 < '2009-01-01'"));
    }

    void keyMustStayAsReturned()
    {
        TFieldsData f(QStringLiteral("ARCHIVE_TYPE_NAME"), QStringLiteral("档案类别"), QStringLiteral("C"));
        f.findKind = QStringLiteral("ES");
        f.findText = QStringLiteral("ARCHIVE_TYPE_ID");
        FindCondition::Entry e;
        e.op = QStringLiteral("=");
        e.key = QStringLiteral("001");
        e.keyValue = QStringLiteral("文书档案");
        e.value = QStringLiteral("文书档案改");
        const auto r = FindCondition::build(f, e);
        QVERIFY(!r.ok);
        QCOMPARE(r.message, FindCondition::KeyChanged);
    }

    void offered()
    {
        TFieldsData t(QStringLiteral("ARCHIVE_NAME"), QStringLiteral("档案名称"));
        QVERIFY(!FindCondition::isOffered(t));
        t.findKind = QStringLiteral("t");
        QCOMPARE(FindCondition::offeredCaption(t), QStringLiteral("档案名称"));
        TFieldsData y(QStringLiteral("DATE_FIELD1"), QStringLiteral("归档日期"), QStringLiteral("D"));
        y.findKind = QStringLiteral("Y");
        y.findText = QStringLiteral("归档年月");
        QCOMPARE(FindCondition::offeredCaption(y), QStringLiteral("归档年月"));
        FindCondition::Entry e;
        e.year = QStringLiteral("2009");
        e.month = QStringLiteral("03");
        QCOMPARE(FindCondition::displayValue(y, e), QStringLiteral("2009年03月"));
    }

    void list()
    {
        TFindConditionList l;
        QVERIFY(l.add(QStringLiteral("A = 1"), QStringLiteral("档案名称"), QStringLiteral("相似"),
                      QStringLiteral("合同"), false, TFindConditionList::NoConnector));
        QVERIFY(!l.add(QStringLiteral("B = 2"), QStringLiteral("编号"), QStringLiteral("等于"), QStringLiteral("2"),
                       false, TFindConditionList::NoConnector));
        QCOMPARE(l.count(), 1);
        QVERIFY(l.add(QStringLiteral("B = 2"), QStringLiteral("编号"), QStringLiteral("等于"), QStringLiteral("2"),
                      false, TFindConditionList::Or));
        QVERIFY(l.add(QStringLiteral("C"), QStringLiteral("状态"), QString(), QStringLiteral("未归还"), true,
                      TFindConditionList::And));
        QCOMPARE(l.lines(), QStringList({QStringLiteral(" 档案名称 相似 合同"), QStringLiteral(" 或着 编号 等于 2"),
                                         QStringLiteral(" 并且  状态 等于 未归还")}));
        QCOMPARE(l.conditions(),
                 QStringList({QStringLiteral("A = 1"), QStringLiteral(" or B = 2"), QStringLiteral(" and C")}));
        l.removeAt(0);
        QCOMPARE(l.conditions(), QStringList({QStringLiteral("B = 2"), QStringLiteral(" and C")}));
        QCOMPARE(l.whereText(), QStringLiteral("B = 2 and C"));
        QCOMPARE(l.displayText(), QStringLiteral(" 或着 编号 等于 2 并且  状态 等于 未归还"));
    }
};

const QString TestFindCondition::LendSub =
    QStringLiteral("ARCHIVE_RECORD_ID IN (SELECT ARCHIVE_RECORD_ID FROM QN_ARCHIVE_LEND_TABLE WHERE");
const QString TestFindCondition::DetailSub = QStringLiteral(
    "ARCHIVE_RECORD_ID IN (SELECT ARCHIVE_RECORD_ID FROM QN_ARCHIVE_DETAIL_TABLE WHERE DETAIL_ARCHIVE_NAME");

QTEST_GUILESS_MAIN(TestFindCondition)
#include "tst_findcondition.moc"
