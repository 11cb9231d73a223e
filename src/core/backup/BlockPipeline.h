#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// The zlib work of backup blocks, done on worker threads while the caller reads and writes the blocks in
// their order. Every block is a zlib stream of its own, so which thread packs it never changes a byte of
// the archive. A fixed ring of slots bounds the memory, whatever the file sizes.
class BlockPipeline
{
public:
    static constexpr int BlockSize = 16384;

    enum class Work
    {
        Deflate,
        Inflate
    };
    enum class Result
    {
        Compressed, // deflate finished within BlockSize (or inflate gave a complete stream)
        Raw,        // deflate did not finish within BlockSize: the block is stored as it is
        Failed      // zlib refused (deflate error, or a damaged/oversized stream for inflate)
    };

    struct Slot
    {
        char input[BlockSize];
        int inputLength = 0;
        char output[BlockSize];
        int outputLength = 0;
        Result result = Result::Failed;
        bool done = false;
        // The bytes to write: the packed block, or the input itself for a raw block.
        const char* data() const { return result == Result::Raw ? input : output; }
        int length() const { return result == Result::Raw ? inputLength : outputLength; }
    };

    // workers 0: the work is done in the calling thread (the one-core writer).
    BlockPipeline(Work work, int level, int workers);
    ~BlockPipeline();
    BlockPipeline(const BlockPipeline&) = delete;
    BlockPipeline& operator=(const BlockPipeline&) = delete;

    bool full() const { return m_count == int(m_slots.size()); }
    bool empty() const { return m_count == 0; }
    // The next free slot to fill; only when !full().
    Slot* next();
    // Hands the filled slot over. With pack false the slot passes through untouched (a raw block read back).
    void submit(bool pack);
    // The oldest slot in flight, once its work is done; only when !empty().
    Slot* front();
    // Frees the oldest slot.
    void pop();

private:
    struct Stream;
    void workerLoop(int index);
    void process(Slot& slot, Stream& stream);

    Work m_work;
    std::vector<std::unique_ptr<Slot>> m_slots;
    std::vector<std::unique_ptr<Stream>> m_streams; // one per worker; [0] also serves the inline mode
    std::vector<std::thread> m_threads;
    int m_head = 0;
    int m_count = 0;

    std::mutex m_mutex;
    std::condition_variable m_workReady;
    std::condition_variable m_workDone;
    std::deque<Slot*> m_queue;
    bool m_stop = false;
};
