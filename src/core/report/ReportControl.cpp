#include "ReportControl.h"

#include "ReportFont.h"

#include <QPainter>

TReportControl::TReportControl(QObject* parent) : QObject(parent)
{
    ReportFonts::installSubstitutions();
    setMarginsMm(m_leftMarginMm, m_topMarginMm, m_rightMarginMm, m_bottomMarginMm);
}

TReportControl::~TReportControl()
{
    clear();
}

int TReportControl::marginPixels(int mm)
{
    // mm × DPI / 25 + 0.5, truncated: the rule templates were made with (inch taken as 25 mm).
    return int(mm * double(ReportFonts::ScreenDpi) / 25.0 + 0.5);
}

void TReportControl::setPageSize(int width, int height)
{
    m_pageWidth = width;
    m_pageHeight = height;
}

void TReportControl::setMarginsMm(int left, int top, int right, int bottom)
{
    m_leftMarginMm = left;
    m_topMarginMm = top;
    m_rightMarginMm = right;
    m_bottomMarginMm = bottom;
    m_leftMargin = marginPixels(left);
    m_topMargin = marginPixels(top);
    m_rightMargin = marginPixels(right);
    m_bottomMargin = marginPixels(bottom);
}

void TReportControl::setMargins(int leftPx, int topPx, int rightPx, int bottomPx, int leftMm, int topMm, int rightMm,
                                int bottomMm)
{
    m_leftMargin = leftPx;
    m_topMargin = topPx;
    m_rightMargin = rightPx;
    m_bottomMargin = bottomPx;
    m_leftMarginMm = leftMm;
    m_topMarginMm = topMm;
    m_rightMarginMm = rightMm;
    m_bottomMarginMm = bottomMm;
}

void TReportControl::setReserved(quint8 b, qint32 i1, qint32 i2)
{
    m_reservedByte = b;
    m_reservedInt1 = i1;
    m_reservedInt2 = i2;
}

void TReportControl::setPaper(int size, int orientation, int length, int width)
{
    m_paperSize = size;
    m_orientation = orientation;
    m_paperLength = length;
    m_paperWidth = width;
}

void TReportControl::copyPageFrom(const TReportControl& o)
{
    m_pageWidth = o.m_pageWidth;
    m_pageHeight = o.m_pageHeight;
    setMargins(o.m_leftMargin, o.m_topMargin, o.m_rightMargin, o.m_bottomMargin, o.m_leftMarginMm, o.m_topMarginMm,
               o.m_rightMarginMm, o.m_bottomMarginMm);
    setReserved(o.m_reservedByte, o.m_reservedInt1, o.m_reservedInt2);
    setPaper(o.m_paperSize, o.m_orientation, o.m_paperLength, o.m_paperWidth);
    m_dataLineIndex = o.m_dataLineIndex;
}

void TReportControl::setCreportEdit(bool on)
{
    if (m_editMode == on)
        return;
    m_editMode = on;
    emit repaintNeeded(QRect(0, 0, m_pageWidth, m_pageHeight));
}

int TReportControl::indexOf(const TReportLine* line) const
{
    for (size_t i = 0; i < m_lines.size(); ++i)
        if (m_lines[i].get() == line)
            return int(i);
    return -1;
}

TReportLine* TReportControl::appendNewLine()
{
    return insertNewLine(lineCount());
}

TReportLine* TReportControl::insertNewLine(int at)
{
    at = qBound(0, at, lineCount());
    auto line = std::make_unique<TReportLine>(this);
    TReportLine* raw = line.get();
    m_lines.insert(m_lines.begin() + at, std::move(line));
    for (int i = at; i < lineCount(); ++i)
        m_lines[size_t(i)]->m_index = i;
    return raw;
}

TReportLine* TReportControl::adoptLine(std::unique_ptr<TReportLine> line)
{
    line->m_control = this;
    line->m_index = lineCount();
    m_lines.push_back(std::move(line));
    return m_lines.back().get();
}

std::unique_ptr<TReportLine> TReportControl::takeLastLine()
{
    if (m_lines.empty())
        return {};
    std::unique_ptr<TReportLine> line = std::move(m_lines.back());
    m_lines.pop_back();
    for (auto& c : line->m_cells) {
        unlinkCell(c.get());
        forgetCell(c.get());
    }
    return line;
}

void TReportControl::clear()
{
    m_selection.clear();
    m_focusCell = nullptr;
    // Merge links point across lines; cut them before the cells go.
    for (auto& l : m_lines)
        for (auto& c : l->m_cells) {
            c->m_ownerCell = nullptr;
            c->m_cellsList.clear();
        }
    m_lines.clear();
}

void TReportControl::removeLineAt(int index)
{
    TReportLine* line = m_lines[size_t(index)].get();
    for (auto& c : line->m_cells) {
        unlinkCell(c.get());
        forgetCell(c.get());
    }
    m_lines.erase(m_lines.begin() + index);
    for (int i = index; i < lineCount(); ++i)
        m_lines[size_t(i)]->m_index = i;
}

void TReportControl::dissolveMerge(TReportCell* owner)
{
    for (TReportCell* c : owner->m_cellsList)
        c->m_ownerCell = nullptr;
    owner->m_cellsList.clear();
}

void TReportControl::unlinkCell(TReportCell* cell)
{
    if (cell->m_ownerCell) {
        cell->m_ownerCell->m_cellsList.removeAll(cell);
        cell->m_ownerCell = nullptr;
    }
    dissolveMerge(cell);
}

void TReportControl::forgetCell(TReportCell* cell)
{
    m_selection.removeAll(cell);
    if (m_focusCell == cell)
        m_focusCell = nullptr;
}

void TReportControl::layout()
{
    // Heights first (owners measure their merged text here), then positions from the margins down.
    for (size_t li = 0; li < m_lines.size(); ++li) {
        TReportLine* line = m_lines[li].get();
        line->m_index = int(li);
        line->updateHeights();
        int x = m_leftMargin;
        for (size_t ci = 0; ci < line->m_cells.size(); ++ci) {
            TReportCell* c = line->m_cells[ci].get();
            c->m_index = int(ci);
            c->m_left = x;
            x += c->m_width;
        }
    }
    int top = m_topMargin;
    for (auto& l : m_lines) {
        l->m_top = top;
        const int h = l->height();
        const int right = l->m_cells.empty() ? m_leftMargin : l->m_cells.back()->right();
        l->m_lineRect = {m_leftMargin, top, right, top + h};
        top += h;
    }
    for (auto& l : m_lines) {
        for (auto& c : l->m_cells) {
            int covered = l->height();
            for (const TReportCell* m : c->m_cellsList)
                covered = qMax(covered, m->m_line->bottom() - l->m_top);
            c->computeRects(l->m_top, l->height(), covered);
        }
    }
}

int TReportControl::contentHeight() const
{
    int h = 0;
    for (auto& l : m_lines)
        h += l->height();
    return h;
}

void TReportControl::drawLines(QPainter& p, bool editMode, bool pictures) const
{
    for (auto& l : m_lines)
        for (auto& c : l->m_cells)
            c->drawPart(p, TReportCell::Part::Background, editMode);
    if (pictures)
        for (auto& l : m_lines)
            for (auto& c : l->m_cells)
                c->drawPicture(p);
    if (editMode)
        for (auto& l : m_lines)
            for (auto& c : l->m_cells)
                c->drawPart(p, TReportCell::Part::Guides, editMode);
    for (auto& l : m_lines)
        for (auto& c : l->m_cells)
            c->drawPart(p, TReportCell::Part::Content, editMode);
}

void TReportControl::draw(QPainter& p, bool printing) const
{
    drawLines(p, m_editMode && !printing, true);
}

void TReportControl::drawPrinted(QPainter& p) const
{
    drawLines(p, false, true);
}

TReportCell* TReportControl::cellAt(const QPoint& pt) const
{
    for (auto& l : m_lines)
        for (auto& c : l->m_cells) {
            if (c->isMerged())
                continue;
            const TReportRect& r = c->m_cellRect;
            if (pt.x() >= r.left && pt.x() < r.right && pt.y() >= r.top && pt.y() < r.bottom)
                return c.get();
        }
    return nullptr;
}

TReportControl::Zone TReportControl::hitTest(const QPoint& pt, TReportCell** cellOut) const
{
    // Edges first: the 3 pixels around an edge belong to it even when they lie in the neighbour.
    for (auto& l : m_lines)
        for (auto& c : l->m_cells) {
            if (c->isMerged())
                continue;
            const TReportRect& r = c->m_cellRect;
            const bool inY = pt.y() >= r.top && pt.y() < r.bottom;
            const bool inX = pt.x() >= r.left && pt.x() < r.right;
            if (inY && qAbs(pt.x() - r.right) <= 3) {
                if (cellOut)
                    *cellOut = c.get();
                return Zone::RightEdge;
            }
            if (inX && qAbs(pt.y() - r.bottom) <= 3) {
                if (cellOut)
                    *cellOut = c.get();
                return Zone::BottomEdge;
            }
        }
    TReportCell* c = cellAt(pt);
    if (cellOut)
        *cellOut = c;
    return c ? Zone::Text : Zone::None;
}

void TReportControl::selectCell(TReportCell* cell, bool add)
{
    if (!add)
        m_selection.clear();
    if (cell && !m_selection.contains(cell))
        m_selection.append(cell);
    emit repaintNeeded(QRect(0, 0, m_pageWidth, m_pageHeight));
}

void TReportControl::unselectCell(TReportCell* cell)
{
    m_selection.removeAll(cell);
    emit repaintNeeded(QRect(0, 0, m_pageWidth, m_pageHeight));
}

void TReportControl::clearSelection()
{
    m_selection.clear();
    emit repaintNeeded(QRect(0, 0, m_pageWidth, m_pageHeight));
}

void TReportControl::selectRect(const QRect& rect)
{
    for (auto& l : m_lines)
        for (auto& c : l->m_cells)
            if (!c->isMerged() && c->m_cellRect.toQRect().intersects(rect) && !m_selection.contains(c.get()))
                m_selection.append(c.get());
    emit repaintNeeded(QRect(0, 0, m_pageWidth, m_pageHeight));
}

void TReportControl::setFocusCell(TReportCell* cell)
{
    m_focusCell = cell;
}

void TReportControl::editDone()
{
    layout();
    emit repaintNeeded(QRect(0, 0, m_pageWidth, qMax(m_pageHeight, m_topMargin + contentHeight())));
}
