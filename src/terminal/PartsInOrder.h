// SPDX-License-Identifier: MIT
// The output of a search made in parts at once, written in the order of
// the parts: each part keeps what it found until the parts before it are
// written, then writes straight on. A part's prelude, the lines before its
// first heading, is written under the last heading of the parts before.
#pragma once

#include "LargePages.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sayvane::terminal {

class PartsInOrder
{
public:
    // What a part keeps: in large pages, as a part may keep a megabyte.
    using Kept = std::basic_string<char, std::char_traits<char>, LargePageAllocator<char>>;

    // `output` takes the text in order, and false once its reader is gone.
    explicit PartsInOrder(std::function<bool(std::string_view)> output);

    // True once the output is gone or a part has stopped: the parts after
    // it write nothing more.
    bool stopped();

    class Part
    {
    public:
        Part(PartsInOrder &parts, std::size_t index);
        ~Part();
        Part(const Part &) = delete;
        Part &operator=(const Part &) = delete;
        // A line ("AUTHOR: QUOTATION\n") whose author the part knows.
        bool write(std::string_view line);
        // A line ("QUOTATION\n") of the prelude.
        bool writePrelude(std::string_view line);
        // Writes what is kept, once the parts before are written, and hands
        // on the last heading ("AUTHOR: "), if the part met one. With
        // `stop`, no part after this one writes.
        void finish(const std::optional<std::string> &lastHeading, bool stop = false);

    private:
        bool keep(Kept &kept, std::string_view line);
        bool hasTurn() const;
        bool takeTurn();
        bool writeOut(std::string_view text);
        bool writePreludeOut(std::string_view lines);

        PartsInOrder &m_parts;
        std::size_t m_index;
        bool m_writing = false; // the parts before are written: straight on
        Kept m_prelude;
        Kept m_rest;
        std::optional<std::string> m_heading; // of the parts before, once writing
    };

private:
    Kept takeBuffer(std::size_t reserved);
    void giveBack(Kept &buffer);

    std::function<bool(std::string_view)> m_output;
    // Buffers of parts that are written, kept with their pages mapped for
    // the parts to come (a new page costs more than the copy into it).
    std::vector<Kept> m_spareBuffers;
    std::vector<Kept> m_sparePreludes;
    std::mutex m_mutex;
    std::condition_variable m_turnChanged;
    // The part whose turn it is to write; changed under the mutex, read
    // without it by a part that keeps what it finds.
    std::atomic<std::size_t> m_turn = 0;
    bool m_stopped = false;
    std::optional<std::string> m_heading; // the last of the parts written
};

} // namespace sayvane::terminal
