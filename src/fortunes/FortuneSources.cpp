// SPDX-License-Identifier: MIT
#include "FortuneSources.h"

#include "FileNames.h"
#include "FortuneEntries.h"
#include "LineText.h"
#include "RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <set>
#include <variant>
#include <utility>

#include <dirent.h>
#include <sys/stat.h>

namespace sayvane::fortunes {
namespace {

using FileIdentity = std::pair<dev_t, ino_t>;

std::optional<FileIdentity> identityOf(const QString &path)
{
    struct stat status;
    if (statPath(path, &status) != 0)
        return std::nullopt;
    return FileIdentity{status.st_dev, status.st_ino};
}

bool isFolder(const QString &path)
{
    struct stat status;
    return statPath(path, &status) == 0 && S_ISDIR(status.st_mode);
}

// The names in a folder, in order, without its subfolders; nothing when
// it cannot be read.
std::optional<QStringList> filesIn(const QString &folder)
{
    DIR *listing = ::opendir(fileNameBytes(folder).constData());
    if (!listing)
        return std::nullopt;
    QStringList names;
    while (const dirent *entry = ::readdir(listing)) {
        const QString name = fileNameFromBytes(QByteArrayView(entry->d_name));
        if (name != u"." && name != u".." && !isFolder(folder + u'/' + name))
            names.append(name);
    }
    ::closedir(listing);
    std::sort(names.begin(), names.end());
    return names;
}

// The subject a file's name gives: its bytes read as a line of a data
// file is read, and tidied so that no name can split or re-classify the
// line it heads.
QString subjectOf(const QString &path)
{
    const QByteArray name = fileNameBytes(QStringView(path).sliced(path.lastIndexOf(u'/') + 1));
    return tidiedName(decodeLine(std::string_view(name.constData(), std::size_t(name.size()))));
}

// The whole file, or why it could not be read. Read to its end, as a
// file of /proc reports no size.
std::variant<QByteArray, QString> readWhole(const QString &path)
{
    RegularFile file;
    if (const std::optional<QString> reason = file.open(path, RegularFile::Extent::ToTheEnd))
        return *reason;
    QByteArray bytes;
    char block[1 << 16];
    for (;;) {
        const long long count = file.read(block, sizeof block);
        if (count < 0)
            return file.errorString();
        if (count == 0)
            return bytes;
        if (bytes.size() + count > kLargestSource)
            return QStringLiteral("larger than %1 bytes").arg(kLargestSource);
        bytes.append(block, qsizetype(count));
    }
}

class Collector
{
public:
    void addNamed(const QString &name)
    {
        if (isFolder(name)) {
            const std::optional<QStringList> names = filesIn(name);
            if (!names) {
                m_sources.failure = QStringLiteral("%1: %2").arg(name, QString::fromLocal8Bit(std::strerror(errno)));
                return;
            }
            const QString prefix = name.endsWith(u'/') ? name : name + u'/';
            for (const QString &fileName : *names)
                addFile(prefix + fileName, false);
        } else {
            addFile(name, true);
        }
    }

    Sources take() { return std::move(m_sources); }

private:
    void addFile(const QString &path, bool named)
    {
        if (m_sources.failure)
            return;
        if (path.endsWith(u".dat")) {
            m_sources.passedOver.append({path, PassedOver::Why::IndexFile});
            return;
        }
        const std::optional<FileIdentity> identity = identityOf(path);
        if (identity) {
            if (m_seen.contains(*identity)) {
                m_sources.passedOver.append({path, PassedOver::Why::ReachedAgain});
                return;
            }
        }
        std::variant<QByteArray, QString> read = readWhole(path);
        if (const QString *reason = std::get_if<QString>(&read)) {
            // A folder may hold a FIFO or a socket beside its fortunes; a
            // source named on its own must be read.
            if (!named && *reason == notARegularFileReason()) {
                m_sources.passedOver.append({path, PassedOver::Why::NotRegular});
                return;
            }
            m_sources.failure = QStringLiteral("%1: %2").arg(path, *reason);
            return;
        }
        QByteArray &bytes = std::get<QByteArray>(read);
        if (bytes.contains('\0')) {
            m_sources.passedOver.append({path, PassedOver::Why::NotText});
            return;
        }
        if (identity)
            m_seen.insert(*identity);
        m_sources.files.append({path, subjectOf(path), std::move(bytes)});
    }

    Sources m_sources;
    std::set<FileIdentity> m_seen;
};

} // namespace

Sources readSources(const QStringList &names)
{
    Collector collector;
    for (const QString &name : names)
        collector.addNamed(name);
    return collector.take();
}

} // namespace sayvane::fortunes
