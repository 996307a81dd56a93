// SPDX-License-Identifier: MIT
#include "RegularFile.h"

#include "FileNames.h"

#include <QFile>

#include <algorithm>
#include <limits>

#include <cerrno>
#include <cstring>

#ifdef SAYVANE_POSIX_FILES
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QFileInfo>
#endif

namespace sayvane {
namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

QString notARegularFileReason()
{
    return QStringLiteral("not a regular file");
}

RegularFile::~RegularFile()
{
    close();
}

#ifdef SAYVANE_POSIX_FILES

std::optional<QString> RegularFile::open(const QString &path, Extent extent)
{
    close();
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a
    // writer. It changes nothing for a regular file.
    m_descriptor = openPath(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    // ENXIO: a socket, or a device without a driver; special files both.
    if (m_descriptor < 0)
        return m_error = errno == ENXIO ? notARegularFileReason() : systemReason(errno);
    struct stat status = {};
    if (fstat(m_descriptor, &status) != 0) {
        m_error = systemReason(errno);
        close();
        return m_error;
    }
    if (!S_ISREG(status.st_mode)) {
        close();
        return m_error = notARegularFileReason();
    }
    m_size = extent == Extent::ToTheEnd ? -1 : status.st_size;
    m_remaining = extent == Extent::ToTheEnd ? std::numeric_limits<long long>::max() : status.st_size;
    return std::nullopt;
}

std::optional<QString> RegularFile::openPart(const RegularFile &whole, long long offset, long long length)
{
    close();
    m_descriptor = fcntl(whole.m_descriptor, F_DUPFD_CLOEXEC, 0);
    if (m_descriptor < 0)
        return m_error = systemReason(errno);
    m_size = length;
    m_remaining = length;
    m_offset = offset;
    return std::nullopt;
}

long long RegularFile::read(char *buffer, std::size_t capacity)
{
    std::size_t wanted = std::min<std::size_t>(capacity, std::size_t(m_remaining));
    if (wanted == 0)
        return 0;
    ssize_t count;
    do {
        switch (nextFault()) {
        case ReadFault::None:
            count = readSome(buffer, wanted);
            break;
        case ReadFault::Error:
            count = -1;
            errno = EIO;
            break;
        case ReadFault::Short:
            wanted = std::max<std::size_t>(1, wanted / 2);
            count = readSome(buffer, wanted);
            break;
        case ReadFault::Interrupted:
            count = -1;
            errno = EINTR;
            break;
        }
    } while (count < 0 && errno == EINTR);
    if (count < 0) {
        m_error = systemReason(errno);
        return -1;
    }
    m_remaining -= count;
    if (m_offset >= 0)
        m_offset += count;
    return count;
}

// A part reads at its own offset, which the whole file's descriptor, shared
// with it, does not move.
long RegularFile::readSome(char *buffer, std::size_t wanted)
{
    return m_offset >= 0 ? ::pread(m_descriptor, buffer, wanted, m_offset) : ::read(m_descriptor, buffer, wanted);
}

void RegularFile::close()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    m_descriptor = -1;
    m_remaining = 0;
    m_size = m_offset = -1;
}

#else

// Elsewhere Qt opens the file. A path that is no regular file is refused
// before it is opened, since opening a FIFO could wait for ever; then the
// opened file decides: a FIFO, a device or a socket swapped in meanwhile
// reads as a sequential device, and is refused too.
std::optional<QString> RegularFile::open(const QString &path, Extent extent)
{
    close();
    if (!QFileInfo(path).isFile())
        return m_error = QFileInfo::exists(path) ? notARegularFileReason() : systemReason(ENOENT);
    m_file = new QFile(path);
    if (!m_file->open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        m_error = m_file->errorString();
        close();
        return m_error;
    }
    if (m_file->isSequential()) {
        close();
        return m_error = notARegularFileReason();
    }
    m_path = path;
    m_size = extent == Extent::ToTheEnd ? -1 : m_file->size();
    m_remaining = extent == Extent::ToTheEnd ? std::numeric_limits<long long>::max() : m_file->size();
    return std::nullopt;
}

std::optional<QString> RegularFile::openPart(const RegularFile &whole, long long offset, long long length)
{
    close();
    m_file = new QFile(whole.m_path);
    if (!m_file->open(QIODevice::ReadOnly | QIODevice::Unbuffered) || !m_file->seek(offset)) {
        m_error = m_file->errorString();
        close();
        return m_error;
    }
    m_path = whole.m_path;
    m_size = m_remaining = length;
    return std::nullopt;
}

long long RegularFile::read(char *buffer, std::size_t capacity)
{
    qint64 wanted = qint64(std::min<std::size_t>(capacity, std::size_t(m_remaining)));
    if (wanted == 0)
        return 0;
    ReadFault fault;
    while ((fault = nextFault()) == ReadFault::Interrupted) {
        // Qt asks again after an interruption itself.
    }
    if (fault == ReadFault::Short)
        wanted = std::max<qint64>(1, wanted / 2);
    const qint64 count = fault == ReadFault::Error ? -1 : m_file->read(buffer, wanted);
    if (count < 0) {
        m_error = fault == ReadFault::Error ? systemReason(EIO) : m_file->errorString();
        return -1;
    }
    m_remaining -= count;
    return count;
}

void RegularFile::close()
{
    delete m_file;
    m_file = nullptr;
    m_remaining = 0;
    m_size = m_offset = -1;
}

#endif

} // namespace sayvane
