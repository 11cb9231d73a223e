#include "ReportPageView.h"

#include "report/ReportControl.h"

#include <QMouseEvent>
#include <QPainter>

TReportPageView::TReportPageView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setObjectName(QStringLiteral("ReportPage"));
}

void TReportPageView::setReport(const TReportControl* report)
{
    m_report = report;
    resize(pageSize());
    update();
}

void TReportPageView::setZoom(int percent)
{
    m_zoom = qBound(10, percent, 1000);
    resize(pageSize());
    update();
}

QSize TReportPageView::pageSize() const
{
    const int w = m_report ? m_report->pageWidth() : TReportControl::DefaultPageWidth;
    const int h = m_report ? m_report->pageHeight() : TReportControl::DefaultPageHeight;
    return QSize(qMax(1, w * m_zoom / 100), qMax(1, h * m_zoom / 100));
}

void TReportPageView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (!m_report)
        return;
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(m_zoom / 100.0, m_zoom / 100.0);
    m_report->draw(p, false);
}

void TReportPageView::mousePressEvent(QMouseEvent* event)
{
    const QPointF pos = event->position() * 100.0 / m_zoom;
    emit clicked(pos.toPoint());
    QWidget::mousePressEvent(event);
}
