// SPDX-License-Identifier: MIT
#include "ByteSearch.h"

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

// Built twice by GCC: for the baseline of x86-64, and for processors with
// AVX2, whose wider vectors test the 32 positions of the loop at once; the
// loader picks the one the processor runs. (Clang 14 defines no symbol
// that other files can call for a member function built twice; and the
// thread sanitizer's build would run the loader's choice before the
// sanitizer is ready.)
#if defined(__x86_64__) && defined(__ELF__) && defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_THREAD__)
__attribute__((target_clones("avx2", "default")))
#endif
const char *PhraseFinder::find(const char *begin, const char *end) const
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
    const auto maskOf = [this](std::size_t i) {
        return m_masks.empty() ? static_cast<unsigned char>(0xFF) : static_cast<unsigned char>(m_masks[i]);
    };
    const unsigned char rareMask = maskOf(rareAt), secondMask = maskOf(secondAt);
    const auto matchesAt = [&](const unsigned char *at) {
        return (at[rareAt] & rareMask) == rare && (at[secondAt] & secondMask) == second && this->matchesAt(at);
    };
    const auto *at = reinterpret_cast<const unsigned char *>(begin);
    const auto *const stop = reinterpret_cast<const unsigned char *>(end) - length + 1; // last start + 1
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
