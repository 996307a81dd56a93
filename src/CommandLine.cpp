// SPDX-License-Identifier: MIT
#include "CommandLine.h"

#include "DataFileReader.h"
#include "ProgramSetup.h"
#include "Version.h"

#include <QCommandLineParser>
#include <QLocale>

namespace sayvane {
namespace {

// The name the help shows, whatever link or path the program was started
// through, so that the help (and the manual page made from it) reads the
// same everywhere.
const QString kCommand = QString::fromLatin1(sayvane::kCommandName);

QString helpText(const QCommandLineParser &parser)
{
    // Without an application object the parser cannot know the program's
    // name and writes a placeholder in its place.
    QString text = parser.helpText();
    text.replace(QStringLiteral("<executable_name>"), kCommand);
    return text + QStringLiteral("\n"
                                 "Exit status:\n"
                                 "  0  the program was ended by the user\n"
                                 "  1  the collection could not be opened, an import failed (nothing was\n"
                                 "     written), or standard output could not be written\n"
                                 "  2  the command line was not understood\n"
                                 "  3  no display could be reached, or the display was lost\n");
}

CommandLine refusal(const QString &message)
{
    CommandLine command;
    command.action = CommandLine::Action::Refuse;
    command.output = message;
    return command;
}

CommandLine printing(CommandLine::Action action, const QString &text)
{
    CommandLine command;
    command.action = action;
    command.output = text;
    return command;
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    // "-platform" is one unknown word, not seven unknown letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Browse a collection of quotations by author or subject.\n\n"
                       "Opens one window that lists every author and every subject of the\n"
                       "collection in FOLDER. Type the beginning of a name to narrow a list,\n"
                       "show all quotations of the selected author or subject, or search the\n"
                       "quotations of the authors for a word or phrase.\n\n"
                       "Both files are plain text, UTF-8 or Windows-1252 (each line is read\n"
                       "as UTF-8 where it is valid UTF-8, else as Windows-1252), with LF or\n"
                       "CR LF line ends (the first line end of a file decides). A line may be\n"
                       "at most %1 bytes long.\n\n"
                       "With --import-fortunes FOLDER SOURCE..., makes a collection in FOLDER\n"
                       "of the fortune files named (a SOURCE is a file or a folder of them,\n"
                       "such as /usr/share/games/fortunes) instead of opening a window.")
            .arg(QLocale(QLocale::English, QLocale::UnitedStates).toString(qulonglong(kMaxLineBytes))));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the program's version and exit."));
    const QCommandLineOption importFortunes(
        QStringLiteral("import-fortunes"),
        QStringLiteral("Import the fortune files of each SOURCE into a collection in FOLDER (made if "
                       "missing): one quotation per entry, under the author its attribution names "
                       "(\"Unattributed\" without one) and under its file's name as subject. Prints "
                       "what it did; needs no display."),
        QStringLiteral("FOLDER"));
    const QCommandLineOption force(QStringLiteral("force"),
                                   QStringLiteral("With --import-fortunes: replace an existing authors.txt "
                                                  "and subjects.txt."));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(importFortunes);
    parser.addOption(force);
    parser.addPositionalArgument(QStringLiteral("FOLDER"),
                                 QStringLiteral("The folder that holds authors.txt and subjects.txt. Without it, "
                                                "the sample collection in the Data folder beside the program."),
                                 QStringLiteral("[FOLDER]"));

    const QString hint = QStringLiteral("Try '%1 --help' for more information.\n").arg(kCommand);
    if (!parser.parse(QStringList{kCommand} + arguments))
        return refusal(kCommand + QStringLiteral(": ") + parser.errorText() + QStringLiteral("\n") + hint);
    if (parser.isSet(help))
        return printing(CommandLine::Action::PrintHelp, helpText(parser));
    if (parser.isSet(version))
        return printing(CommandLine::Action::PrintVersion,
                        QStringLiteral("%1 %2\n").arg(QLatin1String(kApplicationTitle), QLatin1String(kVersion)));
    const QStringList folders = parser.positionalArguments();
    if (parser.isSet(importFortunes)) {
        if (folders.isEmpty())
            return refusal(kCommand + QStringLiteral(": --import-fortunes needs at least one SOURCE\n") + hint);
        if (parser.value(importFortunes).isEmpty())
            return refusal(kCommand + QStringLiteral(": the folder name is empty\n") + hint);
        CommandLine command;
        command.action = CommandLine::Action::ImportFortunes;
        command.folder = parser.value(importFortunes);
        command.sources = folders;
        command.force = parser.isSet(force);
        return command;
    }
    if (parser.isSet(force))
        return refusal(kCommand + QStringLiteral(": --force goes with --import-fortunes\n") + hint);
    if (folders.size() > 1)
        return refusal(QStringLiteral("%1: one collection folder at most, not %2\n%3")
                           .arg(kCommand, QString::number(folders.size()), hint));
    if (folders.isEmpty())
        return CommandLine();
    if (folders[0].isEmpty())
        return refusal(kCommand + QStringLiteral(": the folder name is empty\n") + hint);
    CommandLine open;
    open.folder = folders[0];
    return open;
}

} // namespace sayvane
