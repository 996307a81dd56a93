// SPDX-License-Identifier: MIT
// The one place through which the main window shows message boxes and ends
// the program, so that tests can replace both and see what would happen.
#pragma once

#include "ExitStatus.h"

#include <QString>

class QWidget;

namespace sayvane {

enum class MessageIcon { Information, Error };

struct Message
{
    QString text; // lines separated by CR LF
    MessageIcon icon = MessageIcon::Information;
    QString title; // the application title unless a box names its own
};

// The narrowest a message box with this title may be: its title whole
// beside the icon and the close button of its frame.
int messageBoxMinimumWidth(const QString &title);

class MessageBoxesAndExit
{
public:
    virtual ~MessageBoxesAndExit() = default;
    // Shows a modal box with a single OK button and returns when it is closed.
    virtual void showMessage(QWidget *parent, const Message &message);
    // Ends the process at once with this exit status: no further event of
    // any kind is handled.
    virtual void endProgram(int exitStatus);
};

} // namespace sayvane
