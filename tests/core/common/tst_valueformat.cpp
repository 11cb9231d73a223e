#include "common/MessageSink.h"
#include "common/ValueFormat.h"
#include "db/FunLib.h"

#include <QtTest>

class TestValueFormat : public QObject
{
    Q_OBJECT

private slots:
    void money_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("capitals");
        QTest::newRow("1234.56") << "1234.56"
                                 << "壹仟贰佰叁拾肆元伍角陆分";
        QTest::newRow("100") << "100"
                             << "壹佰元整";
        QTest::newRow("0.05") << "0.05"
                              << "零伍分";
        QTest::newRow("0.5") << "0.5"
                             << "伍角整";
        QTest::newRow("10500") << "10500"
                               << "壹万零伍佰元整";
        QTest::newRow("100000000") << "100000000"
                                   << "壹亿元整";
        QTest::newRow("-3.2") << "-3.2"
                              << "负叁元贰角整";
        QTest::newRow("0") << "0"
                           << "";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("1004") << "1004"
                              << "壹仟零肆元整";
        QTest::newRow("1200") << "1200"
                              << "壹仟贰佰元整";
        QTest::newRow("10050") << "10050"
                               << "壹万零伍拾元整";
        QTest::newRow("100010000") << "100010000"
                                   << "壹亿零壹万元整";
        QTest::newRow("1000000001") << "1000000001"
                                    << "壹拾亿零壹元整";
        QTest::newRow("separators") << "12,345.60"
                                    << "壹万贰仟叁佰肆拾伍元陆角整";
        QTest::newRow("rounds half up") << "2.675"
                                        << "贰元陆角捌分";
        QTest::newRow("jiao zero") << "3.07"
                                   << "叁元零柒分";
    }
    void money()
    {
        QFETCH(QString, amount);
        QFETCH(QString, capitals);
        QCOMPARE(MoneyToChinese(amount), capitals);
    }

    void moneyOutOfRange()
    {
        RecordingSink sink;
        MoneyToChinese(QStringLiteral("1234567890123"));
        QCOMPARE(sink.texts(), QStringList{QStringLiteral("所处理数据超出范围!")});
    }

    void rounding_data()
    {
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("56 down") << 1 << "五舍六入" << 2.25 << "2.2";
        QTest::newRow("56 up") << 1 << "五舍六入" << 2.26 << "2.3";
        QTest::newRow("34 up") << 1 << "三舍四入" << 2.24 << "2.3";
        QTest::newRow("34 down") << 1 << "三舍四入" << 2.23 << "2.2";
        QTest::newRow("23 up") << 1 << "二舍三入" << 2.23 << "2.3";
        QTest::newRow("12 up") << 2 << "一舍二入" << 1.002 << "1.01";
        QTest::newRow("12 down") << 2 << "一舍二入" << 1.001 << "1.00";
        QTest::newRow("ordinary 0") << 0 << "" << 2.5 << "3";
        QTest::newRow("ordinary 2") << 2 << "四舍五入" << 1.005 << "1.01";
        QTest::newRow("56 six places") << 6 << "五舍六入" << 1.0000005 << "1.000000";
        QTest::newRow("out of range decimals") << 12 << "" << 7.6 << "8";
        QTest::newRow("negative") << 1 << "" << -2.25 << "-2.3";
    }
    void rounding()
    {
        QFETCH(int, decimals);
        QFETCH(QString, mode);
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(RoundToText(decimals, mode, value), text);
    }

    void parseNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("separators") << "12,345.6" << 12345.6;
        QTest::newRow("letters") << "abc" << 0.0;
        QTest::newRow("blanks") << "  7  " << 7.0;
        QTest::newRow("currency") << "¥12" << 0.0;
        QTest::newRow("negative") << "-3.5" << -3.5;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("trailing junk") << "12abc" << 0.0;
    }
    void parseNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(ParseNumber(text), value);
    }
};

QTEST_GUILESS_MAIN(TestValueFormat)
#include "tst_valueformat.moc"
