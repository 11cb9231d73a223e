#pragma once

#include "ReportCell.h"

#include <memory>
#include <vector>

// One line of a template: a row of cells. Its height is the larger of what its cells need and what the
// user set by dragging.
class TReportLine
{
public:
    explicit TReportLine(TReportControl* control);
    ~TReportLine();
    TReportLine(const TReportLine&) = delete;
    TReportLine& operator=(const TReportLine&) = delete;

    TReportControl* control() const { return m_control; }
    int index() const { return m_index; }
    int cellCount() const { return int(m_cells.size()); }
    TReportCell* cell(int i) const { return m_cells[size_t(i)].get(); }
    int indexOf(const TReportCell* cell) const;

    int neededHeight() const { return m_neededHeight; }
    int setHeight() const { return m_setHeight; }
    void setSetHeight(int h) { m_setHeight = qMax(0, h); }
    int height() const { return qMax(m_neededHeight, m_setHeight); }
    int top() const { return m_top; }
    int bottom() const { return m_top + height(); }
    const TReportRect& lineRect() const { return m_lineRect; }

    // Appends or inserts a new default cell (owned by the line).
    TReportCell* appendCell();
    TReportCell* insertCell(int at);
    // Removes the cell; merge links to it must be gone already.
    void removeCell(TReportCell* cell);
    std::unique_ptr<TReportCell> takeCell(TReportCell* cell);

    // Needed heights of the cells and of the line; returns the line's height.
    int updateHeights();

private:
    friend class TReportControl;
    friend struct ReportStreamIo;

    TReportControl* m_control;
    std::vector<std::unique_ptr<TReportCell>> m_cells;
    int m_index = 0;
    int m_neededHeight = 0;
    int m_setHeight = 0;
    int m_top = 0;
    TReportRect m_lineRect;
};
