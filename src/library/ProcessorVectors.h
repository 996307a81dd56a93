// SPDX-License-Identifier: MIT
// The vector loops of the library are built twice on x86-64: for the
// baseline, and for processors with AVX2 (and POPCNT, which every one of
// them has). Which runs is asked of the processor once.
#pragma once

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define SAYVANE_AVX2_LOOPS 1
#include <immintrin.h>

namespace sayvane {

inline bool hasAvx2()
{
    static const bool has = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt");
    return has;
}

} // namespace sayvane
#endif
