#pragma once

#include "report/ReportControl.h"

#include <QDialog>

class QLabel;
class QToolButton;
class QScrollArea;
class TReportPageView;
class TReportRunTime;

// "打印预览": one finished page at a time, with paging, zoom, fit, page set-up, printing and PDF export.
class TPreviewForm : public QDialog
{
    Q_OBJECT

public:
    explicit TPreviewForm(TReportRunTime& runTime, QWidget* parent = nullptr);
    ~TPreviewForm() override;

    int pageNumber() const { return m_page + 1; } // 1-based
    int pageCount() const;
    int zoom() const { return m_zoom; }
    QString statusText() const;
    // The zoom the fit rule gives for the current window size.
    int fitZoom() const;

public slots:
    void showPage(int number); // 1-based
    void firstPage();
    void priorPage();
    void nextPage();
    void lastPage();
    void zoomIn();
    void zoomOut();
    void fit();
    void pageSetup();
    void printAll();
    void stopPrinting();
    // Asks for a file and writes the pages as PDF there.
    void exportPdf();
    // Test hook: the file the next exportPdf() writes, without asking.
    static void setNextPdfPath(const QString& path);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placePage();
    void updateButtons();
    QToolButton* button(const QString& name, const QString& caption);

    TReportRunTime& m_runTime;
    TReportControl m_pageReport;
    int m_page = 0;
    int m_zoom = 100;
    bool m_printing = false;
    bool m_stop = false;
    QScrollArea* m_scroll;
    QWidget* m_canvas;
    TReportPageView* m_view;
    QLabel* m_status;
    QToolButton* m_first;
    QToolButton* m_prior;
    QToolButton* m_next;
    QToolButton* m_last;
    QToolButton* m_zoomIn;
    QToolButton* m_zoomOut;
    QToolButton* m_fit;
    QToolButton* m_setup;
    QToolButton* m_print;
    QToolButton* m_stopButton;
    QToolButton* m_pdf;
    QToolButton* m_close;
};
