// The program's one window: its controls, its fields and its event procedures.
#pragma once

#include "MessageSeam.h"
#include "NameFilter.h"

#include <QStringList>
#include <QWidget>

#include <memory>

class QLabel;
class QLineEdit;
class QListView;
class QPushButton;

namespace sayvane {

class NameListModel;
class QuotesView;
struct ReadFailure;

class frmMain : public QWidget
{
    Q_OBJECT

public:
    // programFolder: the folder whose Data/ holds the collection.
    explicit frmMain(QString programFolder, std::unique_ptr<MessageSeam> seam = std::make_unique<MessageSeam>());
    ~frmMain() override;

    // Fixes the data-file paths and fills both lists. False when the program
    // has been ended instead (a data file missing or unreadable).
    bool Form_Load();
    void showCentred();

    // Pointer position at the last press on the title bar, in twips.
    qint16 DragX = 0;
    qint16 DragY = 0;
    // Set once by Form_Load.
    QString AuthorsFile;
    QString SubjectsFile;
    QStringList AuthorNames;
    QStringList SubjectNames;

    // Mouse notifications of the title bar; Button and Shift are the flag
    // sets of the buttons and shift keys, X and Y in twips.
    void TitleBar_MouseDown(qint16 Button, qint16 Shift, float X, float Y);
    void TitleBar_MouseMove(qint16 Button, qint16 Shift, float X, float Y);

    static QString aboutText();

    QPushButton *cmdExit = nullptr;
    QPushButton *cmdAbout = nullptr;
    QPushButton *cmdSearch = nullptr;
    QLineEdit *txtSearch = nullptr;
    QLineEdit *txtAuthor = nullptr;
    QPushButton *cmdShowSubject = nullptr;
    QLineEdit *txtSubject = nullptr;
    QListView *SubjectList = nullptr;
    QPushButton *cmdShowAuthor = nullptr;
    QListView *AuthorList = nullptr;
    QuotesView *txtQuotes = nullptr;
    QLabel *lblMin = nullptr;
    QLabel *lblExit = nullptr;
    QLabel *TitleBar = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void txtAuthor_Change();
    void txtSubject_Change();
    void cmdShowAuthor_Click();
    void cmdShowSubject_Click();
    void cmdSearch_Click();
    void lblMin_Click();
    void lblExit_Click();
    void cmdExit_Click();
    void cmdAbout_Click();

    void filterNames(const QLineEdit *filterBox, QListView *list, const QStringList &names, const NameFilter &filter);
    void showSection(const QListView *list, const QString &dataFile, const QString &noSelectionMessage);
    void showMessage(const QString &text, MessageIcon icon, const QString &title = {});
    void reportReadFailure(const ReadFailure &failure);
    void unloadAndEnd();

    QString m_programFolder;
    NameFilter m_authorFilter;  // over AuthorNames
    NameFilter m_subjectFilter; // over SubjectNames
    std::unique_ptr<MessageSeam> m_seam;
    bool m_labelPressed = false;
};

// Makes the program look the same on every desktop: one widget style and
// its own standard colours.
void applyProgramStyle();

} // namespace sayvane
