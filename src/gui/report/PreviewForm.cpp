#include "PreviewForm.h"

#include "MarginForm.h"
#include "ReportPageView.h"
#include "ReportPrinting.h"
#include "common/MessageSink.h"
#include "report/ReportRunTime.h"

#include <QApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace {
QString g_nextPdfPath;
}

TPreviewForm::TPreviewForm(TReportRunTime& runTime, QWidget* parent) : QDialog(parent), m_runTime(runTime)
{
    setObjectName(QStringLiteral("PreviewForm"));
    setWindowTitle(QStringLiteral("打印预览"));
    setModal(true);
    resize(715, 550);

    auto* bar = new QHBoxLayout;
    bar->setSpacing(0);
    m_first = button(QStringLiteral("button_first"), QStringLiteral("第一页"));
    m_prior = button(QStringLiteral("button_prior"), QStringLiteral("上一页"));
    m_next = button(QStringLiteral("button_next"), QStringLiteral("下一页"));
    m_last = button(QStringLiteral("button_last"), QStringLiteral("最后一页"));
    m_zoomIn = button(QStringLiteral("button_zoomIn"), QStringLiteral("放大"));
    m_zoomOut = button(QStringLiteral("button_zoomOut"), QStringLiteral("缩小"));
    m_fit = button(QStringLiteral("button_fit"), QStringLiteral("最适合的宿放比例"));
    m_setup = button(QStringLiteral("button_setup"), QStringLiteral("打印设置"));
    m_print = button(QStringLiteral("button_print"), QStringLiteral("打印"));
    m_stopButton = button(QStringLiteral("button_stop"), QStringLiteral("中止打印"));
    m_pdf = button(QStringLiteral("button_pdf"), QStringLiteral("导出PDF"));
    m_close = button(QStringLiteral("button_close"), QStringLiteral("关闭"));
    for (QToolButton* b :
         {m_first, m_prior, m_next, m_last, m_zoomIn, m_zoomOut, m_fit, m_setup, m_print, m_stopButton, m_pdf, m_close})
        bar->addWidget(b);
    bar->addStretch();

    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("PageArea"));
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_scroll->setWidgetResizable(false);
    m_canvas = new QWidget;
    m_canvas->setBackgroundRole(QPalette::Dark);
    m_scroll->setWidget(m_canvas);
    m_view = new TReportPageView(m_canvas);
    m_view->setReport(&m_pageReport);
    // The page is placed in the area the layout gives the viewport, which it knows only after the dialog's
    // own resize event.
    m_scroll->viewport()->installEventFilter(this);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("statusBar"));
    m_status->setFrameShape(QFrame::StyledPanel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    layout->addLayout(bar);
    layout->addWidget(m_scroll, 1);
    layout->addWidget(m_status);

    connect(m_first, &QToolButton::clicked, this, &TPreviewForm::firstPage);
    connect(m_prior, &QToolButton::clicked, this, &TPreviewForm::priorPage);
    connect(m_next, &QToolButton::clicked, this, &TPreviewForm::nextPage);
    connect(m_last, &QToolButton::clicked, this, &TPreviewForm::lastPage);
    connect(m_zoomIn, &QToolButton::clicked, this, &TPreviewForm::zoomIn);
    connect(m_zoomOut, &QToolButton::clicked, this, &TPreviewForm::zoomOut);
    connect(m_fit, &QToolButton::clicked, this, &TPreviewForm::fit);
    connect(m_setup, &QToolButton::clicked, this, &TPreviewForm::pageSetup);
    connect(m_print, &QToolButton::clicked, this, &TPreviewForm::printAll);
    connect(m_stopButton, &QToolButton::clicked, this, &TPreviewForm::stopPrinting);
    connect(m_pdf, &QToolButton::clicked, this, &TPreviewForm::exportPdf);
    connect(m_close, &QToolButton::clicked, this, &QDialog::reject);
    // A click on the page makes the next zoom step start from 100 percent; the page stays as it is.
    connect(m_view, &TReportPageView::clicked, this, [this] { m_zoom = 100; });

    showPage(1);
    fit();
}

TPreviewForm::~TPreviewForm() = default;

QToolButton* TPreviewForm::button(const QString& name, const QString& caption)
{
    auto* b = new QToolButton(this);
    b->setText(caption);
    b->setObjectName(name);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::TabFocus);
    return b;
}

int TPreviewForm::pageCount() const
{
    return m_runTime.pageCount();
}

QString TPreviewForm::statusText() const
{
    return QStringLiteral("第%1／%2页").arg(pageCount() == 0 ? 0 : m_page + 1).arg(pageCount());
}

void TPreviewForm::showPage(int number)
{
    if (pageCount() == 0) {
        m_pageReport.clear();
        m_page = 0;
    } else {
        m_page = qBound(0, number - 1, pageCount() - 1);
        m_runTime.loadPage(m_page, m_pageReport);
    }
    m_view->setReport(&m_pageReport);
    placePage();
    updateButtons();
}

void TPreviewForm::firstPage()
{
    showPage(1);
}

void TPreviewForm::priorPage()
{
    showPage(m_page);
}

void TPreviewForm::nextPage()
{
    showPage(m_page + 2);
}

void TPreviewForm::lastPage()
{
    showPage(pageCount());
}

void TPreviewForm::zoomIn()
{
    m_zoom = qMin(1000, m_zoom + 10);
    m_view->setZoom(m_zoom);
    placePage();
}

void TPreviewForm::zoomOut()
{
    m_zoom = qMax(10, m_zoom - 10);
    m_view->setZoom(m_zoom);
    placePage();
}

int TPreviewForm::fitZoom() const
{
    const int pw = m_pageReport.pageWidth() > 0 ? m_pageReport.pageWidth() : TReportControl::DefaultPageWidth;
    const int ph = m_pageReport.pageHeight() > 0 ? m_pageReport.pageHeight() : TReportControl::DefaultPageHeight;
    const int availH = height() - 110;
    const int availW = width() - 170;
    const int byHeight = ph > availH ? int(std::lround(100.0 * availH / ph)) : 100;
    const int byWidth = pw > availW ? int(std::lround(100.0 * availW / pw)) : 100;
    return qBound(10, qMin(byHeight, byWidth), 100);
}

void TPreviewForm::fit()
{
    m_zoom = fitZoom();
    m_view->setZoom(m_zoom);
    placePage();
}

void TPreviewForm::placePage()
{
    const QSize page = m_view->pageSize();
    const QSize port = m_scroll->viewport()->size();
    const int left = page.width() < port.width() ? (port.width() - page.width()) / 2 : 23;
    const int top = qMax(10, (height() - page.height() - 110) / 2 + 10);
    m_view->move(left, top);
    m_canvas->resize(qMax(port.width(), left + page.width() + 23), qMax(port.height(), top + page.height() + 10));
}

void TPreviewForm::updateButtons()
{
    const int n = pageCount();
    m_first->setEnabled(!m_printing && m_page > 0);
    m_prior->setEnabled(!m_printing && m_page > 0);
    m_next->setEnabled(!m_printing && m_page < n - 1);
    m_last->setEnabled(!m_printing && m_page < n - 1);
    m_print->setEnabled(!m_printing && n > 0);
    m_pdf->setEnabled(!m_printing && n > 0);
    m_setup->setEnabled(!m_printing);
    m_close->setEnabled(!m_printing);
    m_stopButton->setEnabled(m_printing);
    m_status->setText(statusText());
}

void TPreviewForm::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    fit();
}

bool TPreviewForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize)
        placePage();
    return QDialog::eventFilter(watched, event);
}

void TPreviewForm::pageSetup()
{
    TMarginForm form(m_runTime, this);
    if (form.exec() != QDialog::Accepted)
        return;
    if (ReportPrinting::buildWithNotice(m_runTime, this)) {
        showPage(1);
        fit();
    } else {
        m_pageReport.clear();
        showPage(1);
    }
}

void TPreviewForm::printAll()
{
    if (!ReportPrinting::hasPrinter()) {
        ShowWarning(QStringLiteral("未安装打印机"));
        return;
    }
    m_printing = true;
    m_stop = false;
    updateButtons();
    ReportPrinting::print(m_runTime, false, this, [this] {
        QApplication::processEvents();
        return m_stop;
    });
    m_printing = false;
    updateButtons();
}

void TPreviewForm::stopPrinting()
{
    m_stop = true;
}

void TPreviewForm::setNextPdfPath(const QString& path)
{
    g_nextPdfPath = path;
}

void TPreviewForm::exportPdf()
{
    QString path = g_nextPdfPath;
    g_nextPdfPath.clear();
    if (path.isEmpty())
        path = QFileDialog::getSaveFileName(this, QStringLiteral("导出PDF"), m_runTime.title() + QStringLiteral(".pdf"),
                                            QStringLiteral("PDF文件 (*.pdf)"));
    if (path.isEmpty())
        return;
    QString error;
    if (!m_runTime.writePdf(path, &error))
        ShowWarning(QStringLiteral("PDF文件写入错误：") + error);
}
