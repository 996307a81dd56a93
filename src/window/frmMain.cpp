// SPDX-License-Identifier: MIT
#include "frmMain.h"

#include "ClickableLabel.h"
#include "DataFiles.h"
#include "FileNames.h"
#include "HeadingLoader.h"
#include "ListBox.h"
#include "NameListModel.h"
#include "PhraseSearch.h"
#include "Pictures.h"
#include "ProgramSetup.h"
#include "ReadOnlyTextView.h"
#include "SectionDisplay.h"
#include "Version.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace sayvane {
namespace {

constexpr float kTwipsPerPixel = 15.0f;

// Rounds to the nearest integer, a value halfway between two going to the
// even one. A press point always lies well inside the 16-bit range; the
// bounds only keep a stray value from overflowing.
qint16 roundHalfToEven(float value)
{
    const float rounded = std::nearbyint(value);
    if (!(rounded >= -32768.0f))
        return -32768;
    return qint16(std::min(rounded, 32767.0f));
}

// The flag values of the mouse notifications: 1 left, 2 right, 4 middle;
// 1 Shift, 2 Ctrl, 4 Alt.
qint16 buttonFlags(Qt::MouseButtons buttons)
{
    return qint16(buttons & (Qt::LeftButton | Qt::RightButton | Qt::MiddleButton));
}

qint16 shiftFlags(Qt::KeyboardModifiers modifiers)
{
    return qint16((modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
                  (modifiers & Qt::AltModifier ? 4 : 0));
}

} // namespace

QPoint initialPosition(QSize window, QRect screen, QRect available)
{
    if (window.width() > available.width() || window.height() > available.height())
        return available.topLeft();
    QRect frame(QPoint(), window);
    frame.moveCenter(screen.center());
    return frame.topLeft();
}

frmMain::frmMain(std::unique_ptr<MessageBoxesAndExit> messageBoxes)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint)
    , m_messageBoxes(std::move(messageBoxes))
{
    setWindowTitle(QString::fromLatin1(kWindowTitle));
    setFixedSize(kWindowSize);
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(QString::fromLatin1(kWindowBackground)));
    setPalette(background);
    setAutoFillBackground(true);
    setFont(programFont(kDefaultFontFamily, kDefaultFontPixelSize));

    m_controls = createControls(this);
    connectEvents();
    m_controls.AuthorList->setFocus();
}

void frmMain::showPictures(const ProgramPictures &pictures)
{
    m_controls.Image1->showPicture(pictures);
    QIcon icon;
    for (const qreal scale : {1.0, 2.0})
        icon.addPixmap(pictures.picture(QStringLiteral(":/sayvane/icon.png"), scale));
    setWindowIcon(icon);
}

frmMain::~frmMain()
{
    // The lists outlive the name arrays they show by a moment: the arrays
    // go with the window's fields, the lists with its children.
    m_controls.AuthorList->nameModel()->setNames(nullptr);
    m_controls.SubjectList->nameModel()->setNames(nullptr);
}

void frmMain::connectEvents()
{
    const Controls &c = m_controls;
    connect(c.txtAuthor, &QLineEdit::textChanged, this, &frmMain::txtAuthor_Change);
    connect(c.txtSubject, &QLineEdit::textChanged, this, &frmMain::txtSubject_Change);
    connect(c.cmdShowAuthor, &QPushButton::clicked, this, &frmMain::cmdShowAuthor_Click);
    connect(c.cmdShowSubject, &QPushButton::clicked, this, &frmMain::cmdShowSubject_Click);
    connect(c.cmdSearch, &QPushButton::clicked, this, &frmMain::cmdSearch_Click);
    connect(c.cmdExit, &QPushButton::clicked, this, &frmMain::cmdExit_Click);
    connect(c.cmdAbout, &QPushButton::clicked, this, &frmMain::cmdAbout_Click);
    connect(c.lblMin, &ClickableLabel::clicked, this, &frmMain::lblMin_Click);
    connect(c.lblExit, &ClickableLabel::clicked, this, &frmMain::lblExit_Click);
    // The title bar reports its pointer in pixels; its procedures take twips.
    c.TitleBar->setMouseTracking(true);
    connect(c.TitleBar, &ClickableLabel::pressed, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF position) {
                const QPointF twips = position * kTwipsPerPixel;
                TitleBar_MouseDown(buttonFlags(button), shiftFlags(modifiers), float(twips.x()), float(twips.y()));
            });
    connect(c.TitleBar, &ClickableLabel::moved, this,
            [this](Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPointF position) {
                const QPointF twips = position * kTwipsPerPixel;
                TitleBar_MouseMove(buttonFlags(buttons), shiftFlags(modifiers), float(twips.x()), float(twips.y()));
            });
}

bool frmMain::Form_Load(const CollectionFiles &files, CollectionNames names)
{
    AuthorsFile = files.authors;
    SubjectsFile = files.subjects;
    if (!files.bothThere()) {
        // Standard error says which file is missing and why. The box of the
        // collection the program came with says only that files are missing;
        // that of a folder the user named says which, and how to make one.
        if (files.authorsMissing)
            reportOnStandardError(AuthorsFile, *files.authorsMissing);
        if (files.subjectsMissing)
            reportOnStandardError(SubjectsFile, *files.subjectsMissing);
        showMessage(files.origin == CollectionOrigin::Named
                        ? namedFolderLacksFilesText(files)
                        : QStringLiteral("Sorry ! Some of the files are missing...\r\nPlease re-download the software."),
                    MessageIcon::Error);
        unloadAndEnd(kExitStartFailed);
        return false;
    }
    for (auto [loaded, kept, list] : {std::tuple{&names.authors, &AuthorNames, m_controls.AuthorList},
                                      std::tuple{&names.subjects, &SubjectNames, m_controls.SubjectList}}) {
        if (loaded->failure) {
            reportOnStandardError(loaded->failure->path, loaded->failure->reason);
            reportReadFailure(*loaded->failure, MessageIcon::Error);
            unloadAndEnd(kExitStartFailed);
            return false;
        }
        *kept = std::move(loaded->names);
        list->nameModel()->setNames(kept);
    }
    return true;
}

void frmMain::showCentred()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(initialPosition(size(), screen->geometry(), screen->availableGeometry()));
    show();
    m_controls.AuthorList->setFocus();
}

void frmMain::txtAuthor_Change()
{
    narrowList(m_controls.txtAuthor, m_controls.AuthorList);
}

void frmMain::txtSubject_Change()
{
    narrowList(m_controls.txtSubject, m_controls.SubjectList);
}

void frmMain::narrowList(const QLineEdit *filterBox, ListBox *list)
{
    list->nameModel()->filter(filterBox->text());
}

void frmMain::cmdShowAuthor_Click()
{
    showQuotesOf(m_controls.AuthorList, AuthorsFile, QStringLiteral("Please select an Author first !"));
}

void frmMain::cmdShowSubject_Click()
{
    showQuotesOf(m_controls.SubjectList, SubjectsFile, QStringLiteral("Please select a subject first !"));
}

void frmMain::showQuotesOf(const ListBox *list, const QString &dataFile, const QString &noSelectionMessage)
{
    const int selected = list->selectionIndex();
    if (selected < 0) {
        showMessage(noSelectionMessage, MessageIcon::Information);
        return;
    }
    replaceQuotes([&] { return sectionQuotes(dataFile, list->nameModel()->nameBytes(selected)); });
}

// Empties the quotations area, then shows what `find` gives: the old text
// goes before the new one is built, never both at once. A failure or a cut
// result is reported; otherwise, whether the result holds a line.
std::optional<bool> frmMain::replaceQuotes(const std::function<ShownQuotes()> &find)
{
    m_controls.txtQuotes->clear();
    const ShownQuotes shown = find();
    if (shown.failure) {
        reportReadFailure(*shown.failure, MessageIcon::Information);
        return std::nullopt;
    }
    m_controls.txtQuotes->setPlainText(shown.text);
    if (shown.cut != ShownCut::None) {
        reportCut(shown);
        return std::nullopt;
    }
    return shown.found;
}

void frmMain::cmdSearch_Click()
{
    const QString typed = m_controls.txtSearch->text();
    const std::optional<QStringView> phrase = searchPhrase(typed);
    if (!phrase) {
        showMessage(phraseTooShortMessage(), MessageIcon::Information);
        return;
    }
    if (const std::optional<bool> found = replaceQuotes([&] { return searchQuotes(AuthorsFile, *phrase); }))
        showMessage(*found ? QStringLiteral("Searching Done !") : QStringLiteral("Sorry ! No result was found."),
                    MessageIcon::Information);
}

void frmMain::TitleBar_MouseDown(qint16 Button, qint16 Shift, float X, float Y)
{
    Q_UNUSED(Shift);
    DragX = roundHalfToEven(X);
    DragY = roundHalfToEven(Y);
    // Where a program may not place its own window, the desktop moves it.
    if (Button == 1 && QGuiApplication::platformName().startsWith(QLatin1String("wayland")) && windowHandle())
        windowHandle()->startSystemMove();
}

void frmMain::TitleBar_MouseMove(qint16 Button, qint16 Shift, float X, float Y)
{
    Q_UNUSED(Shift);
    if (Button != 1)
        return;
    const float left = float(x()) * kTwipsPerPixel + (X - float(DragX));
    if (!std::isfinite(left))
        return;
    move(int(std::lround(left / kTwipsPerPixel)), y());
    const float top = float(y()) * kTwipsPerPixel + (Y - float(DragY));
    if (!std::isfinite(top))
        return;
    move(x(), int(std::lround(top / kTwipsPerPixel)));
}

void frmMain::lblMin_Click()
{
    setWindowState(windowState() | Qt::WindowMinimized);
}

void frmMain::lblExit_Click()
{
    unloadAndEnd(kExitSuccess);
}

void frmMain::cmdExit_Click()
{
    unloadAndEnd(kExitSuccess);
}

QString frmMain::aboutText()
{
    return QStringList{
        QStringLiteral(".:: Sayvane ::."),
        QString(),
        QStringLiteral("Version %1").arg(QLatin1String(kVersion)),
        QStringLiteral("Browse a collection of quotations by author or subject."),
        QStringLiteral("Made by Tamsor."),
        QStringLiteral("Web : https://tamsor.example.org"),
        QStringLiteral("Personal Web : https://www.example.org/~sayvane"),
        QStringLiteral("Email ID : sayvane@example.org"),
    }
        .join(QStringLiteral("\r\n"));
}

void frmMain::cmdAbout_Click()
{
    showMessage(aboutText(), MessageIcon::Information, QStringLiteral("About"));
}

void frmMain::showMessage(const QString &text, MessageIcon icon, const QString &title)
{
    m_messageBoxes->showMessage(isVisible() ? this : nullptr,
                                Message{text, icon, title.isEmpty() ? QString::fromLatin1(kApplicationTitle) : title});
}

// At start, a file that cannot be read ends the program, as a missing one
// does, and takes the error icon; after a click it is one more message.
void frmMain::reportReadFailure(const ReadFailure &failure, MessageIcon icon)
{
    showMessage(QStringLiteral("Sorry ! The file could not be read:\r\n%1\r\n%2")
                    .arg(readableFileName(failure.path), failure.reason),
                icon);
}

// One line such as "sayvane: /home/user/quotes/subjects.txt: No such file
// or directory", the path as the program looked for it.
void frmMain::reportOnStandardError(const QString &path, const QString &reason)
{
    const QString line =
        QStringLiteral("%1: %2: %3\n").arg(QLatin1String(kCommandName), readableFileName(path), reason);
    std::fputs(line.toLocal8Bit().constData(), stderr);
}

// A result longer than the quotations area holds, or than memory allows,
// shows its first lines; the message says how much.
void frmMain::reportCut(const ShownQuotes &shown)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QString reason = shown.cut == ShownCut::AtLimit
                               ? QStringLiteral("Sorry ! There are more quotations than the area can hold (%1 "
                                                "characters).")
                                     .arg(english.toString(kShownTextLimit))
                               : QStringLiteral("Sorry ! There is not enough memory to show all the quotations.");
    showMessage(reason +
                    QStringLiteral("\r\nThe first %1 characters are shown.").arg(english.toString(shown.text.size())),
                MessageIcon::Information);
}

void frmMain::unloadAndEnd(int exitStatus)
{
    close();
    m_messageBoxes->endProgram(exitStatus);
}

} // namespace sayvane
