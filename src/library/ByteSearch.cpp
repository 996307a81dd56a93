// SPDX-License-Identifier: MIT
#include "ByteSearch.h"

#include "ProcessorVectors.h"

#include <bit>
#include <utility>

namespace sayvane {
namespace {

// How common a byte is in quotations, roughly, from 0 (rare) up: spaces
// and the frequent English letters most, then UTF-8 lead bytes (every
// character of a script begins with one of a few), then the other letters;
// UTF-8 continuation bytes spread over 64 values, and the rest is rare.
int commonness(unsigned char byte)
{
    static constexpr std::string_view kLettersByFrequency = "etaoinsrhldcumfpgwybvkxjqz";
    if (byte == ' ')
        return 40;
    const unsigned char lower = byte >= 'A' && byte <= 'Z' ? byte - 'A' + 'a' : byte;
    if (const std::size_t rank = kLettersByFrequency.find(char(lower)); rank != std::string_view::npos)
        return int(kLettersByFrequency.size() - rank) + (lower == byte ? 6 : 0);
    if (byte >= 0xC2 && byte <= 0xF4)
        return 30;
    if (byte >= 0x80 && byte <= 0xBF)
        return 4;
    return 2;
}

} // namespace

PhraseFinder::PhraseFinder(std::string_view phrase, std::string_view masks)
    : m_phrase(phrase)
    , m_masks(masks)
{
    if (phrase.size() < 2)
        return;
    // A byte some of whose bits may be either is as common as all it
    // stands for; a bit free more makes it about twice as common.
    const auto commonAt = [phrase, masks](std::size_t i) {
        const int freeBits = masks.empty() ? 0 : std::popcount(unsigned(static_cast<unsigned char>(~masks[i])));
        return commonness(static_cast<unsigned char>(phrase[i])) << freeBits;
    };
    m_second = 1;
    if (commonAt(1) < commonAt(0))
        std::swap(m_rare, m_second);
    for (std::size_t i = 2; i < phrase.size(); ++i) {
        if (commonAt(i) < commonAt(m_rare)) {
            m_second = m_rare;
            m_rare = i;
        } else if (commonAt(i) < commonAt(m_second)) {
            m_second = i;
        }
    }
}

bool PhraseFinder::matchesAt(const unsigned char *at) const
{
    if (m_masks.empty())
        return std::memcmp(at, m_phrase.data(), m_phrase.size()) == 0;
    for (std::size_t i = 0; i < m_phrase.size(); ++i) {
        if ((at[i] & static_cast<unsigned char>(m_masks[i])) != static_cast<unsigned char>(m_phrase[i]))
            return false;
    }
    return true;
}

#ifdef SAYVANE_AVX2_LOOPS
// The loop of find on processors with AVX2: the starts in [at, stop)
// whose two rare bytes match, found 32 at a time, each then compared
// whole.
struct PhraseVectors
{
    // The first start that matches (`found`), or where the loop stopped,
    // fewer than 32 starts before `stop`.
    __attribute__((target("avx2"))) static const unsigned char *
    findPairs(const PhraseFinder &finder, const unsigned char *at, const unsigned char *stop, bool &found)
    {
        const std::size_t rareAt = finder.m_rare, secondAt = finder.m_second;
        const __m256i rare = _mm256_set1_epi8(finder.m_phrase[rareAt]);
        const __m256i rareMask = _mm256_set1_epi8(char(finder.maskAt(rareAt)));
        const __m256i second = _mm256_set1_epi8(finder.m_phrase[secondAt]);
        const __m256i secondMask = _mm256_set1_epi8(char(finder.maskAt(secondAt)));
        for (; stop - at >= 32; at += 32) {
            const __m256i rares =
                _mm256_and_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i *>(at + rareAt)), rareMask);
            const __m256i seconds =
                _mm256_and_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i *>(at + secondAt)), secondMask);
            // One mask of the pairs, rather than the bytes ORed together.
            for (auto pairs = unsigned(_mm256_movemask_epi8(
                     _mm256_and_si256(_mm256_cmpeq_epi8(rares, rare), _mm256_cmpeq_epi8(seconds, second))));
                 pairs != 0; pairs &= pairs - 1) {
                const unsigned char *start = at + std::countr_zero(pairs);
                if (finder.matchesAt(start)) {
                    found = true;
                    return start;
                }
            }
        }
        return at;
    }
};
#endif

const char *PhraseFinder::find(const char *begin, const char *end) const
{
#ifdef SAYVANE_AVX2_LOOPS
    if (m_phrase.size() >= 2 && std::size_t(end - begin) >= m_phrase.size() && hasAvx2()) {
        const auto *const stop = reinterpret_cast<const unsigned char *>(end) - m_phrase.size() + 1;
        bool found = false;
        const unsigned char *at =
            PhraseVectors::findPairs(*this, reinterpret_cast<const unsigned char *>(begin), stop, found);
        if (found)
            return reinterpret_cast<const char *>(at);
        begin = reinterpret_cast<const char *>(at);
    }
#endif
    return findWithoutAvx2(begin, end);
}

const char *PhraseFinder::findWithoutAvx2(const char *begin, const char *end) const
{
    const std::size_t length = m_phrase.size();
    if (length == 0)
        return begin;
    if (std::size_t(end - begin) < length)
        return nullptr;
    if (length == 1 && m_masks.empty())
        return findByte(begin, end, m_phrase[0]);
    const std::size_t rareAt = m_rare, secondAt = m_second;
    const auto rare = static_cast<unsigned char>(m_phrase[rareAt]);
    const auto second = static_cast<unsigned char>(m_phrase[secondAt]);
    const unsigned char rareMask = maskAt(rareAt), secondMask = maskAt(secondAt);
    const auto matchesAt = [&](const unsigned char *at) {
        return (at[rareAt] & rareMask) == rare && (at[secondAt] & secondMask) == second && this->matchesAt(at);
    };
    const auto *at = reinterpret_cast<const unsigned char *>(begin);
    const auto *const stop = reinterpret_cast<const unsigned char *>(end) - length + 1; // last start + 1
    // Thirty-two starts at a time in a loop without branches, which the
    // compiler makes of the baseline's vectors.
    constexpr std::ptrdiff_t kWidth = 32;
    while (stop - at >= kWidth) {
        unsigned char candidates = 0;
        for (std::ptrdiff_t i = 0; i < kWidth; ++i)
            candidates |= ((at[i + rareAt] & rareMask) == rare) & ((at[i + secondAt] & secondMask) == second);
        if (candidates) {
            for (std::ptrdiff_t i = 0; i < kWidth; ++i) {
                if (matchesAt(at + i))
                    return reinterpret_cast<const char *>(at + i);
            }
        }
        at += kWidth;
    }
    for (; at < stop; ++at) {
        if (matchesAt(at))
            return reinterpret_cast<const char *>(at);
    }
    return nullptr;
}

} // namespace sayvane
