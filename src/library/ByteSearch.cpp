// SPDX-License-Identifier: MIT
#include "ByteSearch.h"

namespace sayvane {

const char *PhraseFinder::find(const char *begin, const char *end) const
{
    const std::size_t length = m_phrase.size();
    if (length == 0)
        return begin;
    if (std::size_t(end - begin) < length)
        return nullptr;
    if (length == 1)
        return findByte(begin, end, m_phrase[0]);
    const auto first = static_cast<unsigned char>(m_phrase.front());
    const auto last = static_cast<unsigned char>(m_phrase.back());
    const auto matchesAt = [&](const unsigned char *at) {
        return at[0] == first && at[length - 1] == last && std::memcmp(at + 1, m_phrase.data() + 1, length - 2) == 0;
    };
    const auto *at = reinterpret_cast<const unsigned char *>(begin);
    const auto *const stop = reinterpret_cast<const unsigned char *>(end) - length + 1; // last start + 1
    constexpr std::ptrdiff_t kWidth = 32;
    while (stop - at >= kWidth) {
        unsigned char candidates = 0;
        for (std::ptrdiff_t i = 0; i < kWidth; ++i)
            candidates |= (at[i] == first) & (at[i + length - 1] == last);
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
