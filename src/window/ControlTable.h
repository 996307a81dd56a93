// The fixed layout of the main window, kept as one table of data.
#pragma once

#include <QRect>

#include <span>

class QWidget;

namespace sayvane {

enum class ControlKind { PushButton, TextBox, ListBox, QuotesBox, Label, Picture, Line };

struct ControlSpec
{
    const char *name;
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

// Every control, topmost first.
std::span<const ControlSpec> controlTable();

// Creates every control of the table as a child of the form, named, placed
// and styled as the table says, stacked and chained in tab order.
void createControls(QWidget *form);

} // namespace sayvane
