// SPDX-License-Identifier: MIT
#include "FortuneSources.h"

#include "RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <set>
#include <variant>
#include <utility>

#include <sys/stat.h>

namespace sayvane::fortunes {
namespace {

using FileIdentity = std::pair<dev_t, ino_t>;

std::optional<FileIdentity> identityOf(const QString &path)
{
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return FileIdentity{status.st_dev, status.st_ino};
}

// The whole file, or why it could not be read.
std::variant<QByteArray, QString> readWhole(const QString &path)
{
    RegularFile file;
    if (const std::optional<QString> reason = file.open(path))
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
        const QFileInfo info(name);
        if (info.isDir()) {
            if (!info.isReadable() || !info.isExecutable()) {
                m_sources.failure = QStringLiteral("%1: Permission denied").arg(name);
                return;
            }
            const QDir folder(name);
            const QStringList names = folder.entryList(QDir::Files | QDir::System | QDir::Hidden, QDir::Name);
            for (const QString &fileName : names)
                addFile(folder.filePath(fileName), false);
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
        m_sources.files.append({path, QFileInfo(path).fileName(), std::move(bytes)});
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
