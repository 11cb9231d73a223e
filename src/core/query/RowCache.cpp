#include "RowCache.h"

#include <limits>

RowCache::RowCache(int segmentSize, int maxSegments)
    : m_segmentSize(qMax(1, segmentSize)), m_maxSegments(qMax(1, maxSegments))
{
}

RowCache::Segment* RowCache::segment(int number)
{
    auto it = m_segments.find(number);
    if (it != m_segments.end()) {
        it->lastUse = ++m_tick;
        return &*it;
    }
    if (!m_fetch)
        return nullptr;
    Segment s;
    ++m_fetchCount;
    if (!m_fetch(number * m_segmentSize, m_segmentSize, &s.rows))
        return nullptr; // not cached: the next request tries again
    if (m_segments.size() >= m_maxSegments)
        evict();
    s.lastUse = ++m_tick;
    return &*m_segments.insert(number, std::move(s));
}

void RowCache::evict()
{
    int oldest = -1;
    quint64 oldestUse = std::numeric_limits<quint64>::max();
    for (auto it = m_segments.cbegin(); it != m_segments.cend(); ++it) {
        if (it->lastUse < oldestUse) {
            oldestUse = it->lastUse;
            oldest = it.key();
        }
    }
    if (oldest >= 0)
        m_segments.remove(oldest);
}

const RowCache::Row* RowCache::row(int index)
{
    if (index < 0)
        return nullptr;
    Segment* s = segment(index / m_segmentSize);
    if (!s)
        return nullptr;
    const int at = index % m_segmentSize;
    return at < s->rows.size() ? &s->rows.at(at) : nullptr;
}

bool RowCache::isCached(int index) const
{
    if (index < 0)
        return false;
    auto it = m_segments.constFind(index / m_segmentSize);
    return it != m_segments.cend() && index % m_segmentSize < it->rows.size();
}

void RowCache::update(int index, const Row& values)
{
    if (index < 0)
        return;
    auto it = m_segments.find(index / m_segmentSize);
    if (it != m_segments.end() && index % m_segmentSize < it->rows.size())
        it->rows[index % m_segmentSize] = values;
}

void RowCache::clear()
{
    m_segments.clear();
}
