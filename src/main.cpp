// SPDX-License-Identifier: MIT
// Starts the program: answers the command line, then the main window loads
// the collection and shows itself.
#include "CommandLine.h"
#include "DataFiles.h"
#include "ProgramStart.h"
#include "ProgramSetup.h"
#include "frmMain.h"

#include <QApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    using namespace sayvane;
    QStringList arguments;
    for (int index = 1; index < argc; ++index)
        arguments.append(QFile::decodeName(argv[index]));
    // Answered before any window system is asked for, so that --help and
    // --version work without a display.
    const CommandLine command = parseCommandLine(arguments);
    switch (command.action) {
    case CommandLine::Action::PrintHelp:
    case CommandLine::Action::PrintVersion:
        std::fputs(command.output.toLocal8Bit().constData(), stdout);
        return kExitSuccess;
    case CommandLine::Action::Refuse:
        std::fputs(command.output.toLocal8Bit().constData(), stderr);
        return kExitUsage;
    case CommandLine::Action::Open:
        break;
    }

    std::thread fontConfiguration = startFontConfiguration();
    // Qt sees only the program's name: the words of the command line are
    // ours, and a folder named like one of Qt's options stays a folder.
    int applicationArgc = 1;
    QApplication application(applicationArgc, argv);
    fontConfiguration.join();
    setUpProgram();
    const QString collection = command.folder ? namedCollectionFolder(*command.folder)
                                              : collectionBesideProgram(QApplication::applicationDirPath());
    const std::unique_ptr<frmMain> window = openMainWindow(collection);
    if (!window)
        return kExitStartFailed;
    window->showCentred();
    return application.exec();
}
