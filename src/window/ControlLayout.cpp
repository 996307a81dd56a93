// SPDX-License-Identifier: MIT
#include "ControlLayout.h"

#include "ClickableLabel.h"
#include "ListBox.h"
#include "Pictures.h"
#include "ProgramSetup.h"
#include "PushButtonStyle.h"
#include "TextBox.h"
#include "ReadOnlyTextView.h"

#include <QApplication>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>
#include <array>
#include <type_traits>

namespace sayvane {
namespace {

// The face of every push button.
constexpr const char *kButtonFace = "#C0C0C0";

// Line strokes are 5 px wide around their centre lines at x = 0, x = 702
// and y = 512; what falls outside the window is cut off.
// clang-format off
constexpr std::array kControls{
    ControlLayout{.name = "cmdExit", .slot = &Controls::cmdExit,
                  .geometry = {368, 472, 113, 25}, .tabIndex = 10,
                  .text = "Exit", .fontFamily = kVerdana, .pixelSize = 13, .bold = true,
                  .background = kButtonFace},
    ControlLayout{.name = "cmdAbout", .slot = &Controls::cmdAbout,
                  .geometry = {240, 472, 113, 25}, .tabIndex = 9,
                  .text = "About", .fontFamily = kVerdana, .pixelSize = 13, .bold = true,
                  .background = kButtonFace},
    ControlLayout{.name = "cmdSearch", .slot = &Controls::cmdSearch,
                  .geometry = {432, 112, 97, 25}, .tabIndex = 8,
                  .text = "Search", .fontFamily = kArial, .pixelSize = 13, .bold = true,
                  .background = kButtonFace, .toolTip = "Search all the quotes for a word or phrase"},
    ControlLayout{.name = "txtSearch", .slot = &Controls::txtSearch,
                  .geometry = {200, 112, 225, 27}, .tabIndex = 7,
                  .fontFamily = kMsSansSerif, .pixelSize = 16, .accessibleName = "Search phrase"},
    ControlLayout{.name = "txtAuthor", .slot = &Controls::txtAuthor,
                  .geometry = {16, 112, 169, 19}, .tabIndex = 6,
                  .accessibleName = "Filter authors"},
    ControlLayout{.name = "cmdShowSubject", .slot = &Controls::cmdShowSubject,
                  .geometry = {544, 472, 145, 25}, .tabIndex = 5,
                  .text = "Show Related Quotes", .fontFamily = kArial, .pixelSize = 13,
                  .background = kButtonFace, .toolTip = "Show quotes related to the selected subject"},
    ControlLayout{.name = "txtSubject", .slot = &Controls::txtSubject,
                  .geometry = {544, 112, 145, 19}, .tabIndex = 4,
                  .accessibleName = "Filter subjects"},
    ControlLayout{.name = "SubjectList", .slot = &Controls::SubjectList,
                  .geometry = {544, 136, 145, 327}, .tabIndex = 3,
                  .accessibleName = "Subjects"},
    ControlLayout{.name = "cmdShowAuthor", .slot = &Controls::cmdShowAuthor,
                  .geometry = {16, 472, 169, 25}, .tabIndex = 2,
                  .text = "Show Quotes of Author", .fontFamily = kArial, .pixelSize = 13,
                  .background = kButtonFace, .toolTip = "Show quotes of the selected author"},
    ControlLayout{.name = "AuthorList", .slot = &Controls::AuthorList,
                  .geometry = {16, 136, 169, 327}, .tabIndex = 0,
                  .accessibleName = "Authors"},
    ControlLayout{.name = "txtQuotes", .slot = &Controls::txtQuotes,
                  .geometry = {200, 144, 329, 321}, .tabIndex = 1,
                  .text = "Select an Author or subject to show its quotes.\r\n", .fontFamily = kArial,
                  .pixelSize = 13, .background = kWindowBackground, .accessibleName = "Quotations"},
    ControlLayout{.name = "Label4", .slot = &Controls::Label4,
                  .geometry = {472, 56, 153, 17},
                  .text = " by Tamsor.", .fontFamily = kArial, .pixelSize = 15, .bold = true,
                  .foreground = "#800000"},
    ControlLayout{.name = "Image1", .slot = &Controls::Image1,
                  .geometry = {256, 32, 197, 47},
                  .text = ":/sayvane/banner.jpg", .accessibleName = "Sayvane"},
    ControlLayout{.name = "lblMin", .slot = &Controls::lblMin,
                  .geometry = {648, 0, 17, 25}, .text = "_",
                  .fontFamily = kMsSansSerif, .pixelSize = 18, .foreground = "#FFFFFF",
                  .accessibleName = "Minimise"},
    ControlLayout{.name = "lblExit", .slot = &Controls::lblExit,
                  .geometry = {672, 0, 17, 25}, .text = "X",
                  .fontFamily = kMsSansSerif, .pixelSize = 18, .foreground = "#FFFFFF",
                  .accessibleName = "Close"},
    ControlLayout{.name = "Line3", .slot = &Controls::Line3,
                  .geometry = {700, 22, 4, 492}},
    ControlLayout{.name = "Line2", .slot = &Controls::Line2,
                  .geometry = {0, 510, 704, 4}},
    ControlLayout{.name = "Line1", .slot = &Controls::Line1,
                  .geometry = {0, 22, 3, 492}},
    ControlLayout{.name = "TitleBar", .slot = &Controls::TitleBar,
                  .geometry = {0, 0, 705, 25},
                  .background = "#000000", .accessibleName = "Title bar"},
    ControlLayout{.name = "Label3", .slot = &Controls::Label3,
                  .geometry = {200, 88, 329, 17},
                  .text = "Search a quote :", .fontFamily = kVerdana, .pixelSize = 15, .bold = true},
    ControlLayout{.name = "Label2", .slot = &Controls::Label2,
                  .geometry = {544, 88, 145, 17},
                  .text = "Subjects", .fontFamily = kVerdana, .pixelSize = 15, .bold = true, .centred = true},
    ControlLayout{.name = "Label1", .slot = &Controls::Label1,
                  .geometry = {16, 88, 169, 17},
                  .text = "Authors ", .fontFamily = kVerdana, .pixelSize = 15, .bold = true, .centred = true},
};
// clang-format on

// A control that the keyboard can reach; the others take no focus.
template <typename Widget>
constexpr bool kTakesFocus = std::is_same_v<Widget, QPushButton> || std::is_same_v<Widget, QLineEdit> ||
                             std::is_same_v<Widget, ListBox> || std::is_same_v<Widget, ReadOnlyTextView>;

// Makes the control of the row's type, with the kind's own settings.
template <typename Widget> Widget *createControl(const ControlLayout &layout, QWidget *form)
{
    const QString text = QString::fromUtf8(layout.text);
    if constexpr (std::is_same_v<Widget, QPushButton>) {
        auto *button = new CommandButton(text, form);
        button->setAutoDefault(false);
        button->setStyle(pushButtonStyle());
        return button;
    } else if constexpr (std::is_same_v<Widget, QLineEdit>) {
        auto *box = new TextBox(text, form);
        box->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid black; background: white; }"));
        return box;
    } else if constexpr (std::is_same_v<Widget, ListBox>) {
        auto *list = new ListBox(kListRowHeight, form);
        list->setFrameStyle(QFrame::Box | QFrame::Plain);
        return list;
    } else if constexpr (std::is_same_v<Widget, ReadOnlyTextView>) {
        auto *box = new ReadOnlyTextView(form);
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        box->setFrameStyle(QFrame::Box | QFrame::Plain);
        return box;
    } else if constexpr (std::is_same_v<Widget, QLabel> || std::is_same_v<Widget, ClickableLabel>) {
        auto *label = new Widget(text, form);
        label->setAlignment((layout.centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
        label->setAutoFillBackground(layout.background != nullptr);
        return label;
    } else if constexpr (std::is_same_v<Widget, PictureBox>) {
        auto *picture = new PictureBox(text, form);
        picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return picture;
    } else {
        static_assert(std::is_same_v<Widget, LineShape>, "every kind of control in ControlSlot is made here");
        auto *line = new LineShape(form);
        line->setAutoFillBackground(true);
        QPalette palette = line->palette();
        palette.setColor(QPalette::Window, palette.color(QPalette::WindowText));
        line->setPalette(palette);
        return line;
    }
}

template <typename Widget> void applyLook(const ControlLayout &layout, Widget *widget)
{
    widget->setObjectName(QString::fromLatin1(layout.name));
    widget->setGeometry(layout.geometry);
    if constexpr (!std::is_same_v<Widget, LineShape> && !std::is_same_v<Widget, PictureBox>)
        widget->setFont(programFont(layout.fontFamily ? layout.fontFamily : kDefaultFontFamily,
                                    layout.pixelSize > 0 ? layout.pixelSize : kDefaultFontPixelSize, layout.bold));
    QPalette palette = widget->palette();
    if (layout.background) {
        const QColor background(QString::fromLatin1(layout.background));
        palette.setColor(QPalette::Window, background);
        palette.setColor(QPalette::Button, background);
        palette.setColor(QPalette::Base, background);
    }
    if (layout.foreground)
        palette.setColor(QPalette::WindowText, QColor(QString::fromLatin1(layout.foreground)));
    widget->setPalette(palette);
    if (layout.toolTip)
        widget->setToolTip(QString::fromUtf8(layout.toolTip));
    widget->setAccessibleName(QString::fromUtf8(layout.accessibleName ? layout.accessibleName : layout.text).trimmed());
    widget->setFocusPolicy(kTakesFocus<Widget> ? Qt::StrongFocus : Qt::NoFocus);
}

} // namespace

PictureBox::PictureBox(QString picturePath, QWidget *parent)
    : QLabel(parent)
    , m_picturePath(std::move(picturePath))
{
}

void PictureBox::showPicture(const ProgramPictures &pictures)
{
    setPixmap(pictures.picture(m_picturePath, qApp->devicePixelRatio()));
}

void CommandButton::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

Controls createControls(QWidget *form)
{
    Controls controls;
    std::vector<std::pair<int, QWidget *>> focusChain;
    std::vector<QWidget *> created;
    for (const ControlLayout &layout : kControls) {
        std::visit(
            [&](auto member) {
                using Widget = std::remove_pointer_t<std::remove_reference_t<decltype(controls.*member)>>;
                Widget *widget = createControl<Widget>(layout, form);
                applyLook(layout, widget);
                // The quotations area lays its text out for its font and
                // width, so it is given its text once it has both.
                if constexpr (std::is_same_v<Widget, ReadOnlyTextView>)
                    widget->setPlainText(QString::fromUtf8(layout.text));
                controls.*member = widget;
                created.push_back(widget);
                if constexpr (kTakesFocus<Widget>)
                    focusChain.emplace_back(layout.tabIndex, widget);
            },
            layout.slot);
    }
    // The table lists the topmost control first.
    for (auto widget = created.rbegin(); widget != created.rend(); ++widget)
        (*widget)->raise();
    std::sort(focusChain.begin(), focusChain.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (std::size_t i = 1; i < focusChain.size(); ++i)
        QWidget::setTabOrder(focusChain[i - 1].second, focusChain[i].second);
    return controls;
}

} // namespace sayvane
