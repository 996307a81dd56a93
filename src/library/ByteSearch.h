// SPDX-License-Identifier: MIT
// Finding bytes and phrases in blocks of a data file: the few search loops
// every reader shares, in portable C++ that the compiler vectorises.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace sayvane {

// The first `byte` in [begin, end), or nullptr.
inline const char *findByte(const char *begin, const char *end, char byte)
{
    return static_cast<const char *>(std::memchr(begin, byte, std::size_t(end - begin)));
}

// The last `byte` in [begin, end), or nullptr, eight bytes at a time: a
// word holds the byte when the word XOR the byte repeated has a zero byte.
inline const char *findLastByteWordwise(const char *begin, const char *end, char byte)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    const std::uint64_t repeated = kOnes * static_cast<unsigned char>(byte);
    const char *at = end;
    while (at - begin >= 8) {
        std::uint64_t word;
        std::memcpy(&word, at - 8, 8);
        const std::uint64_t differences = word ^ repeated;
        if ((differences - kOnes) & ~differences & kHighBits)
            break;
        at -= 8;
    }
    while (at != begin) {
        if (*--at == byte)
            return at;
    }
    return nullptr;
}

// The last `byte` in [begin, end), or nullptr: the GNU C library's own,
// in vectors, where there is one.
inline const char *findLastByte(const char *begin, const char *end, char byte)
{
#if defined(__GLIBC__) && defined(_GNU_SOURCE)
    return static_cast<const char *>(::memrchr(begin, byte, std::size_t(end - begin)));
#else
    return findLastByteWordwise(begin, end, byte);
#endif
}

// Finds one phrase in many blocks. Two of its bytes, the two rarest in
// text, are tested together, 32 positions at a time in a loop without
// branches, and only a position where both match is compared whole; this
// is faster than the C library's own substring search on text, where a
// single byte of the phrase is common. Rarest matters for UTF-8: in a word
// of Cyrillic every other byte is one of two lead bytes.
//
// With masks, one byte of the same length for each byte of the phrase, a
// byte matches where it equals the phrase's in the bits its mask sets:
// one finder for the spellings of a phrase that differ only in those
// bits, as the two cases of most letters do.
class PhraseFinder
{
public:
    explicit PhraseFinder(std::string_view phrase, std::string_view masks = {});

    // The first occurrence in [begin, end), or nullptr. An empty phrase is
    // found at once, as in every text.
    const char *find(const char *begin, const char *end) const;
    // The same without vectors of AVX2, as on processors that lack them.
    const char *findWithoutAvx2(const char *begin, const char *end) const;

private:
    friend struct PhraseVectors;
    bool matchesAt(const unsigned char *at) const;
    // The bits of the byte at `i` that must match.
    unsigned char maskAt(std::size_t i) const
    {
        return m_masks.empty() ? static_cast<unsigned char>(0xFF) : static_cast<unsigned char>(m_masks[i]);
    }

    std::string_view m_phrase;
    std::string_view m_masks; // empty: every bit counts
    std::size_t m_rare = 0;   // where the rarest byte stands in the phrase
    std::size_t m_second = 0; // where the next rarest stands, another place
};

} // namespace sayvane
