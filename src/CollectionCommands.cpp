// SPDX-License-Identifier: MIT
#include "CollectionCommands.h"

#include "AddQuotation.h"
#include "CollectionCheck.h"
#include "DataFiles.h"
#include "ExitStatus.h"
#include "FileNames.h"
#include "FortuneImport.h"
#include "OutputBuffer.h"
#include "PhraseSearch.h"
#include "ProgramNames.h"
#include "RandomQuotation.h"
#include "StandardOutput.h"
#include "TerminalSearch.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include <unistd.h>

namespace sayvane {
namespace {

// The collection the command names, or the one beside the program.
QString collectionFolderOf(const CommandLine &command)
{
    return command.folder ? namedCollectionFolder(*command.folder)
                          : collectionBesideProgram(programFolder().value_or(QStringLiteral(".")));
}

void sayOnStandardError(const QString &text)
{
    writeText(stderr, QStringLiteral("%1: %2\n").arg(QLatin1String(kCommandName), readableFileName(text)));
}

// The seed of SAYVANE_RANDOM_SEED, so that tests can repeat a draw, or
// one of the system's.
quint64 randomSeed()
{
    bool given = false;
    const quint64 seed = qEnvironmentVariable("SAYVANE_RANDOM_SEED").toULongLong(&given);
    if (given)
        return seed;
    std::random_device device;
    return (quint64(device()) << 32) ^ device();
}

// Standard output in large pieces (see OutputBuffer). A reader that has
// gone (EPIPE, where SIGPIPE is ignored) ends the output quietly.
class BufferedOutput
{
public:
    bool write(std::string_view text) { return m_output.write(text); }
    // The status to end with: the intended one, or trouble with a line on
    // standard error where the output could not be written.
    int finish(int intended)
    {
        if (m_output.flush() || m_output.error() == EPIPE)
            return m_output.error() == 0 ? intended : kExitTrouble;
        writeText(stderr, QStringLiteral("%1: write error: %2\n")
                              .arg(QLatin1String(kCommandName), QString::fromLocal8Bit(std::strerror(m_output.error()))));
        return kExitTrouble;
    }

private:
    terminal::OutputBuffer m_output{STDOUT_FILENO};
};

} // namespace

int importFortunesCommand(const CommandLine &command)
{
    const fortunes::ImportReport report = fortunes::importFortunes(*command.folder, command.sources, command.force);
    if (report.failure) {
        sayOnStandardError(*report.failure + QStringLiteral("; nothing was written"));
        return kExitStartFailed;
    }
    return statusAfterWriting(readableFileName(fortunes::reportText(report, *command.folder)), kExitSuccess,
                              QStringLiteral("the collection was written"));
}

int addQuotationCommand(const CommandLine &command)
{
    const keeping::AddResult result =
        keeping::addQuotation(collectionFolderOf(command), {command.text, command.author, command.subject});
    if (result.failure) {
        sayOnStandardError(*result.failure + QStringLiteral("; nothing was written"));
        return kExitStartFailed;
    }
    return statusAfterWriting(keeping::addedText(result), kExitSuccess, QStringLiteral("the quotation was added"));
}

int checkCollectionCommand(const CommandLine &command)
{
    BufferedOutput output;
    std::string line; // one buffer for every finding's line
    const keeping::CheckResult result = keeping::checkCollection(
        collectionFolderOf(command), [&output, &line](const keeping::Finding &finding) {
            line.clear();
            keeping::appendFindingLine(line, finding);
            output.write(line);
        });
    if (result.failure) {
        output.finish(kExitTrouble);
        sayOnStandardError(*result.failure);
        return kExitTrouble;
    }
    const QByteArray summary = keeping::checkSummary(result).toUtf8();
    output.write(std::string_view(summary.constData(), std::size_t(summary.size())));
    return output.finish(result.findings == 0 ? kExitSuccess : kExitFindings);
}

int drawQuotationCommand(const CommandLine &command)
{
    const QString folder = collectionFolderOf(command);
    const terminal::DrawResult result = terminal::drawQuotation(authorsFilePath(folder), subjectsFilePath(folder),
                                                                {command.author, command.subject}, randomSeed());
    if (result.failure) {
        sayOnStandardError(result.failure->path + QStringLiteral(": ") + result.failure->reason);
        return kExitTrouble;
    }
    if (!result.drawn) {
        const QString name = command.author.value_or(command.subject.value_or(QString()));
        sayOnStandardError(name.isNull() ? QStringLiteral("no quotation to draw from in %1").arg(authorsFilePath(folder))
                                         : QStringLiteral("no quotation to draw from under \"%1\" in %2")
                                               .arg(name, command.author ? authorsFilePath(folder)
                                                                         : subjectsFilePath(folder)));
        return kExitNothingFound;
    }
    BufferedOutput output;
    output.write(terminal::drawnText(*result.drawn));
    return output.finish(kExitSuccess);
}

int searchQuotationsCommand(const CommandLine &command)
{
    const std::optional<QStringView> phrase = searchPhrase(command.text);
    if (!phrase) {
        sayOnStandardError(QStringLiteral("the phrase must be at least %1 characters long (spaces at either end "
                                          "do not count)")
                               .arg(kMinimumPhraseLength));
        return kExitTrouble;
    }
    const QString authors = authorsFilePath(collectionFolderOf(command));
    BufferedOutput output;
    const terminal::SearchResult result = terminal::searchCollection(
        authors, *phrase, command.ignoreCase, [&output](std::string_view text) { return output.write(text); });
    if (result.failure) {
        output.finish(kExitTrouble);
        sayOnStandardError(result.failure->path + QStringLiteral(": ") + result.failure->reason);
        return kExitTrouble;
    }
    return output.finish(result.found > 0 ? kExitSuccess : kExitNothingFound);
}

} // namespace sayvane
