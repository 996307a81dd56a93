// SPDX-License-Identifier: MIT
// Memory for buffers and tables that may grow large, in pages of 2 MiB
// where the system offers them. Every fresh page of 4 KiB costs a fault
// when it is first written, and a command that fills a megabyte of fresh
// memory spends more on those faults than on what it writes there; one
// large page takes one fault.
#pragma once

#include <cstddef>
#include <new>

namespace sayvane {

// From this size on, a block is taken whole in large pages: a table that
// doubles from here takes one fault at each size instead of hundreds.
inline constexpr std::size_t kLargePagesFrom = std::size_t(256) << 10;
inline constexpr std::size_t kLargePage = std::size_t(2) << 20;

// `bytes` of memory, in large pages (rounded up to whole ones) from
// kLargePagesFrom on; throws std::bad_alloc when there is none.
void *allocateLarge(std::size_t bytes);
void freeLarge(void *memory) noexcept;

// For the containers of the standard library.
template <typename T> struct LargePageAllocator
{
    using value_type = T;

    LargePageAllocator() = default;
    template <typename U> LargePageAllocator(const LargePageAllocator<U> &) {}

    T *allocate(std::size_t count) { return static_cast<T *>(allocateLarge(count * sizeof(T))); }
    void deallocate(T *memory, std::size_t) noexcept { freeLarge(memory); }
    template <typename U> bool operator==(const LargePageAllocator<U> &) const { return true; }
};

} // namespace sayvane
