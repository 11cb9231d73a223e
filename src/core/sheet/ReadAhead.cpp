#include "ReadAhead.h"

#include <cstring>

ReadAhead::ReadAhead(ReadFunction read, qsizetype chunkSize, int chunkCount) : m_read(std::move(read))
{
    m_free.reserve(size_t(chunkCount));
    for (int i = 0; i < chunkCount; ++i)
        m_free.emplace_back(chunkSize, Qt::Uninitialized);
    m_thread = std::thread([this] { run(); });
}

ReadAhead::~ReadAhead()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void ReadAhead::run()
{
    for (;;) {
        QByteArray buffer;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return m_stop || !m_free.empty(); });
            if (m_stop)
                return;
            buffer = std::move(m_free.back());
            m_free.pop_back();
        }
        const qint64 n = m_read(buffer.data(), buffer.size());
        {
            std::lock_guard lock(m_mutex);
            m_full.push_back({std::move(buffer), n});
        }
        m_changed.notify_all();
        if (n <= 0)
            return;
    }
}

qint64 ReadAhead::read(char* data, qint64 max)
{
    if (max <= 0)
        return 0;
    while (!m_finished && (!m_haveCurrent || m_offset >= m_current.length)) {
        {
            std::unique_lock lock(m_mutex);
            if (m_haveCurrent)
                m_free.push_back(std::move(m_current.data));
            m_changed.notify_all();
            m_changed.wait(lock, [this] { return !m_full.empty(); });
            m_current = std::move(m_full.front());
            m_full.pop_front();
        }
        m_haveCurrent = true;
        m_offset = 0;
        if (m_current.length <= 0) {
            m_finished = true;
            m_status = m_current.length < 0 ? -1 : 0;
        }
    }
    if (m_finished)
        return m_status;
    const qint64 n = qMin(max, m_current.length - m_offset);
    std::memcpy(data, m_current.data.constData() + m_offset, size_t(n));
    m_offset += n;
    return n;
}
