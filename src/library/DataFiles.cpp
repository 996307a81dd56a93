// SPDX-License-Identifier: MIT
#include "DataFiles.h"

#include <QStringList>

#include "FileNames.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace sayvane {

QString collectionBesideProgram(const QString &programFolder)
{
    return programFolder + QStringLiteral("/Data");
}

QString namedCollectionFolder(const QString &folder)
{
    // Parts that are "." go and so do slashes at the end; a ".." stays for
    // the system to resolve, which after a link is not the textual parent.
    QStringList parts = folder.split(u'/');
    const bool absolute = folder.startsWith(u'/');
    parts.removeAll(QString());
    parts.removeAll(QStringLiteral("."));
    QString path = parts.join(u'/');
    if (absolute)
        return u'/' + path;
    const std::optional<QString> working = workingFolder();
    if (!working) // too deep for the system to name: relative it stays
        return path.isEmpty() ? QStringLiteral(".") : path;
    if (path.isEmpty())
        return *working;
    return (working->endsWith(u'/') ? *working : *working + u'/') + path;
}

QString authorsFilePath(const QString &collectionFolder)
{
    return collectionFolder + QStringLiteral("/authors.txt");
}

QString subjectsFilePath(const QString &collectionFolder)
{
    return collectionFolder + QStringLiteral("/subjects.txt");
}

CollectionFiles findCollectionFiles(const QString &collectionFolder, CollectionOrigin origin)
{
    CollectionFiles files{authorsFilePath(collectionFolder), subjectsFilePath(collectionFolder), {}, {},
                          collectionFolder, origin};
    files.subjectsMissing = whyMissing(files.subjects);
    files.authorsMissing = whyMissing(files.authors);
    return files;
}

QString namedFolderLacksFilesText(const CollectionFiles &files)
{
    const QString folder = readableFileName(files.folder);
    QStringList lines{QStringLiteral("The folder %1 holds no quotation collection:").arg(folder)};
    for (const auto &[name, missing] : {std::pair{QStringLiteral("authors.txt"), files.authorsMissing},
                                        std::pair{QStringLiteral("subjects.txt"), files.subjectsMissing}}) {
        if (missing)
            lines.append(QStringLiteral("%1 is missing (%2).").arg(name, *missing));
    }
    lines += {QString(), QStringLiteral("A collection is two files, authors.txt and subjects.txt. To start one in"),
              QStringLiteral("this folder, add a quotation with"),
              QStringLiteral("    sayvane --add TEXT --author NAME --subject NAME FOLDER"),
              QStringLiteral("or import fortune files with"),
              QStringLiteral("    sayvane --import-fortunes FOLDER /usr/share/games/fortunes")};
    return lines.join(QStringLiteral("\r\n"));
}

std::optional<QString> whyMissing(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat status;
    if (statPath(path, &status) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    if (S_ISDIR(status.st_mode))
        return QString::fromLocal8Bit(std::strerror(EISDIR));
    if (!S_ISREG(status.st_mode))
        return QStringLiteral("not a regular file");
    return std::nullopt;
#else
    std::error_code error;
    const std::filesystem::file_status status =
        std::filesystem::status(std::filesystem::path(QFile::encodeName(path).toStdString()), error);
    if (error)
        return QString::fromStdString(error.message());
    if (std::filesystem::is_directory(status))
        return QString::fromStdString(std::make_error_code(std::errc::is_a_directory).message());
    if (!std::filesystem::is_regular_file(status))
        return QStringLiteral("not a regular file");
    return std::nullopt;
#endif
}

} // namespace sayvane
