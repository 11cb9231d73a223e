#pragma once

#include <functional>

class QPrinter;
class QWidget;
class TReportControl;
class TReportRunTime;

// Previewing and printing report run times on this desktop: the preview window, the printer with its
// paper taken from the template, the print dialog. install() makes TReportRunTime::Preview and Print use it.
namespace ReportPrinting {

void install();
bool hasPrinter();
// Builds the pages while the small "提示" window says so.
bool buildWithNotice(TReportRunTime& runTime, QWidget* parent);
// The printer's paper from the template: paper size and orientation (user-defined paper: the page size).
void preparePrinter(QPrinter& printer, const TReportControl& tpl);
// Builds the pages (when not built) and shows the preview from startPage.
bool preview(TReportRunTime& runTime, int startPage, QWidget* parent);
// Builds the pages (when not built) and prints them, with the print dialog (pages 1 to the count) or all
// pages on the default printer. cancelled is asked before each page.
bool print(TReportRunTime& runTime, bool showDialog, QWidget* parent, const std::function<bool()>& cancelled = {});

} // namespace ReportPrinting
