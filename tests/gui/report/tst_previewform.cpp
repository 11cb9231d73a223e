#include "TestSupport.h"

#include "common/MessageSink.h"
#include "report/MarginForm.h"
#include "report/PreviewForm.h"
#include "report/ReportPageView.h"
#include "report/ReportPrinting.h"
#include "report/ReportRowSource.h"
#include "report/ReportRunTime.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QScrollArea>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cmath>

namespace {

QByteArray listTemplate(int pageHeight)
{
    TReportControl c;
    c.setPageSize(758, pageHeight);
    c.newTable(2, 3);
    c.line(0)->cell(0)->setText(QStringLiteral("清单"));
    c.line(1)->cell(0)->setText(QStringLiteral("#M.NAME"));
    c.line(1)->cell(1)->setText(QStringLiteral("<序号>"));
    c.line(2)->cell(0)->setText(QStringLiteral("<PageNum/>"));
    c.layout();
    return c.saveToBytes();
}

MemoryRowSource* rows(int n)
{
    auto* src = new MemoryRowSource({{QStringLiteral("NAME"), ReportRowSource::FieldKind::Text}}, {});
    for (int i = 0; i < n; ++i)
        src->appendRow({QStringLiteral("项目%1").arg(i + 1)});
    return src;
}

QAbstractButton* button(QWidget* w, const char* name)
{
    return w->findChild<QAbstractButton*>(QString::fromLatin1(name));
}

} // namespace

class TestPreviewForm : public QObject
{
    Q_OBJECT

private slots:
    void pagingZoomAndFit()
    {
        std::unique_ptr<MemoryRowSource> src(rows(40));
        TReportRunTime rt;
        QVERIFY(rt.loadTemplate(listTemplate(400)));
        rt.setDefaultDataSet(src.get());
        QVERIFY(rt.buildPages());
        const int pages = rt.pageCount();
        QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));

        TPreviewForm form(rt);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.windowTitle(), QStringLiteral("打印预览"));
        QCOMPARE(form.size(), QSize(715, 550));
        auto* status = form.findChild<QLabel*>(QStringLiteral("statusBar"));
        QCOMPARE(status->text(), QStringLiteral("第1／%1页").arg(pages));
        QVERIFY(!button(&form, "button_first")->isEnabled());
        QVERIFY(!button(&form, "button_prior")->isEnabled());
        QVERIFY(button(&form, "button_next")->isEnabled());
        QVERIFY(!button(&form, "button_stop")->isEnabled());

        QTest::mouseClick(button(&form, "button_next"), Qt::LeftButton);
        QCOMPARE(status->text(), QStringLiteral("第2／%1页").arg(pages));
        QVERIFY(button(&form, "button_prior")->isEnabled());
        QTest::mouseClick(button(&form, "button_last"), Qt::LeftButton);
        QCOMPARE(form.pageNumber(), pages);
        QVERIFY(!button(&form, "button_next")->isEnabled());
        QVERIFY(!button(&form, "button_last")->isEnabled());
        QTest::mouseClick(button(&form, "button_first"), Qt::LeftButton);
        QCOMPARE(form.pageNumber(), 1);

        // Fit: the page is 758 wide and the window leaves 715 − 170 for it; 400 high fits in 550 − 110.
        QCOMPARE(form.zoom(), 72);
        QTest::mouseClick(button(&form, "button_zoomIn"), Qt::LeftButton);
        QCOMPARE(form.zoom(), 82);
        QTest::mouseClick(button(&form, "button_zoomOut"), Qt::LeftButton);
        QTest::mouseClick(button(&form, "button_zoomOut"), Qt::LeftButton);
        QCOMPARE(form.zoom(), 62);
        // A click on the page: the next step starts from 100.
        auto* view = form.findChild<TReportPageView*>();
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(view->zoom(), 62);
        QTest::mouseClick(button(&form, "button_zoomIn"), Qt::LeftButton);
        QCOMPARE(form.zoom(), 110);
        QTest::mouseClick(button(&form, "button_fit"), Qt::LeftButton);
        QCOMPARE(form.zoom(), 72);
        form.resize(1100, 800);
        QTRY_COMPARE(form.zoom(), 100);
        // Centred when narrower than the area.
        QVERIFY(view->x() > 23);

        if (!qEnvironmentVariableIsEmpty("VUZAZO_GRAB"))
            form.grab().save(QDir(qEnvironmentVariable("VUZAZO_GRAB")).filePath(QStringLiteral("preview.png")));
    }

    void deliveredListFitsTheWindow()
    {
        // A full A4 page of the delivered archive list: the height decides the zoom, and the page sits
        // centred in the area below the buttons.
        QFile file(QStringLiteral(":/templates/200700000007"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        using K = ReportRowSource::FieldKind;
        MemoryRowSource src({{QStringLiteral("ARCHIVE_ID"), K::Text},
                             {QStringLiteral("ARCHIVE_NAME"), K::Text},
                             {QStringLiteral("ARCHIVE_TYPE_NAME"), K::Text},
                             {QStringLiteral("DATE_FIELD1"), K::Text},
                             {QStringLiteral("TEXT_FIELD1"), K::Text},
                             {QStringLiteral("TEXT_FIELD2"), K::Text}},
                            {});
        for (int i = 1; i <= 60; ++i)
            src.appendRow({QStringLiteral("2009%1").arg(i, 6, 10, QLatin1Char('0')),
                           QStringLiteral("办公室关于2009年度档案移交工作的第%1号通知").arg(i),
                           QStringLiteral("文书档案"), QStringLiteral("2009-03-25"), QStringLiteral("内部"),
                           QStringLiteral("A区1排%1柜").arg(i)});
        TReportRunTime rt;
        rt.setPrintFields(
            {{QStringLiteral("ARCHIVE_ID"), QStringLiteral("档案编号"), QStringLiteral("M"), true, true},
             {QStringLiteral("ARCHIVE_NAME"), QStringLiteral("档案名称"), QStringLiteral("M"), true, true},
             {QStringLiteral("ARCHIVE_TYPE_NAME"), QStringLiteral("档案类别"), QStringLiteral("M"), true, true},
             {QStringLiteral("DATE_FIELD1"), QStringLiteral("档案日期"), QStringLiteral("M"), true, true},
             {QStringLiteral("TEXT_FIELD1"), QStringLiteral("保密等级"), QStringLiteral("M"), true, true},
             {QStringLiteral("TEXT_FIELD2"), QStringLiteral("存放位置"), QStringLiteral("M"), true, true}});
        QVERIFY(rt.loadTemplate(file.readAll()));
        rt.setDefaultDataSet(&src);
        rt.SetVarValue(QStringLiteral("单位名称"), QStringLiteral("东方市档案馆"));
        QVERIFY(rt.buildPages());
        QVERIFY(rt.pageCount() >= 2);

        TPreviewForm form(rt);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        // 100 × (550 − 110) / 1037 = 42.4; the width would allow 100 × (715 − 170) / 758 = 71.9.
        QCOMPARE(form.zoom(), 42);
        auto* view = form.findChild<TReportPageView*>();
        QCOMPARE(view->size(), QSize(758 * 42 / 100, 1037 * 42 / 100));
        auto* area = form.findChild<QWidget*>(QStringLiteral("PageArea"));
        const int port = static_cast<QScrollArea*>(area)->viewport()->width();
        QVERIFY2(qAbs(view->x() * 2 + view->width() - port) <= 1,
                 qPrintable(QStringLiteral("%1 %2 %3").arg(view->x()).arg(view->width()).arg(port)));
        QTest::mouseClick(button(&form, "button_next"), Qt::LeftButton);
        QCOMPARE(form.findChild<QLabel*>(QStringLiteral("statusBar"))->text(),
                 QStringLiteral("第2／%1页").arg(rt.pageCount()));
        if (!qEnvironmentVariableIsEmpty("VUZAZO_GRAB"))
            form.grab().save(QDir(qEnvironmentVariable("VUZAZO_GRAB")).filePath(QStringLiteral("preview-list.png")));
        form.resize(900, 1000);
        QTRY_COMPARE(form.zoom(), int(std::lround(100.0 * 890 / 1037)));
        if (!qEnvironmentVariableIsEmpty("VUZAZO_GRAB"))
            form.grab().save(
                QDir(qEnvironmentVariable("VUZAZO_GRAB")).filePath(QStringLiteral("preview-list-large.png")));
    }

    void pdfAndPrinting()
    {
        RecordingSink sink;
        std::unique_ptr<MemoryRowSource> src(rows(5));
        TReportRunTime rt;
        QVERIFY(rt.loadTemplate(listTemplate(1037)));
        rt.setDefaultDataSet(src.get());
        QVERIFY(rt.buildPages());
        TPreviewForm form(rt);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("清单.pdf"));
        TPreviewForm::setNextPdfPath(path);
        QTest::mouseClick(button(&form, "button_pdf"), Qt::LeftButton);
        QFile pdf(path);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QCOMPARE(pdf.read(5), QByteArray("%PDF-"));
        if (!ReportPrinting::hasPrinter()) {
            QTest::mouseClick(button(&form, "button_print"), Qt::LeftButton);
            QCOMPARE(sink.last(), QStringLiteral("未安装打印机"));
        }
    }

    void printerGetsTheTemplatesPaperAndChosenPages()
    {
        // Printing goes through a QPrinter whose paper comes from the template; here the printer writes a
        // PDF file, so the sheets can be read back.
        std::unique_ptr<MemoryRowSource> src(rows(40));
        TReportControl tpl;
        QVERIFY(tpl.read(listTemplate(400)) == TReportControl::ReadResult::Ok);
        tpl.setPaper(9, 2, 2970, 2100); // A4 landscape
        TReportRunTime rt;
        QVERIFY(rt.loadTemplate(tpl.saveToBytes()));
        rt.setDefaultDataSet(src.get());
        QVERIFY(rt.buildPages());
        QVERIFY(rt.pageCount() >= 3);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("printed.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        ReportPrinting::preparePrinter(printer, rt.templateControl());
        QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);
        QCOMPARE(printer.pageLayout().pageSize().id(), QPageSize::A4);
        QVERIFY(rt.printPages(printer, 2, 3));

        const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (tool.isEmpty())
            QSKIP("pdftotext is not installed");
        QProcess p;
        p.start(tool, {path, QStringLiteral("-")});
        QVERIFY(p.waitForFinished(20000));
        const QString text = QString::fromUtf8(p.readAllStandardOutput())
                                 .normalized(QString::NormalizationForm_KC)
                                 .replace(QChar(0x2EDA), QChar(0x9875))
                                 .remove(QLatin1Char(' '));
        QCOMPARE(text.count(QLatin1Char('\f')), 2); // two sheets
        QVERIFY2(text.contains(QStringLiteral("第2/%1页").arg(rt.pageCount())), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("第3/%1页").arg(rt.pageCount())));
        QVERIFY(!text.contains(QStringLiteral("第1/%1页").arg(rt.pageCount())));
    }

    void runTimeGoesThroughTheHost()
    {
        // Without a host the core has no printer; with the GUI's host the preview opens without one.
        RecordingSink sink;
        std::unique_ptr<MemoryRowSource> src(rows(3));
        TReportRunTime rt;
        QVERIFY(rt.loadTemplate(listTemplate(1037)));
        rt.setDefaultDataSet(src.get());
        ReportPrintHost::setInstance(nullptr);
        QVERIFY(!rt.Preview());
        QCOMPARE(sink.last(), QStringLiteral("未安装打印机"));
        ReportPrinting::install();
        int shownPage = 0;
        QTimer poll;
        poll.setInterval(20);
        connect(&poll, &QTimer::timeout, this, [&] {
            if (auto* form = qobject_cast<TPreviewForm*>(QApplication::activeModalWidget())) {
                shownPage = form->pageNumber();
                poll.stop();
                form->reject();
            }
        });
        poll.start();
        QVERIFY(rt.Preview(1));
        QCOMPARE(shownPage, 1);
        QCOMPARE(rt.pageCount(), 1);
    }

    void marginFormWritesTheTemplate()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("200700000007"));
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(listTemplate(1037));
        }
        TReportRunTime rt;
        QVERIFY(rt.setReportFile(file));
        TMarginForm form(rt);
        QCOMPARE(form.windowTitle(), QStringLiteral("报表属性设置"));
        QCOMPARE(form.leftBox()->value(), 20);
        form.leftBox()->setValue(30);
        form.bottomBox()->setValue(25);
        form.accept();
        QCOMPARE(form.result(), int(QDialog::Accepted));
        TReportControl saved;
        QVERIFY(saved.loadFromFile(file));
        QCOMPARE(saved.leftMarginMm(), 30);
        QCOMPARE(saved.bottomMarginMm(), 25);
        QCOMPARE(saved.leftMargin(), TReportControl::marginPixels(30));
        QCOMPARE(saved.pageWidth(), 758);
        QCOMPARE(saved.pageHeight(), 1037);
        QCOMPARE(saved.paperSize(), 9); // A4 from the printer settings
        // The texts are written back as designed, not as bound.
        QCOMPARE(saved.line(2)->cell(0)->text(), QStringLiteral("<PageNum/>"));
        QCOMPARE(rt.templateControl().leftMarginMm(), 30);
    }
};

QTEST_MAIN(TestPreviewForm)
#include "tst_previewform.moc"
