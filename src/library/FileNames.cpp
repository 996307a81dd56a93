// SPDX-License-Identifier: MIT
#include "FileNames.h"

#include "LineText.h"

#include <QDir>
#include <QFile>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace sayvane {
namespace {

constexpr char16_t kFirstEscape = 0xDC80; // stands for the byte 0x80

bool isEscape(char16_t unit)
{
    return unit >= kFirstEscape && unit <= kFirstEscape + 0x7F;
}

} // namespace

QString fileNameFromBytes(QByteArrayView bytes)
{
    QString name;
    name.reserve(bytes.size());
    const auto *at = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *const end = at + bytes.size();
    while (at < end) {
        const int length = utf8SequenceLength(at, end);
        if (length == 0) {
            name.append(QChar(char16_t(kFirstEscape + (*at - 0x80))));
            ++at;
            continue;
        }
        // Decoded here rather than by a converter, which would drop a
        // byte-order mark (EF BB BF) as if it began a text.
        const char32_t character = nextUtf8Character(at);
        if (QChar::requiresSurrogates(character)) {
            name.append(QChar(QChar::highSurrogate(character)));
            name.append(QChar(QChar::lowSurrogate(character)));
        } else {
            name.append(QChar(char16_t(character)));
        }
    }
    return name;
}

QByteArray fileNameBytes(QStringView name)
{
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype runStart = 0;
    const auto flush = [&](qsizetype end) {
        if (end > runStart)
            bytes.append(name.sliced(runStart, end - runStart).toUtf8());
    };
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!isEscape(name[i].unicode()))
            continue;
        // A lone low surrogate: an escaped byte. (One after a high
        // surrogate is half of a character beyond the 16-bit range.)
        if (i > 0 && name[i - 1].isHighSurrogate())
            continue;
        flush(i);
        bytes.append(char(0x80 + (name[i].unicode() - kFirstEscape)));
        runStart = i + 1;
    }
    flush(name.size());
    return bytes;
}

QString readableFileName(QStringView name)
{
    QString readable;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t unit = name[i].unicode();
        if (isEscape(unit) && !(i > 0 && name[i - 1].isHighSurrogate()))
            readable += QStringLiteral("\\%1").arg(0x80 + (unit - kFirstEscape), 3, 8, QLatin1Char('0'));
        else
            readable += name[i];
    }
    return QDir::toNativeSeparators(readable);
}

#ifdef Q_OS_UNIX

std::optional<QString> workingFolder()
{
    QByteArray buffer(4096, Qt::Uninitialized);
    while (::getcwd(buffer.data(), std::size_t(buffer.size())) == nullptr) {
        if (errno != ERANGE || buffer.size() > (1 << 20))
            return std::nullopt;
        buffer.resize(buffer.size() * 2);
    }
    return fileNameFromBytes(QByteArrayView(buffer.constData()));
}

std::optional<QString> programFolder()
{
    QByteArray buffer(4096, Qt::Uninitialized);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), std::size_t(buffer.size()));
        if (length < 0)
            return std::nullopt;
        if (length < buffer.size()) {
            buffer.truncate(length);
            break;
        }
        if (buffer.size() > (1 << 20))
            return std::nullopt;
        buffer.resize(buffer.size() * 2);
    }
    const qsizetype slash = buffer.lastIndexOf('/');
    if (slash < 0)
        return std::nullopt;
    return fileNameFromBytes(buffer.left(std::max<qsizetype>(slash, 1)));
}

namespace {

// Walks to the folder that holds the path's last part, opening one folder
// at a time from the start (the root, or the working folder), so that no
// call sees more than one part. The caller closes the folder.
int openParentOf(const QByteArray &path, QByteArray &last)
{
    int folder = ::open(path.startsWith('/') ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC);
    QList<QByteArray> parts = path.split('/');
    parts.removeAll(QByteArray());
    if (parts.isEmpty()) {
        last = ".";
        return folder;
    }
    last = parts.takeLast();
    for (const QByteArray &part : parts) {
        if (folder < 0)
            return -1;
        const int next = ::openat(folder, part.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        const int error = errno;
        ::close(folder);
        folder = next;
        errno = error;
    }
    return folder;
}

} // namespace

int openPath(const QString &path, int flags)
{
    const QByteArray bytes = fileNameBytes(path);
    const int descriptor = ::open(bytes.constData(), flags);
    if (descriptor >= 0 || errno != ENAMETOOLONG)
        return descriptor;
    QByteArray last;
    const int folder = openParentOf(bytes, last);
    if (folder < 0)
        return -1;
    const int opened = ::openat(folder, last.constData(), flags);
    const int error = errno;
    ::close(folder);
    errno = error;
    return opened;
}

int statPath(const QString &path, struct stat *status)
{
    const QByteArray bytes = fileNameBytes(path);
    const int result = ::stat(bytes.constData(), status);
    if (result == 0 || errno != ENAMETOOLONG)
        return result;
    QByteArray last;
    const int folder = openParentOf(bytes, last);
    if (folder < 0)
        return -1;
    const int walked = ::fstatat(folder, last.constData(), status, 0);
    const int error = errno;
    ::close(folder);
    errno = error;
    return walked;
}

#else

std::optional<QString> workingFolder()
{
    return QDir::currentPath();
}

std::optional<QString> programFolder()
{
    return std::nullopt;
}

#endif

} // namespace sayvane
