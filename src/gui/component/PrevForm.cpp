#include "PrevForm.h"

#include "DesktopServices.h"
#include "common/MessageSink.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QMenu>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include <cmath>

namespace {

// Millimetres to screen pixels at 100 %.
double pixelsPerMm(const QWidget* w)
{
    return w->logicalDpiX() / 25.4;
}

std::function<bool(QPrinter&, int)>& printDialogHook()
{
    static std::function<bool(QPrinter&, int)> hook;
    return hook;
}

QPointer<TPrevForm>& currentPreview()
{
    static QPointer<TPrevForm> p;
    return p;
}

// The paper: the page drawn at the preview's zoom, with a thin shadow.
class PaperWidget : public QWidget
{
public:
    explicit PaperWidget(TQnPreview* preview) : QWidget(preview), m_preview(preview)
    {
        setObjectName(QStringLiteral("Paper"));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Dark));
        const QRect paper = rect().adjusted(0, 0, -4, -4);
        p.fillRect(paper.translated(4, 4), QColor(90, 90, 90));
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        if (TPageSource* s = m_preview->source())
            s->paintPageInto(&p, m_preview->pageNumber(), QRectF(paper));
        else
            p.fillRect(paper, Qt::white);
    }

private:
    TQnPreview* m_preview;
};

} // namespace

// ---------------------------------------------------------------------------------------------------------
// TQnPreview

TQnPreview::TQnPreview(QWidget* parent) : QScrollArea(parent)
{
    setObjectName(QStringLiteral("OwnQRPre"));
    setAlignment(Qt::AlignCenter);
    setBackgroundRole(QPalette::Dark);
    m_paper = new PaperWidget(this);
    setWidget(m_paper);
    setWidgetResizable(false);
    relayout();
}

void TQnPreview::setSource(std::shared_ptr<TPageSource> source)
{
    m_source = std::move(source);
    m_page = 1;
    relayout();
    emit pageAvailable(pageCount());
}

int TQnPreview::pageCount() const
{
    return m_source ? m_source->pageCount() : 0;
}

void TQnPreview::setPageNumber(int page)
{
    if (page < 1 || page > pageCount() || page == m_page)
        return;
    m_page = page;
    m_paper->update();
    verticalScrollBar()->setValue(0);
    emit pageChanged(m_page);
}

void TQnPreview::setZoom(int percent)
{
    m_fit = false;
    m_zoom = qBound(10, percent, 400);
    relayout();
}

void TQnPreview::zoomToFit()
{
    m_fit = true;
    relayout();
}

void TQnPreview::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    if (m_fit)
        relayout();
}

void TQnPreview::relayout()
{
    const QSizeF paper = m_source ? m_source->paperSize() : QSizeF(210, 297);
    const double ppm = pixelsPerMm(this);
    if (m_fit) {
        const QSize room = maximumViewportSize() - QSize(16, 16);
        const double scale = qMin(room.width() / (paper.width() * ppm), room.height() / (paper.height() * ppm));
        m_zoom = qMax(10, int(std::floor(scale * 100)));
    }
    const double f = ppm * m_zoom / 100.0;
    m_paper->resize(int(paper.width() * f) + 4, int(paper.height() * f) + 4);
    m_paper->update();
}

QImage TQnPreview::pageImage() const
{
    return m_paper->grab().toImage();
}

// ---------------------------------------------------------------------------------------------------------
// TPrevForm

TPrevForm::TPrevForm(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("PrevForm"));
    setWindowTitle(QStringLiteral("打印预览窗口"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(windowFlags() | Qt::Window | Qt::WindowStaysOnTopHint);
    resize(800, 575);
    currentPreview() = this;

    m_excel = new TQnExcel(this);
    m_preview = new TQnPreview(this);
    setCentralWidget(m_preview);
    m_status = new QStatusBar(this);
    m_status->setObjectName(QStringLiteral("sbarPrint"));
    setStatusBar(m_status);

    auto* bar = addToolBar(QStringLiteral("工具栏"));
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(32, 32));
    bar->setContextMenuPolicy(Qt::PreventContextMenu);
    addButton(QStringLiteral("sbtn100"), QStringLiteral("按1:1显示"), QStringLiteral("preview-zoom100"),
              &TPrevForm::zoom100);
    addButton(QStringLiteral("sbtnAll"), QStringLiteral("整页显示"), QStringLiteral("preview-fit"),
              &TPrevForm::zoomAll);
    addButton(QStringLiteral("sbtnFirst"), QStringLiteral("第一页"), QStringLiteral("preview-first"),
              &TPrevForm::firstPage);
    addButton(QStringLiteral("sbtnPre"), QStringLiteral("前一页"), QStringLiteral("preview-prior"),
              &TPrevForm::priorPage);
    addButton(QStringLiteral("sbtnNext"), QStringLiteral("下一页"), QStringLiteral("preview-next"),
              &TPrevForm::nextPage);
    addButton(QStringLiteral("sbtnEnd"), QStringLiteral("末一页"), QStringLiteral("preview-last"),
              &TPrevForm::lastPage);
    m_print = addButton(QStringLiteral("PrintSB"), QStringLiteral("F11 打印"), QStringLiteral("preview-print"),
                        &TPrevForm::print);
    addButton(QStringLiteral("Button_Pdf"), QStringLiteral("导出PDF"), QStringLiteral("preview-pdf"),
              &TPrevForm::exportPdf);
    QToolButton* setButton = addButton(QStringLiteral("Button_Set"), QStringLiteral("打印设置"),
                                       QStringLiteral("preview-print"), &TPrevForm::printerSetup);
    setButtonVisible(setButton, false);
    m_excelButton = addButton(QStringLiteral("Button_Excel"), QStringLiteral("导到Excel"),
                              QStringLiteral("preview-excel"), &TPrevForm::exportExcel);
    showExcelButton(false);
    m_close = addButton(QStringLiteral("CloseSB"), QStringLiteral("F4 关闭"), QStringLiteral("exit"), nullptr);
    connect(m_close, &QToolButton::clicked, this, &QWidget::close);

    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("PopupMenu1"));
    QAction* setup = m_popup->addAction(QStringLiteral("打印机设定"), this, &TPrevForm::printerSetup);
    setup->setObjectName(QStringLiteral("menu_PrinterSetup"));
    setup->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    m_popup->addSeparator();
    QAction* in = m_popup->addAction(QStringLiteral("放大"), this, &TPrevForm::zoomIn);
    in->setObjectName(QStringLiteral("menu_ZoomIn"));
    in->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Up));
    QAction* out = m_popup->addAction(QStringLiteral("缩小"), this, &TPrevForm::zoomOut);
    out->setObjectName(QStringLiteral("menu_ZoomOut"));
    out->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Down));
    for (QAction* a : m_popup->actions())
        addAction(a); // the shortcuts work anywhere in the window
    for (QWidget* w : {static_cast<QWidget*>(m_preview), static_cast<QWidget*>(m_print)}) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this,
                [this, w](const QPoint& pos) { m_popup->popup(w->mapToGlobal(pos)); });
    }

    connect(m_preview, &TQnPreview::pageAvailable, this, [this] {
        m_preview->setPageNumber(1);
        setStatus(QStringLiteral(","));
    });
    qApp->installEventFilter(this);
    setWindowState(Qt::WindowMaximized);
}

TPrevForm::~TPrevForm()
{
    qApp->removeEventFilter(this);
}

TPrevForm* TPrevForm::current()
{
    return currentPreview();
}

QToolButton* TPrevForm::addButton(const QString& name, const QString& caption, const QString& icon,
                                  void (TPrevForm::*slot)())
{
    auto* b = new QToolButton(this);
    b->setObjectName(name);
    b->setText(caption);
    b->setAccessibleName(caption);
    b->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(icon)));
    b->setIconSize(QSize(32, 32));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoRaise(true);
    if (slot)
        connect(b, &QToolButton::clicked, this, slot);
    findChild<QToolBar*>(QStringLiteral("ToolBar1"))->addWidget(b);
    return b;
}

QToolButton* TPrevForm::button(const QString& name) const
{
    return findChild<QToolButton*>(name);
}

void TPrevForm::showExcelButton(bool on)
{
    setButtonVisible(m_excelButton, on);
}

void TPrevForm::setButtonVisible(QToolButton* button, bool on)
{
    // A widget in a tool bar is shown and hidden through its action.
    if (auto* bar = findChild<QToolBar*>(QStringLiteral("ToolBar1")))
        for (QAction* a : bar->actions())
            if (bar->widgetForAction(a) == button)
                a->setVisible(on);
}

void TPrevForm::setReport(std::shared_ptr<TPageSource> report)
{
    m_preview->setSource(std::move(report));
}

QString TPrevForm::statusText() const
{
    return m_status->currentMessage();
}

void TPrevForm::setStatus(const QString& separator)
{
    m_status->showMessage(QStringLiteral("总共") + QString::number(m_preview->pageCount()) + QStringLiteral("页") +
                          separator + QStringLiteral("第") + QString::number(m_preview->pageNumber()) +
                          QStringLiteral("页"));
}

void TPrevForm::goTo(int page)
{
    m_preview->setPageNumber(page);
    setStatus(QStringLiteral(", "));
}

void TPrevForm::zoom100()
{
    m_preview->setZoom(100);
}

void TPrevForm::zoomAll()
{
    m_preview->zoomToFit();
}

void TPrevForm::firstPage()
{
    goTo(1);
}

void TPrevForm::priorPage()
{
    goTo(m_preview->pageNumber() - 1);
}

void TPrevForm::nextPage()
{
    goTo(m_preview->pageNumber() + 1);
}

void TPrevForm::lastPage()
{
    goTo(m_preview->pageCount());
}

void TPrevForm::zoomIn()
{
    m_preview->setZoom(m_preview->zoom() + 1);
}

void TPrevForm::zoomOut()
{
    m_preview->setZoom(m_preview->zoom() - 1);
}

void TPrevForm::printerSetup()
{
    // The pages have the layout of their report; choosing the printer happens in the print dialog.
    m_preview->viewport()->update();
    update();
}

void TPrevForm::setPrintDialogHook(std::function<bool(QPrinter&, int)> hook)
{
    printDialogHook() = std::move(hook);
}

void TPrevForm::print()
{
    TPageSource* source = m_preview->source();
    if (!source)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setDocName(source->title());
    printer.setPageLayout(
        QPageLayout(QPageSize(source->paperSize(), QPageSize::Millimeter), source->orientation(), QMarginsF()));
    printer.setFromTo(1, source->pageCount());
    bool go = false;
    if (printDialogHook()) {
        go = printDialogHook()(printer, source->pageCount());
    } else {
        QPrintDialog dialog(&printer, this);
        dialog.setMinMax(1, source->pageCount());
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
        go = dialog.exec() == QDialog::Accepted;
    }
    if (!go)
        return;
    int from = 0, to = 0;
    if (printer.printRange() == QPrinter::PageRange) {
        from = printer.fromPage();
        to = printer.toPage();
    } else if (printer.printRange() == QPrinter::CurrentPage) {
        from = to = m_preview->pageNumber();
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = source->render(&printer, from, to);
    QApplication::restoreOverrideCursor();
    if (!ok)
        ShowWarning(QStringLiteral("打印过程发生错误"));
}

void TPrevForm::exportPdf()
{
    TPageSource* source = m_preview->source();
    if (!source)
        return;
    const QString name = TQnExcel::fileNameFor(source->title().isEmpty() ? windowTitle() : source->title());
    const QString path = DesktopServices::getSaveFileName(this, QStringLiteral("导出PDF"),
                                                          QDir::home().filePath(name + QStringLiteral(".pdf")),
                                                          QStringLiteral("PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    QString error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = source->writePdf(path, &error);
    QApplication::restoreOverrideCursor();
    if (!ok)
        ShowWarning(QStringLiteral("PDF文件保存过程发生错误：") + error);
}

void TPrevForm::exportExcel()
{
    m_excel->setID(m_rowNumbers);
    m_excel->ExportToExcel(m_columns, m_headings, m_closings);
}

// The window sees its keys before its controls; Ctrl+P, Ctrl+Up and Ctrl+Down are the popup's shortcuts.
bool TPrevForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_F11:
            if (m_print->isEnabled())
                m_print->click();
            return true;
        case Qt::Key_F4:
        case Qt::Key_Escape:
            if (m_close->isEnabled())
                m_close->click();
            return true;
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TPrevForm::event(QEvent* event)
{
    // Activated, it goes back to the top left corner of the screen.
    if (event->type() == QEvent::WindowActivate && !(windowState() & Qt::WindowMaximized))
        move(screen() ? screen()->availableGeometry().topLeft() : QPoint(0, 0));
    return QMainWindow::event(event);
}
