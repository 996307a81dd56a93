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
    std::error_code error;
    return std::filesystem::is_regular_file(std::filesystem::path(QFile::encodeName(path).toStdString()), error);
}

} // namespace sayvane
