// SPDX-License-Identifier: MIT
#include "CollectionCommands.h"

#include "AddQuotation.h"
#include "CollectionCheck.h"
#include "DataFiles.h"
#include "ExitStatus.h"
#include "FileNames.h"
#include "FortuneImport.h"
#include "ProgramSetup.h"
#include "StandardOutput.h"

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
    const keeping::CheckResult result = keeping::checkCollection(collectionFolderOf(command));
    if (result.failure) {
        sayOnStandardError(*result.failure);
        return kExitTrouble;
    }
    return statusAfterWriting(keeping::checkText(result), result.findings.isEmpty() ? kExitSuccess : kExitFindings);
}

} // namespace sayvane
