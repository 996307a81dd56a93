// SPDX-License-Identifier: MIT
#include "DisplayFailure.h"

#include "MessageBoxesAndExit.h"
#include "ProgramSetup.h"
#include "StandardOutput.h"

#include <QRegularExpression>
#include <QString>
#include <QtGlobal>

#include <cstdlib>
#include <cstdio>

namespace sayvane {
namespace {

QtMessageHandler g_previousHandler = nullptr;
QString g_platform; // the platform Qt last said it tried

void endWithoutDisplay(const QString &why)
{
    QString platform = g_platform;
    if (platform.isEmpty())
        platform = qEnvironmentVariable("QT_QPA_PLATFORM", QStringLiteral("xcb"));
    writeText(stderr, QStringLiteral("%1: cannot reach a display (platform %2): %3\n")
                          .arg(QLatin1String(kCommandName), platform, why));
    std::_Exit(kExitNoDisplay);
}

void handleMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    static const QRegularExpression platformName(QStringLiteral("platform plugin \"([^\"]*)\""));
    if (const QRegularExpressionMatch match = platformName.match(message); match.hasMatch())
        g_platform = match.captured(1);
    if (QLatin1String(context.category ? context.category : "").startsWith(QLatin1String("qt.qpa.xcb")))
        g_platform = QStringLiteral("xcb");
    // Qt ends the program after a fatal message: no platform plugin could
    // be started. A broken connection to the X server is a warning, after
    // which Qt's own code ends the program.
    if (type == QtFatalMsg)
        endWithoutDisplay(QStringLiteral("no window system could be started"));
    if (message.startsWith(QLatin1String("The X11 connection broke")))
        endWithoutDisplay(QStringLiteral("the connection to the X server was lost"));
    if (g_previousHandler)
        g_previousHandler(type, context, message);
}

} // namespace

void endOnDisplayFailure()
{
    g_previousHandler = qInstallMessageHandler(handleMessage);
}

} // namespace sayvane
