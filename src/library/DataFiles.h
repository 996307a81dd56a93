// SPDX-License-Identifier: MIT
// Where the collection lies, where its two data files lie in it, and
// whether they are there.
#pragma once

#include <QString>

#include <optional>

namespace sayvane {

// The sample collection in Data/ beside the program. The place is appended
// to the folder text as it is: a folder that already ends in a separator
// gives two adjacent separators.
QString collectionBesideProgram(const QString &programFolder);
// A collection folder named by the user, taken from the working folder
// when relative, made absolute so that every later click reads the same
// files whatever the working folder becomes. Nothing but "." parts and
// trailing slashes is taken out: a ".." after a link is left for the
// system, which resolves it from where the link leads.
QString namedCollectionFolder(const QString &folder);

QString authorsFilePath(const QString &collectionFolder);
QString subjectsFilePath(const QString &collectionFolder);

// Why the path counts as missing, in the system's words where it has them
// ("No such file or directory", "Is a directory"), or nothing when it is a
// data file. Only a regular file or a link to one is a data file; a folder,
// a FIFO, a device or a dangling link counts as missing, as reading a FIFO
// or a device could block or never end.
std::optional<QString> whyMissing(const QString &path);

// Whether the user named the collection's folder, or it is the one the
// program came with.
enum class CollectionOrigin { BesideProgram, Named };

// Both data files of a collection as the existence test found them, which a
// start makes before it opens either.
struct CollectionFiles
{
    QString authors;
    QString subjects;
    std::optional<QString> authorsMissing; // why, when it is missing
    std::optional<QString> subjectsMissing;
    QString folder;
    CollectionOrigin origin = CollectionOrigin::BesideProgram;

    bool bothThere() const { return !authorsMissing && !subjectsMissing; }
};

CollectionFiles findCollectionFiles(const QString &collectionFolder,
                                    CollectionOrigin origin = CollectionOrigin::BesideProgram);

// What a folder the user named, which lacks a file, is told: the folder,
// each missing file and why, and how a collection is made there (lines
// separated by CR LF).
QString namedFolderLacksFilesText(const CollectionFiles &files);

} // namespace sayvane
