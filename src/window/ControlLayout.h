// SPDX-License-Identifier: MIT
// The fixed layout of the main window, kept as one table of data, and the
// typed controls created from it.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QRect>

#include <variant>

class QLineEdit;
class QWidget;

namespace sayvane {

class ClickableLabel;
class ListBox;
class ProgramPictures;
class ReadOnlyTextView;

// An image control: a picture of the program's resources at the control's
// top-left corner, drawn once the pictures have been read.
class PictureBox : public QLabel
{
public:
    PictureBox(QString picturePath, QWidget *parent);
    void showPicture(const ProgramPictures &pictures);

private:
    QString m_picturePath;
};

// A push button that Return and Enter click while it has the focus, as
// Space does; the window has no default button.
class CommandButton : public QPushButton
{
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

// A straight line of the window's frame, drawn as a filled rectangle.
class LineShape : public QWidget
{
public:
    using QWidget::QWidget;
};

// Every control of the window, typed, under the names the window's code
// uses. The window owns them as its children.
struct Controls
{
    QPushButton *cmdExit = nullptr;
    QPushButton *cmdAbout = nullptr;
    QPushButton *cmdSearch = nullptr;
    QLineEdit *txtSearch = nullptr;
    QLineEdit *txtAuthor = nullptr;
    QPushButton *cmdShowSubject = nullptr;
    QLineEdit *txtSubject = nullptr;
    ListBox *SubjectList = nullptr;
    QPushButton *cmdShowAuthor = nullptr;
    ListBox *AuthorList = nullptr;
    ReadOnlyTextView *txtQuotes = nullptr;
    QLabel *Label4 = nullptr;
    PictureBox *Image1 = nullptr;
    ClickableLabel *lblMin = nullptr;
    ClickableLabel *lblExit = nullptr;
    LineShape *Line3 = nullptr;
    LineShape *Line2 = nullptr;
    LineShape *Line1 = nullptr;
    ClickableLabel *TitleBar = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label1 = nullptr;
};

// Which member of Controls a row of the table fills. Its type is the type
// of the control the row makes: a push button, a text box, a list box, the
// quotations area, a label, a picture or a line.
using ControlSlot = std::variant<QPushButton * Controls::*, QLineEdit * Controls::*, ListBox * Controls::*,
                                 ReadOnlyTextView * Controls::*, QLabel * Controls::*, ClickableLabel * Controls::*,
                                 PictureBox * Controls::*, LineShape * Controls::*>;

struct ControlLayout
{
    const char *name;
    ControlSlot slot;
    QRect geometry;    // pixels, from the window's top-left corner
    int tabIndex = -1; // place in the tab order of a control that takes the focus
    const char *text = "";
    const char *fontFamily = nullptr; // nullptr: the window's default font
    int pixelSize = 0;
    bool bold = false;
    const char *background = nullptr; // nullptr: the standard colour
    const char *foreground = nullptr;
    bool centred = false;
    const char *toolTip = nullptr;
    const char *accessibleName = nullptr;
};

// The window's own attributes.
inline constexpr QSize kWindowSize{704, 514};
inline constexpr const char *kWindowTitle = "Sayvane !";
inline constexpr const char *kWindowBackground = "#E0E0E0";
inline constexpr int kListRowHeight = 13;

// Creates every control of the table as a child of the form, named, placed
// and styled as the table says, stacked and chained in tab order.
Controls createControls(QWidget *form);

} // namespace sayvane
