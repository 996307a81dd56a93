// SPDX-License-Identifier: MIT
#include "RegularFile.h"

#include <QFile>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QFileInfo>
#endif

namespace sayvane {

QString notARegularFileReason()
{
    return QStringLiteral("not a regular file");
}

RegularFile::~RegularFile()
{
    close();
}

#ifdef Q_OS_UNIX

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

std::optional<QString> RegularFile::open(const QString &path)
{
    close();
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a
    // writer. It changes nothing for a regular file.
    m_descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
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
    m_remaining = status.st_size;
    return std::nullopt;
}

long long RegularFile::read(char *buffer, std::size_t capacity)
{
    const std::size_t wanted = std::min<std::size_t>(capacity, std::size_t(m_remaining));
    if (wanted == 0)
        return 0;
    ssize_t count;
    do
        count = ::read(m_descriptor, buffer, wanted);
    while (count < 0 && errno == EINTR);
    if (count < 0) {
        m_error = systemReason(errno);
        return -1;
    }
    m_remaining -= count;
    return count;
}

void RegularFile::close()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    m_descriptor = -1;
    m_remaining = 0;
}

#else

// Elsewhere Qt opens the file. Only named pipes could block there, and
// they do not live among ordinary paths.
std::optional<QString> RegularFile::open(const QString &path)
{
    close();
    m_file = new QFile(path);
    if (!m_file->open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        m_error = m_file->errorString();
        close();
        return m_error;
    }
    if (!QFileInfo(path).isFile()) {
        close();
        return m_error = notARegularFileReason();
    }
    m_remaining = m_file->size();
    return std::nullopt;
}

long long RegularFile::read(char *buffer, std::size_t capacity)
{
    const std::size_t wanted = std::min<std::size_t>(capacity, std::size_t(m_remaining));
    if (wanted == 0)
        return 0;
    const qint64 count = m_file->read(buffer, qint64(wanted));
    if (count < 0) {
        m_error = m_file->errorString();
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
}

#endif

} // namespace sayvane
