#pragma once

#include "QnExcel.h"
#include "print/ListReport.h"

#include <QMainWindow>
#include <QPointer>
#include <QScrollArea>

#include <functional>
#include <memory>

class QAction;
class QMenu;
class QPrinter;
class QStatusBar;
class QToolButton;

// The page area of the preview: one page of a report at a zoom in percent (100 = the paper's real size on
// the screen), or fitted so that the whole page shows.
class TQnPreview : public QScrollArea
{
    Q_OBJECT
public:
    explicit TQnPreview(QWidget* parent = nullptr);

    void setSource(std::shared_ptr<TPageSource> source);
    TPageSource* source() const { return m_source.get(); }
    int pageCount() const;
    int pageNumber() const { return m_page; }
    // Ignores pages outside 1..pageCount.
    void setPageNumber(int page);
    int zoom() const { return m_zoom; }
    void setZoom(int percent);
    // The zoom at which the whole page fits the visible area.
    void zoomToFit();
    // The current page as a picture at the zoom.
    QImage pageImage() const;

signals:
    // A page became available to show (after a source was set: every page at once).
    void pageAvailable(int pageCount);
    void pageChanged(int page);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void relayout();

    std::shared_ptr<TPageSource> m_source;
    QWidget* m_paper;
    int m_page = 1;
    int m_zoom = 100;
    bool m_fit = false;
};

// "打印预览窗口": pages, zooms and prints a report, exports it as PDF and, when the caller shows
// "导到Excel", its rows as a workbook. It opens maximised, stays on top, and frees itself when closed.
//     auto* prev = new TPrevForm(this);
//     prev->setReport(report);                      // a TPageSource
//     prev->QnExcel()->setDataSet(&query); prev->QnExcel()->setReportName(title);
//     prev->excelColumns() << TExcelFieldName{"NODE_NAME", "", "档案类别"};
//     prev->showExcelButton(true); prev->show();
class TPrevForm : public QMainWindow
{
    Q_OBJECT
public:
    explicit TPrevForm(QWidget* parent = nullptr);
    ~TPrevForm() override;

    // The preview window opened last (null when it was closed).
    static TPrevForm* current();

    void setReport(std::shared_ptr<TPageSource> report);
    TQnPreview* OwnQRPre() const { return m_preview; }
    QStatusBar* sbarPrint() const { return m_status; }
    QString statusText() const;

    // Export settings (the caller fills the data columns).
    bool rowNumbers() const { return m_rowNumbers; }
    void setRowNumbers(bool on) { m_rowNumbers = on; }
    TExcelFieldArray& excelColumns() { return m_columns; }
    TExcelFieldArray& excelHeadings() { return m_headings; }
    TExcelFieldArray& excelClosings() { return m_closings; }
    TQnExcel* QnExcel() const { return m_excel; }
    void showExcelButton(bool on);

    QToolButton* button(const QString& name) const;

    // Commands.
    void zoom100();
    void zoomAll();
    void firstPage();
    void priorPage();
    void nextPage();
    void lastPage();
    void print();
    void printerSetup();
    void exportPdf();
    void exportExcel();
    void zoomIn();
    void zoomOut();

    // The print dialog of the system, replaced by tests: it sets up the printer and says whether to print.
    static void setPrintDialogHook(std::function<bool(QPrinter& printer, int pageCount)> hook);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    QToolButton* addButton(const QString& name, const QString& caption, const QString& icon, void (TPrevForm::*slot)());
    void goTo(int page);
    void setButtonVisible(QToolButton* button, bool on);
    void setStatus(const QString& separator);

    TQnPreview* m_preview;
    QStatusBar* m_status;
    QMenu* m_popup;
    QToolButton* m_print = nullptr;
    QToolButton* m_close = nullptr;
    QToolButton* m_excelButton = nullptr;
    TQnExcel* m_excel;
    bool m_rowNumbers = false;
    TExcelFieldArray m_columns;
    TExcelFieldArray m_headings;
    TExcelFieldArray m_closings;
};
