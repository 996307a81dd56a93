// SPDX-License-Identifier: MIT
#include "Utf8Vectors.h"

#include "ProcessorVectors.h"

#include <bit>

namespace sayvane {

#ifdef SAYVANE_AVX2_LOOPS
namespace {

// Each byte and the one before it are looked up in three tables, by the
// high half of the byte before, its low half and the high half of the
// byte itself; each bit of an entry stands for one fault, and a pair is
// faulty when a bit is set in all three. A continuation that must be the
// second or third after a lead of three or four bytes is then expected
// rather than faulty.
constexpr char kTooShort = 1 << 0;     // a lead, then no continuation
constexpr char kTooLong = 1 << 1;      // ASCII, then a continuation
constexpr char kOverlong3 = 1 << 2;    // E0, then 80..9F
constexpr char kTooLarge = 1 << 3;     // past U+10FFFF
constexpr char kSurrogate = 1 << 4;    // ED, then A0..BF
constexpr char kOverlong2 = 1 << 5;    // C0 or C1
constexpr char kTooLarge1000 = 1 << 6; // past U+10FFFF, second byte 80..8F
constexpr char kOverlong4 = 1 << 6;    // F0, then 80..8F
constexpr char kTwoContinuations = char(1 << 7);
constexpr char kCarry = kTooShort | kTooLong | kTwoContinuations;

#define SAYVANE_TWICE(...) __VA_ARGS__, __VA_ARGS__

__attribute__((target("avx2"))) inline __m256i highHalves(__m256i bytes)
{
    return _mm256_and_si256(_mm256_srli_epi16(bytes, 4), _mm256_set1_epi8(0x0F));
}

// The bytes shifted by `Count` places, the first taken from the end of
// the block before.
template <int Count> __attribute__((target("avx2"))) inline __m256i before(__m256i bytes, __m256i previous)
{
    return _mm256_alignr_epi8(bytes, _mm256_permute2x128_si256(previous, bytes, 0x21), 16 - Count);
}

// The faults of one block; the block before it as `previous`.
__attribute__((target("avx2"))) inline __m256i faultsOf(__m256i bytes, __m256i previous)
{
    const __m256i byHighBefore = _mm256_setr_epi8(SAYVANE_TWICE(
        kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTwoContinuations,
        kTwoContinuations, kTwoContinuations, kTwoContinuations, kTooShort | kOverlong2, kTooShort,
        kTooShort | kOverlong3 | kSurrogate, kTooShort | kTooLarge | kTooLarge1000 | kOverlong4));
    const __m256i byLowBefore = _mm256_setr_epi8(SAYVANE_TWICE(
        kCarry | kOverlong3 | kOverlong2 | kOverlong4, kCarry | kOverlong2, kCarry, kCarry, kCarry | kTooLarge,
        kCarry | kTooLarge | kTooLarge1000, kCarry | kTooLarge | kTooLarge1000, kCarry | kTooLarge | kTooLarge1000,
        kCarry | kTooLarge | kTooLarge1000, kCarry | kTooLarge | kTooLarge1000, kCarry | kTooLarge | kTooLarge1000,
        kCarry | kTooLarge | kTooLarge1000, kCarry | kTooLarge | kTooLarge1000,
        kCarry | kTooLarge | kTooLarge1000 | kSurrogate, kCarry | kTooLarge | kTooLarge1000,
        kCarry | kTooLarge | kTooLarge1000));
    const __m256i byHigh = _mm256_setr_epi8(SAYVANE_TWICE(
        kTooShort, kTooShort, kTooShort, kTooShort, kTooShort, kTooShort, kTooShort, kTooShort,
        kTooLong | kOverlong2 | kTwoContinuations | kOverlong3 | kTooLarge1000 | kOverlong4,
        kTooLong | kOverlong2 | kTwoContinuations | kOverlong3 | kTooLarge,
        kTooLong | kOverlong2 | kTwoContinuations | kSurrogate | kTooLarge,
        kTooLong | kOverlong2 | kTwoContinuations | kSurrogate | kTooLarge, kTooShort, kTooShort, kTooShort,
        kTooShort));
    const __m256i oneBefore = before<1>(bytes, previous);
    const __m256i pairFaults = _mm256_and_si256(
        _mm256_and_si256(_mm256_shuffle_epi8(byHighBefore, highHalves(oneBefore)),
                         _mm256_shuffle_epi8(byLowBefore, _mm256_and_si256(oneBefore, _mm256_set1_epi8(0x0F)))),
        _mm256_shuffle_epi8(byHigh, highHalves(bytes)));
    // 0x80 where the byte two places back leads three bytes or more, or
    // the one three places back leads four.
    const __m256i thirdOrFourth =
        _mm256_or_si256(_mm256_subs_epu8(before<2>(bytes, previous), _mm256_set1_epi8(char(0xE0 - 0x80))),
                        _mm256_subs_epu8(before<3>(bytes, previous), _mm256_set1_epi8(char(0xF0 - 0x80))));
    return _mm256_xor_si256(_mm256_and_si256(thirdOrFourth, _mm256_set1_epi8(char(0x80))), pairFaults);
}

// UTF-16 units of a block: one for each byte that is no continuation, and
// one more for each lead of four bytes.
__attribute__((target("avx2,popcnt"))) inline int unitsOf(__m256i bytes)
{
    // As signed bytes, the continuations 80..BF are those below C0.
    const unsigned continuations =
        unsigned(_mm256_movemask_epi8(_mm256_cmpgt_epi8(_mm256_set1_epi8(char(0xC0)), bytes)));
    const unsigned fourByteLeads =
        unsigned(_mm256_movemask_epi8(_mm256_cmpgt_epi8(bytes, _mm256_set1_epi8(char(0xEF)))) &
                 _mm256_movemask_epi8(bytes));
    return 32 - std::popcount(continuations) + std::popcount(fourByteLeads);
}

// Bytes 0..15, then sixteen of 0x80: sixteen of them from a place in it,
// as a shuffle, move bytes down by that place and clear the places after.
constexpr char kMoveDown[32] = {0,    1,    2,    3,    4,    5,    6,    7,    8,    9,    10,
                                11,   12,   13,   14,   15,   -128, -128, -128, -128, -128, -128,
                                -128, -128, -128, -128, -128, -128, -128, -128, -128, -128};

// The `rest` (0..31) bytes before `end` at the start of a block, zeros
// after them, as if copied into a block of zeros, but made in registers:
// a copy read back whole waits for the stores that made it. The 16 bytes
// before `end` must be the caller's.
__attribute__((target("avx2"))) inline __m256i lastBytes(const unsigned char *end, std::ptrdiff_t rest)
{
    const __m128i tail = _mm_loadu_si128(reinterpret_cast<const __m128i *>(end - 16));
    if (rest >= 16) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i *>(end - rest));
        const __m128i moves = _mm_loadu_si128(reinterpret_cast<const __m128i *>(kMoveDown + 32 - rest));
        return _mm256_set_m128i(_mm_shuffle_epi8(tail, moves), low);
    }
    const __m128i moves = _mm_loadu_si128(reinterpret_cast<const __m128i *>(kMoveDown + 16 - rest));
    return _mm256_set_m128i(_mm_setzero_si128(), _mm_shuffle_epi8(tail, moves));
}

__attribute__((target("avx2,popcnt"))) void decideWithAvx2(const unsigned char *at, const unsigned char *end,
                                                           Utf8Verdict &verdict)
{
    __m256i previous = _mm256_setzero_si256();
    __m256i faults = _mm256_setzero_si256();
    qsizetype units = 0;
    for (; end - at >= 32; at += 32) {
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(at));
        faults = _mm256_or_si256(faults, faultsOf(bytes, previous));
        // A Windows-1252 line is most often told at its first letter above
        // ASCII: no need to look at the rest.
        if (!_mm256_testz_si256(faults, faults)) {
            verdict = {};
            return;
        }
        units += unitsOf(bytes);
        previous = bytes;
    }
    // The rest after zeros, which are ASCII: a sequence cut short at the
    // end is a lead followed by no continuation.
    const std::ptrdiff_t rest = end - at;
    const __m256i bytes = lastBytes(end, rest);
    faults = _mm256_or_si256(faults, faultsOf(bytes, previous));
    units += unitsOf(bytes) - (32 - rest); // less one unit for each zero
    verdict.valid = _mm256_testz_si256(faults, faults) != 0;
    verdict.units = verdict.valid ? units : 0;
}

} // namespace

bool decideUtf8InVectors(const unsigned char *at, const unsigned char *end, Utf8Verdict &verdict)
{
    if (!hasAvx2() || end - at < 16)
        return false;
    decideWithAvx2(at, end, verdict);
    return true;
}

#else

bool decideUtf8InVectors(const unsigned char *, const unsigned char *, Utf8Verdict &)
{
    return false;
}

#endif

} // namespace sayvane
