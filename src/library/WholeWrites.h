// SPDX-License-Identifier: MIT
// Writing all of a text to a descriptor: write(2) may take only part of
// it, or be interrupted by a signal before it takes any.
#pragma once

#include <cerrno>
#include <cstddef>

#include <unistd.h>

namespace sayvane {

// 0 once every byte is written, else the errno of the write that failed
// (ENOSPC for a write that took nothing).
inline int writeWhole(int descriptor, const char *bytes, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(descriptor, bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? errno : ENOSPC;
        bytes += written;
        size -= std::size_t(written);
    }
    return 0;
}

} // namespace sayvane
