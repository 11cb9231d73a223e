#pragma once

#include <QWidget>

class TReportControl;

// Draws a report page (or a template) on screen at a zoom, on a white sheet. The preview shows finished
// pages in it; the designer will draw its template in it in edit mode.
class TReportPageView : public QWidget
{
    Q_OBJECT

public:
    explicit TReportPageView(QWidget* parent = nullptr);

    // Not owned; nullptr shows an empty sheet.
    void setReport(const TReportControl* report);
    const TReportControl* report() const { return m_report; }
    void setZoom(int percent);
    int zoom() const { return m_zoom; }
    // Size of the sheet at the zoom.
    QSize pageSize() const;
    QSize sizeHint() const override { return pageSize(); }

signals:
    void clicked(const QPoint& designPoint);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    const TReportControl* m_report = nullptr;
    int m_zoom = 100;
};
