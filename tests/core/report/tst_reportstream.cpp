#include "TestSupport.h"

#include "common/Gbk.h"
#include "common/MessageSink.h"
#include "report/ReportControl.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QtEndian>
#include <QtTest>

namespace {

// Writes a stream field by field as the format lays it out, independently of the code under test.
class StreamBuilder
{
public:
    explicit StreamBuilder(quint16 version) : m_version(version) { u16(version); }
    void u8(quint8 v) { m_b.append(char(v)); }
    void u16(quint16 v)
    {
        char b[2];
        qToLittleEndian(v, b);
        m_b.append(b, 2);
    }
    void i32(qint32 v)
    {
        char b[4];
        qToLittleEndian(v, b);
        m_b.append(b, 4);
    }
    void str(const QString& s)
    {
        const QByteArray g = Gbk::encode(s);
        i32(qint32(g.size()));
        m_b.append(g);
    }
    void raw(const QByteArray& b) { m_b.append(b); }
    void header(int lines, const QList<int>& counts)
    {
        i32(250); // zoom: ignored on reading
        i32(758);
        i32(1037);
        i32(77);
        i32(38);
        i32(77);
        i32(58);
        i32(20);
        i32(10);
        i32(20);
        i32(15);
        u8(7);     // reserved byte
        i32(1234); // reserved integers
        i32(-5);
        i32(lines);
        for (int c : counts)
            i32(c);
    }
    void line(int setHeight)
    {
        i32(0); // index
        i32(0); // needed height
        i32(setHeight);
        i32(0); // top
        for (int i = 0; i < 4; ++i)
            i32(0);
    }
    struct Cell
    {
        int width = 100;
        QString text;
        QString format;
        QByteArray bmp;
        quint32 diagonal = 0;
        int ownerLine = -1, ownerCell = -1;
        QList<QPair<int, int>> merged;
        quint8 leftDrawn = 1;
        int bottomWidth = 1;
    };
    void cell(const Cell& c)
    {
        i32(5);       // text margin
        i32(0);       // index
        i32(0);       // left
        i32(c.width); // width
        for (int i = 0; i < 8; ++i)
            i32(0); // rectangles
        i32(0);     // set height
        i32(0);     // needed height
        i32(0);     // merged height
        u8(c.leftDrawn);
        i32(1);
        u8(1);
        i32(1);
        u8(1);
        i32(1);
        u8(1);
        i32(c.bottomWidth);
        i32(qint32(c.diagonal));
        i32(0x000000FF); // text colour: red
        i32(0x00FFFFFF);
        i32(2); // right
        i32(0); // top
        str(c.text);
        if (m_version != 0xAA55)
            str(c.format);
        if (m_version == 0xAA57) {
            u8(c.bmp.isEmpty() ? 0 : 1);
            raw(c.bmp);
        }
        TLogFont f;
        f.setFace(QStringLiteral("黑体"));
        f.height = -21;
        f.weight = 700;
        f.charSet = 134;
        raw(f.toBytes());
        i32(c.ownerLine);
        i32(c.ownerCell);
        i32(qint32(c.merged.size()));
        for (auto& m : c.merged) {
            i32(m.first);
            i32(m.second);
        }
    }
    void trailer()
    {
        i32(9);
        i32(1);
        i32(2970);
        i32(2100);
        i32(3);
    }
    QByteArray bytes() const { return m_b; }

private:
    quint16 m_version;
    QByteArray m_b;
};

QByteArray smallBitmap()
{
    QImage img(7, 5, QImage::Format_RGB888);
    img.fill(QColor(10, 200, 30));
    img.setPixelColor(3, 2, Qt::red);
    QByteArray b;
    QBuffer buf(&b);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "BMP");
    return b;
}

// Two lines; the first cell of line 0 owns the first cell of line 1.
QByteArray mergedStream(quint16 version, const QByteArray& bmp = {})
{
    StreamBuilder s(version);
    s.header(2, {2, 2});
    s.line(0);
    StreamBuilder::Cell a;
    a.text = QStringLiteral("档案编号");
    a.format = QStringLiteral("0,.00");
    a.bmp = bmp;
    a.merged = {{1, 0}};
    s.cell(a);
    StreamBuilder::Cell b;
    b.text = QStringLiteral("{档案名称}");
    b.diagonal = 0x0401;
    b.leftDrawn = 0;
    s.cell(b);
    s.line(40);
    StreamBuilder::Cell c;
    c.ownerLine = 0;
    c.ownerCell = 0;
    s.cell(c);
    StreamBuilder::Cell d;
    d.width = 250;
    d.bottomWidth = 2;
    s.cell(d);
    s.trailer();
    return s.bytes();
}

QByteArray save(TReportControl& c)
{
    QString error;
    const QByteArray b = c.saveToBytes(&error);
    if (b.isEmpty())
        qWarning() << error;
    return b;
}

} // namespace

class TestReportStream : public QObject
{
    Q_OBJECT

private slots:
    void emptyTemplateIs79Bytes()
    {
        TReportControl c;
        const QByteArray b = save(c);
        QCOMPARE(b.size(), TReportControl::EmptyStreamSize);
        QCOMPARE(quint8(b[0]), quint8(0x57));
        QCOMPARE(quint8(b[1]), quint8(0xAA));
        // New templates carry the reserved values 1, 2000, 1.
        QCOMPARE(quint8(b[46]), quint8(1));
        QCOMPARE(qFromLittleEndian<qint32>(b.constData() + 47), 2000);
        QCOMPARE(qFromLittleEndian<qint32>(b.constData() + 51), 1);
        QCOMPARE(qFromLittleEndian<qint32>(b.constData() + 55), 0);
        TReportControl d;
        QCOMPARE(d.read(b), TReportControl::ReadResult::Ok);
        QCOMPARE(save(d), b);
    }

    void versions_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("withPicture");
        QTest::newRow("AA55") << 0xAA55 << false;
        QTest::newRow("AA56") << 0xAA56 << false;
        QTest::newRow("AA57") << 0xAA57 << false;
        QTest::newRow("AA57 picture") << 0xAA57 << true;
    }

    void versions()
    {
        QFETCH(int, version);
        QFETCH(bool, withPicture);
        const QByteArray bmp = withPicture ? smallBitmap() : QByteArray();
        TReportControl c;
        c.setZoom(150);
        QCOMPARE(c.read(mergedStream(quint16(version), bmp)), TReportControl::ReadResult::Ok);
        QCOMPARE(c.zoom(), 100);
        QCOMPARE(c.lineCount(), 2);
        QCOMPARE(c.pageWidth(), 758);
        QCOMPARE(c.leftMarginMm(), 20);
        QCOMPARE(c.reservedByte(), quint8(7));
        QCOMPARE(c.reservedInt1(), 1234);
        QCOMPARE(c.reservedInt2(), -5);
        QCOMPARE(c.paperSize(), 9);
        QCOMPARE(c.paperLength(), 2970);
        QCOMPARE(c.dataLineIndex(), 3);
        TReportCell* a = c.line(0)->cell(0);
        TReportCell* b = c.line(0)->cell(1);
        TReportCell* m = c.line(1)->cell(0);
        QCOMPARE(a->text(), QStringLiteral("档案编号"));
        QCOMPARE(a->displayFormat(), version == 0xAA55 ? QString() : QStringLiteral("0,.00"));
        QCOMPARE(a->hasPicture(), withPicture);
        if (withPicture) {
            QCOMPARE(a->bitmap(), bmp);
            QCOMPARE(a->picture().size(), QSize(7, 5));
        }
        QCOMPARE(a->logFont().face(), QStringLiteral("黑体"));
        QCOMPARE(a->logFont().weight, 700);
        QCOMPARE(a->logFont().charSet, quint8(134));
        QCOMPARE(a->font().pixelSize(), 21);
        QCOMPARE(a->font().bold(), true);
        QCOMPARE(a->textColor(), quint32(0xFF));
        QCOMPARE(a->horzAlign(), 2);
        QCOMPARE(a->vertAlign(), 0);
        QCOMPARE(b->diagonal(), quint32(0x0401));
        QCOMPARE(b->leftLine().isOn(), false);
        QCOMPARE(c.line(1)->cell(1)->bottomLine().width, 2);
        QCOMPARE(c.line(1)->setHeight(), 40);
        QCOMPARE(m->ownerCell(), a);
        QCOMPARE(a->cellsList(), QList<TReportCell*>{m});
        // Layout: cells placed from the left margin, the owner's rectangle spans both lines.
        QCOMPARE(a->left(), 77);
        QCOMPARE(b->left(), 177);
        QCOMPARE(c.line(0)->top(), 38);
        QCOMPARE(c.line(1)->top(), c.line(0)->bottom());
        QCOMPARE(a->cellRect().bottom, c.line(1)->bottom());
        QVERIFY(c.line(1)->height() >= 40);

        // The next save writes 0xAA57; loading and saving again gives the same bytes.
        const QByteArray first = save(c);
        QCOMPARE(qFromLittleEndian<quint16>(first.constData()), quint16(0xAA57));
        QCOMPARE(qFromLittleEndian<qint32>(first.constData() + 2), 100);
        TReportControl d;
        QCOMPARE(d.read(first), TReportControl::ReadResult::Ok);
        const QByteArray second = save(d);
        QCOMPARE(second, first);
        TReportControl e;
        QCOMPARE(e.read(second), TReportControl::ReadResult::Ok);
        QCOMPARE(save(e), first);
    }

    void streamPositionAndOffset()
    {
        // A template stored after other data: positions count from where it begins.
        const QByteArray tpl = mergedStream(0xAA57);
        QByteArray all = QByteArray("prefix--") + tpl + QByteArray("tail");
        QBuffer buf(&all);
        buf.open(QIODevice::ReadWrite);
        TReportControl c;
        QCOMPARE(c.read(buf, 8), TReportControl::ReadResult::Ok);
        QCOMPARE(buf.pos(), qint64(8 + tpl.size()));
        QCOMPARE(c.line(0)->cell(0)->text(), QStringLiteral("档案编号"));

        QByteArray out = QByteArray(5, 'x');
        QBuffer ob(&out);
        ob.open(QIODevice::ReadWrite);
        QVERIFY(c.save(ob, 5));
        QCOMPARE(out.left(5), QByteArray(5, 'x'));
        TReportControl d;
        QCOMPARE(d.read(out.mid(5)), TReportControl::ReadResult::Ok);
    }

    void mergeTwoLinesAbove()
    {
        // A cell merged into an owner two lines above stores the owner's line and cell; the owner both cells.
        TReportControl c;
        QVERIFY(c.newTable(3, 3));
        c.selectCell(c.line(0)->cell(1));
        c.selectCell(c.line(1)->cell(1));
        c.selectCell(c.line(2)->cell(1));
        QVERIFY(c.mergeCells());
        const QByteArray b = save(c);
        TReportControl d;
        QCOMPARE(d.read(b), TReportControl::ReadResult::Ok);
        TReportCell* owner = d.line(0)->cell(1);
        QCOMPARE(owner->cellsList().size(), 2);
        QCOMPARE(owner->cellsList().at(0), d.line(1)->cell(1));
        QCOMPARE(owner->cellsList().at(1), d.line(2)->cell(1));
        QCOMPARE(d.line(2)->cell(1)->ownerCell(), owner);
        QCOMPARE(save(d), b);
    }

    void roundTripOfEveryProperty_data()
    {
        QTest::addColumn<int>("variant");
        QTest::newRow("fonts") << 0;
        QTest::newRow("diagonals and borders") << 1;
        QTest::newRow("pictures") << 2;
        QTest::newRow("long text") << 3;
    }

    void roundTripOfEveryProperty()
    {
        QFETCH(int, variant);
        TReportControl c;
        c.setMarginsMm(15, 12, 15, 20);
        c.setPaper(256, 1, 1500, 1000);
        QVERIFY(c.newTable(4, 3));
        TReportCell* x = c.line(1)->cell(2);
        c.selectCell(x, false);
        switch (variant) {
        case 0: {
            QFont f(QStringLiteral("楷体_GB2312"));
            f.setPointSize(18);
            f.setItalic(true);
            f.setUnderline(true);
            f.setStrikeOut(true);
            f.setWeight(QFont::DemiBold);
            QVERIFY(c.setCellFont(f, 0x00336699));
            break;
        }
        case 1:
            QVERIFY(c.setDiagonal(0x0707));
            QVERIFY(c.setBorders({0, 1}, {1, 2}, {1, 1}, {0, 2}));
            QVERIFY(c.setColors(0x000000FF, 0x00E0E0E0));
            break;
        case 2: {
            QImage img(40, 30, QImage::Format_ARGB32);
            img.fill(QColor(0, 0, 255, 128));
            c.setFocusCell(x);
            QVERIFY(c.setPicture(img));
            break;
        }
        case 3:
            QVERIFY(c.setCellText(QString(2000, QChar(0x6C49)))); // 4000 bytes: cut to 3000
            QCOMPARE(Gbk::byteLength(x->text()), MaxCellTextBytes);
            break;
        }
        QVERIFY(c.setAlignment(1, 2));
        QVERIFY(c.setDisplayFormat(QStringLiteral("大写金额")));
        const QByteArray b = save(c);
        QVERIFY(!b.isEmpty());
        TReportControl d;
        QCOMPARE(d.read(b), TReportControl::ReadResult::Ok);
        const TReportCell* y = d.line(1)->cell(2);
        QCOMPARE(y->logFont(), x->logFont());
        QCOMPARE(y->diagonal(), x->diagonal());
        for (int e = 0; e < 4; ++e)
            QCOMPARE(y->border(e), x->border(e));
        QCOMPARE(y->textColor(), x->textColor());
        QCOMPARE(y->backColor(), x->backColor());
        QCOMPARE(y->bitmap(), x->bitmap());
        QCOMPARE(y->text(), x->text());
        QCOMPARE(y->displayFormat(), QStringLiteral("大写金额"));
        QCOMPARE(y->cellRect(), x->cellRect());
        QCOMPARE(y->textRect(), x->textRect());
        QCOMPARE(d.paperSize(), 256);
        QCOMPARE(d.topMargin(), TReportControl::marginPixels(12));
        QCOMPARE(save(d), b);
        if (variant == 0) {
            QCOMPARE(y->font().italic(), true);
            QCOMPARE(y->font().pixelSize(), 24);
            QCOMPARE(y->logFont().face(), QStringLiteral("楷体_GB2312"));
        }
    }

    void faceBytesKeptAsStored()
    {
        // Bytes after the face name's terminator are carried through unchanged.
        StreamBuilder s(0xAA57);
        s.header(1, {1});
        s.line(0);
        StreamBuilder::Cell c;
        s.cell(c);
        s.trailer();
        QByteArray b = s.bytes();
        const qsizetype at = b.indexOf(Gbk::encode(QStringLiteral("黑体")));
        QVERIFY(at > 0);
        b[at + 10] = 'Z';
        TReportControl d;
        QCOMPARE(d.read(b), TReportControl::ReadResult::Ok);
        QCOMPARE(d.line(0)->cell(0)->logFont().face(), QStringLiteral("黑体"));
        const QByteArray out = save(d);
        QVERIFY(out.indexOf(Gbk::encode(QStringLiteral("黑体")) + QByteArray(6, '\0') + "Z") > 0);
    }

    void refusedStreams_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<int>("expected");
        const int bad = int(TReportControl::ReadResult::Malformed);
        const QByteArray good = mergedStream(0xAA57, smallBitmap());

        QByteArray mark = good;
        mark[0] = 0x54;
        QTest::newRow("version mark") << mark << int(TReportControl::ReadResult::BadVersion);
        QTest::newRow("empty") << QByteArray() << bad;
        QTest::newRow("one byte") << good.left(1) << bad;

        StreamBuilder many(0xAA57);
        many.header(0x7FFFFFFF, {});
        QTest::newRow("line count beyond the data") << many.bytes() << bad;

        StreamBuilder cells(0xAA57);
        cells.header(1, {0x3FFFFFFF});
        cells.line(0);
        QTest::newRow("cell count beyond the data") << cells.bytes() << bad;

        StreamBuilder neg(0xAA57);
        neg.header(1, {-1});
        QTest::newRow("negative cell count") << neg.bytes() << bad;

        auto withCell = [](StreamBuilder::Cell c) {
            StreamBuilder s(0xAA57);
            s.header(1, {1});
            s.line(0);
            s.cell(c);
            s.trailer();
            return s.bytes();
        };
        StreamBuilder::Cell owner;
        owner.ownerLine = 3;
        owner.ownerCell = 0;
        QTest::newRow("owner line missing") << withCell(owner) << bad;
        owner.ownerLine = 0;
        owner.ownerCell = 1;
        QTest::newRow("owner cell missing") << withCell(owner) << bad;
        owner.ownerCell = 0;
        QTest::newRow("own owner") << withCell(owner) << bad;
        StreamBuilder::Cell list;
        list.merged = {{0, 5}};
        QTest::newRow("merged cell missing") << withCell(list) << bad;
        StreamBuilder::Cell one;
        one.merged = {{0, 0}};
        QTest::newRow("covers itself") << withCell(one) << bad;

        StreamBuilder::Cell text;
        text.text = QString(3001, QLatin1Char('a'));
        QTest::newRow("text over 3000 bytes") << withCell(text) << bad;
        text.text = QString(3000, QLatin1Char('a'));
        QTest::newRow("text of 3000 bytes") << withCell(text) << int(TReportControl::ReadResult::Ok);

        StreamBuilder::Cell pic;
        QByteArray bmp = smallBitmap();
        qToLittleEndian<quint32>(quint32(bmp.size() + 100000), bmp.data() + 2);
        pic.bmp = bmp;
        QTest::newRow("bitmap beyond the end") << withCell(pic) << bad;
        qToLittleEndian<quint32>(0xFFFFFFFFu, bmp.data() + 2);
        pic.bmp = bmp;
        QTest::newRow("bitmap length huge") << withCell(pic) << bad;

        // Links that disagree: a cell names an owner whose list does not hold it.
        StreamBuilder s(0xAA57);
        s.header(2, {1, 1});
        s.line(0);
        s.cell({});
        s.line(0);
        StreamBuilder::Cell orphan;
        orphan.ownerLine = 0;
        orphan.ownerCell = 0;
        s.cell(orphan);
        s.trailer();
        QTest::newRow("one-sided merge") << s.bytes() << bad;

        for (int cut : {2, 30, 58, 59, 63, 100, 200, 300, int(good.size()) - 20, int(good.size()) - 1})
            QTest::newRow(qPrintable(QStringLiteral("cut at %1").arg(cut))) << good.left(cut) << bad;
    }

    void refusedStreams()
    {
        QFETCH(QByteArray, stream);
        QFETCH(int, expected);
        TReportControl c;
        QVERIFY(c.newTable(2, 2));
        c.line(0)->cell(0)->setText(QStringLiteral("保留"));
        c.layout();
        const QByteArray before = save(c);
        QCOMPARE(int(c.read(stream)), expected);
        if (expected != int(TReportControl::ReadResult::Ok))
            QCOMPARE(save(c), before); // nothing changed
    }

    void everyTruncationRefused()
    {
        const QByteArray good = mergedStream(0xAA57, smallBitmap());
        TReportControl c;
        for (int cut = 0; cut < good.size(); ++cut)
            QVERIFY2(c.read(good.left(cut)) != TReportControl::ReadResult::Ok, qPrintable(QString::number(cut)));
        QCOMPARE(c.read(good), TReportControl::ReadResult::Ok);
    }

    void randomDamageIsRefusedOrLoaded()
    {
        // Bytes overwritten anywhere (counts, lengths, references, pen widths, font heights): the reader
        // refuses the stream or loads something it can lay out, draw and save; it never crashes.
        const QByteArray good = mergedStream(0xAA57, smallBitmap());
        QRandomGenerator rng(20090325);
        QImage sheet(200, 200, QImage::Format_RGB32);
        int loaded = 0;
        for (int round = 0; round < 3000; ++round) {
            QByteArray bad = good;
            const int hits = 1 + int(rng.bounded(4));
            for (int h = 0; h < hits; ++h) {
                const int at = 2 + int(rng.bounded(quint32(bad.size() - 2)));
                bad[at] = char(rng.bounded(2) ? rng.bounded(256) : (rng.bounded(2) ? 0xFF : 0x7F));
            }
            TReportControl c;
            if (c.read(bad) != TReportControl::ReadResult::Ok)
                continue;
            ++loaded;
            QPainter p(&sheet);
            p.setClipRect(sheet.rect());
            c.draw(p, true);
            c.drawPrinted(p);
            p.end();
            const QByteArray again = c.saveToBytes();
            TReportControl d;
            QCOMPARE(d.read(again), TReportControl::ReadResult::Ok);
        }
        QVERIFY(loaded > 0);
    }

    void loadShowsFormatMessage()
    {
        RecordingSink sink;
        TReportControl c;
        QByteArray bytes("\x12\x34garbage");
        QBuffer buf(&bytes);
        buf.open(QIODevice::ReadOnly);
        QVERIFY(!c.load(buf));
        QCOMPARE(sink.last(), QStringLiteral("格式不正确"));
    }

    void fileSaveIsAtomic()
    {
        TestEnv env(false);
        const QString path = env.path(QStringLiteral("BX01"));
        TReportControl c;
        QVERIFY(c.newTable(2, 2));
        QVERIFY(c.saveToFile(path));
        TReportControl d;
        QVERIFY(d.loadFromFile(path));
        QCOMPARE(d.lineCount(), 2);
    }
};

QTEST_MAIN(TestReportStream)
#include "tst_reportstream.moc"
