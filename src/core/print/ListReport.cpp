#include "ListReport.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <cmath>

namespace {

// Page geometry in tenths of a millimetre.
constexpr double Margin = 150;
constexpr double TitleTop = 150;
constexpr double TitleHeight = 100;
constexpr double HeaderTop = 265;
constexpr double HeaderHeight = 60;
constexpr double HeadingTop = 340;
constexpr double RowHeight = 65;
constexpr double FooterHeight = 50;
constexpr double CellPadding = 15;

QFont sized(QFont font, int tenthsMm, bool bold = false)
{
    font.setPixelSize(tenthsMm);
    font.setBold(bold);
    return font;
}

void cell(QPainter* p, const QRectF& r, const QString& text, Qt::Alignment align)
{
    p->drawRect(r);
    const QRectF inner = r.adjusted(CellPadding, 0, -CellPadding, 0);
    const QFontMetricsF fm(p->font());
    p->drawText(inner, int(align) | Qt::TextSingleLine, fm.elidedText(text, Qt::ElideRight, inner.width()));
}

} // namespace

void TPageSource::paintPageInto(QPainter* painter, int page, const QRectF& target) const
{
    const QSizeF paper = paperSize() * 10.0;
    painter->save();
    painter->translate(target.topLeft());
    painter->scale(target.width() / paper.width(), target.height() / paper.height());
    painter->fillRect(QRectF(QPointF(0, 0), paper), Qt::white);
    paintPage(painter, page);
    painter->restore();
}

bool TPageSource::render(QPagedPaintDevice* device, int from, int to) const
{
    const int pages = pageCount();
    if (from < 1)
        from = 1;
    if (to < 1 || to > pages)
        to = pages;
    QPainter painter;
    if (!painter.begin(device))
        return false;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (int page = from; page <= to; ++page) {
        if (page > from && !device->newPage()) {
            painter.end();
            return false;
        }
        // The whole paper: the device's page layout has no margins.
        const QRect full = painter.viewport();
        paintPageInto(&painter, page, QRectF(full));
    }
    return painter.end();
}

bool TPageSource::writePdf(const QString& path, QString* error) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    {
        QPdfWriter pdf(&file);
        pdf.setTitle(title());
        pdf.setCreator(QStringLiteral("vuzazo"));
        pdf.setResolution(600);
        pdf.setPageLayout(QPageLayout(QPageSize(paperSize(), QPageSize::Millimeter), orientation(), QMarginsF()));
        if (!render(&pdf)) {
            file.cancelWriting();
            if (error)
                *error = QStringLiteral("PDF写入过程发生错误");
            return false;
        }
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

TListReport::TListReport() = default;

void TListReport::setRows(const QList<QStringList>& rows)
{
    m_rows = rows;
    m_count = nullptr;
    m_row = nullptr;
}

void TListReport::setRowSource(std::function<int()> count, std::function<QStringList(int)> row)
{
    m_rows.clear();
    m_count = std::move(count);
    m_row = std::move(row);
}

int TListReport::rowCount() const
{
    return m_count ? m_count() : int(m_rows.size());
}

QStringList TListReport::row(int i) const
{
    if (m_row)
        return m_row(i);
    return i >= 0 && i < m_rows.size() ? m_rows.at(i) : QStringList();
}

int TListReport::rowsPerPage() const
{
    const double space = paperSize().height() * 10 - Margin - FooterHeight - 20 - (HeadingTop + RowHeight);
    const int fit = int(std::floor(space / RowHeight));
    return qMax(1, qMin(m_rowsPerPage > 0 ? m_rowsPerPage : fit, fit));
}

int TListReport::pageCount() const
{
    const int rows = rowCount();
    const int per = rowsPerPage();
    return qMax(1, (rows + per - 1) / per);
}

QString TListReport::footerText(int page, int pages)
{
    return QStringLiteral("第 %1 页 共 %2 页").arg(page).arg(pages);
}

QString TListReport::dateText() const
{
    return QStringLiteral("打印日期:") + m_printDate;
}

QList<double> TListReport::columnWidths() const
{
    QList<double> w;
    if (m_rowNumbers)
        w << 15;
    for (const Column& c : m_columns)
        w << qMax(5.0, c.width);
    double total = 0;
    for (double x : w)
        total += x;
    const double printable = paperSize().width() * 10 - 2 * Margin;
    for (double& x : w)
        x = total > 0 ? x * printable / total : 0;
    return w;
}

void TListReport::paintPage(QPainter* p, int page) const
{
    const double width = paperSize().width() * 10;
    const double height = paperSize().height() * 10;
    const double printable = width - 2 * Margin;
    const int pages = pageCount();
    p->save();
    p->setPen(QPen(Qt::black, 3));
    p->setBrush(Qt::NoBrush);

    p->setFont(sized(m_font, 60, true));
    p->drawText(QRectF(Margin, TitleTop, printable, TitleHeight), Qt::AlignCenter, m_title);

    p->setFont(sized(m_font, 35));
    const QRectF header(Margin, HeaderTop, printable, HeaderHeight);
    p->drawText(header, Qt::AlignLeft | Qt::AlignVCenter, m_organisation);
    p->drawText(header, Qt::AlignRight | Qt::AlignVCenter, dateText());

    const QList<double> widths = columnWidths();
    QStringList headings;
    QList<Qt::Alignment> aligns;
    if (m_rowNumbers) {
        headings << QStringLiteral("序号");
        aligns << (Qt::AlignRight | Qt::AlignVCenter);
    }
    for (const Column& c : m_columns) {
        headings << c.caption;
        aligns << c.alignment;
    }

    p->setFont(sized(m_font, 38, true));
    double x = Margin;
    for (int c = 0; c < headings.size(); ++c) {
        cell(p, QRectF(x, HeadingTop, widths.at(c), RowHeight), headings.at(c), Qt::AlignCenter);
        x += widths.at(c);
    }

    p->setFont(sized(m_font, 35));
    const int per = rowsPerPage();
    const int first = (page - 1) * per;
    const int last = qMin(rowCount(), first + per);
    double y = HeadingTop + RowHeight;
    for (int r = first; r < last; ++r) {
        QStringList texts = row(r);
        if (m_figureSpaces)
            for (QString& t : texts)
                t.replace(QLatin1Char(' '), QChar(0x2007));
        if (m_rowNumbers)
            texts.prepend(QString::number(r + 1));
        x = Margin;
        for (int c = 0; c < headings.size(); ++c) {
            cell(p, QRectF(x, y, widths.at(c), RowHeight), texts.value(c), aligns.at(c));
            x += widths.at(c);
        }
        y += RowHeight;
    }

    p->setFont(sized(m_font, 35));
    p->drawText(QRectF(Margin, height - Margin - FooterHeight, printable, FooterHeight), Qt::AlignCenter,
                footerText(page, pages));
    p->restore();
}
