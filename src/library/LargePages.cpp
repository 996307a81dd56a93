// SPDX-License-Identifier: MIT
#include "LargePages.h"

#include <cstdlib>

#if defined(__linux__) && !defined(SAYVANE_PORTABLE_FILES)
#include <sys/mman.h>
#endif

namespace sayvane {

void *allocateLarge(std::size_t bytes)
{
    void *memory = nullptr;
    if (bytes >= kLargePagesFrom) {
        const std::size_t whole = (bytes + kLargePage - 1) / kLargePage * kLargePage;
        memory = std::aligned_alloc(kLargePage, whole);
#if defined(__linux__) && !defined(SAYVANE_PORTABLE_FILES)
        if (memory)
            ::madvise(memory, whole, MADV_HUGEPAGE); // a hint: without it, small pages
#endif
    } else {
        memory = std::malloc(bytes == 0 ? 1 : bytes);
    }
    if (!memory)
        throw std::bad_alloc();
    return memory;
}

void freeLarge(void *memory) noexcept
{
    std::free(memory);
}

} // namespace sayvane
