// SPDX-License-Identifier: MIT
// Starts the program: answers the command line (or runs a command on a
// collection), then the main window loads the collection and shows itself.
#include "CollectionCommands.h"
#include "CommandLine.h"
#include "ExitStatus.h"
#include "FileNames.h"
#include "OpenWindow.h"
#include "StandardOutput.h"

int main(int argc, char *argv[])
{
    using namespace sayvane;
    QStringList arguments;
    for (int index = 1; index < argc; ++index)
        arguments.append(fileNameFromBytes(QByteArrayView(argv[index])));
    // Answered before any window system is asked for, so that --help and
    // --version work without a display.
    const CommandLine command = parseCommandLine(arguments);
    switch (command.action) {
    case CommandLine::Action::PrintHelp:
    case CommandLine::Action::PrintVersion:
        return statusAfterWriting(command.output, kExitSuccess);
    case CommandLine::Action::Refuse:
        writeText(stderr, command.output);
        return kExitUsage;
    case CommandLine::Action::ImportFortunes:
        return importFortunesCommand(command);
    case CommandLine::Action::AddQuotation:
        return addQuotationCommand(command);
    case CommandLine::Action::CheckCollection:
        return checkCollectionCommand(command);
    case CommandLine::Action::DrawQuotation:
        return drawQuotationCommand(command);
    case CommandLine::Action::SearchQuotations:
        return searchQuotationsCommand(command);
    case CommandLine::Action::Open:
        break;
    }

    return openWindow(argv[0], command.folder);
}
