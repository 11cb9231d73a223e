#include "ReportLine.h"

#include "ReportControl.h"

TReportLine::TReportLine(TReportControl* control) : m_control(control) {}

TReportLine::~TReportLine() = default;

int TReportLine::indexOf(const TReportCell* cell) const
{
    for (size_t i = 0; i < m_cells.size(); ++i)
        if (m_cells[i].get() == cell)
            return int(i);
    return -1;
}

TReportCell* TReportLine::appendCell()
{
    return insertCell(cellCount());
}

TReportCell* TReportLine::insertCell(int at)
{
    at = qBound(0, at, cellCount());
    auto cell = std::make_unique<TReportCell>(this);
    TReportCell* raw = cell.get();
    m_cells.insert(m_cells.begin() + at, std::move(cell));
    for (int i = at; i < cellCount(); ++i)
        m_cells[size_t(i)]->m_index = i;
    return raw;
}

std::unique_ptr<TReportCell> TReportLine::takeCell(TReportCell* cell)
{
    const int i = indexOf(cell);
    if (i < 0)
        return {};
    std::unique_ptr<TReportCell> taken = std::move(m_cells[size_t(i)]);
    m_cells.erase(m_cells.begin() + i);
    for (int k = i; k < cellCount(); ++k)
        m_cells[size_t(k)]->m_index = k;
    return taken;
}

void TReportLine::removeCell(TReportCell* cell)
{
    takeCell(cell);
}

int TReportLine::updateHeights()
{
    int needed = 0;
    for (auto& c : m_cells) {
        c->computeRequiredHeight();
        needed = qMax(needed, qMax(c->m_setHeight, c->m_requiredHeight));
    }
    m_neededHeight = needed;
    return height();
}
