// The one place through which the main window shows message boxes and ends
// the program, so that tests can replace both and see what would happen.
#pragma once

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

class MessageSeam
{
public:
    virtual ~MessageSeam() = default;
    // Shows a modal box with a single OK button and returns when it is closed.
    virtual void showMessage(QWidget *parent, const Message &message);
    // Ends the process at once: no further event of any kind is handled.
    virtual void endProgram();
};

} // namespace sayvane
