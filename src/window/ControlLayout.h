// SPDX-License-Identifier: MIT
// The fixed layout of the main window, kept as one table of data, and the
// typed controls created from it.
#pragma once

#include <QRect>

#include <variant>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace sayvane {

class ClickableLabel;
class ListBox;
class ReadOnlyTextView;

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
    QLabel *Image1 = nullptr;
    ClickableLabel *lblMin = nullptr;
    ClickableLabel *lblExit = nullptr;
    QWidget *Line3 = nullptr;
    QWidget *Line2 = nullptr;
    QWidget *Line1 = nullptr;
    ClickableLabel *TitleBar = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label1 = nullptr;
};

enum class ControlKind { PushButton, TextBox, List, QuotesBox, Label, Picture, Line };

// Which member of Controls a row of the table fills; its type is the type
// of the control.
using ControlSlot =
    std::variant<QPushButton * Controls::*, QLineEdit * Controls::*, ListBox * Controls::*, ReadOnlyTextView * Controls::*,
                 QLabel * Controls::*, ClickableLabel * Controls::*, QWidget * Controls::*>;

struct ControlLayout
{
    const char *name;
    ControlSlot slot;
    ControlKind kind;
    QRect geometry;    // pixels, from the window's top-left corner
    int tabIndex = -1; // -1: no place in the tab order
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
inline constexpr const char *kDefaultFontFamily = "MS Sans Serif";
inline constexpr int kDefaultFontPixelSize = 11;
inline constexpr int kListRowHeight = 13;

// Creates every control of the table as a child of the form, named, placed
// and styled as the table says, stacked and chained in tab order.
Controls createControls(QWidget *form);

} // namespace sayvane
