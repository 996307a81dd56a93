// SPDX-License-Identifier: MIT
// Starts the program: answers the command line (or imports fortune files),
// then the main window loads the collection and shows itself.
#include "CommandLine.h"
#include "DataFiles.h"
#include "DisplayFailure.h"
#include "FileNames.h"
#include "FortuneImport.h"
#include "ProgramStart.h"
#include "ProgramSetup.h"
#include "StandardOutput.h"

#include <QApplication>

namespace {

// Imports, then says what it did on standard output, or why it wrote
// nothing on standard error.
int importFortunesCommand(const QString &folder, const QStringList &sources, bool force)
{
    using namespace sayvane;
    const fortunes::ImportReport report = fortunes::importFortunes(folder, sources, force);
    if (report.failure) {
        writeText(stderr, QStringLiteral("%1: %2; nothing was written\n")
                              .arg(QLatin1String(kCommandName), readableFileName(*report.failure)));
        return kExitStartFailed;
    }
    return statusAfterWriting(readableFileName(fortunes::reportText(report, folder)), kExitSuccess,
                              QStringLiteral("the collection was written"));
}

} // namespace

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
        return importFortunesCommand(*command.folder, command.sources, command.force);
    case CommandLine::Action::Open:
        break;
    }

    endOnDisplayFailure();
    return runProgram(argv[0], [&command] {
        return command.folder ? namedCollectionFolder(*command.folder)
                              : collectionBesideProgram(programFolder().value_or(QApplication::applicationDirPath()));
    });
}
