// Where the two data files lie beside the program, and whether they are there.
#pragma once

#include <QString>

namespace sayvane {

// The folder text followed directly by the file's place under it; a folder
// that already ends in a separator gives two adjacent separators.
QString authorsFilePath(const QString &programFolder);
QString subjectsFilePath(const QString &programFolder);

// True only for a regular file or a link to one. A folder, a FIFO, a device
// or a dangling link counts as missing: reading a FIFO or a device could
// block or never end.
bool dataFileExists(const QString &path);

} // namespace sayvane
