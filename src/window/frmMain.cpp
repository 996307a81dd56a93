#include "frmMain.h"

#include "ControlTable.h"
#include "DataFiles.h"
#include "HeadingLoader.h"
#include "NameFilter.h"
#include "NameListModel.h"
#include "PhraseSearch.h"
#include "QuotesView.h"
#include "QuotesViewAccessible.h"
#include "SectionDisplay.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QStyleFactory>
#include <QWindow>

#include <algorithm>
#include <cmath>

// The pictures live in a static library, whose resources must be registered
// by hand; this has to happen outside any namespace.
static void registerPictures()
{
    Q_INIT_RESOURCE(resources);
}

namespace sayvane {
namespace {

constexpr float kTwipsPerPixel = 15.0f;
const QString kApplicationTitle = QStringLiteral("Sayvane");

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

NameListModel *modelOf(const QListView *list)
{
    return static_cast<NameListModel *>(list->model());
}

int selectionIndex(const QListView *list)
{
    const QModelIndexList selected = list->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

template <typename Widget> Widget *control(QWidget *form, const char *name)
{
    return form->findChild<Widget *>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}

} // namespace

void applyProgramStyle()
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(QApplication::style()->standardPalette());
}

frmMain::frmMain(QString programFolder, std::unique_ptr<MessageSeam> seam)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint)
    , m_programFolder(std::move(programFolder))
    , m_seam(std::move(seam))
{
    registerPictures();
    static const bool accessible = (QAccessible::installFactory(quotesViewAccessibleFactory), true);
    Q_UNUSED(accessible);
    setWindowTitle(QString::fromLatin1(kWindowTitle));
    setWindowIcon(QIcon(QStringLiteral(":/sayvane/icon.png")));
    setFixedSize(kWindowSize);
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(QString::fromLatin1(kWindowBackground)));
    setPalette(background);
    setAutoFillBackground(true);
    QFont font;
    font.setFamilies({QString::fromLatin1(kDefaultFontFamily), QStringLiteral("Liberation Sans")});
    font.setPixelSize(kDefaultFontPixelSize);
    setFont(font);

    createControls(this);
    cmdExit = control<QPushButton>(this, "cmdExit");
    cmdAbout = control<QPushButton>(this, "cmdAbout");
    cmdSearch = control<QPushButton>(this, "cmdSearch");
    txtSearch = control<QLineEdit>(this, "txtSearch");
    txtAuthor = control<QLineEdit>(this, "txtAuthor");
    cmdShowSubject = control<QPushButton>(this, "cmdShowSubject");
    txtSubject = control<QLineEdit>(this, "txtSubject");
    SubjectList = control<QListView>(this, "SubjectList");
    cmdShowAuthor = control<QPushButton>(this, "cmdShowAuthor");
    AuthorList = control<QListView>(this, "AuthorList");
    txtQuotes = control<QuotesView>(this, "txtQuotes");
    lblMin = control<QLabel>(this, "lblMin");
    lblExit = control<QLabel>(this, "lblExit");
    TitleBar = control<QLabel>(this, "TitleBar");

    connect(txtAuthor, &QLineEdit::textChanged, this, &frmMain::txtAuthor_Change);
    connect(txtSubject, &QLineEdit::textChanged, this, &frmMain::txtSubject_Change);
    connect(cmdShowAuthor, &QPushButton::clicked, this, &frmMain::cmdShowAuthor_Click);
    connect(cmdShowSubject, &QPushButton::clicked, this, &frmMain::cmdShowSubject_Click);
    connect(cmdSearch, &QPushButton::clicked, this, &frmMain::cmdSearch_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmMain::cmdExit_Click);
    connect(cmdAbout, &QPushButton::clicked, this, &frmMain::cmdAbout_Click);
    TitleBar->setMouseTracking(true);
    for (QLabel *label : {TitleBar, lblMin, lblExit})
        label->installEventFilter(this);
    AuthorList->setFocus();
}

frmMain::~frmMain() = default;

bool frmMain::Form_Load()
{
    AuthorsFile = authorsFilePath(m_programFolder);
    SubjectsFile = subjectsFilePath(m_programFolder);
    const bool subjectsFound = dataFileExists(SubjectsFile);
    const bool authorsFound = dataFileExists(AuthorsFile);
    if (!subjectsFound || !authorsFound) {
        showMessage(QStringLiteral("Sorry ! Some of the files are missing...\r\nPlease re-download the software."),
                    MessageIcon::Error);
        unloadAndEnd();
        return false;
    }
    for (auto [file, names, list, filter] : {std::tuple{&AuthorsFile, &AuthorNames, AuthorList, &m_authorFilter},
                                             std::tuple{&SubjectsFile, &SubjectNames, SubjectList, &m_subjectFilter}}) {
        HeadingNames loaded = LoadHeadingNames(*file);
        if (loaded.failure) {
            reportReadFailure(*loaded.failure);
            unloadAndEnd();
            return false;
        }
        *names = std::move(loaded.names);
        *filter = NameFilter(*names);
        modelOf(list)->showNames(names, filter->matches({}));
    }
    return true;
}

void frmMain::showCentred()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (screen) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->geometry().center());
        move(frame.topLeft());
    }
    show();
    AuthorList->setFocus();
}

void frmMain::txtAuthor_Change()
{
    filterNames(txtAuthor, AuthorList, AuthorNames, m_authorFilter);
}

void frmMain::txtSubject_Change()
{
    filterNames(txtSubject, SubjectList, SubjectNames, m_subjectFilter);
}

void frmMain::filterNames(const QLineEdit *filterBox, QListView *list, const QStringList &names,
                          const NameFilter &filter)
{
    modelOf(list)->showNames(&names, filter.matches(filterBox->text()));
}

void frmMain::cmdShowAuthor_Click()
{
    showSection(AuthorList, AuthorsFile, QStringLiteral("Please select an Author first !"));
}

void frmMain::cmdShowSubject_Click()
{
    showSection(SubjectList, SubjectsFile, QStringLiteral("Please select a subject first !"));
}

void frmMain::showSection(const QListView *list, const QString &dataFile, const QString &noSelectionMessage)
{
    const int selected = selectionIndex(list);
    if (selected < 0) {
        showMessage(noSelectionMessage, MessageIcon::Information);
        return;
    }
    const QString name = list->model()->index(selected, 0).data().toString();
    const ShownQuotes shown = ShowSection(dataFile, name);
    if (shown.failure) {
        reportReadFailure(*shown.failure);
        return;
    }
    txtQuotes->setPlainText(shown.text);
}

void frmMain::cmdSearch_Click()
{
    const QString typed = txtSearch->text();
    const std::optional<QStringView> phrase = SearchPhrase(typed);
    if (!phrase) {
        showMessage(QStringLiteral("Please enter a word greater than 2 letters !"), MessageIcon::Information);
        return;
    }
    const ShownQuotes shown = SearchQuotes(AuthorsFile, *phrase);
    if (shown.failure) {
        reportReadFailure(*shown.failure);
        return;
    }
    txtQuotes->setPlainText(shown.text);
    showMessage(shown.found ? QStringLiteral("Searching Done !") : QStringLiteral("Sorry ! No result was found."),
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
    unloadAndEnd();
}

void frmMain::cmdExit_Click()
{
    unloadAndEnd();
}

QString frmMain::aboutText()
{
    return QStringList{
        QStringLiteral(".:: Sayvane ::."),
        QString(),
        QStringLiteral("Version 1.0"),
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

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    const bool press = event->type() == QEvent::MouseButtonPress;
    const bool move = event->type() == QEvent::MouseMove;
    const bool release = event->type() == QEvent::MouseButtonRelease;
    if (!press && !move && !release)
        return QWidget::eventFilter(watched, event);
    auto *mouse = static_cast<QMouseEvent *>(event);
    if (watched == TitleBar) {
        const QPointF twips = mouse->position() * kTwipsPerPixel;
        if (press)
            TitleBar_MouseDown(buttonFlags(mouse->button()), shiftFlags(mouse->modifiers()), float(twips.x()),
                               float(twips.y()));
        else if (move)
            TitleBar_MouseMove(buttonFlags(mouse->buttons()), shiftFlags(mouse->modifiers()), float(twips.x()),
                               float(twips.y()));
        return false;
    }
    // A label is clicked when the left button is pressed and released over it.
    auto *label = static_cast<QWidget *>(watched);
    if (press && mouse->button() == Qt::LeftButton)
        m_labelPressed = true;
    if (release && mouse->button() == Qt::LeftButton && std::exchange(m_labelPressed, false) &&
        label->rect().contains(mouse->position().toPoint())) {
        if (label == lblMin)
            lblMin_Click();
        else if (label == lblExit)
            lblExit_Click();
    }
    return false;
}

void frmMain::showMessage(const QString &text, MessageIcon icon, const QString &title)
{
    m_seam->showMessage(isVisible() ? this : nullptr, Message{text, icon, title.isEmpty() ? kApplicationTitle : title});
}

void frmMain::reportReadFailure(const ReadFailure &failure)
{
    showMessage(QStringLiteral("Sorry ! The file could not be read:\r\n%1\r\n%2")
                    .arg(QDir::toNativeSeparators(failure.path), failure.reason),
                MessageIcon::Error);
}

void frmMain::unloadAndEnd()
{
    close();
    m_seam->endProgram();
}

} // namespace sayvane
