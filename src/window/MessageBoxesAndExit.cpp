// SPDX-License-Identifier: MIT
#include "MessageBoxesAndExit.h"

#include "ProgramSetup.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

#include <cstdio>
#include <cstdlib>

namespace sayvane {

namespace {

// Room in a frame's title bar beside the title: the window's icon, the
// buttons a window manager may add whatever the box asks for, and margins.
constexpr int kTitleBarRoom = 120;

} // namespace

int messageBoxMinimumWidth(const QString &title)
{
    // Window managers draw titles in a bold sans serif of about 12 pixels;
    // DejaVu Sans, the widest of the common ones, measures generously.
    return QFontMetrics(programFont(kVerdana, 12, true)).horizontalAdvance(title) + kTitleBarRoom;
}

void MessageBoxesAndExit::showMessage(QWidget *parent, const Message &message)
{
    QMessageBox box(message.icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::Information,
                    message.title, QString(message.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                    QMessageBox::Ok, parent);
    // A fixed-size dialog whose frame offers a close button only, at least
    // wide enough for its whole title, as the classic boxes are.
    box.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                       Qt::MSWindowsFixedSizeDialogHint);
    // A plain text button, as the classic boxes have, whatever icon a
    // desktop theme would give it.
    box.button(QMessageBox::Ok)->setIcon(QIcon());
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
        grid->addItem(new QSpacerItem(messageBoxMinimumWidth(message.title), 0, QSizePolicy::Fixed), grid->rowCount(),
                      0, 1, grid->columnCount());
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
