#include "TestSupport.h"

#include "common/Gbk.h"
#include "common/MessageSink.h"
#include "report/DatasetToExcel.h"
#include "report/ReportRowSource.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

using Kind = ReportRowSource::FieldKind;

// One worksheet record as read back: "type row col value".
struct Rec
{
    quint16 type;
    int row = -1, col = -1;
    int format = -1;
    QVariant value;
};

QList<Rec> parse(const QByteArray& b, bool* ok)
{
    QList<Rec> out;
    *ok = true;
    qsizetype p = 0;
    auto u16 = [&](qsizetype at) { return qFromLittleEndian<quint16>(b.constData() + at); };
    while (p + 4 <= b.size()) {
        Rec r;
        r.type = u16(p);
        const int len = u16(p + 2);
        const qsizetype body = p + 4;
        if (body + len > b.size()) {
            *ok = false;
            return out;
        }
        switch (r.type) {
        case 0x0809:
            *ok =
                *ok && len == 8 && u16(body) == 0 && u16(body + 2) == 0x10 && u16(body + 4) == 0 && u16(body + 6) == 0;
            break;
        case 0x000A:
            *ok = *ok && len == 0;
            break;
        case 0x0204:
            r.row = u16(body), r.col = u16(body + 2), r.format = u16(body + 4);
            *ok = *ok && len == u16(body + 6) + 8;
            r.value = Gbk::decode(b.mid(body + 8, u16(body + 6)));
            break;
        case 0x0203:
            *ok = *ok && len == 14;
            r.row = u16(body), r.col = u16(body + 2), r.format = u16(body + 4);
            r.value = qFromLittleEndian<double>(b.constData() + body + 6);
            break;
        case 0x027E: {
            *ok = *ok && len == 10;
            r.row = u16(body), r.col = u16(body + 2), r.format = u16(body + 4);
            const quint32 rk = qFromLittleEndian<quint32>(b.constData() + body + 6);
            *ok = *ok && (rk & 3) == 2;
            r.value = qint32(rk) >> 2;
            break;
        }
        case 0x0201:
            *ok = *ok && len == 6;
            r.row = u16(body), r.col = u16(body + 2), r.format = u16(body + 4);
            break;
        default:
            *ok = false;
        }
        out.append(r);
        p = body + len;
    }
    *ok = *ok && p == b.size();
    return out;
}

QString show(const Rec& r)
{
    const char* kind = r.type == 0x0204   ? "text"
                       : r.type == 0x0203 ? "number"
                       : r.type == 0x027E ? "int"
                       : r.type == 0x0201 ? "empty"
                       : r.type == 0x0809 ? "start"
                                          : "end";
    QString s = QString::fromLatin1(kind);
    if (r.row >= 0)
        s += QStringLiteral(" %1,%2").arg(r.row).arg(r.col);
    if (r.value.typeId() == QMetaType::Double)
        s += QLatin1Char(' ') + QString::number(r.value.toDouble(), 'g', 17);
    else if (r.value.isValid())
        s += QLatin1Char(' ') + r.value.toString();
    return s;
}

} // namespace

class TestDatasetToExcel : public QObject
{
    Q_OBJECT

private slots:
    void records()
    {
        MemoryRowSource src({{"LEND_ID", Kind::Text},
                             {"PAGES", Kind::Integer},
                             {"AMOUNT", Kind::Float},
                             {"PHOTO", Kind::Blob},
                             {"NOTE", Kind::Text}},
                            {{QStringLiteral("L001"), 12, 2.5, QByteArray("x"), QStringLiteral("已还")},
                             {QStringLiteral("L002"), QVariant(), 1e10, QVariant(), QString()},
                             {QStringLiteral("L003"), qint64(1) << 40, QVariant(), QVariant(), QStringLiteral("备")}});
        src.seek(1);
        TDatasetToExcel x;
        x.Dataset = &src;
        x.ID = true;
        x.headings = {{QStringLiteral("2009000001"), QStringLiteral("档案编号")},
                      {QStringLiteral("合同"), QStringLiteral("档案名称")}};
        x.columns = {{"LEND_ID", QStringLiteral("借阅编号")},
                     {"PAGES", QStringLiteral("页数")},
                     {"AMOUNT", QStringLiteral("金额")},
                     {"PHOTO", QStringLiteral("照片")},
                     {"NOTE", QStringLiteral("借阅备注")}};
        x.closings = {{QStringLiteral("合计"), QString()}};
        QString error;
        const QByteArray b = x.records(&error);
        bool ok = false;
        const QList<Rec> recs = parse(b, &ok);
        QVERIFY(ok);
        QStringList got;
        for (const Rec& r : recs)
            got << show(r);
        const QStringList expected = {
            "start", "text 0,0 档案编号", "text 1,0 2009000001", "text 0,1 档案名称", "text 1,1 合同", "text 2,0 序号",
            "text 2,1 借阅编号", "text 2,2 页数", "text 2,3 金额", "text 2,4 照片", "text 2,5 借阅备注", "int 3,0 1",
            "text 3,1 L001", "int 3,2 12", "number 3,3 2.5", "text 3,4 ", "text 3,5 已还", "int 4,0 2", "text 4,1 L002",
            "empty 4,2", "number 4,3 10000000000", "empty 4,4", "empty 4,5",
            // An integer beyond 30 bits goes as a number record.
            "int 5,0 3", "text 5,1 L003", "number 5,2 1099511627776", "empty 5,3", "empty 5,4", "text 5,5 备",
            // Closing entries after the last record, one column right of the row numbers.
            "text 6,1 合计", "end"};
        QCOMPARE(got, expected);
        for (const Rec& r : recs)
            if (r.type == 0x0201)
                QCOMPARE(r.format, 23);
            else if (r.row >= 0)
                QCOMPARE(r.format, 0);
        QCOMPARE(src.position(), 1);
        QCOMPARE(src.controlsDisabled(), 0);
    }

    void withoutIdOrHeadings()
    {
        MemoryRowSource src({{"A", Kind::Text}}, {{QStringLiteral("x")}});
        TDatasetToExcel x;
        x.Dataset = &src;
        x.columns = {{"A", QStringLiteral("甲")}};
        QString error;
        bool ok = false;
        const QList<Rec> recs = parse(x.records(&error), &ok);
        QVERIFY(ok);
        QStringList got;
        for (const Rec& r : recs)
            got << show(r);
        QCOMPARE(got, (QStringList{"start", "text 0,0 甲", "text 1,0 x", "end"}));
    }

    void messages_data()
    {
        QTest::addColumn<int>("state"); // 0 no data set, 1 closed, 2 empty, 3 fine
        QTest::addColumn<QString>("message");
        QTest::newRow("no data set") << 0 << QStringLiteral("没有数据源");
        QTest::newRow("closed") << 1 << QStringLiteral("没有数据源");
        QTest::newRow("no records") << 2 << QStringLiteral("没有数据");
        QTest::newRow("done") << 3 << QStringLiteral("数据成功导出到：");
    }

    void messages()
    {
        QFETCH(int, state);
        QFETCH(QString, message);
        RecordingSink sink;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("借阅.XLS"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old contents");
        old.close();
        MemoryRowSource src({{"A", Kind::Text}}, state == 2 ? QList<QVariantList>{} : QList<QVariantList>{{"x"}});
        src.setOpen(state != 1);
        TDatasetToExcel x;
        x.Dataset = state == 0 ? nullptr : &src;
        x.columns = {{"A", "A"}};
        QCOMPARE(x.writeFile(path), state == 3);
        QVERIFY(sink.last().startsWith(message));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray content = f.readAll();
        if (state == 3) {
            QCOMPARE(sink.last(), message + path);
            QCOMPARE(qFromLittleEndian<quint16>(content.constData()), quint16(0x0809));
        } else {
            QCOMPARE(content, QByteArray("old contents")); // a refusal leaves the file alone
        }
    }
};

QTEST_MAIN(TestDatasetToExcel)
#include "tst_datasettoexcel.moc"
