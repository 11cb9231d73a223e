#include "ReportCell.h"

#include "ReportControl.h"
#include "ReportLine.h"
#include "ReportText.h"
#include "common/Gbk.h"

#include <QBuffer>
#include <QPainter>

QColor colorFromWin(quint32 c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

quint32 colorToWin(const QColor& c)
{
    return quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16);
}

TReportCell::TReportCell(TReportLine* line) : m_line(line) {}

TReportControl* TReportCell::control() const
{
    return m_line ? m_line->control() : nullptr;
}

void TReportCell::setOwnerCell(TReportCell* owner)
{
    if (owner == this || (owner && owner->m_ownerCell) || owner == m_ownerCell)
        return;
    if (m_ownerCell)
        m_ownerCell->m_cellsList.removeAll(this);
    m_ownerCell = owner;
    if (owner)
        owner->m_cellsList.append(this);
}

void TReportCell::setText(const QString& text)
{
    m_text = Gbk::byteLength(text) > MaxCellTextBytes ? Gbk::truncated(text, MaxCellTextBytes) : text;
}

void TReportCell::setDisplayFormat(const QString& format)
{
    m_displayFormat = Gbk::byteLength(format) > MaxCellTextBytes ? Gbk::truncated(format, MaxCellTextBytes) : format;
}

void TReportCell::setLogFont(const TLogFont& font)
{
    m_logFont = font;
    m_font.reset();
}

void TReportCell::setFont(const QFont& font)
{
    m_logFont.assign(font);
    m_font.reset();
}

QFont TReportCell::font() const
{
    if (!m_font)
        m_font = m_logFont.toQFont();
    return *m_font;
}

void TReportCell::setBitmap(const QByteArray& bmp, quint8 flag)
{
    m_bitmap = bmp;
    m_pictureFlag = bmp.isEmpty() ? 0 : (flag ? flag : 1);
    m_image.reset();
}

void TReportCell::setPicture(const QImage& image)
{
    if (image.isNull()) {
        clearPicture();
        return;
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // Bitmaps of 24 bits are what every reader of the stream understands.
    image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB888).save(&buffer, "BMP");
    setBitmap(bytes, 1);
}

void TReportCell::clearPicture()
{
    m_bitmap.clear();
    m_pictureFlag = 0;
    m_image.reset();
}

QImage TReportCell::picture() const
{
    if (!hasPicture())
        return {};
    if (!m_image)
        m_image = QImage::fromData(m_bitmap, "BMP");
    return *m_image;
}

void TReportCell::copyFormatFrom(const TReportCell& o)
{
    m_textMargin = o.m_textMargin;
    m_width = o.m_width;
    m_setHeight = o.m_setHeight;
    for (int i = 0; i < 4; ++i)
        m_borders[i] = o.m_borders[i];
    m_diagonal = o.m_diagonal;
    m_textColor = o.m_textColor;
    m_backColor = o.m_backColor;
    m_horzAlign = o.m_horzAlign;
    m_vertAlign = o.m_vertAlign;
    m_displayFormat = o.m_displayFormat;
    m_logFont = o.m_logFont;
    m_font = o.m_font;
}

void TReportCell::copyFrom(const TReportCell& o)
{
    copyFormatFrom(o);
    m_text = o.m_text;
    m_pictureFlag = o.m_pictureFlag;
    m_bitmap = o.m_bitmap;
    m_image = o.m_image;
    m_left = o.m_left;
    m_requiredHeight = o.m_requiredHeight;
    m_mergedTextHeight = o.m_mergedTextHeight;
}

int TReportCell::measureText(const QString& textIn) const
{
    QString text = textIn.isEmpty() ? QStringLiteral("汉") : textIn;
    const QFont f = font();
    const int width = m_width - 2 * m_textMargin;
    // A closing line break leaves one more (empty) line of the height of "A".
    const bool closingBreak = text.endsWith(QStringLiteral("\r\n"));
    if (closingBreak)
        text.chop(2);
    int h = ReportText::measureHeight(f, text, width);
    if (closingBreak)
        h += ReportText::lineHeight(f);
    if (h <= 0)
        h = 16;
    return h + 2 + m_borders[1].width + m_borders[3].width;
}

void TReportCell::computeRequiredHeight()
{
    const int fixed = m_borders[1].width + m_borders[3].width + 18;
    if (isOwner()) {
        m_requiredHeight = fixed;
        m_mergedTextHeight = measureText(m_text);
    } else if (isMerged() || 2 * m_textMargin >= m_width) {
        m_requiredHeight = fixed;
    } else {
        m_requiredHeight = measureText(m_text);
    }
}

void TReportCell::computeRects(int lineTop, int lineHeight, int coveredHeight)
{
    const int height = isOwner() ? coveredHeight : lineHeight;
    m_cellRect = {m_left, lineTop, m_left + m_width, lineTop + height};
    const int needed = isOwner() ? m_mergedTextHeight : m_requiredHeight;
    int top = lineTop + m_borders[1].width + 1;
    int bottom = lineTop + needed - m_borders[3].width - 1;
    const int free = height - needed;
    if (m_vertAlign == 1 && free > 0) {
        const int shift = (free + 1) / 2; // half, rounded half up
        top += shift;
        bottom += shift;
    } else if (m_vertAlign == 2 && free > 0) {
        top += free;
        bottom += free;
    }
    m_textRect = {m_left + m_textMargin + 1, top, m_left + m_width - m_textMargin - 1, bottom};
}

namespace {

int middle(int a, int b)
{
    // (a + b) / 2 rounded half up, also for negative sums.
    const int s = a + b;
    return s >= 0 ? (s + 1) / 2 : -((-s) / 2);
}

} // namespace

void TReportCell::draw(QPainter& p, bool editMode) const
{
    drawPart(p, Part::Background, editMode);
    drawPart(p, Part::Guides, editMode);
    drawPart(p, Part::Content, editMode);
}

void TReportCell::drawPart(QPainter& p, Part part, bool editMode) const
{
    if (isMerged())
        return;
    const QRect r = m_cellRect.toQRect();
    const int l = m_cellRect.left, t = m_cellRect.top, rt = m_cellRect.right, b = m_cellRect.bottom;
    const QPoint from[4] = {{l, t}, {l, t}, {rt, t}, {l, b}};
    const QPoint to[4] = {{l, b}, {rt, t}, {rt, b}, {rt, b}};
    switch (part) {
    case Part::Background:
        if (m_backColor != NoFill)
            p.fillRect(r, colorFromWin(m_backColor));
        return;
    case Part::Guides:
        if (!editMode)
            return;
        p.setPen(QPen(QColor(0xC0, 0xC0, 0xC0), 1));
        for (int e = 0; e < 4; ++e)
            if (!m_borders[e].isOn() || m_borders[e].width <= 0)
                p.drawLine(from[e], to[e]);
        return;
    case Part::Content:
        break;
    }
    for (int e = 0; e < 4; ++e) {
        if (!m_borders[e].isOn() || m_borders[e].width <= 0)
            continue;
        QPen pen(Qt::black);
        pen.setWidth(m_borders[e].width);
        pen.setCapStyle(Qt::SquareCap);
        p.setPen(pen);
        p.drawLine(from[e], to[e]);
    }

    if (m_diagonal) {
        p.setPen(QPen(Qt::black, 1));
        const int x0 = l + 1, y0 = t + 1, x1 = rt - 1, y1 = b - 1;
        if (m_diagonal & CellDiagonal::Left1)
            p.drawLine(x0, y0, x1, y1);
        if (m_diagonal & CellDiagonal::Left2)
            p.drawLine(x0, y0, x1, middle(y0, y1));
        if (m_diagonal & CellDiagonal::Left3)
            p.drawLine(x0, y0, middle(x0, x1), y1);
        if (m_diagonal & CellDiagonal::Right1)
            p.drawLine(x1, y0, x0, y1);
        if (m_diagonal & CellDiagonal::Right2)
            p.drawLine(x1, y0, x0, middle(y0, y1));
        if (m_diagonal & CellDiagonal::Right3)
            p.drawLine(x1, y0, middle(x0, x1), y1);
    }

    if (!m_text.isEmpty() && m_textRect.width() > 0) {
        p.save();
        p.setClipRect(r, Qt::IntersectClip);
        p.setPen(colorFromWin(m_textColor));
        // Text wraps in the width the layout measured it in (the text rectangle keeps one more pixel clear
        // on each side), so the lines drawn are the lines counted.
        const QRect tr = m_textRect.toQRect().adjusted(-1, 0, 1, 0);
        ReportText::draw(p, font(), tr, m_horzAlign, m_text);
        p.restore();
    }
}

void TReportCell::drawPicture(QPainter& p) const
{
    if (isMerged() || !hasPicture())
        return;
    const QImage img = picture();
    if (img.isNull())
        return;
    const QRect r = m_cellRect.toQRect();
    const int x = r.left() + (r.width() - img.width()) / 2;
    int y = r.top() + 3;
    const int centred = r.top() + (r.height() - img.height()) / 2;
    if (centred < y)
        y = centred;
    p.save();
    p.setClipRect(r, Qt::IntersectClip);
    p.drawImage(QPoint(x, y), img);
    p.restore();
}
