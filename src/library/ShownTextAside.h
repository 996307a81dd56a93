// SPDX-License-Identifier: MIT
// Found lines written into a shown text on a thread of its own.
#pragma once

#include "ShownText.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace sayvane {

// Appends found lines to a shown text on a second thread, so that reading
// and searching a file on one core overlap with decoding the lines and
// writing the text on another: on a large result each half takes about as
// long as the other. The lines go over in order, copied into a few chunks
// that are handed back and forth, so memory stays bounded whatever the
// result; a line longer than a chunk goes over as it stands, and the
// finder waits until it is written, since its bytes change with the next
// read. Where no thread can be had (a limit on processes), or where one is
// asked for, each line is appended at once on the finder's own thread.
class ShownTextAside
{
public:
    enum class Threads { Two, One };

    explicit ShownTextAside(ShownText &shown, Threads threads = Threads::Two);
    ~ShownTextAside();
    ShownTextAside(const ShownTextAside &) = delete;
    ShownTextAside &operator=(const ShownTextAside &) = delete;

    // Offers one line to be shown, as ShownText::show takes it. False
    // once the text takes no more lines (it was cut), so the finder can stop.
    bool offer(std::string_view line, std::optional<LineEncoding> onlyIn = std::nullopt);
    // Waits until every line handed over is in the text; only then may the
    // finder look at the text.
    void finish();

private:
    struct Line
    {
        const char *outside; // a long line's own bytes, else nullptr
        std::size_t offset;  // where a copied line begins in the chunk
        std::size_t size;
        std::optional<LineEncoding> onlyIn;
    };
    struct Chunk
    {
        std::string bytes;
        std::vector<Line> lines;
    };

    void handOver();
    void waitUntilWritten();
    void writeChunks();

    ShownText &m_shown;
    Chunk m_filling; // the finder's own
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Chunk> m_full;  // handed over, in order
    std::vector<Chunk> m_spare; // written, ready to be filled again
    bool m_writing = false;     // the writer holds a chunk
    bool m_finished = false;
    std::atomic<bool> m_cut = false;
    std::thread m_writer;
};

} // namespace sayvane
