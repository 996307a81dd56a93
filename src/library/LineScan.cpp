// SPDX-License-Identifier: MIT
#include "LineScan.h"

#include "ProcessorVectors.h"

#include <array>
#include <bit>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace sayvane {
namespace {

// The number of bits set in each byte value: a machine without a popcount
// instruction (the baseline of x86-64 lacks one) would call a function for
// every sixteen bytes.
constexpr std::array<unsigned char, 256> kBitsSet = [] {
    std::array<unsigned char, 256> bits{};
    for (int value = 0; value < 256; ++value)
        bits[std::size_t(value)] = static_cast<unsigned char>(std::popcount(unsigned(value)));
    return bits;
}();

int bitsSet(unsigned sixteenBits)
{
    return kBitsSet[sixteenBits & 0xFF] + kBitsSet[(sixteenBits >> 8) & 0xFF];
}

// Whether a line that begins with this byte needs a closer look.
bool isOddStart(char byte, LineEnds ends)
{
    return byte == ' ' || byte == '#' || byte == '\r' || (ends == LineEnds::Lf && byte == '\n');
}

// The line ends (and odd line starts) in [at, end) one byte at a time:
// what the vector loop leaves, and the whole block where there is none.
template <LineEnds Ends>
void countBytewise(const char *const begin, const char *at, const char *const end, LineCensus &census, qint64 &ends)
{
    constexpr char kEnd = LineTerminator<Ends>::kEndByte;
    for (; at < end; ++at) {
        if constexpr (Ends == LineEnds::Classic) {
            if (*at == '\n' && (at == begin || at[-1] != '\r'))
                census.loneLineFeeds = true;
        }
        if (*at != kEnd)
            continue;
        ++ends;
        const char *next = at + 1;
        if constexpr (Ends == LineEnds::Classic) {
            if (next < end && *next == '\n')
                ++next;
        }
        if (next < end && isOddStart(*next, Ends))
            census.odd.push_back({ends, next});
    }
}

// Takes the odd lines of one vector's worth of bytes at `at`: `endBits`
// marks the line ends among them, `oddBits` those after which the next
// line begins oddly. Inlined into each vector loop, so that the bits are
// counted by the instruction that loop's processor has, or by the table.
template <bool HasPopcount>
[[gnu::always_inline]] inline void takeOddLines(const char *at, unsigned endBits, unsigned oddBits, bool classic,
                                                qint64 lineEnds, LineCensus &census)
{
    const auto countBits = [](unsigned bits) {
        if constexpr (HasPopcount)
            return std::popcount(bits);
        else
            return bitsSet(bits);
    };
    while (oddBits != 0) {
        const int bit = std::countr_zero(oddBits);
        oddBits &= oddBits - 1;
        const char *next = at + bit + 1;
        if (classic && *next == '\n')
            ++next;
        census.odd.push_back({lineEnds + countBits(endBits & ((2u << bit) - 1)), next});
    }
}

#ifdef SAYVANE_AVX2_LOOPS
// The vector loop of the census, thirty-two bytes at a time with the two
// bytes after each (see the sixteen-byte loop below); returns where it
// stopped, fewer than 34 bytes before the end.
__attribute__((target("avx2,popcnt"))) const char *countWithAvx2(const char *at, const char *const end, bool classic,
                                                                 LineCensus &census, qint64 &lineEnds)
{
    const __m256i endByte = _mm256_set1_epi8(classic ? '\r' : '\n');
    const __m256i lf = _mm256_set1_epi8('\n');
    // The bytes that begin an odd line, each at the place of its low half:
    // a byte is one of them when the table holds it at that place. Every
    // other place holds 0, whose low half is another (a byte from 0x80 on
    // looks up 0).
    const char lineFeed = classic ? 0 : '\n';
    const __m256i oddStarts = _mm256_setr_epi8(' ', 0, 0, '#', 0, 0, 0, 0, 0, 0, lineFeed, 0, 0, '\r', 0, 0, //
                                               ' ', 0, 0, '#', 0, 0, 0, 0, 0, 0, lineFeed, 0, 0, '\r', 0, 0);
    unsigned loneLineFeeds = 0;
    for (; end - at >= 34; at += 32) {
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(at));
        const unsigned endBits = unsigned(_mm256_movemask_epi8(_mm256_cmpeq_epi8(bytes, endByte)));
        // No branch on whether a line ends here, as below.
        const __m256i after = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(at + 1));
        __m256i first = after;
        if (classic) {
            const __m256i isLf = _mm256_cmpeq_epi8(after, lf);
            // The byte before each of `after` is the CR of endBits or not.
            loneLineFeeds |= unsigned(_mm256_movemask_epi8(isLf)) & ~endBits;
            first = _mm256_blendv_epi8(after, _mm256_loadu_si256(reinterpret_cast<const __m256i *>(at + 2)), isLf);
        }
        const __m256i odd = _mm256_cmpeq_epi8(_mm256_shuffle_epi8(oddStarts, first), first);
        takeOddLines<true>(at, endBits, endBits & unsigned(_mm256_movemask_epi8(odd)), classic, lineEnds, census);
        lineEnds += std::popcount(endBits);
    }
    census.loneLineFeeds = census.loneLineFeeds || loneLineFeeds != 0;
    return at;
}
#endif

} // namespace

void takeCensus(std::string_view lines, LineEnds ends, LineCensus &census)
{
    census.odd.clear();
    census.lines = 0;
    census.loneLineFeeds = false;
    if (lines.empty())
        return;
    // The vector loops look at the bytes after their first; an LF that
    // begins the block follows no CR.
    census.loneLineFeeds = ends == LineEnds::Classic && lines.front() == '\n';
    const char *at = lines.data();
    const char *const end = at + lines.size();
    qint64 lineEnds = 0;
#ifdef SAYVANE_AVX2_LOOPS
    if (hasAvx2())
        at = countWithAvx2(at, end, ends == LineEnds::Classic, census, lineEnds);
#endif
#ifdef __SSE2__
    // Sixteen bytes at a time, with the two bytes after each: a line end,
    // and the first byte of the line after it (after the LF of a classic
    // CR LF). No branch on whether a line ends here: which blocks hold a
    // line end is past foretelling, and a wrong guess costs more than the
    // rest of the loop.
    const bool classic = ends == LineEnds::Classic;
    const __m128i endByte = _mm_set1_epi8(classic ? '\r' : '\n');
    const __m128i lf = _mm_set1_epi8('\n'), cr = _mm_set1_epi8('\r');
    const __m128i space = _mm_set1_epi8(' '), mark = _mm_set1_epi8('#');
    unsigned loneLineFeeds = 0;
    for (; end - at >= 18; at += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at));
        const unsigned endBits = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, endByte)));
        const __m128i after = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at + 1));
        __m128i first = after;
        __m128i odd;
        if (classic) {
            const __m128i afterThat = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at + 2));
            const __m128i isLf = _mm_cmpeq_epi8(after, lf);
            loneLineFeeds |= unsigned(_mm_movemask_epi8(isLf)) & ~endBits;
            first = _mm_or_si128(_mm_and_si128(isLf, afterThat), _mm_andnot_si128(isLf, after));
            odd = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(first, space), _mm_cmpeq_epi8(first, mark)),
                               _mm_cmpeq_epi8(first, cr));
        } else {
            odd = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(first, space), _mm_cmpeq_epi8(first, mark)),
                               _mm_or_si128(_mm_cmpeq_epi8(first, cr), _mm_cmpeq_epi8(first, lf)));
        }
        takeOddLines<false>(at, endBits, endBits & unsigned(_mm_movemask_epi8(odd)), classic, lineEnds, census);
        lineEnds += bitsSet(endBits);
    }
    census.loneLineFeeds = census.loneLineFeeds || loneLineFeeds != 0;
#endif
    if (ends == LineEnds::Lf)
        countBytewise<LineEnds::Lf>(lines.data(), at, end, census, lineEnds);
    else
        countBytewise<LineEnds::Classic>(lines.data(), at, end, census, lineEnds);
    // A last line without its line end counts too.
    const char last = end[-1];
    const bool ended = ends == LineEnds::Lf ? last == '\n' : last == '\r' || (last == '\n' && end - 1 > lines.data() && end[-2] == '\r');
    census.lines = lineEnds + (ended ? 0 : 1);
}

} // namespace sayvane
