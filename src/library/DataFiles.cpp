#include "DataFiles.h"

#include <QFile>

#include <filesystem>
#include <system_error>

namespace sayvane {

QString authorsFilePath(const QString &programFolder)
{
    return programFolder + QStringLiteral("/Data/authors.txt");
}

QString subjectsFilePath(const QString &programFolder)
{
    return programFolder + QStringLiteral("/Data/subjects.txt");
}

bool dataFileExists(const QString &path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(std::filesystem::path(QFile::encodeName(path).toStdString()), error);
}

} // namespace sayvane
