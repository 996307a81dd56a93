// SPDX-License-Identifier: MIT
#include "CommandLine.h"

#include "AddQuotation.h"
#include "DataFileReader.h"
#include "FileNames.h"
#include "LineText.h"
#include "ProgramNames.h"
#include "Version.h"

#include <QCommandLineParser>
#include <QLocale>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace sayvane {
namespace {

// The name the help shows, whatever link or path the program was started
// through, so that the help (and the manual page made from it) reads the
// same everywhere.
const QString kCommand = QString::fromLatin1(sayvane::kCommandName);

// The description --help begins with, made only when it is asked for (a
// locale's number formatting costs a fraction of a millisecond at start).
QString applicationDescription()
{
    return QStringLiteral("Browse a collection of quotations by author or subject.\n\n"
                          "Opens one window that lists every author and every subject of the\n"
                          "collection in FOLDER. Type the beginning of a name to narrow a list,\n"
                          "show all quotations of the selected author or subject, or search the\n"
                          "quotations of the authors for a word or phrase.\n\n"
                          "Both files are plain text, UTF-8 or Windows-1252 (each line is read\n"
                          "as UTF-8 where it is valid UTF-8, else as Windows-1252), with LF or\n"
                          "CR LF line ends (the first line end of a file decides). A line may be\n"
                          "at most %1 bytes long.\n\n"
                          "These need no display and open no window:\n"
                          "  %2 --add TEXT --author NAME --subject NAME [FOLDER]\n"
                          "  %2 --check [FOLDER]\n"
                          "  %2 --random [--author NAME | --subject NAME] [FOLDER]\n"
                          "  %2 --search PHRASE [--ignore-case] [FOLDER]\n"
                          "  %2 --import-fortunes FOLDER SOURCE... [--force]\n"
                          "With --import-fortunes, a SOURCE is a fortune file or a folder of them,\n"
                          "such as /usr/share/games/fortunes.")
        .arg(QLocale(QLocale::English, QLocale::UnitedStates).toString(qulonglong(kMaxLineBytes)), kCommand);
}

QString helpText(const QCommandLineParser &parser)
{
    // Without an application object the parser cannot know the program's
    // name and writes a placeholder in its place.
    QString text = parser.helpText();
    text.replace(QStringLiteral("<executable_name>"), kCommand);
    return text + QStringLiteral("\n"
                                 "Exit status:\n"
                                 "  0  the window was ended by the user, or a command did what it was\n"
                                 "     asked: --check found nothing, --search and --random found a\n"
                                 "     quotation\n"
                                 "  1  the collection could not be opened; an import or --add failed\n"
                                 "     (nothing was written); --check found something; --search or\n"
                                 "     --random found nothing; standard output could not be written\n"
                                 "  2  the command line was not understood (a --search phrase of fewer\n"
                                 "     than 3 characters among it); --check, --search or --random\n"
                                 "     could not read the collection\n"
                                 "  3  no display could be reached, or the display was lost\n");
}

// An argument that is text rather than a file name (a quotation, a name, a
// phrase) reads as a line of a data file does: UTF-8 where its bytes are,
// else Windows-1252.
QString textOf(const QString &argument)
{
    const QByteArray bytes = fileNameBytes(argument);
    return decodeLine(std::string_view(bytes.constData(), std::size_t(bytes.size())));
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
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the program's version and exit."));
    const QCommandLineOption add(
        QStringLiteral("add"),
        QStringLiteral("Add TEXT as a quotation of the collection: the last one of the author's "
                       "section in authors.txt and of the subject's in subjects.txt (a name without a "
                       "heading gets one at the end; a folder without the files gets both, UTF-8 with "
                       "LF). Each file keeps its line ends, encoding and byte-order mark. Prints where "
                       "the quotation went."),
        QStringLiteral("TEXT"));
    const QCommandLineOption author(QStringLiteral("author"),
                                    QStringLiteral("With --add: the author (leave it out to change only "
                                                   "subjects.txt). With --random: draw from this author's "
                                                   "quotations."),
                                    QStringLiteral("NAME"));
    const QCommandLineOption subject(QStringLiteral("subject"),
                                     QStringLiteral("With --add: the subject (leave it out to change only "
                                                    "authors.txt). With --random: draw from this subject's "
                                                    "quotations."),
                                     QStringLiteral("NAME"));
    const QCommandLineOption check(
        QStringLiteral("check"),
        QStringLiteral("Report what hides or garbles quotations, one finding a line as FILE:LINE: a later "
                       "section of a name (never shown), a name with spaces at either end, a heading "
                       "glued to the line before it by a lone LF, quotations before the first heading, "
                       "a heading without a name, a line past the limit."));
    const QCommandLineOption random(QStringLiteral("random"),
                                    QStringLiteral("Print one quotation of authors.txt, drawn at random, each "
                                                   "equally likely, and its author on the next line. "
                                                   "SAYVANE_RANDOM_SEED=N makes the draw repeatable."));
    // The phrase is the first word that is no option, so that -i may
    // stand before it or after it: --search -i PHRASE, --search PHRASE -i.
    const QCommandLineOption search(QStringLiteral("search"),
                                    QStringLiteral("Print every quotation of authors.txt that holds PHRASE (the "
                                                   "first word that is no option; at least 3 characters), one a "
                                                   "line as AUTHOR: QUOTATION, in file order."));
    const QCommandLineOption ignoreCase({QStringLiteral("i"), QStringLiteral("ignore-case")},
                                        QStringLiteral("With --search: ignore the case of letters in every "
                                                       "script."));
    const QCommandLineOption importFortunes(
        QStringLiteral("import-fortunes"),
        QStringLiteral("Import the fortune files of each SOURCE into a collection in FOLDER (made if "
                       "missing): one quotation per entry, under the author its attribution names "
                       "(\"Unattributed\" without one) and under its file's name as subject. Prints "
                       "what it did."),
        QStringLiteral("FOLDER"));
    const QCommandLineOption force(QStringLiteral("force"),
                                   QStringLiteral("With --import-fortunes: replace an existing authors.txt "
                                                  "and subjects.txt."));
    for (const QCommandLineOption *option :
         {&help, &version, &add, &author, &subject, &check, &random, &search, &ignoreCase, &importFortunes, &force})
        parser.addOption(*option);
    parser.addPositionalArgument(QStringLiteral("FOLDER"),
                                 QStringLiteral("The folder that holds authors.txt and subjects.txt. Without it, "
                                                "the sample collection in the Data folder beside the program."),
                                 QStringLiteral("[FOLDER]"));

    const QString hint = QStringLiteral("Try '%1 --help' for more information.\n").arg(kCommand);
    const auto refuse = [&hint](const QString &message) {
        return refusal(kCommand + QStringLiteral(": ") + message + u'\n' + hint);
    };
    if (!parser.parse(QStringList{kCommand} + arguments))
        return refuse(parser.errorText());
    if (parser.isSet(help)) {
        parser.setApplicationDescription(applicationDescription());
        return printing(CommandLine::Action::PrintHelp, helpText(parser));
    }
    if (parser.isSet(version))
        return printing(CommandLine::Action::PrintVersion,
                        QStringLiteral("%1 %2\n").arg(QLatin1String(kApplicationTitle), QLatin1String(kVersion)));

    const std::pair<const QCommandLineOption *, CommandLine::Action> commands[] = {
        {&importFortunes, CommandLine::Action::ImportFortunes}, {&add, CommandLine::Action::AddQuotation},
        {&check, CommandLine::Action::CheckCollection},         {&random, CommandLine::Action::DrawQuotation},
        {&search, CommandLine::Action::SearchQuotations},
    };
    CommandLine command;
    QStringList chosen;
    for (const auto &[option, action] : commands) {
        if (parser.isSet(*option)) {
            chosen.append(u"--"_s + option->names().front());
            command.action = action;
        }
    }
    if (chosen.size() > 1)
        return refuse(QStringLiteral("%1 cannot go together; choose one").arg(chosen.join(QStringLiteral(" and "))));
    const auto goesOnlyWith = [&](const QCommandLineOption &option, std::initializer_list<CommandLine::Action> actions,
                                  const QString &with) -> std::optional<CommandLine> {
        if (parser.isSet(option) && std::find(actions.begin(), actions.end(), command.action) == actions.end())
            return refuse(QStringLiteral("--%1 goes with %2").arg(option.names().back(), with));
        return std::nullopt;
    };
    if (auto refused = goesOnlyWith(force, {CommandLine::Action::ImportFortunes}, u"--import-fortunes"_s))
        return *refused;
    if (auto refused = goesOnlyWith(author, {CommandLine::Action::AddQuotation, CommandLine::Action::DrawQuotation},
                                    u"--add or --random"_s))
        return *refused;
    if (auto refused = goesOnlyWith(subject, {CommandLine::Action::AddQuotation, CommandLine::Action::DrawQuotation},
                                    u"--add or --random"_s))
        return *refused;
    if (auto refused = goesOnlyWith(ignoreCase, {CommandLine::Action::SearchQuotations}, u"--search"_s))
        return *refused;

    QStringList folders = parser.positionalArguments();
    if (command.action == CommandLine::Action::SearchQuotations) {
        if (folders.isEmpty())
            return refuse(u"--search needs a PHRASE"_s);
        command.text = textOf(folders.takeFirst());
        command.ignoreCase = parser.isSet(ignoreCase);
    }
    if (command.action == CommandLine::Action::ImportFortunes) {
        if (folders.isEmpty())
            return refuse(u"--import-fortunes needs at least one SOURCE"_s);
        if (parser.value(importFortunes).isEmpty())
            return refuse(u"the folder name is empty"_s);
        command.folder = parser.value(importFortunes);
        command.sources = folders;
        command.force = parser.isSet(force);
        return command;
    }
    if (folders.size() > 1)
        return refuse(QStringLiteral("one collection folder at most, not %1").arg(folders.size()));
    if (!folders.isEmpty()) {
        if (folders[0].isEmpty())
            return refuse(u"the folder name is empty"_s);
        command.folder = folders[0];
    }
    if (parser.isSet(author))
        command.author = textOf(parser.value(author));
    if (parser.isSet(subject))
        command.subject = textOf(parser.value(subject));
    switch (command.action) {
    case CommandLine::Action::AddQuotation:
        command.text = textOf(parser.value(add));
        if (const std::optional<QString> refused = keeping::refusalOf({command.text, command.author, command.subject}))
            return refuse(*refused);
        break;
    case CommandLine::Action::DrawQuotation:
        if (command.author && command.subject)
            return refuse(u"--random takes --author or --subject, not both"_s);
        break;
    default:
        break;
    }
    return command;
}

} // namespace sayvane
