// SPDX-License-Identifier: MIT
#include "DataFiles.h"

#include <QDir>
#include <QFile>

#include <filesystem>
#include <system_error>

namespace sayvane {

QString collectionBesideProgram(const QString &programFolder)
{
    return programFolder + QStringLiteral("/Data");
}

QString namedCollectionFolder(const QString &folder)
{
    return QDir(folder).absolutePath();
}

QString authorsFilePath(const QString &collectionFolder)
{
    return collectionFolder + QStringLiteral("/authors.txt");
}

QString subjectsFilePath(const QString &collectionFolder)
{
    return collectionFolder + QStringLiteral("/subjects.txt");
}

bool dataFileExists(const QString &path)
{
    return !whyMissing(path);
}

std::optional<QString> whyMissing(const QString &path)
{
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
}

} // namespace sayvane
