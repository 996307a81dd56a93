// SPDX-License-Identifier: MIT
#include "StandardOutput.h"

#include "ExitStatus.h"
#include "ProgramNames.h"

#include <cerrno>
#include <cstring>

namespace sayvane {

bool writeText(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    const bool written =
        std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream) == std::size_t(bytes.size());
    return std::fflush(stream) == 0 && written && !std::ferror(stream);
}

int statusAfterWriting(const QString &text, int intended, const QString &done)
{
    errno = 0;
    if (writeText(stdout, text))
        return intended;
    const int error = errno;
    writeText(stderr, QStringLiteral("%1: write error: %2%3\n")
                          .arg(QLatin1String(kCommandName),
                               QString::fromLocal8Bit(std::strerror(error != 0 ? error : EIO)),
                               done.isEmpty() ? QString() : QStringLiteral("; ") + done));
    return kExitStartFailed;
}

} // namespace sayvane
