// SPDX-License-Identifier: MIT
// The program's one window: its controls, its fields and its event procedures.
#pragma once

#include "ControlLayout.h"
#include "DataFiles.h"
#include "HeadingLoader.h"
#include "MessageBoxesAndExit.h"
#include "NameArray.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

namespace sayvane {

class ProgramPictures;
struct ReadFailure;
struct ShownQuotes;

// Where a window of this size first opens: centred on the screen when it
// fits the screen's available area, otherwise at that area's top-left
// corner, so that its title bar can be grabbed.
QPoint initialPosition(QSize window, QRect screen, QRect available);

class frmMain : public QWidget
{
    Q_OBJECT

public:
    explicit frmMain(std::unique_ptr<MessageBoxesAndExit> messageBoxes = std::make_unique<MessageBoxesAndExit>());
    ~frmMain() override;

    // The banner and the window icon, once read.
    void showPictures(const ProgramPictures &pictures);
    // Fixes the data-file paths and fills both lists with the names loaded
    // from them, or, where the existence test found a file missing or the
    // names could not be read, says so and ends the program (false).
    bool Form_Load(const CollectionFiles &files, CollectionNames names);
    void showCentred();

    const Controls &controls() const { return m_controls; }
    static QString aboutText();

private:
    // Mouse notifications of the title bar; Button and Shift are the flag
    // sets of the buttons and shift keys, X and Y in twips.
    void TitleBar_MouseDown(qint16 Button, qint16 Shift, float X, float Y);
    void TitleBar_MouseMove(qint16 Button, qint16 Shift, float X, float Y);
    void txtAuthor_Change();
    void txtSubject_Change();
    void cmdShowAuthor_Click();
    void cmdShowSubject_Click();
    void cmdSearch_Click();
    void lblMin_Click();
    void lblExit_Click();
    void cmdExit_Click();
    void cmdAbout_Click();

    void connectEvents();
    void narrowList(const QLineEdit *filterBox, ListBox *list);
    void showQuotesOf(const ListBox *list, const QString &dataFile, const QString &noSelectionMessage);
    void showMessage(const QString &text, MessageIcon icon, const QString &title = {});
    void reportReadFailure(const ReadFailure &failure, MessageIcon icon);
    static void reportOnStandardError(const QString &path, const QString &reason);
    void reportCut(const ShownQuotes &shown);
    std::optional<bool> replaceQuotes(const std::function<ShownQuotes()> &find);
    void unloadAndEnd(int exitStatus);

    // Pointer position at the last press on the title bar, in twips.
    qint16 DragX = 0;
    qint16 DragY = 0;
    // Set once by Form_Load.
    QString AuthorsFile;
    QString SubjectsFile;
    // The heading names of each file, in file order; each list shows them.
    NameArray AuthorNames;
    NameArray SubjectNames;

    std::unique_ptr<MessageBoxesAndExit> m_messageBoxes;
    Controls m_controls;
};

} // namespace sayvane
