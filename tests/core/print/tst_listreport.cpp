#include "TestSupport.h"

#include "print/ListReport.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

// The printed list: how rows fall onto pages, the header and footer texts, and the PDF it writes (read
// back with pdftotext where the machine has it).
class TestListReport : public QObject
{
    Q_OBJECT

private:
    static TListReport report(int rows)
    {
        TListReport r;
        r.setTitle(QStringLiteral("档案类别列表"));
        r.setOrganisation(QStringLiteral("某某市档案馆"));
        r.setPrintDate(QStringLiteral("2009-03-25"));
        r.setColumns({{QStringLiteral("档案类别"), 90, Qt::AlignLeft | Qt::AlignVCenter},
                      {QStringLiteral("备注"), 60, Qt::AlignLeft | Qt::AlignVCenter}});
        QList<QStringList> list;
        for (int i = 0; i < rows; ++i)
            list << QStringList{QStringLiteral("类别%1").arg(i + 1), QStringLiteral("备注%1").arg(i + 1)};
        r.setRows(list);
        return r;
    }

private slots:
    void pages_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("pages");
        QTest::newRow("empty") << 0 << 1;
        QTest::newRow("one") << 1 << 1;
        QTest::newRow("full page") << 35 << 1;
        QTest::newRow("one more") << 36 << 2;
        QTest::newRow("two full") << 70 << 2;
        QTest::newRow("three") << 71 << 3;
    }
    void pages()
    {
        QFETCH(int, rows);
        QFETCH(int, pages);
        TListReport r = report(rows);
        QCOMPARE(r.rowsPerPage(), 35);
        QCOMPARE(r.pageCount(), pages);
    }

    void texts()
    {
        QCOMPARE(TListReport::footerText(2, 3), QStringLiteral("第 2 页 共 3 页"));
        QCOMPARE(report(1).dateText(), QStringLiteral("打印日期:2009-03-25"));
    }

    // A page holds no more rows than fit, whatever the caller asks.
    void rowLimit()
    {
        TListReport r = report(100);
        r.setRowsPerPage(500);
        QVERIFY(r.rowsPerPage() < 40);
        r.setRowsPerPage(10);
        QCOMPARE(r.pageCount(), 10);
    }

    void pdf()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("list.pdf"));
        TListReport r = report(40);
        r.setRowNumbers(true);
        QString error;
        QVERIFY2(r.writePdf(path, &error), qPrintable(error));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.read(5) == "%PDF-");
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (pdftotext.isEmpty())
            QSKIP("pdftotext is not installed");
        QProcess p;
        p.start(pdftotext, {QStringLiteral("-layout"), path, QStringLiteral("-")});
        QVERIFY(p.waitForFinished(20000));
        // pdftotext gives some characters as their Kangxi radicals (⽇ for 日); NFKC folds them back.
        // and a few simplified forms come as radical supplements (⻚ for 页).
        const QString text = QString::fromUtf8(p.readAllStandardOutput())
                                 .normalized(QString::NormalizationForm_KC)
                                 .replace(QChar(0x2EDA), QChar(0x9875));
        QVERIFY2(text.contains(QStringLiteral("档案类别列表")), qPrintable(text.left(400)));
        QVERIFY(text.contains(QStringLiteral("某某市档案馆")));
        QVERIFY(text.contains(QStringLiteral("打印日期:2009-03-25")));
        // pdftotext drops the blanks between Chinese characters.
        const QString plain = QString(text).remove(QLatin1Char(' '));
        QVERIFY(plain.contains(QStringLiteral("第1页共2页")));
        QVERIFY(plain.contains(QStringLiteral("第2页共2页")));
        QVERIFY(text.contains(QStringLiteral("类别40")));
        QVERIFY(text.contains(QStringLiteral("序号")));
        QCOMPARE(text.count(QLatin1Char('\f')), 2);
    }

    // Painting into a picture covers the paper white and draws in black.
    void paint()
    {
        TListReport r = report(3);
        QImage image(420, 594, QImage::Format_RGB32);
        image.fill(Qt::gray);
        QPainter p(&image);
        r.paintPageInto(&p, 1, QRectF(0, 0, 420, 594));
        p.end();
        QCOMPARE(image.pixelColor(2, 2), QColor(Qt::white));
        bool dark = false;
        for (int y = 60; y < 120 && !dark; ++y)
            for (int x = 0; x < 420 && !dark; ++x)
                dark = image.pixelColor(x, y).lightness() < 100;
        QVERIFY(dark);
    }
};

int main(int argc, char** argv)
{
    // Drawing text needs the GUI application object (no window is shown).
    QGuiApplication app(argc, argv);
    TestListReport t;
    return QTest::qExec(&t, argc, argv);
}
#include "tst_listreport.moc"
