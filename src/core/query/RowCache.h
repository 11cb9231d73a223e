#pragma once

#include <QHash>
#include <QList>
#include <QVariant>

#include <functional>

// Rows of a result read in fixed segments around the rows asked for. Only a bounded number of segments is
// kept (the least recently used goes first), so a list of a million rows costs the memory of a few hundred.
class RowCache
{
public:
    using Row = QList<QVariant>;
    // Reads up to limit rows from offset into rows; false when the statement failed.
    using Fetch = std::function<bool(int offset, int limit, QList<Row>* rows)>;

    explicit RowCache(int segmentSize = 256, int maxSegments = 16);

    void setFetch(Fetch fetch) { m_fetch = std::move(fetch); }

    // The row at index, reading its segment when it is not cached; nullptr past the end or on a failed read.
    const Row* row(int index);
    bool isCached(int index) const;
    // Replaces a cached row's values (after a save); does nothing when the row is not cached.
    void update(int index, const Row& values);
    void clear();

    int segmentSize() const { return m_segmentSize; }
    int maxSegments() const { return m_maxSegments; }
    int cachedSegments() const { return int(m_segments.size()); }
    // Number of reads so far (tests and the benchmark look at it).
    int fetchCount() const { return m_fetchCount; }

private:
    struct Segment
    {
        QList<Row> rows;
        quint64 lastUse = 0;
    };

    Segment* segment(int number);
    void evict();

    int m_segmentSize;
    int m_maxSegments;
    Fetch m_fetch;
    QHash<int, Segment> m_segments;
    quint64 m_tick = 0;
    int m_fetchCount = 0;
};
