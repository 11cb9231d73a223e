#pragma once

#include <QByteArray>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// Runs a reading function (an inflating stream) on a thread of its own, a few chunks ahead of the caller,
// so that inflating and scanning a large part share the two cores. Memory stays at chunkCount chunks.
// The reading function runs only on the worker thread while a ReadAhead exists; whatever it writes becomes
// visible to the caller once read() returned its end (0) or error (-1), or after the ReadAhead is gone.
class ReadAhead
{
public:
    // Reads up to max bytes into data: the count, 0 at the end, -1 on an error.
    using ReadFunction = std::function<qint64(char* data, qint64 max)>;

    explicit ReadAhead(ReadFunction read, qsizetype chunkSize = 256 * 1024, int chunkCount = 4);
    // Stops the worker (after its current read) and waits for it.
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // The same contract as the reading function; after the end or an error it keeps returning that.
    qint64 read(char* data, qint64 max);

private:
    struct Chunk
    {
        QByteArray data;
        qint64 length = 0; // <= 0: the end (0) or an error (-1)
    };

    void run();

    ReadFunction m_read;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<QByteArray> m_free;
    std::deque<Chunk> m_full;
    bool m_stop = false;

    // The caller's side.
    Chunk m_current;
    qint64 m_offset = 0;
    bool m_haveCurrent = false;
    bool m_finished = false;
    qint64 m_status = 0;

    std::thread m_thread; // last: started once everything above exists
};
