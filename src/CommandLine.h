// SPDX-License-Identifier: MIT
// What the command line asks of the program: open a collection, import
// fortune files into one, add a quotation to one or check it, print the
// help or the version, or refuse the words it was given.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace sayvane {

struct CommandLine
{
    enum class Action {
        Open,
        ImportFortunes,
        AddQuotation,
        CheckCollection,
        DrawQuotation,
        SearchQuotations,
        PrintHelp,
        PrintVersion,
        Refuse
    };

    Action action = Action::Open;
    // With Open and the commands on a collection: the folder named on the
    // command line, as typed; none for the collection beside the program.
    // With ImportFortunes: the folder to write the collection into.
    std::optional<QString> folder;
    // With PrintHelp and PrintVersion, the text for standard output; with
    // Refuse, the message and the usage hint for standard error.
    QString output;
    // With ImportFortunes: the fortune files and folders to import, and
    // whether existing files of the collection may be replaced.
    QStringList sources;
    bool force = false;
    // With AddQuotation: the quotation; with SearchQuotations: the phrase.
    QString text;
    // With AddQuotation: the names it goes under; with DrawQuotation: the
    // one whose quotations it draws from.
    std::optional<QString> author;
    std::optional<QString> subject;
    bool ignoreCase = false; // with SearchQuotations
};

// Parses the arguments that follow the program's name. Needs no
// application object and no display, so --help and --version answer
// anywhere.
CommandLine parseCommandLine(const QStringList &arguments);

} // namespace sayvane
