// SPDX-License-Identifier: MIT
// A command's output, written to its descriptor in pieces of a mebibyte:
// a search that finds a hundred thousand lines makes a dozen writes, not
// thousands, and a pipe gets its lines in large pieces, never one at a
// time.
#pragma once

#include <cstddef>
#include <string_view>

namespace sayvane::terminal {

class OutputBuffer
{
public:
    static constexpr std::size_t kPieceBytes = std::size_t(1) << 20;

    explicit OutputBuffer(int descriptor);
    ~OutputBuffer(); // gives the buffer back; what is still in it is not written
    OutputBuffer(const OutputBuffer &) = delete;
    OutputBuffer &operator=(const OutputBuffer &) = delete;

    // Adds the text, writing every piece that fills up; false once a
    // write has failed, after which nothing more is written.
    bool write(std::string_view text);
    // Writes what is held; false once a write has failed.
    bool flush();
    // The errno of the write that failed, or 0.
    int error() const { return m_error; }

private:
    // The first 64 KiB are held in ordinary memory, as most commands write
    // less (a drawn quotation, a few findings); an output that grows past
    // them is held in a piece in one large page, one fault for it all.
    static constexpr std::size_t kFirstBytes = std::size_t(64) << 10;

    void makeRoomFor(std::size_t size);
    bool writeOut(const char *bytes, std::size_t size);

    int m_descriptor;
    char *m_buffer = nullptr; // taken at the first write that keeps text
    std::size_t m_capacity = 0;
    std::size_t m_held = 0;
    int m_error = 0;
};

} // namespace sayvane::terminal
