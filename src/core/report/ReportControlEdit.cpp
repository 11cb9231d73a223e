// The editing operations of the designer. Each one checks its precondition, changes the lines, then runs
// the layout pass and asks for a repaint.
#include "ReportControl.h"

#include "common/MessageSink.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <map>

namespace {

// The cell that copies src in a new line, with src's format.
void copyCellFormat(TReportCell* to, const TReportCell* from)
{
    to->copyFormatFrom(*from);
}

} // namespace

bool TReportControl::newTable(int columns, int rows)
{
    if (lineCount() > 0) {
        ShowWarning(QStringLiteral("关闭正在编辑的报表后，才能建立新表格。"));
        return false;
    }
    if (columns < 1 || rows < 1)
        return false;
    const int avail = m_pageWidth - m_leftMargin - m_rightMargin;
    // Equal widths, the division rounded half up.
    const int width = int((2LL * avail + columns) / (2LL * columns));
    TReportLine* first = appendNewLine();
    for (int c = 0; c < columns; ++c)
        first->appendCell()->setWidth(width);
    for (int r = 1; r < rows; ++r) {
        TReportLine* line = appendNewLine();
        for (int c = 0; c < columns; ++c)
            copyCellFormat(line->appendCell(), first->cell(c));
    }
    editDone();
    return true;
}

bool TReportControl::addLine()
{
    if (m_selection.size() > 1 || m_lines.empty())
        return false;
    TReportLine* last = m_lines.back().get();
    TReportLine* line = appendNewLine();
    for (int i = 0; i < last->cellCount(); ++i) {
        TReportCell* src = last->cell(i);
        TReportCell* cell = line->appendCell();
        copyCellFormat(cell, src);
        if (TReportCell* owner = src->m_ownerCell) {
            cell->m_ownerCell = owner;
            owner->m_cellsList.append(cell);
        }
    }
    editDone();
    return true;
}

bool TReportControl::insertLine()
{
    if (m_selection.isEmpty())
        return false;
    TReportLine* srcLine = m_selection.first()->line();
    const int at = indexOf(srcLine);
    if (at < 0)
        return false;
    TReportLine* line = insertNewLine(at);
    for (int i = 0; i < srcLine->cellCount(); ++i) {
        TReportCell* src = srcLine->cell(i);
        TReportCell* cell = line->appendCell();
        copyCellFormat(cell, src);
        if (TReportCell* owner = src->m_ownerCell) {
            cell->m_ownerCell = owner;
            const qsizetype pos = owner->m_cellsList.indexOf(src);
            owner->m_cellsList.insert(pos < 0 ? owner->m_cellsList.size() : pos, cell);
        }
    }
    editDone();
    return true;
}

bool TReportControl::deleteLines()
{
    if (m_selection.isEmpty())
        return false;
    QSet<TReportLine*> doomed;
    for (TReportCell* c : std::as_const(m_selection))
        doomed.insert(c->line());
    // Whole merges that touch a removed line are dissolved, so no cell keeps a link into it.
    for (TReportLine* l : std::as_const(doomed))
        for (auto& c : l->m_cells) {
            if (c->m_ownerCell)
                dissolveMerge(c->m_ownerCell);
            dissolveMerge(c.get());
        }
    for (int i = lineCount() - 1; i >= 0; --i)
        if (doomed.contains(m_lines[size_t(i)].get()))
            removeLineAt(i);
    editDone();
    return true;
}

bool TReportControl::addCell()
{
    if (m_selection.size() != 1)
        return false;
    TReportLine* line = m_selection.first()->line();
    TReportCell* last = line->cell(line->cellCount() - 1);
    copyCellFormat(line->appendCell(), last);
    editDone();
    return true;
}

bool TReportControl::insertCell()
{
    if (m_selection.size() != 1)
        return false;
    TReportCell* src = m_selection.first();
    TReportLine* line = src->line();
    copyCellFormat(line->insertCell(line->indexOf(src)), src);
    editDone();
    return true;
}

bool TReportControl::deleteCells()
{
    if (m_selection.isEmpty())
        return false;
    QSet<TReportCell*> doomed;
    for (TReportCell* c : std::as_const(m_selection)) {
        doomed.insert(c);
        for (TReportCell* m : std::as_const(c->m_cellsList))
            doomed.insert(m);
    }
    for (TReportCell* c : std::as_const(doomed)) {
        unlinkCell(c);
        forgetCell(c);
    }
    for (TReportCell* c : std::as_const(doomed))
        c->line()->removeCell(c);
    for (int i = lineCount() - 1; i >= 0; --i)
        if (m_lines[size_t(i)]->cellCount() == 0)
            removeLineAt(i);
    editDone();
    return true;
}

bool TReportControl::mergeCells()
{
    if (m_selection.size() < 2)
        return false;
    QList<TReportCell*> cells = m_selection;
    for (TReportCell* c : std::as_const(m_selection))
        for (TReportCell* m : std::as_const(c->m_cellsList))
            if (!cells.contains(m))
                cells.append(m);
    const QSet<TReportCell*> chosen(cells.begin(), cells.end());
    // A cell that belongs to a merge whose owner is not chosen would end with two owners.
    for (TReportCell* c : cells)
        if (c->m_ownerCell && !chosen.contains(c->m_ownerCell))
            return false;

    std::map<int, QList<TReportCell*>> byLine;
    for (TReportCell* c : cells)
        byLine[indexOf(c->line())].append(c);
    int left = 0, right = 0, previousLine = -1;
    bool firstGroup = true;
    for (auto& [li, group] : byLine) {
        std::sort(group.begin(), group.end(), [](auto* a, auto* b) { return a->m_index < b->m_index; });
        // The chosen cells of a line must sit side by side, and the lines one below the other.
        for (int i = 1; i < group.size(); ++i)
            if (group[i]->m_index != group[i - 1]->m_index + 1)
                return false;
        if (!firstGroup && li != previousLine + 1)
            return false;
        const int l = group.first()->left();
        const int r = group.last()->right();
        if (firstGroup) {
            left = l;
            right = r;
        } else if (l != left || r != right) {
            return false;
        }
        firstGroup = false;
        previousLine = li;
    }

    QList<TReportCell*> firsts;
    for (auto& [li, group] : byLine) {
        TReportCell* first = group.first();
        int width = 0;
        QString text = first->m_text;
        for (TReportCell* c : std::as_const(group)) {
            width += c->m_width;
            if (c != first)
                text += c->m_text;
        }
        for (TReportCell* c : std::as_const(group)) {
            c->m_ownerCell = nullptr;
            c->m_cellsList.clear();
        }
        for (int i = 1; i < group.size(); ++i) {
            forgetCell(group[i]);
            group[i]->line()->removeCell(group[i]);
        }
        first->m_width = width;
        first->setText(text);
        firsts.append(first);
    }
    TReportCell* owner = firsts.first();
    for (int i = 1; i < firsts.size(); ++i) {
        TReportCell* c = firsts[i];
        owner->setText(owner->m_text + c->m_text);
        c->m_text.clear();
        c->m_ownerCell = owner;
        owner->m_cellsList.append(c);
    }
    m_selection = {owner};
    m_focusCell = owner;
    editDone();
    return true;
}

bool TReportControl::splitMergedCell()
{
    if (m_selection.size() != 1 || !m_selection.first()->isOwner())
        return false;
    dissolveMerge(m_selection.first());
    editDone();
    return true;
}

bool TReportControl::splitCell(int pieces)
{
    if (m_selection.size() != 1)
        return false;
    TReportCell* cell = m_selection.first();
    if (cell->isMerged())
        return false;
    const int w = cell->m_width;
    const int n = qMin(pieces, int(std::lround(w / 12.0)));
    if (n < 2)
        return false;
    QList<TReportCell*> column = {cell};
    column += cell->m_cellsList;
    // pieceCells[k] are the k-th pieces of the column's cells, top to bottom.
    QList<QList<TReportCell*>> pieceCells(n);
    for (TReportCell* c : std::as_const(column)) {
        const int cw = c->m_width;
        const int each = cw / n;
        TReportLine* line = c->line();
        int at = line->indexOf(c);
        c->m_width = each;
        pieceCells[0].append(c);
        for (int k = 1; k < n; ++k) {
            TReportCell* piece = line->insertCell(at + k);
            piece->copyFormatFrom(*c);
            piece->m_width = k == n - 1 ? each + cw % n : each;
            pieceCells[k].append(piece);
        }
    }
    // Piece k of the owner covers piece k of each cell below.
    for (int k = 1; k < n; ++k) {
        TReportCell* owner = pieceCells[k].first();
        for (int i = 1; i < pieceCells[k].size(); ++i) {
            pieceCells[k][i]->m_ownerCell = owner;
            owner->m_cellsList.append(pieceCells[k][i]);
        }
    }
    editDone();
    return true;
}

bool TReportControl::setBorders(const TCellBorder& left, const TCellBorder& top, const TCellBorder& right,
                                const TCellBorder& bottom)
{
    if (m_selection.isEmpty())
        return false;
    for (TReportCell* c : std::as_const(m_selection)) {
        c->m_borders[0] = left;
        c->m_borders[1] = top;
        c->m_borders[2] = right;
        c->m_borders[3] = bottom;
    }
    editDone();
    return true;
}

bool TReportControl::setDiagonal(quint32 flags)
{
    if (m_selection.isEmpty())
        return false;
    for (TReportCell* c : std::as_const(m_selection))
        c->m_diagonal = flags;
    editDone();
    return true;
}

bool TReportControl::setColors(quint32 textColor, quint32 backColor)
{
    if (m_selection.isEmpty())
        return false;
    for (TReportCell* c : std::as_const(m_selection)) {
        c->m_textColor = textColor;
        c->m_backColor = backColor;
    }
    editDone();
    return true;
}

bool TReportControl::setCellFont(const QFont& font, std::optional<quint32> textColor)
{
    if (m_selection.isEmpty())
        return false;
    for (TReportCell* c : std::as_const(m_selection)) {
        c->setFont(font);
        if (textColor)
            c->m_textColor = *textColor;
    }
    editDone();
    return true;
}

bool TReportControl::setAlignment(int horz, int vert)
{
    if (m_selection.isEmpty())
        return false;
    for (TReportCell* c : std::as_const(m_selection)) {
        c->m_horzAlign = qBound(0, horz, 2);
        c->m_vertAlign = qBound(0, vert, 2);
    }
    editDone();
    return true;
}

bool TReportControl::setDisplayFormat(const QString& format)
{
    if (m_selection.isEmpty())
        return false;
    for (TReportCell* c : std::as_const(m_selection))
        c->setDisplayFormat(format);
    editDone();
    return true;
}

bool TReportControl::setCellText(const QString& text)
{
    if (m_selection.isEmpty())
        return false;
    for (TReportCell* c : std::as_const(m_selection))
        c->setText(text);
    editDone();
    return true;
}

bool TReportControl::setPicture(const QImage& image)
{
    TReportCell* c = m_focusCell ? m_focusCell : (m_selection.isEmpty() ? nullptr : m_selection.first());
    if (!c || image.isNull())
        return false;
    c->setPicture(image);
    editDone();
    return true;
}

bool TReportControl::clearPicture()
{
    TReportCell* c = m_focusCell ? m_focusCell : (m_selection.isEmpty() ? nullptr : m_selection.first());
    if (!c)
        return false;
    c->clearPicture();
    editDone();
    return true;
}

bool TReportControl::dragCellRight(TReportCell* cell, int x)
{
    if (!cell || cell->line()->control() != this)
        return false;
    TReportCell* owner = cell->m_ownerCell ? cell->m_ownerCell : cell;
    QList<TReportCell*> group = {owner};
    group += owner->m_cellsList;
    int delta = qMax(10, x - owner->left()) - owner->m_width;
    // The edge is shared with the next cell of each line, which gives or takes the difference.
    for (TReportCell* c : std::as_const(group)) {
        TReportLine* line = c->line();
        const int i = line->indexOf(c);
        if (delta < 0)
            delta = qMax(delta, 10 - c->m_width);
        else if (i + 1 < line->cellCount())
            delta = qMin(delta, line->cell(i + 1)->m_width - 10);
    }
    if (delta == 0)
        return false;
    for (TReportCell* c : std::as_const(group)) {
        TReportLine* line = c->line();
        const int i = line->indexOf(c);
        c->m_width += delta;
        if (i + 1 < line->cellCount())
            line->cell(i + 1)->m_width -= delta;
    }
    editDone();
    return true;
}

bool TReportControl::dragLineBottom(TReportLine* line, int y)
{
    if (!line || line->control() != this)
        return false;
    line->m_setHeight = qMax(0, y - line->top());
    editDone();
    return true;
}
