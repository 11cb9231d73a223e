#include "TestSupport.h"

#include "db/Database.h"
#include "sheet/SheetExport.h"
#include "sheet/SheetReader.h"

#include "common/MessageSink.h"

#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using Grid = QList<QStringList>;
Q_DECLARE_METATYPE(Grid)
Q_DECLARE_METATYPE(TExcelFieldArray)

namespace {

// Three records with a nine-digit number, a ten-character decimal, an eleven-digit number and a code with
// leading zeros.
const QString Records =
    QStringLiteral("WITH t(ID, NAME, AMOUNT, CODE) AS (VALUES ('123456789', '档案甲', '1234567.89', '007'), "
                   "('12345678901', '档案乙', '12.5', '42'), ('1', '  档案丙  ', NULL, '12345678')) SELECT * FROM t");

const TExcelFieldArray Columns = {
    {"ID", "", "编号"}, {"NAME", "", "名称"}, {"AMOUNT", "", "金额"}, {"CODE", "", "代码"}};

// The workbook as rows of text from its first row, with each cell's kind where asked.
Grid readGrid(const QString& path, QList<QList<SheetReader::CellInfo>>* kinds = nullptr)
{
    SheetReader reader;
    if (!reader.openGrid(path))
        return {{reader.errorString()}};
    Grid grid;
    QStringList cells;
    QList<SheetReader::CellInfo> info;
    while (reader.readRow(&cells, &info)) {
        while (!cells.isEmpty() && cells.constLast().isEmpty())
            cells.removeLast();
        grid.append(cells);
        if (kinds)
            kinds->append(info);
    }
    return grid;
}

bool exportRecords(const QString& path, bool id, const TExcelFieldArray& columns, const TExcelFieldArray& headings,
                   const TExcelFieldArray& closings, const QString& sql = Records, const QString& name = "档案")
{
    QSqlQuery q(Database::db());
    q.setForwardOnly(true);
    if (!q.exec(sql))
        return false;
    SqlQueryRows rows(&q);
    return SheetExport::ExportToXlsx(path, name, id, &rows, columns, headings, closings);
}

} // namespace

class TestSheetExport : public QObject
{
    Q_OBJECT

private slots:
    void textRule_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("text");
        QTest::newRow("nine digits") << "123456789" << true;
        QTest::newRow("ten characters with a point") << "1234567.89" << false;
        QTest::newRow("eleven digits") << "12345678901" << true;
        QTest::newRow("eight digits") << "12345678" << false;
        QTest::newRow("five Chinese characters") << "档案资料管理" << true;
        QTest::newRow("four Chinese characters") << "档案资料" << false;
        QTest::newRow("date") << "2009-03-25" << true;
    }
    void textRule()
    {
        QFETCH(QString, value);
        QFETCH(bool, text);
        QCOMPARE(SheetExport::needsTextFormat(value), text);
    }

    void layout_data()
    {
        QTest::addColumn<bool>("id");
        QTest::addColumn<TExcelFieldArray>("headings");
        QTest::addColumn<TExcelFieldArray>("closings");
        QTest::addColumn<Grid>("grid");
        const Grid body = {{"123456789", "档案甲", "1234567.89", "007"},
                           {"12345678901", "档案乙", "12.5", "42"},
                           {"1", "档案丙", "", "12345678"}};
        Grid plain = {{"编号", "名称", "金额", "代码"}};
        plain += body;
        QTest::newRow("headings in row 1") << false << TExcelFieldArray() << TExcelFieldArray() << plain;

        Grid numbered = {{"序号", "编号", "名称", "金额", "代码"}};
        for (int i = 0; i < body.size(); ++i)
            numbered.append(QStringList{QString::number(i + 1)} + body.at(i));
        QTest::newRow("row numbers") << true << TExcelFieldArray() << TExcelFieldArray() << numbered;

        Grid titled = {{"单位"}, {"档案室"}, {"编号", "名称", "金额", "代码"}};
        titled += body;
        QTest::newRow("heading with a caption")
            << false << TExcelFieldArray{{"档案室", "", "单位"}} << TExcelFieldArray() << titled;

        Grid mixed = {{"单位", "2009年"}, {"档案室"}, {"编号", "名称", "金额", "代码"}};
        mixed += body;
        QTest::newRow("a later heading without a caption keeps the captioned one")
            << false << TExcelFieldArray{{"档案室", "", "单位"}, {"2009年", "", ""}} << TExcelFieldArray() << mixed;

        Grid closed = plain;
        closed.append({"", "合计", "", "制表人"});
        closed.append({"", "", "", "张三"});
        QTest::newRow("closings from column 2")
            << false << TExcelFieldArray()
            << TExcelFieldArray{{"合计", "", ""}, {"", "", "ignored"}, {"张三", "", "制表人"}} << closed;
    }
    void layout()
    {
        QFETCH(bool, id);
        QFETCH(TExcelFieldArray, headings);
        QFETCH(TExcelFieldArray, closings);
        QFETCH(Grid, grid);
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        RecordingSink sink;
        const QString path = env.path("export.xlsx");
        QVERIFY(exportRecords(path, id, Columns, headings, closings));
        QCOMPARE(sink.texts(), QStringList());
        QCOMPARE(readGrid(path), grid);
    }

    // Long digit strings land as text, short plain numbers as numbers, codes keep their zeros.
    void cellTypes()
    {
        TestEnv env;
        QVERIFY(env.ok());
        RecordingSink sink;
        const QString path = env.path("types.xlsx");
        QVERIFY(exportRecords(path, true, Columns, {}, {}));
        QList<QList<SheetReader::CellInfo>> kinds;
        const Grid grid = readGrid(path, &kinds);
        using Kind = SheetReader::CellKind;
        QCOMPARE(kinds[1][0].kind, Kind::Number); // row number 1
        QCOMPARE(kinds[1][1].kind, Kind::Text);   // nine digits
        QVERIFY(kinds[1][1].textFormat);
        QCOMPARE(kinds[1][3].kind, Kind::Number); // ten characters with a point
        QVERIFY(!kinds[1][3].textFormat);
        QCOMPARE(kinds[1][4].kind, Kind::Text); // "007"
        QCOMPARE(grid[1][4], QStringLiteral("007"));
        QCOMPARE(kinds[2][1].kind, Kind::Text); // eleven digits
        QVERIFY(kinds[2][1].textFormat);
        QCOMPARE(kinds[2][4].kind, Kind::Number); // "42"
        QCOMPARE(kinds[3][4].kind, Kind::Number); // eight digits
        QCOMPARE(kinds[0][0].kind, Kind::Text);   // 序号
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("name");
        QTest::addColumn<TExcelFieldArray>("columns");
        QTest::addColumn<QString>("message");
        QTest::newRow("no rows") << "SELECT * FROM SYS_USER_TABLE"
                                 << "档案" << TExcelFieldArray{{"USE_ID", "", "编号"}} << "没有数据";
        QTest::newRow("blank name") << Records << "  " << Columns << "没有报表名称";
        QTest::newRow("field the rows lack")
            << Records << "档案" << TExcelFieldArray{{"NOPE", "", "无"}} << "Excel打开过程发生错误";
        QTest::newRow("no data set") << ""
                                     << "档案" << Columns << "没有数据源";
    }
    void refusals()
    {
        QFETCH(QString, sql);
        QFETCH(QString, name);
        QFETCH(TExcelFieldArray, columns);
        QFETCH(QString, message);
        TestEnv env;
        QVERIFY(env.ok());
        RecordingSink sink;
        const QString path = env.path("refused.xlsx");
        if (sql.isEmpty())
            QVERIFY(!SheetExport::ExportToXlsx(path, name, false, nullptr, columns, {}, {}));
        else
            QVERIFY(!exportRecords(path, false, columns, {}, {}, sql, name));
        QCOMPARE(sink.texts(), QStringList{message});
        QVERIFY(!QFile::exists(path));
        QCOMPARE(QDir(env.path("")).entryList({"*.xlsx*", ".*.xlsx.*"}, QDir::Files | QDir::Hidden), QStringList());
    }

    // A new export replaces the old file whole; nothing temporary stays behind.
    void replacesFile()
    {
        TestEnv env;
        QVERIFY(env.ok());
        RecordingSink sink;
        const QString path = env.path("again.xlsx");
        QVERIFY(exportRecords(path, false, Columns, {}, {}));
        QVERIFY(exportRecords(path, false, {{"NAME", "", "只有名称"}}, {}, {}));
        QCOMPARE(readGrid(path).first(), QStringList{"只有名称"});
        QCOMPARE(QDir(env.path("")).entryList({".again*"}, QDir::Files | QDir::Hidden), QStringList());
    }

    void singleSelect_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("select") << "SELECT * FROM SYS_USER_TABLE" << true;
        QTest::newRow("trailing semicolon and comment") << "select 1; -- done" << true;
        QTest::newRow("leading comment") << "/* list */ SELECT 1" << true;
        QTest::newRow("with") << "WITH x(a) AS (SELECT 1) SELECT a FROM x" << true;
        QTest::newRow("two statements") << "SELECT 1; DELETE FROM SYS_USER_TABLE" << false;
        QTest::newRow("delete") << "DELETE FROM SYS_USER_TABLE" << false;
        QTest::newRow("with delete") << "WITH x(a) AS (SELECT 1) DELETE FROM SYS_USER_TABLE" << false;
        QTest::newRow("pragma") << "PRAGMA table_info(SYS_USER_TABLE)" << false;
        QTest::newRow("attach") << "ATTACH DATABASE '/tmp/x.db' AS x" << false;
        QTest::newRow("syntax error") << "SELECT FROM WHERE" << false;
    }
    void singleSelect()
    {
        QFETCH(QString, sql);
        QFETCH(bool, accepted);
        TestEnv env;
        QVERIFY(env.ok());
        QString error;
        QCOMPARE(SheetExport::isSingleSelect(sql, &error), accepted);
        QCOMPARE(error.isEmpty(), accepted);
    }

    void cliSheet()
    {
        QProcess p;
        p.start(QStringLiteral(VUZAZO_CLI), {"sheet", testData("sheet/lo-basic.xlsx")});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split('\n');
        QCOMPARE(lines.value(0), QStringLiteral("档案编号\t名称\tF3\t日期\t金额\t数量\t是否\t时间戳\t备注\tF10\tF11"));
        QCOMPARE(lines.value(2),
                 QStringLiteral("0012\t含,逗号\t\t1999-12-31\t0.1\t-7\tFALSE\t10:30:00\t第一行\\n第二行\t\t"));

        p.start(QStringLiteral(VUZAZO_CLI), {"sheet", testData("sheet/encrypted.xlsx")});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 1);
        QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("密码保护")));

        // A missing file is named once, not twice.
        const QString missing = QStringLiteral("no-such-sheet.xlsx");
        p.start(QStringLiteral(VUZAZO_CLI), {"sheet", missing});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 1);
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QCOMPARE(err.count(missing), 1);
    }

    void cliExport()
    {
        TestEnv env;
        QVERIFY(env.ok());
        TestEnv::exec("INSERT INTO SYS_ID_TABLE(NAME_ID, AUTO_ID) VALUES ('导出', '200903250001')");
        Database::close(); // the command opens the database itself
        const QString out = env.path("ids.xlsx");
        QProcess p;
        p.start(QStringLiteral(VUZAZO_CLI), {"export", "--install-dir", env.installDir(), "--sql",
                                             "SELECT NAME_ID AS 名称, AUTO_ID AS 编号 FROM SYS_ID_TABLE WHERE "
                                             "NAME_ID = '导出'",
                                             "--xlsx", out, "--title", "编号表", "--row-numbers"});
        QVERIFY(p.waitForFinished(30000));
        QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
        QCOMPARE(readGrid(out), Grid({{"序号", "名称", "编号"}, {"1", "导出", "200903250001"}}));
        SheetReader reader;
        QVERIFY(reader.open(out));
        QCOMPARE(reader.sheetName(), QStringLiteral("编号表"));

        // Anything but one SELECT is refused and changes nothing.
        p.start(QStringLiteral(VUZAZO_CLI), {"export", "--install-dir", env.installDir(), "--sql",
                                             "DELETE FROM SYS_ID_TABLE", "--xlsx", env.path("no.xlsx")});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 1);
        QVERIFY(!QFile::exists(env.path("no.xlsx")));
        QCOMPARE(Database::open(env.databaseDir()), Database::OpenResult::Ok);
        QCOMPARE(TestEnv::value("SELECT COUNT(*) FROM SYS_ID_TABLE WHERE NAME_ID = '导出'"), QStringLiteral("1"));
        Database::close();

        // A workbook is written only under an .xlsx name.
        p.start(QStringLiteral(VUZAZO_CLI), {"export", "--install-dir", env.installDir(), "--sql",
                                             "SELECT NAME_ID FROM SYS_ID_TABLE", "--xlsx", env.path("ids.csv")});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 2);
        QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral(".xlsx")));
        QVERIFY(!QFile::exists(env.path("ids.csv")));
    }
};

QTEST_GUILESS_MAIN(TestSheetExport)
#include "tst_sheetexport.moc"
