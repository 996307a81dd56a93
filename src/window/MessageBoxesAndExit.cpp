// SPDX-License-Identifier: MIT
#include "MessageBoxesAndExit.h"

#include <QMessageBox>

#include <cstdio>
#include <cstdlib>

namespace sayvane {

void MessageBoxesAndExit::showMessage(QWidget *parent, const Message &message)
{
    QMessageBox box(message.icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::Information,
                    message.title, QString(message.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                    QMessageBox::Ok, parent);
    box.exec();
}

void MessageBoxesAndExit::endProgram(int exitStatus)
{
    // The program writes nothing, so there is nothing to save or flush but
    // its own output streams.
    std::fflush(nullptr);
    std::_Exit(exitStatus);
}

} // namespace sayvane
