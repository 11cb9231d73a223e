#include "sheet/CellText.h"
#include "sheet/XmlScanner.h"

#include <QtTest>

using CellText::FormatKind;

// Numbers read as typed, date serials in both date systems, and number formats told apart.
class TestCellText : public QObject
{
    Q_OBJECT

private slots:
    void storedNumbers_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("text");
        QTest::newRow("integer") << QByteArray("42") << "42";
        QTest::newRow("decimal") << QByteArray("1234.5") << "1234.5";
        QTest::newRow("binary noise") << QByteArray("1234.4999999999998") << "1234.5";
        QTest::newRow("seventeen digits") << QByteArray("0.30000000000000004") << "0.3";
        QTest::newRow("padded") << QByteArray("1234.50") << "1234.5";
        QTest::newRow("exponent") << QByteArray("1.2345E3") << "1234.5";
        QTest::newRow("three-digit exponent") << QByteArray("1E+020") << "100000000000000000000";
        QTest::newRow("small") << QByteArray("1E-006") << "0.000001";
        QTest::newRow("negative") << QByteArray("-7") << "-7";
        QTest::newRow("negative zero") << QByteArray("-0") << "0";
        QTest::newRow("huge") << QByteArray("1.5E+300") << "1.5E+300";
        QTest::newRow("tiny") << QByteArray("2.5E-12") << "2.5E-12";
        QTest::newRow("record number") << QByteArray("200903250001") << "200903250001";
        QTest::newRow("not a number") << QByteArray("abc") << "";
        QTest::newRow("empty") << QByteArray("") << "";
    }
    void storedNumbers()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, text);
        QCOMPARE(CellText::numberFromStored(stored), text);
    }

    void formats_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("kind");
        QTest::newRow("general") << "General" << int(FormatKind::General);
        QTest::newRow("fixed") << "0.00" << int(FormatKind::General);
        QTest::newRow("scientific") << "0.00E+00" << int(FormatKind::General);
        QTest::newRow("iso date") << "yyyy\\-mm\\-dd" << int(FormatKind::Date);
        QTest::newRow("chinese date") << "[$-804]yyyy\"年\"m\"月\"d\"日\";@" << int(FormatKind::Date);
        QTest::newRow("escaped chinese") << "yyyy\\年m\\月d\\日" << int(FormatKind::Date);
        QTest::newRow("date time") << "yyyy-mm-dd hh:mm:ss" << int(FormatKind::DateTime);
        QTest::newRow("time") << "hh:mm" << int(FormatKind::Time);
        QTest::newRow("am pm") << "h:mm AM/PM" << int(FormatKind::Time);
        QTest::newRow("elapsed") << "[h]:mm:ss" << int(FormatKind::Duration);
        QTest::newRow("month name") << "mmmm" << int(FormatKind::Date);
        QTest::newRow("colour and quoted d") << "[Red]0\" days\"" << int(FormatKind::General);
        QTest::newRow("boolean") << "\"TRUE\";\"TRUE\";\"FALSE\"" << int(FormatKind::General);
        QTest::newRow("text") << "@" << int(FormatKind::Text);
    }
    void formats()
    {
        QFETCH(QString, code);
        QFETCH(int, kind);
        QCOMPARE(int(CellText::formatKind(code)), kind);
    }

    void builtinFormats()
    {
        QCOMPARE(CellText::builtinFormatKind(0), FormatKind::General);
        QCOMPARE(CellText::builtinFormatKind(14), FormatKind::Date);
        QCOMPARE(CellText::builtinFormatKind(22), FormatKind::DateTime);
        QCOMPARE(CellText::builtinFormatKind(20), FormatKind::Time);
        QCOMPARE(CellText::builtinFormatKind(31), FormatKind::Date); // yyyy"年"m"月"d"日" in Chinese Excel
        QCOMPARE(CellText::builtinFormatKind(49), FormatKind::Text);
    }

    void serials_data()
    {
        QTest::addColumn<double>("serial");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("date1904");
        QTest::addColumn<QString>("text");
        const int date = int(FormatKind::Date);
        QTest::newRow("1900") << 39897.0 << date << false << "2009-03-25";
        QTest::newRow("1904") << 38435.0 << date << true << "2009-03-25";
        QTest::newRow("1904 epoch") << 0.0 << date << true << "1904-01-01";
        QTest::newRow("before the phantom day") << 59.0 << date << false << "1900-02-28";
        QTest::newRow("phantom day") << 60.0 << date << false << "1900-02-29";
        QTest::newRow("after the phantom day") << 61.0 << date << false << "1900-03-01";
        QTest::newRow("first day") << 1.0 << date << false << "1900-01-01";
        QTest::newRow("date of a date-time") << 39897.4244444445 << date << false << "2009-03-25";
        QTest::newRow("date time") << 39897.4244444445 << int(FormatKind::DateTime) << false << "2009-03-25 10:11:12";
        QTest::newRow("rounds up to midnight")
            << 39897.999999999 << int(FormatKind::DateTime) << false << "2009-03-26 00:00:00";
        QTest::newRow("time") << 0.4375 << int(FormatKind::Time) << false << "10:30:00";
        QTest::newRow("elapsed") << 1.5 << int(FormatKind::Duration) << false << "36:00:00";
        QTest::newRow("negative") << -1.0 << date << false << "-1";
        QTest::newRow("past 9999") << 3000000.0 << date << false << "3000000";
        QTest::newRow("last day") << 2958465.0 << date << false << "9999-12-31";
    }
    void serials()
    {
        QFETCH(double, serial);
        QFETCH(int, kind);
        QFETCH(bool, date1904);
        QFETCH(QString, text);
        QCOMPARE(CellText::serialText(serial, FormatKind(kind), date1904), text);
    }

    void escapes()
    {
        QCOMPARE(CellText::unescapeXmlString(QStringLiteral("a_x000D_b")), QStringLiteral("a\rb"));
        QCOMPARE(CellText::unescapeXmlString(QStringLiteral("_x005F_x000D_")), QStringLiteral("_x000D_"));
        QCOMPARE(CellText::unescapeXmlString(QStringLiteral("my_xyz_name")), QStringLiteral("my_xyz_name"));
        QCOMPARE(CellText::unescapeXmlString(QStringLiteral("_x00G0_")), QStringLiteral("_x00G0_"));
    }

    // The scanner gives the same tokens whatever the size of the pieces the input arrives in.
    void scannerChunks_data()
    {
        QTest::addColumn<int>("piece");
        QTest::newRow("one byte") << 1;
        QTest::newRow("three bytes") << 3;
        QTest::newRow("whole") << 100000;
    }
    void scannerChunks()
    {
        QFETCH(int, piece);
        const QByteArray xml = "<?xml version=\"1.0\"?>\n<!-- note -->"
                               "<x:root xmlns:x=\"urn:a\" xmlns:r=\"urn:r\" r=\"a>b\" q=\"it's\">"
                               "<t xml:space=\"preserve\"> a &lt;&amp;&gt; &#26723;&#x6848; </t>"
                               "<e/><![CDATA[<raw&>]]><t>x\r\ny</t></x:root>";
        qsizetype at = 0;
        XmlScanner scanner([&](char* data, qint64 max) {
            const qint64 n = qMin<qint64>(qMin<qint64>(max, piece), xml.size() - at);
            std::memcpy(data, xml.constData() + at, size_t(n));
            at += qsizetype(n);
            return n;
        });
        QStringList tokens;
        for (;;) {
            const auto t = scanner.next();
            if (t == XmlScanner::EndDocument)
                break;
            QVERIFY2(t != XmlScanner::Invalid, qPrintable(scanner.errorString()));
            if (t == XmlScanner::StartElement)
                tokens << "<" + QString::fromUtf8(scanner.name()) + " r=" + QString::fromUtf8(scanner.attribute("r"));
            else if (t == XmlScanner::EndElement)
                tokens << "/" + QString::fromUtf8(scanner.name());
            else if (!scanner.text().trimmed().isEmpty())
                tokens << "'" + QString::fromUtf8(scanner.text()) + "'";
        }
        QCOMPARE(tokens, QStringList({"<root r=a>b", "<t r=", "' a <&> 档案 '", "/t", "<e r=", "/e", "'<raw&>'",
                                      "<t r=", "'x\ny'", "/t", "/root"}));
    }

    void scannerRefuses_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::newRow("doctype") << QByteArray("<!DOCTYPE x [<!ENTITY a \"aaaa\">]><x>&a;</x>");
        QTest::newRow("unknown entity") << QByteArray("<x>&nbsp;</x>");
        QTest::newRow("open tag") << QByteArray("<x a=\"1");
        QTest::newRow("bad attribute") << QByteArray("<x a=1>");
        QTest::newRow("null reference") << QByteArray("<x>&#0;</x>");
    }
    void scannerRefuses()
    {
        QFETCH(QByteArray, xml);
        qsizetype at = 0;
        XmlScanner scanner([&](char* data, qint64 max) {
            const qint64 n = qMin<qint64>(max, xml.size() - at);
            std::memcpy(data, xml.constData() + at, size_t(n));
            at += qsizetype(n);
            return n;
        });
        XmlScanner::Token t;
        int guard = 0;
        do {
            t = scanner.next();
        } while (t != XmlScanner::Invalid && t != XmlScanner::EndDocument && ++guard < 100);
        QCOMPARE(t, XmlScanner::Invalid);
        QVERIFY(!scanner.errorString().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCellText)
#include "tst_celltext.moc"
