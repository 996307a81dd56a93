// SPDX-License-Identifier: MIT
// The one writer of a collection's data files. It replaces authors.txt and
// subjects.txt as one unit, both or neither, one writer at a time, and
// keeps the mode of a file it replaces.
//
// How: each new file is written beside its target and synced; a journal
// names the old files, kept as hard links, before the first rename; the
// two renames run with signals held back; the journal's removal commits.
// Should the program die between the renames (SIGKILL, a power cut), the
// folder holds the new file of the first rename beside the old other one
// until the next write into the folder, which finds the journal and puts
// the old files back before it begins. The next write also removes part
// files that a dead writer left.
#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <string_view>

namespace sayvane {

// Where the new contents of a file go while it is written.
class PartSink
{
public:
    virtual ~PartSink() = default;
    // False once a write has failed; the writer reports why.
    virtual bool write(std::string_view bytes) = 0;
};

// Writes the whole new contents of one file into the sink. Returns why
// they could not be made (an old file that cannot be read, say), or
// nothing when they were.
using FileContents = std::function<std::optional<QString>(PartSink &)>;

struct CollectionWrite
{
    FileContents authors;  // empty: authors.txt stays as it is
    FileContents subjects; // empty: subjects.txt stays as it is
    bool replace = false;  // whether an existing file may be replaced
};

struct WriteFailure
{
    // Exists: a file that was not to be replaced is there.
    enum class Kind { Exists, Other };
    Kind kind = Kind::Other;
    QString message; // "PATH: reason", or "PATH exists"
};

// Writes the files of the collection in the folder, making the folder if
// it is missing. A data file that is a symbolic link is written through
// it: the link stays and its target gets the new contents. On any failure
// the folder holds what it held.
std::optional<WriteFailure> writeCollection(const QString &folder, const CollectionWrite &write);

// The names this program gives the files it leaves in a folder only while
// it writes: "PREFIX.authors.txt.PID.part" and the like.
inline constexpr const char *kWorkFilePrefix = ".sayvane.";

} // namespace sayvane
