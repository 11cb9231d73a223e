#include "BlockPipeline.h"

#include <zlib.h>

#include <cstring>

struct BlockPipeline::Stream
{
    z_stream z;
    bool ready = false;
    Work work;

    Stream(Work w, int level) : work(w)
    {
        std::memset(&z, 0, sizeof z);
        // Window bits 15, memory level 8, default strategy: the stream every reader of the format expects.
        if (work == Work::Deflate)
            ready = deflateInit2(&z, level, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) == Z_OK;
        else
            ready = inflateInit2(&z, 15) == Z_OK;
    }
    ~Stream()
    {
        if (!ready)
            return;
        if (work == Work::Deflate)
            deflateEnd(&z);
        else
            inflateEnd(&z);
    }
};

BlockPipeline::BlockPipeline(Work work, int level, int workers) : m_work(work)
{
    const int streams = workers > 0 ? workers : 1;
    // Enough slots that the workers never wait for the reader, few enough to keep the memory small.
    const int slots = workers > 0 ? 4 * workers : 1;
    for (int i = 0; i < slots; ++i)
        m_slots.push_back(std::make_unique<Slot>());
    for (int i = 0; i < streams; ++i)
        m_streams.push_back(std::make_unique<Stream>(work, level));
    for (int i = 0; i < workers; ++i)
        m_threads.emplace_back([this, i] { workerLoop(i); });
}

BlockPipeline::~BlockPipeline()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_workReady.notify_all();
    for (std::thread& t : m_threads)
        t.join();
}

BlockPipeline::Slot* BlockPipeline::next()
{
    Slot* slot = m_slots[size_t((m_head + m_count) % int(m_slots.size()))].get();
    slot->inputLength = 0;
    slot->outputLength = 0;
    slot->done = false;
    return slot;
}

void BlockPipeline::submit(bool pack)
{
    Slot* slot = m_slots[size_t((m_head + m_count) % int(m_slots.size()))].get();
    ++m_count;
    if (!pack) {
        slot->result = Result::Raw;
        slot->done = true;
        return;
    }
    if (m_threads.empty()) {
        process(*slot, *m_streams[0]);
        slot->done = true;
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_queue.push_back(slot);
    }
    m_workReady.notify_one();
}

BlockPipeline::Slot* BlockPipeline::front()
{
    Slot* slot = m_slots[size_t(m_head)].get();
    if (!m_threads.empty()) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_workDone.wait(lock, [slot] { return slot->done; });
    }
    return slot;
}

void BlockPipeline::pop()
{
    m_head = (m_head + 1) % int(m_slots.size());
    --m_count;
}

void BlockPipeline::workerLoop(int index)
{
    Stream& stream = *m_streams[size_t(index)];
    for (;;) {
        Slot* slot = nullptr;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_workReady.wait(lock, [this] { return m_stop || !m_queue.empty(); });
            if (m_queue.empty())
                return;
            slot = m_queue.front();
            m_queue.pop_front();
        }
        process(*slot, stream);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            slot->done = true;
        }
        m_workDone.notify_all();
    }
}

void BlockPipeline::process(Slot& slot, Stream& stream)
{
    slot.outputLength = 0;
    slot.result = Result::Failed;
    if (!stream.ready)
        return;
    z_stream& z = stream.z;
    z.next_in = reinterpret_cast<Bytef*>(slot.input);
    z.avail_in = uInt(slot.inputLength);
    z.next_out = reinterpret_cast<Bytef*>(slot.output);
    z.avail_out = BlockSize;
    if (m_work == Work::Deflate) {
        // One call with finish into a block-sized buffer; what does not fit is stored raw.
        if (deflateReset(&z) != Z_OK)
            return;
        const int rc = deflate(&z, Z_FINISH);
        if (rc == Z_STREAM_END) {
            slot.result = Result::Compressed;
            slot.outputLength = BlockSize - int(z.avail_out);
        } else if (rc == Z_OK || rc == Z_BUF_ERROR) {
            slot.result = Result::Raw;
        }
    } else {
        if (inflateReset(&z) != Z_OK)
            return;
        // A block never unpacks to more than BlockSize: a stream that wants more is damaged.
        if (inflate(&z, Z_FINISH) == Z_STREAM_END) {
            slot.result = Result::Compressed;
            slot.outputLength = BlockSize - int(z.avail_out);
        }
    }
}
