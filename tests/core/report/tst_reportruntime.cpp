#include "TestSupport.h"

#include "common/Clock.h"
#include "common/MessageSink.h"
#include "report/ReportRowSource.h"
#include "report/ReportRunTime.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include "db/Database.h"

namespace {

using Kind = ReportRowSource::FieldKind;

// A template whose lines all have a set height of 30, so page breaks can be counted exactly: a head line, the
// data line (name, amount, row number), a page-sum line (F1 and F2) and a grand-total line (F2 only).
QByteArray listTemplate(int pageHeight, const QString& sumPage = QStringLiteral("<SumPage(2)>"),
                        const QString& sumAll = QStringLiteral("<Sum(2)>"))
{
    TReportControl c;
    c.setPageSize(758, pageHeight);
    c.setMargins(77, 0, 77, 0, 20, 0, 20, 0);
    c.newTable(3, 4);
    for (int i = 0; i < 4; ++i)
        c.line(i)->setSetHeight(30);
    c.line(0)->cell(0)->setText(QStringLiteral("<单位名称>"));
    c.line(0)->cell(1)->setText(QStringLiteral("{标题}"));
    c.line(1)->cell(0)->setText(QStringLiteral("[名称]"));
    c.line(1)->cell(1)->setText(QStringLiteral("[金额]"));
    c.line(1)->cell(2)->setText(QStringLiteral("<序号>"));
    c.line(2)->cell(0)->setText(QStringLiteral("本页合计"));
    c.line(2)->cell(1)->setText(sumPage);
    c.line(2)->cell(2)->setText(QStringLiteral("<PageNum/>"));
    c.line(3)->cell(0)->setText(QStringLiteral("总计"));
    c.line(3)->cell(1)->setText(sumAll);
    c.line(3)->cell(2)->setText(QStringLiteral("<PageNum->"));
    c.layout();
    return c.saveToBytes();
}

TPrintFieldsArray listFields()
{
    return {{QStringLiteral("NAME"), QStringLiteral("名称"), QStringLiteral("M"), true, true},
            {QStringLiteral("AMOUNT"), QStringLiteral("金额"), QStringLiteral("M"), true, true},
            {QStringLiteral("TITLE"), QStringLiteral("标题"), QStringLiteral("M"), true, false}};
}

std::unique_ptr<MemoryRowSource> rows(int n, double amount = 1.5)
{
    auto src = std::make_unique<MemoryRowSource>();
    src->setFields({{QStringLiteral("NAME"), Kind::Text},
                    {QStringLiteral("AMOUNT"), Kind::Float},
                    {QStringLiteral("TITLE"), Kind::Text}});
    for (int i = 0; i < n; ++i)
        src->appendRow({QStringLiteral("项目%1").arg(i + 1), amount, QStringLiteral("清单")});
    return src;
}

// Texts of a finished page, line by line.
QList<QStringList> pageTexts(const TReportRunTime& rt, int page)
{
    TReportControl c;
    QList<QStringList> out;
    if (!rt.loadPage(page, c))
        return out;
    for (int i = 0; i < c.lineCount(); ++i) {
        QStringList l;
        for (int k = 0; k < c.line(i)->cellCount(); ++k)
            l << c.line(i)->cell(k)->text();
        out << l;
    }
    return out;
}

} // namespace

class TestReportRunTime : public QObject
{
    Q_OBJECT

private slots:
    void init() { Clock::setFixed(QDateTime(QDate(2009, 3, 25), QTime(14, 5, 9))); }
    void cleanup() { Clock::clearFixed(); }

    void bindingConversion_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("converted");
        QTest::newRow("single value") << QStringLiteral("{档案编号}") << QStringLiteral("@M.ARCHIVE_ID");
        QTest::newRow("blanks inside") << QStringLiteral("{ 档案编号 }") << QStringLiteral("@M.ARCHIVE_ID");
        QTest::newRow("rows") << QStringLiteral("[借阅人员]") << QStringLiteral("#D.LEND_NAME");
        QTest::newRow("rows only, asked single") << QStringLiteral("{借阅人员}") << QStringLiteral("{借阅人员}");
        QTest::newRow("single only, asked rows") << QStringLiteral("[档案编号]") << QStringLiteral("[档案编号]");
        QTest::newRow("unknown caption") << QStringLiteral("{没有}") << QStringLiteral("{没有}");
        QTest::newRow("function") << QStringLiteral("<PageNum/>") << QStringLiteral("`PageNum/");
        QTest::newRow("first pair counts") << QStringLiteral("{档案编号}{档案名称}") << QStringLiteral("@M.ARCHIVE_ID");
        QTest::newRow("no closing bracket") << QStringLiteral("{档案编号") << QStringLiteral("{档案编号");
        QTest::newRow("plain") << QStringLiteral("档案") << QStringLiteral("档案");
    }

    void bindingConversion()
    {
        QFETCH(QString, text);
        QFETCH(QString, converted);
        TReportControl c;
        c.newTable(1, 1);
        c.line(0)->cell(0)->setText(text);
        TReportRunTime rt;
        rt.setPrintFields(
            {{QStringLiteral("ARCHIVE_ID"), QStringLiteral("档案编号"), QStringLiteral("M"), true, false},
             {QStringLiteral("ARCHIVE_NAME"), QStringLiteral("档案名称"), QStringLiteral("M"), true, true},
             {QStringLiteral("LEND_NAME"), QStringLiteral("借阅人员"), QStringLiteral("D"), false, true}});
        QVERIFY(rt.loadTemplate(c.saveToBytes()));
        QCOMPARE(rt.templateControl().line(0)->cell(0)->text(), converted);
    }

    void pageBreaks_data()
    {
        QTest::addColumn<int>("records");
        QTest::addColumn<bool>("addSpace");
        QTest::addColumn<QList<int>>("rowsPerPage"); // data-line rows on each page
        QTest::addColumn<QStringList>("firstNumbers");
        // A page holds the head (30), rows of 30 and F1 (30): 5 rows in 210 pixels; F2 takes 60.
        QTest::newRow("rows fill the page, totals move") << 5 << false << QList<int>{4, 1} << QStringList{"1", "5"};
        QTest::newRow("three pages") << 12 << false << QList<int>{5, 5, 2} << QStringList{"1", "6", "11"};
        QTest::newRow("one row") << 1 << false << QList<int>{1} << QStringList{"1"};
        QTest::newRow("filled with empty rows") << 7 << true << QList<int>{5, 4} << QStringList{"1", "6"};
        QTest::newRow("no room to fill") << 4 << true << QList<int>{4} << QStringList{"1"};
    }

    void pageBreaks()
    {
        QFETCH(int, records);
        QFETCH(bool, addSpace);
        QFETCH(QList<int>, rowsPerPage);
        QFETCH(QStringList, firstNumbers);
        auto src = rows(records);
        TReportRunTime rt;
        rt.setPrintFields(listFields());
        QVERIFY(rt.loadTemplate(listTemplate(210)));
        rt.setDefaultDataSet(src.get());
        rt.setAddSpace(addSpace);
        QVERIFY(rt.buildPages());
        QCOMPARE(rt.pageCount(), rowsPerPage.size());
        int number = 1;
        for (int p = 0; p < rt.pageCount(); ++p) {
            const auto lines = pageTexts(rt, p);
            const bool last = p == rt.pageCount() - 1;
            QCOMPARE(lines.size(), 1 + rowsPerPage[p] + (last ? 2 : 1));
            QCOMPARE(lines[1][2], firstNumbers[p]);
            for (int r = 0; r < rowsPerPage[p]; ++r) {
                const QStringList row = lines[1 + r];
                if (number <= records) {
                    QCOMPARE(row[0], QStringLiteral("项目%1").arg(number));
                    QCOMPARE(row[2], QString::number(number));
                } else {
                    QCOMPARE(row, (QStringList{QString(), QString(), QString()})); // an empty row
                }
                ++number;
            }
            const QStringList f1 = lines[1 + rowsPerPage[p]];
            QCOMPARE(f1[2], QStringLiteral("第 %1/%2 页").arg(p + 1).arg(rt.pageCount()));
            if (last)
                QCOMPARE(lines.last()[2], QStringLiteral("第 %1-%2 页").arg(rt.pageCount()).arg(p + 1));
        }
        // The data set is walked without being left elsewhere.
        QCOMPARE(src->controlsDisabled(), 0);
    }

    void headValuesAndVariables()
    {
        auto src = rows(2);
        TReportRunTime rt;
        rt.setPrintFields(listFields());
        QVERIFY(rt.loadTemplate(listTemplate(400)));
        rt.setDefaultDataSet(src.get());
        rt.SetVarValue(QStringLiteral("单位名称"), QStringLiteral("档案室"));
        QVERIFY(rt.buildPages());
        const auto lines = pageTexts(rt, 0);
        QCOMPARE(lines[0][0], QStringLiteral("档案室"));
        QCOMPARE(lines[0][1], QStringLiteral("清单"));
    }

    void functions_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("value");
        QTest::newRow("date") << QStringLiteral("<Date>") << QStringLiteral("2009-03-25");
        QTest::newRow("time") << QStringLiteral("<Time>") << QStringLiteral("14:05:09");
        QTest::newRow("datetime") << QStringLiteral("<DateTime>") << QStringLiteral("2009-03-25 14:05:09");
        QTest::newRow("variable wins") << QStringLiteral("<日期>") << QStringLiteral("变量");
        QTest::newRow("unknown variable") << QStringLiteral("<没有>") << QString();
        QTest::newRow("page") << QStringLiteral("<PageNum>") << QStringLiteral("第 1 页");
        QTest::newRow("row number outside the data line") << QStringLiteral("<序号>") << QString();
        QTest::newRow("lower-case page") << QStringLiteral("<pagenum/>") << QStringLiteral("第 1/1 页");
    }

    void functions()
    {
        QFETCH(QString, text);
        QFETCH(QString, value);
        TReportControl c;
        c.newTable(1, 1);
        c.line(0)->cell(0)->setText(text);
        TReportRunTime rt;
        QVERIFY(rt.loadTemplate(c.saveToBytes()));
        rt.setSetData({QStringLiteral("SETVARVALUE(日期,变量);")});
        QVERIFY(rt.buildPages());
        QCOMPARE(rt.pageCount(), 1);
        QCOMPARE(pageTexts(rt, 0)[0][0], value);
    }

    void sums_data()
    {
        QTest::addColumn<QString>("sumPage");
        QTest::addColumn<QString>("sumAll");
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("pageText"); // last page's page sum
        QTest::addColumn<QString>("totalText");
        QTest::addColumn<QString>("warning");
        QTest::newRow("plain") << "<SumPage(2)>"
                               << "<Sum(2)>" << 1.5 << "3"
                               << "18" << QString();
        QTest::newRow("expression left to right") << "<SumPage(2+2-2)>"
                                                  << "<Sum(2-1+2)>" << 1.5 << "3"
                                                  << "36" << QString();
        QTest::newRow("zero sums") << "<SumPage(2)>"
                                   << "<Sum(2)>" << 0.0 << ""
                                   << "0" << QString();
        QTest::newRow("text column sums nothing") << "<SumPage(1)>"
                                                  << "<Sum(3)>" << 1.5 << ""
                                                  << "0" << QString();
        QTest::newRow("beyond 41 columns") << "<SumPage(2)>"
                                           << "<Sum(42)>" << 1.5 << "3"
                                           << "0" << QString();
        QTest::newRow("zero column") << "<SumPage(2)>"
                                     << "<Sum(0)>" << 1.5 << "3"
                                     << "0" << QStringLiteral("模板中`SumAll()括号内参数不应为零");
        QTest::newRow("zero page column") << "<SumPage(2+0)>"
                                          << "<Sum(2)>" << 1.5 << ""
                                          << "18" << QStringLiteral("模板中`Sumpage()括号内参数不应为零");
        QTest::newRow("missing bracket") << "<SumPage(2)>"
                                         << "<Sum(2>" << 1.5 << "3"
                                         << "0" << QStringLiteral("统计时发生错误，请检查`SumAll()设置是否正确");
        QTest::newRow("not a number") << "<SumPage(2+x)>"
                                      << "<Sum(2)>" << 1.5 << ""
                                      << "18" << QStringLiteral("统计时发生错误，请检查`Sumpage()设置是否正确");
    }

    void sums()
    {
        QFETCH(QString, sumPage);
        QFETCH(QString, sumAll);
        QFETCH(double, amount);
        QFETCH(QString, pageText);
        QFETCH(QString, totalText);
        QFETCH(QString, warning);
        RecordingSink sink;
        auto src = rows(12, amount); // pages of 5, 5 and 2 rows
        TReportRunTime rt;
        rt.setPrintFields(listFields());
        QVERIFY(rt.loadTemplate(listTemplate(210, sumPage, sumAll)));
        rt.setDefaultDataSet(src.get());
        QVERIFY(rt.buildPages());
        QCOMPARE(rt.pageCount(), 3);
        const auto last = pageTexts(rt, 2);
        QCOMPARE(last[last.size() - 2][1], pageText);
        QCOMPARE(last.last()[1], totalText);
        if (pageText == QStringLiteral("3") && sumPage == QStringLiteral("<SumPage(2)>"))
            QCOMPARE(pageTexts(rt, 0)[6][1], QStringLiteral("7.5"));
        if (warning.isEmpty()) {
            QVERIFY(sink.entries().isEmpty());
        } else {
            // Shown once, not once per page.
            QCOMPARE(sink.texts(), QStringList{warning});
        }
    }

    void fortyOneColumns()
    {
        TReportControl c;
        c.setPageSize(3000, 1037);
        c.newTable(45, 2);
        for (int i = 0; i < 45; ++i)
            c.line(0)->cell(i)->setText(QStringLiteral("#M.N"));
        c.line(1)->cell(0)->setText(QStringLiteral("<Sum(41)>"));
        c.line(1)->cell(1)->setText(QStringLiteral("<Sum(42)>"));
        c.line(1)->cell(2)->setText(QStringLiteral("<Sum(1+41-40)>"));
        auto src = std::make_unique<MemoryRowSource>(QList<MemoryRowSource::Field>{{"N", Kind::Integer}},
                                                     QList<QVariantList>{{2}, {3}, {4}});
        TReportRunTime rt;
        QVERIFY(rt.loadTemplate(c.saveToBytes()));
        rt.setDefaultDataSet(src.get());
        QVERIFY(rt.buildPages());
        const auto lines = pageTexts(rt, 0);
        QCOMPARE(lines.last().mid(0, 3), (QStringList{"9", "0", "9"}));
    }

    void numberFormats_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << "0" << 1234.567 << "1235";
        QTest::newRow("0.0") << "0.0" << 1234.567 << "1234.6";
        QTest::newRow("0.00") << "0.00" << 1234.567 << "1234.57";
        QTest::newRow("0,.00") << "0,.00" << 1234.567 << "1,234.57";
        QTest::newRow("0,.000") << "0,.000" << 1234.567 << "1,234.567";
        QTest::newRow("0,.0000") << "0,.0000" << 1234.567 << "1,234.5670";
        QTest::newRow("negative grouped") << "0,.00" << -1234567.891 << "-1,234,567.89";
        QTest::newRow("capitals") << "大写金额" << 1234.56 << "壹仟贰佰叁拾肆元伍角陆分";
        QTest::newRow("plain") << "" << 1234.5 << "1234.5";
    }

    void numberFormats()
    {
        QFETCH(QString, format);
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(FormatReportNumber(value, format), text);
    }

    void fieldValues_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("number with format") << "0.00" << QVariant(2.5) << "2.50";
        QTest::newRow("capital money") << "大写金额" << QVariant(100.0) << "壹佰元整";
        QTest::newRow("null number") << "0.00" << QVariant() << "";
        QTest::newRow("number without format") << "" << QVariant(3.0) << "3";
    }

    void fieldValues()
    {
        QFETCH(QString, format);
        QFETCH(QVariant, value);
        QFETCH(QString, text);
        TReportControl c;
        c.newTable(1, 1);
        c.line(0)->cell(0)->setText(QStringLiteral("@M.AMOUNT"));
        c.line(0)->cell(0)->setDisplayFormat(format);
        MemoryRowSource src({{"AMOUNT", Kind::Float}}, {{value}});
        TReportRunTime rt;
        QVERIFY(rt.loadTemplate(c.saveToBytes()));
        rt.setDefaultDataSet(&src);
        QVERIFY(rt.buildPages());
        QCOMPARE(pageTexts(rt, 0)[0][0], text);
    }

    void registryAndCommands()
    {
        // Data sets named by the template are found in the registry; other names fall back to the default.
        MemoryRowSource master({{"ARCHIVE_ID", Kind::Text}}, {{QStringLiteral("2009000001")}});
        MemoryRowSource detail({{"LEND_NAME", Kind::Text}}, {{QStringLiteral("张三")}, {QStringLiteral("李四")}});
        master.setOpen(false);
        TReportControl c;
        c.newTable(1, 3);
        c.line(0)->cell(0)->setText(QStringLiteral("{档案编号}"));
        c.line(1)->cell(0)->setText(QStringLiteral("[借阅人员]"));
        c.line(2)->cell(0)->setText(QStringLiteral("@X.LEND_NAME"));
        TReportRunTime rt;
        rt.setPrintFields({{"ARCHIVE_ID", QStringLiteral("档案编号"), "M", true, false},
                           {"LEND_NAME", QStringLiteral("借阅人员"), "D", false, true}});
        QVERIFY(rt.loadTemplate(c.saveToBytes()));
        rt.setDataSetResolver([&](const QString& path) -> ReportRowSource* {
            if (path == QStringLiteral("ArchiveForm.Query"))
                return &master;
            if (path == QStringLiteral("SelectArchivesLendForm.Query"))
                return &detail;
            return nullptr;
        });
        rt.setDefaultDataSet(&detail);
        rt.setSetData({QStringLiteral("SetDataSet(M,ArchiveForm.Query);"),
                       QStringLiteral("setdataset(d, SelectArchivesLendForm.Query);"),
                       QStringLiteral("SetDataSet(Q,Nowhere.Query);"), QStringLiteral("garbage")});
        QVERIFY(master.isOpen()); // opened when registered
        QCOMPARE(rt.dataSet(QStringLiteral("m")), &master);
        QCOMPARE(rt.dataSet(QStringLiteral("Q")), &detail);
        detail.seek(1);
        QVERIFY(rt.buildPages());
        const auto lines = pageTexts(rt, 0);
        QCOMPARE(lines[0][0], QStringLiteral("2009000001"));
        QCOMPARE(lines[1][0], QStringLiteral("张三"));
        QCOMPARE(lines[2][0], QStringLiteral("李四"));
        QCOMPARE(lines[3][0], QStringLiteral("张三")); // head and tail are built once, on the first record
        QCOMPARE(detail.position(), 1);                // the caller's position is back
    }

    void failures_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("records");
        QTest::addColumn<QString>("message");
        QTest::newRow("no records") << QStringLiteral("#M.NAME") << 0 << QStringLiteral("没有数据记录");
        QTest::newRow("missing field") << QStringLiteral("#M.NOPE") << 3
                                       << QStringLiteral("形成报表时发生错误，请检查各项参数与模板设置等是否正确");
    }

    void failures()
    {
        QFETCH(QString, text);
        QFETCH(int, records);
        QFETCH(QString, message);
        RecordingSink sink;
        TReportControl c;
        c.newTable(1, 1);
        c.line(0)->cell(0)->setText(text);
        auto src = rows(records);
        TReportRunTime rt;
        QVERIFY(rt.loadTemplate(c.saveToBytes()));
        rt.setDefaultDataSet(src.get());
        QVERIFY(!rt.buildPages());
        QCOMPARE(rt.pageCount(), 0);
        QCOMPARE(sink.last(), message);
        QCOMPARE(src->controlsDisabled(), 0);
    }

    void pageTooSmallForOneRow()
    {
        RecordingSink sink;
        auto src = rows(3);
        TReportRunTime rt;
        rt.setPrintFields(listFields());
        QVERIFY(rt.loadTemplate(listTemplate(80)));
        rt.setDefaultDataSet(src.get());
        QVERIFY(!rt.buildPages());
        QCOMPARE(sink.last(), QStringLiteral("没有数据记录"));
    }

    void badTemplate()
    {
        RecordingSink sink;
        TReportRunTime rt;
        QVERIFY(!rt.loadTemplate(QByteArray("\x01\x02\x03\x04")));
        QCOMPARE(sink.last(), QStringLiteral("打开报表错误"));
        QVERIFY(!rt.setReportFile(QStringLiteral("/nonexistent/BX0001")));
        QCOMPARE(sink.last(), QStringLiteral("打开报表错误"));
    }

    void mergedCellsFollowTheirOwner()
    {
        TReportControl c;
        c.newTable(2, 3);
        c.selectCell(c.line(0)->cell(0));
        c.selectCell(c.line(1)->cell(0));
        QVERIFY(c.mergeCells());
        c.line(0)->cell(0)->setText(QStringLiteral("标题"));
        c.line(2)->cell(1)->setText(QStringLiteral("#M.NAME"));
        auto src = rows(3);
        TReportRunTime rt;
        QVERIFY(rt.loadTemplate(c.saveToBytes()));
        rt.setDefaultDataSet(src.get());
        QVERIFY(rt.buildPages());
        TReportControl page;
        QVERIFY(rt.loadPage(0, page));
        QCOMPARE(page.lineCount(), 5);
        QCOMPARE(page.line(1)->cell(0)->ownerCell(), page.line(0)->cell(0));
        QCOMPARE(page.line(0)->cell(0)->cellRect().bottom, page.line(1)->bottom());
    }

    void sqlQuerySource()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        TestEnv::exec(QStringLiteral("INSERT INTO QN_ARCHIVE_MASTER_TABLE(ARCHIVE_RECORD_ID,ARCHIVE_ID,ARCHIVE_NAME,"
                                     "NUMBER_FIELD1) VALUES('A1','2009000001','合同',12.5)"));
        TestEnv::exec(QStringLiteral("INSERT INTO QN_ARCHIVE_MASTER_TABLE(ARCHIVE_RECORD_ID,ARCHIVE_ID,ARCHIVE_NAME,"
                                     "NUMBER_FIELD1) VALUES('A2','2009000002','协议',NULL)"));
        SqlQueryRowSource src(Database::db(), QStringLiteral("SELECT ARCHIVE_ID,ARCHIVE_NAME,NUMBER_FIELD1 FROM "
                                                             "QN_ARCHIVE_MASTER_TABLE ORDER BY ARCHIVE_ID"));
        QVERIFY2(src.isOpen(), qPrintable(src.error()));
        QCOMPARE(src.recordCount(), 2);
        QCOMPARE(src.fieldKind(2), Kind::Float);
        TReportControl c;
        c.newTable(2, 2);
        c.line(0)->cell(0)->setText(QStringLiteral("[ARCHIVE_NAME]"));
        c.line(0)->cell(1)->setText(QStringLiteral("[NUMBER_FIELD1]"));
        c.line(1)->cell(1)->setText(QStringLiteral("<Sum(2)>"));
        TReportRunTime rt;
        rt.setPrintFields(
            {{"ARCHIVE_NAME", "ARCHIVE_NAME", "M", true, true}, {"NUMBER_FIELD1", "NUMBER_FIELD1", "M", true, true}});
        QVERIFY(rt.loadTemplate(c.saveToBytes()));
        rt.setDefaultDataSet(&src);
        QVERIFY(rt.buildPages());
        const auto lines = pageTexts(rt, 0);
        QCOMPARE(lines[0], (QStringList{QStringLiteral("合同"), "12.5"}));
        QCOMPARE(lines[1], (QStringList{QStringLiteral("协议"), ""}));
        QCOMPARE(lines[2][1], QStringLiteral("12.5"));
    }

    void pdf()
    {
        QTemporaryDir dir;
        auto src = rows(30);
        TReportRunTime rt;
        rt.setPrintFields(listFields());
        QVERIFY(rt.loadTemplate(listTemplate(400)));
        rt.setDefaultDataSet(src.get());
        const QString path = dir.filePath(QStringLiteral("list.pdf"));
        QString error;
        QVERIFY2(rt.writePdf(path, &error), qPrintable(error));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.read(5) == "%PDF-");
        QCOMPARE(rt.pageCount(), 3);
    }

    void withoutHostNoPrinter()
    {
        RecordingSink sink;
        TReportRunTime rt;
        QVERIFY(!rt.Preview());
        QCOMPARE(sink.last(), QStringLiteral("未安装打印机"));
    }
};

QTEST_MAIN(TestReportRunTime)
#include "tst_reportruntime.moc"
