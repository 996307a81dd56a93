// SPDX-License-Identifier: MIT
// The output of a search made in parts at once, written in the order of
// the parts: each part keeps what it found until the parts before it are
// written, then writes straight on. A part's prelude, the lines before its
// first heading, is written under the last heading of the parts before.
#pragma once

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
    // What a part keeps at most before it waits for its turn: enough to
    // let the parts after the one writing go on, little beside the reading.
    static constexpr std::size_t kMostKept = std::size_t(1) << 20;

    // `output` takes the text in order, and false once its reader is gone.
    explicit PartsInOrder(std::function<bool(std::string_view)> output);
    ~PartsInOrder();
    PartsInOrder(const PartsInOrder &) = delete;
    PartsInOrder &operator=(const PartsInOrder &) = delete;

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
        // Lines ("AUTHOR: QUOTATION\n") whose author the part knows.
        bool write(std::string_view lines);
        // Lines ("QUOTATION\n") of the prelude.
        bool writePrelude(std::string_view lines);
        // Writes what is kept, once the parts before are written, and hands
        // on the last heading ("AUTHOR: "), if the part met one. With
        // `stop`, no part after this one writes.
        void finish(const std::optional<std::string> &lastHeading, bool stop = false);

    private:
        bool keep(std::string_view lines);
        bool hasTurn() const;
        bool takeTurn();
        void giveSlotBack();
        bool writeOut(std::string_view text);
        bool writePreludeOut(std::string_view lines);

        PartsInOrder &m_parts;
        std::size_t m_index;
        bool m_writing = false; // the parts before are written: straight on
        std::string m_prelude;  // rare, and short
        char *m_slot = nullptr; // room for kMostKept bytes, taken when first needed
        std::size_t m_kept = 0; // bytes kept in the slot
        std::optional<std::string> m_heading; // of the parts before, once writing
    };

private:
    char *takeSlot();
    void giveBack(char *slot);

    std::function<bool(std::string_view)> m_output;
    // The slots of the parts that keep, carved from large pages and handed
    // from part to part: a part that gets its turn gives its slot to the
    // next one that keeps, so that on two threads one page serves every
    // part (each fresh page costs more than what is written into it).
    std::vector<void *> m_pages;
    std::vector<char *> m_freeSlots;
    std::mutex m_mutex;
    std::condition_variable m_turnChanged;
    // The part whose turn it is to write; changed under the mutex, read
    // without it by a part that keeps what it finds.
    std::atomic<std::size_t> m_turn = 0;
    bool m_stopped = false;
    std::optional<std::string> m_heading; // the last of the parts written
};

} // namespace sayvane::terminal
