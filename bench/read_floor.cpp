// SPDX-License-Identifier: MIT
// The least a command at the terminal can take on a file: a program that
// starts with QtCore, as sayvane does, and reads the file in blocks of
// 64 KiB on as many threads as the commands use, looking at nothing. The
// benchmark sets it beside grep and wc, so that a row's target can be
// weighed against what starting and reading alone cost on the machine.
//   sayvane-read-floor FILE
#include "FileParts.h"

#include <QString>

#include <algorithm>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char *argv[])
{
    if (argc != 2)
        return 2;
    const QByteArray path = QString::fromLocal8Bit(argv[1]).toLocal8Bit();
    const int descriptor = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    struct stat status;
    if (descriptor < 0 || ::fstat(descriptor, &status) != 0)
        return 2;
    const long long size = status.st_size;
    const int threads = sayvane::usableCores();
    std::vector<char> failed(std::size_t(threads), 0);
    const auto readShare = [&](int share) {
        std::vector<char> block(std::size_t(64) << 10);
        const long long end = size * (share + 1) / threads;
        for (long long at = size * share / threads; at < end;) {
            const ssize_t count = ::pread(descriptor, block.data(), std::size_t(std::min<long long>(
                                                                         (long long)block.size(), end - at)), at);
            if (count <= 0) {
                failed[std::size_t(share)] = 1;
                return;
            }
            at += count;
        }
    };
    std::vector<std::thread> helpers;
    for (int share = 1; share < threads; ++share)
        helpers.emplace_back(readShare, share);
    readShare(0);
    for (std::thread &helper : helpers)
        helper.join();
    return std::find(failed.begin(), failed.end(), 1) == failed.end() ? 0 : 1;
}
