// SPDX-License-Identifier: MIT
#include "CommandLine.h"

#include "ProgramSetup.h"
#include "Version.h"

#include <QCommandLineParser>

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
                                 "  1  the collection could not be opened\n"
                                 "  2  the command line was not understood\n");
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
                       "CR LF line ends (the first line end of a file decides)."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the program's version and exit."));
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("FOLDER"),
                                 QStringLiteral("The folder that holds authors.txt and subjects.txt. Without it, "
                                                "the sample collection in the Data folder beside the program."),
                                 QStringLiteral("[FOLDER]"));

    const QString hint = QStringLiteral("Try '%1 --help' for more information.\n").arg(kCommand);
    if (!parser.parse(QStringList{kCommand} + arguments))
        return {CommandLine::Action::Refuse,
                {},
                kCommand + QStringLiteral(": ") + parser.errorText() + QStringLiteral("\n") + hint};
    if (parser.isSet(help))
        return {CommandLine::Action::PrintHelp, {}, helpText(parser)};
    if (parser.isSet(version))
        return {CommandLine::Action::PrintVersion,
                {},
                QStringLiteral("%1 %2\n").arg(QLatin1String(kApplicationTitle), QLatin1String(kVersion))};
    const QStringList folders = parser.positionalArguments();
    if (folders.size() > 1)
        return {CommandLine::Action::Refuse,
                {},
                QStringLiteral("%1: one collection folder at most, not %2\n%3")
                    .arg(kCommand, QString::number(folders.size()), hint)};
    if (folders.isEmpty())
        return {CommandLine::Action::Open, std::nullopt, {}};
    if (folders[0].isEmpty())
        return {CommandLine::Action::Refuse, {}, kCommand + QStringLiteral(": the folder name is empty\n") + hint};
    return {CommandLine::Action::Open, folders[0], {}};
}

} // namespace sayvane
