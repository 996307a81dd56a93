// SPDX-License-Identifier: MIT
#include "CollectionWriter.h"

#include "FileNames.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sayvane::fortunes {
namespace {

constexpr std::array kEndingSignals = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// The files being written, for the signal handler to remove: a program
// ended while writing leaves nothing behind.
char g_partPaths[2][4096];

void removePartsAndEnd(int signal)
{
    for (const char *path : g_partPaths) {
        if (path[0] != '\0')
            ::unlink(path);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// A file being written beside its target, removed unless it was renamed
// into place.
class PartFile
{
public:
    PartFile(int slot, const QString &folder, const QString &name)
        : m_slot(slot)
        , m_target(folder + u'/' + name)
        , m_path(fileNameBytes(folder + QStringLiteral("/.%1.part-%2").arg(name).arg(::getpid())))
    {
        if (std::size_t(m_path.size()) < sizeof g_partPaths[0])
            std::memcpy(g_partPaths[m_slot], m_path.constData(), std::size_t(m_path.size()) + 1);
    }
    ~PartFile()
    {
        if (!m_renamed)
            ::unlink(m_path.constData());
        g_partPaths[m_slot][0] = '\0';
    }

    // Writes the bytes and makes sure they are on the disk.
    std::optional<QString> write(const QByteArray &bytes)
    {
        if (std::size_t(m_path.size()) >= sizeof g_partPaths[0])
            return QStringLiteral("the path is too long");
        const int descriptor = ::open(m_path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (descriptor < 0)
            return reason(errno);
        const char *at = bytes.constData();
        qsizetype left = bytes.size();
        while (left > 0) {
            const ssize_t written = ::write(descriptor, at, std::size_t(left));
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0) {
                const int error = written < 0 ? errno : ENOSPC;
                ::close(descriptor);
                return reason(error);
            }
            at += written;
            left -= written;
        }
        const bool synced = ::fsync(descriptor) == 0;
        const int error = errno;
        if (::close(descriptor) != 0 || !synced)
            return reason(synced ? errno : error);
        return std::nullopt;
    }

    std::optional<QString> renameIntoPlace()
    {
        if (::rename(m_path.constData(), fileNameBytes(m_target).constData()) != 0)
            return reason(errno);
        m_renamed = true;
        return std::nullopt;
    }

private:
    QString reason(int error) const
    {
        return QStringLiteral("%1: %2").arg(m_target, QString::fromLocal8Bit(std::strerror(error)));
    }

    int m_slot;
    QString m_target;
    QByteArray m_path;
    bool m_renamed = false;
};

// Signals that would end the program remove the part files first; a file
// grown past the process's size limit fails its write instead of ending it.
class SignalGuard
{
public:
    SignalGuard()
    {
        for (std::size_t i = 0; i < kEndingSignals.size(); ++i)
            m_previous[i] = std::signal(kEndingSignals[i], removePartsAndEnd);
        m_previousSizeLimit = std::signal(SIGXFSZ, SIG_IGN);
    }
    ~SignalGuard()
    {
        for (std::size_t i = 0; i < kEndingSignals.size(); ++i)
            std::signal(kEndingSignals[i], m_previous[i]);
        std::signal(SIGXFSZ, m_previousSizeLimit);
    }

private:
    std::array<void (*)(int), kEndingSignals.size()> m_previous{};
    void (*m_previousSizeLimit)(int) = nullptr;
};

bool exists(const QString &path)
{
    struct stat status;
    return ::lstat(fileNameBytes(path).constData(), &status) == 0;
}

// Makes the folder and every folder above it that is missing.
bool makeFolder(const QString &folder)
{
    const QByteArray path = fileNameBytes(folder);
    for (qsizetype slash = path.indexOf('/', 1);; slash = path.indexOf('/', slash + 1)) {
        const QByteArray prefix = slash < 0 ? path : path.left(slash);
        if (::mkdir(prefix.constData(), 0777) != 0 && errno != EEXIST)
            return false;
        if (slash < 0)
            break;
    }
    struct stat status;
    return ::stat(path.constData(), &status) == 0 && S_ISDIR(status.st_mode);
}

} // namespace

std::optional<QString> writeCollection(const QString &folder, const QByteArray &authors, const QByteArray &subjects,
                                       bool replace)
{
    if (!makeFolder(folder))
        return QStringLiteral("%1: the folder cannot be made").arg(folder);
    const QString authorsName = QStringLiteral("authors.txt"), subjectsName = QStringLiteral("subjects.txt");
    if (!replace) {
        for (const QString &name : {authorsName, subjectsName}) {
            if (exists(folder + u'/' + name))
                return QStringLiteral("%1/%2 exists; --force replaces it").arg(folder, name);
        }
    }
    const SignalGuard guard;
    PartFile authorsPart(0, folder, authorsName);
    PartFile subjectsPart(1, folder, subjectsName);
    if (auto failure = authorsPart.write(authors))
        return failure;
    if (auto failure = subjectsPart.write(subjects))
        return failure;
    if (auto failure = authorsPart.renameIntoPlace())
        return failure;
    return subjectsPart.renameIntoPlace();
}

} // namespace sayvane::fortunes
