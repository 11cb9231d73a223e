#include "ReportPrinting.h"

#include "PreviewForm.h"
#include "common/MessageSink.h"
#include "report/ReportRunTime.h"

#include <QApplication>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QVBoxLayout>

namespace ReportPrinting {

namespace {

class GuiReportPrintHost : public ReportPrintHost
{
public:
    bool preview(TReportRunTime& runTime, int startPage) override
    {
        return ReportPrinting::preview(runTime, startPage, QApplication::activeWindow());
    }
    bool print(TReportRunTime& runTime, bool showDialog) override
    {
        // Pages left from an earlier preview may show data that has changed since: printing builds anew.
        if (!hasPrinter()) {
            ShowWarning(QStringLiteral("未安装打印机"));
            return false;
        }
        if (!buildWithNotice(runTime, QApplication::activeWindow()))
            return false;
        return ReportPrinting::print(runTime, showDialog, QApplication::activeWindow());
    }
};

} // namespace

void install()
{
    static GuiReportPrintHost host;
    ReportPrintHost::setInstance(&host);
}

bool hasPrinter()
{
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

bool buildWithNotice(TReportRunTime& runTime, QWidget* parent)
{
    QDialog notice(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    notice.setObjectName(QStringLiteral("BuildNotice"));
    notice.setWindowTitle(QStringLiteral("提示"));
    auto* label = new QLabel(QStringLiteral("正在形成报表，请稍候......"), &notice);
    auto* layout = new QVBoxLayout(&notice);
    layout->setContentsMargins(24, 16, 24, 16);
    layout->addWidget(label);
    notice.show();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    const bool ok = runTime.buildPages();
    notice.hide();
    return ok;
}

void preparePrinter(QPrinter& printer, const TReportControl& tpl)
{
    printer.setPageLayout(TReportRunTime::pageLayout(tpl));
    printer.setFullPage(false);
}

bool preview(TReportRunTime& runTime, int startPage, QWidget* parent)
{
    // The preview needs no printer: the pages are drawn on the screen and can go to a PDF file.
    if (!buildWithNotice(runTime, parent))
        return false;
    TPreviewForm form(runTime, parent);
    form.showPage(startPage);
    form.exec();
    return true;
}

bool print(TReportRunTime& runTime, bool showDialog, QWidget* parent, const std::function<bool()>& cancelled)
{
    if (!hasPrinter()) {
        ShowWarning(QStringLiteral("未安装打印机"));
        return false;
    }
    if (runTime.pageCount() == 0 && !buildWithNotice(runTime, parent))
        return false;
    QPrinter printer(QPrinter::HighResolution);
    preparePrinter(printer, runTime.templateControl());
    printer.setDocName(runTime.title());
    int from = 1, to = runTime.pageCount();
    if (showDialog) {
        printer.setFromTo(1, to);
        QPrintDialog dialog(&printer, parent);
        dialog.setMinMax(1, to);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        if (printer.printRange() == QPrinter::PageRange) {
            from = printer.fromPage();
            to = printer.toPage();
        }
    }
    return runTime.printPages(printer, from, to, cancelled);
}

} // namespace ReportPrinting
