#include "TestSupport.h"

#include "sheet/SheetReader.h"
#include "sheet/SheetWriter.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

using Rows = QList<QStringList>;
Q_DECLARE_METATYPE(Rows)

namespace {

// The main fixture as LibreOffice wrote it (.xlsx and .xls agree).
const QStringList BasicHeadings = {"档案编号", "名称",   "F3",   "日期", "金额", "数量",
                                   "是否",     "时间戳", "备注", "F10",  "F11"};

Rows basicRows(bool xls)
{
    const QString yes = xls ? QStringLiteral("1") : QStringLiteral("TRUE");
    const QString no = xls ? QStringLiteral("0") : QStringLiteral("FALSE");
    return {
        {"A001", "第一份档案", "", "2009-03-25", "1234.5", "42", yes, "2009-03-25 10:11:12", "粗体和普通", "", ""},
        {"0012", "含,逗号", "", "1999-12-31", "0.1", "-7", no, "10:30:00", "第一行\n第二行", "", ""},
        {"", "", "", "", "", "", "", "", "", "", ""},
        {"A003", "合并单元格", "", "2024-02-29", "100000000000000000000", "0.000001", "", "", "引号\"内\"", "", ""},
        {"", "", "", "", "", "", "", "", "", "", "超出"},
        {"", "", "", "", "", "", "", "", "最后", "", ""},
    };
}

// The openpyxl fixtures: the same values in the 1900 and the 1904 date system.
const QStringList OpenpyxlHeadings = {"档案编号", "日期", "日期时间", "金额", "是否",
                                      "中文日期", "F7",   "备注",     "F9",   "F10"};
const Rows OpenpyxlRows = {
    {"B001", "2009-03-25", "2009-03-25 10:11:12", "0.3", "TRUE", "1999-12-31", "", "#DIV/0!", "", ""},
    {"B002", "1904-01-02", "2020-02-29 23:59:59", "123456789012", "FALSE", "2024-02-29", "", "文本", "", ""},
    {"", "", "", "", "", "", "", "", "", ""},
    {"B003", "1970-01-01", "", "-1234.5", "", "", "", "合并", "", ""},
    {"", "00123", "", "", "", "", "", "", "", "远处"},
};

// The csv files hold what LibreOffice showed: dates and numbers as formatted.
const QStringList CsvHeadings = {"档案编号", "名称", "F3", "日期", "金额", "数量", "是否", "时间戳", "备注"};
const Rows CsvRows = {
    {"A001", "第一份档案", "", "2009-03-25", "1234.5", "42", "TRUE", "2009-03-25 10:11:12", "粗体和普通"},
    {"0012", "含,逗号", "", "1999年12月31日", "0.1", "-7", "FALSE", "10:30", "第一行\n第二行"},
    {"", "", "", "", "", "", "", "", ""},
    {"A003", "合并单元格", "", "2/29/2024", "1E+020", "0.000001", "", "", "引号\"内\""},
    {"", "", "", "", "", "", "", "", "", "", "超出"},
    {"", "", "", "", "", "", "", "", "最后", "", ""},
};

Rows readAll(SheetReader& reader)
{
    Rows rows;
    QStringList cells;
    while (reader.readRow(&cells))
        rows.append(cells);
    return rows;
}

} // namespace

class TestSheetReader : public QObject
{
    Q_OBJECT

private slots:
    void fixtures_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("headings");
        QTest::addColumn<Rows>("rows");
        QTest::newRow("LibreOffice xlsx") << "lo-basic.xlsx" << BasicHeadings << basicRows(false);
        QTest::newRow("LibreOffice xls") << "lo-basic.xls" << BasicHeadings << basicRows(true);
        QTest::newRow("openpyxl 1900") << "openpyxl-1900.xlsx" << OpenpyxlHeadings << OpenpyxlRows;
        QTest::newRow("openpyxl 1904") << "openpyxl-1904.xlsx" << OpenpyxlHeadings << OpenpyxlRows;
        QTest::newRow("inline strings") << "xlsxwriter-inline.xlsx" << QStringList{"编号", "名称", "日期", "数量"}
                                        << Rows{{"C001", "内联字符串 & <符号>", "2021-07-01", "3"},
                                                {"", "", "", ""},
                                                {"C002", "  前后空格  ", "", "2.5"}};
        // Rows wider than the headings (a csv has no declared width) come back as they are stored.
        QTest::newRow("csv UTF-8") << "lo-utf8.csv" << CsvHeadings << CsvRows;
        QTest::newRow("csv UTF-8 with BOM") << "lo-utf8-bom.csv" << CsvHeadings << CsvRows;
        QTest::newRow("csv GBK") << "lo-gbk.csv" << CsvHeadings << CsvRows;
    }
    void fixtures()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, headings);
        QFETCH(Rows, rows);
        SheetReader reader;
        QVERIFY2(reader.open(testData("sheet/" + file)), qPrintable(reader.errorString()));
        const Rows got = readAll(reader);
        QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
        QCOMPARE(got.size(), rows.size());
        // A row is as wide as the headings known when it was read; a wider row later adds headings.
        for (qsizetype i = 0; i < rows.size(); ++i) {
            QStringList expected = rows.at(i);
            QVERIFY(got.at(i).size() >= headings.size());
            expected.resize(got.at(i).size());
            QCOMPARE(got.at(i), expected);
        }
        QStringList expectedHeadings = headings;
        for (qsizetype c = expectedHeadings.size(); c < reader.columnCount(); ++c)
            expectedHeadings << QStringLiteral("F%1").arg(c + 1);
        QCOMPARE(reader.headings(), expectedHeadings);
    }

    void firstSheetOnly()
    {
        SheetReader reader;
        QVERIFY(reader.open(testData("sheet/lo-basic.xlsx")));
        QCOMPARE(reader.sheetName(), QStringLiteral("档案"));
        QCOMPARE(reader.rowCountHint(), 6);
        for (const QStringList& row : readAll(reader))
            QVERIFY(!row.contains(QStringLiteral("不应读到")));
    }

    void cellKinds()
    {
        SheetReader reader;
        QVERIFY(reader.open(testData("sheet/openpyxl-1900.xlsx")));
        QStringList cells;
        QList<SheetReader::CellInfo> info;
        QVERIFY(reader.readRow(&cells, &info));
        QCOMPARE(info.size(), cells.size());
        QCOMPARE(info[0].kind, SheetReader::CellKind::Text);
        QCOMPARE(info[1].kind, SheetReader::CellKind::Date);
        QCOMPARE(info[2].kind, SheetReader::CellKind::DateTime);
        QCOMPARE(info[3].kind, SheetReader::CellKind::Number);
        QCOMPARE(info[4].kind, SheetReader::CellKind::Boolean);
        QCOMPARE(info[6].kind, SheetReader::CellKind::Empty);
        QCOMPARE(info[7].kind, SheetReader::CellKind::Error);
        for (int i = 0; i < 4; ++i)
            QVERIFY(reader.readRow(&cells, &info));
        QCOMPARE(cells[1], QStringLiteral("00123"));
        QVERIFY(info[1].textFormat);
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("truncated xlsx") << "damaged-truncated.xlsx"
                                        << "文件已损坏";
        QTest::newRow("corrupted xlsx") << "damaged-crc.xlsx"
                                        << "文件已损坏";
        QTest::newRow("truncated xls") << "damaged-truncated.xls"
                                       << "文件已损坏";
        QTest::newRow("encrypted xlsx") << "encrypted.xlsx"
                                        << "密码保护";
        QTest::newRow("encrypted xls") << "encrypted.xls"
                                       << "密码保护";
        QTest::newRow("word document") << "foreign-docx.xlsx"
                                       << "不是电子表格文件";
        QTest::newRow("picture") << "picture.xlsx"
                                 << "文件已损坏";
        QTest::newRow("empty csv") << "empty.csv"
                                   << "文件是空的";
        QTest::newRow("missing") << "no-such-file.xlsx"
                                 << "文件不能打开";
        QTest::newRow("generator script") << "make-fixtures.sh"
                                          << "不是电子表格文件";
    }
    void refusals()
    {
        QFETCH(QString, file);
        QFETCH(QString, message);
        SheetReader reader;
        bool ok = reader.open(testData("sheet/" + file));
        if (ok) { // some damage shows only while reading
            QStringList cells;
            while (reader.readRow(&cells)) {
            }
            ok = !reader.hasError();
        }
        QVERIFY(!ok);
        QVERIFY2(reader.errorString().contains(message), qPrintable(reader.errorString()));
    }

    void emptySheet()
    {
        SheetReader reader;
        QVERIFY(reader.open(testData("sheet/openpyxl-empty.xlsx")));
        QVERIFY(reader.headings().isEmpty());
        QStringList cells;
        QVERIFY(!reader.readRow(&cells));
        QVERIFY(!reader.hasError());
    }

    void quotedCsv()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("q.csv");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("\"a\",\" b \",c\r\n\"1,2\",\"say \"\"hi\"\"\",\"line1\r\nline2\"\r\n\r\nx,,\"\"\r\n\"unclosed,3");
        f.close();
        SheetReader reader;
        QVERIFY(reader.open(path));
        QCOMPARE(reader.headings(), QStringList({"a", "b", "c"}));
        const Rows rows = readAll(reader);
        QCOMPARE(rows,
                 Rows({{"1,2", "say \"hi\"", "line1\nline2"}, {"", "", ""}, {"x", "", ""}, {"unclosed,3", "", ""}}));
    }

    void tabSeparatedGbk()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("t.txt");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("\xB1\xE0\xBA\xC5\t\xC3\xFB\xB3\xC6\n001\t\xB5\xB5\xB0\xB8\n"); // 编号 名称 / 001 档案 in GBK
        f.close();
        SheetReader reader;
        QVERIFY(reader.open(path));
        QCOMPARE(reader.headings(), QStringList({"编号", "名称"}));
        QCOMPARE(readAll(reader), Rows({{"001", "档案"}}));
    }

    // What the writer puts down the reader gets back, through inline strings and numbers.
    void roundTrip()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("round.xlsx");
        const QStringList texts = {"档案 & <标记> \"引号\"",
                                   "tab\there",
                                   "two\nlines",
                                   "_x000D_ literal",
                                   "control \x01 char",
                                   "emoji 📁",
                                   " padded ",
                                   "0012",
                                   QString(40000, QLatin1Char('x'))};
        const QList<double> numbers = {0.1, 1234.5, -0.25, 1e20, 123456789012.0, 3};
        SheetWriter writer;
        QVERIFY(writer.open(path, "回读"));
        writer.writeText(0, 0, "文本");
        writer.writeText(0, 1, "数字");
        for (int i = 0; i < texts.size(); ++i) {
            QVERIFY(writer.writeText(i + 1, 0, texts.at(i), i % 2 == 0));
            if (i < numbers.size())
                QVERIFY(writer.writeNumber(i + 1, 1, numbers.at(i)));
        }
        QVERIFY2(writer.commit(), qPrintable(writer.errorString()));

        SheetReader reader;
        QVERIFY2(reader.open(path), qPrintable(reader.errorString()));
        QCOMPARE(reader.sheetName(), QStringLiteral("回读"));
        QCOMPARE(reader.headings(), QStringList({"文本", "数字"}));
        const QStringList numberTexts = {"0.1", "1234.5", "-0.25", "100000000000000000000", "123456789012", "3"};
        QStringList cells;
        QList<SheetReader::CellInfo> info;
        for (int i = 0; i < texts.size(); ++i) {
            QVERIFY2(reader.readRow(&cells, &info), qPrintable(reader.errorString()));
            const QString expected = texts.at(i).size() > SheetWriter::MaxTextLength
                                         ? texts.at(i).left(SheetWriter::MaxTextLength)
                                         : texts.at(i);
            QCOMPARE(cells.at(0), expected);
            QCOMPARE(info.at(0).textFormat, i % 2 == 0);
            QCOMPARE(cells.at(1), numberTexts.value(i));
        }
        QVERIFY(!reader.readRow(&cells));
        QVERIFY(!reader.hasError());
    }

    void writerKeepsRowOrder()
    {
        QTemporaryDir dir;
        SheetWriter writer;
        QVERIFY(writer.open(dir.filePath("order.xlsx"), "x"));
        QVERIFY(writer.writeText(3, 0, "later"));
        QVERIFY(!writer.writeText(1, 0, "earlier"));
        writer.cancel();
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    void sheetNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("sheet");
        QTest::newRow("plain") << "档案目录"
                               << "档案目录";
        QTest::newRow("forbidden characters") << "a/b:c[1]*?"
                                              << "a_b_c_1___";
        QTest::newRow("blank") << "  "
                               << "Sheet1";
        QTest::newRow("apostrophes") << "'x'"
                                     << "x";
        QTest::newRow("long") << QString(40, QChar(0x6863)) << QString(31, QChar(0x6863));
    }
    void sheetNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, sheet);
        QCOMPARE(SheetWriter::sheetNameFor(name), sheet);
    }

    // A sheet that inflates past the ceiling is refused, not read to the end of memory.
    void inflateLimit()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("big.xlsx");
        SheetWriter writer;
        QVERIFY(writer.open(path, "big"));
        for (int r = 0; r < 20000; ++r)
            QVERIFY(writer.writeText(r, 0, QStringLiteral("重复的内容 %1").arg(r % 10)));
        QVERIFY(writer.commit());
        const qint64 saved = SheetReader::inflateLimit();
        SheetReader::setInflateLimit(256 * 1024);
        SheetReader reader;
        bool ok = reader.open(path);
        QStringList cells;
        qint64 rows = 0;
        while (ok && reader.readRow(&cells))
            ++rows;
        SheetReader::setInflateLimit(saved);
        QVERIFY(rows < 20000);
        QVERIFY2(reader.errorString().contains(QStringLiteral("超出读取上限")), qPrintable(reader.errorString()));
    }

    // Damaged copies of real files give a message or some rows, never a crash or a hang.
    void mutations_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("xlsx shared strings") << "lo-basic.xlsx";
        QTest::newRow("xlsx inline strings") << "openpyxl-1904.xlsx";
        QTest::newRow("xls") << "lo-basic.xls";
        QTest::newRow("csv") << "lo-gbk.csv";
    }
    void mutations()
    {
        QFETCH(QString, file);
        QFile f(testData("sheet/" + file));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray original = f.readAll();
        QTemporaryDir dir;
        QRandomGenerator random(20240601);
        for (int round = 0; round < 150; ++round) {
            QByteArray bytes = original;
            const int changes = 1 + int(random.bounded(8));
            for (int i = 0; i < changes; ++i)
                bytes[int(random.bounded(quint32(bytes.size())))] = char(random.bounded(256));
            if (round % 5 == 0)
                bytes.truncate(int(random.bounded(quint32(bytes.size()))));
            const QString path = dir.filePath(QStringLiteral("m%1.%2").arg(round).arg(QFileInfo(file).suffix()));
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(bytes);
            out.close();
            SheetReader reader;
            if (reader.open(path)) {
                QStringList cells;
                int rows = 0;
                while (reader.readRow(&cells) && rows < 2000000)
                    ++rows;
            } else {
                QVERIFY(!reader.errorString().isEmpty());
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestSheetReader)
#include "tst_sheetreader.moc"
