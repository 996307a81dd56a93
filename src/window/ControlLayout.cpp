// SPDX-License-Identifier: MIT
#include "ControlLayout.h"

#include "ClickableLabel.h"
#include "ListBox.h"
#include "PushButtonStyle.h"
#include "ReadOnlyTextView.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>
#include <array>
#include <limits>
#include <map>
#include <type_traits>

namespace sayvane {
namespace {

using enum ControlKind;

// Line strokes are 5 px wide around their centre lines at x = 0, x = 702
// and y = 512; what falls outside the window is cut off.
// clang-format off
constexpr std::array kControls{
    ControlLayout{.name = "cmdExit", .slot = &Controls::cmdExit, .kind = PushButton,
                  .geometry = {368, 472, 113, 25}, .tabIndex = 10,
                  .text = "Exit", .fontFamily = "Verdana", .pixelSize = 13, .bold = true,
                  .background = "#C0C0C0"},
    ControlLayout{.name = "cmdAbout", .slot = &Controls::cmdAbout, .kind = PushButton,
                  .geometry = {240, 472, 113, 25}, .tabIndex = 9,
                  .text = "About", .fontFamily = "Verdana", .pixelSize = 13, .bold = true,
                  .background = "#C0C0C0"},
    ControlLayout{.name = "cmdSearch", .slot = &Controls::cmdSearch, .kind = PushButton,
                  .geometry = {432, 112, 97, 25}, .tabIndex = 8,
                  .text = "Search", .fontFamily = "Arial", .pixelSize = 13, .bold = true,
                  .background = "#C0C0C0", .toolTip = "Search all the quotes for a word or phrase"},
    ControlLayout{.name = "txtSearch", .slot = &Controls::txtSearch, .kind = TextBox,
                  .geometry = {200, 112, 225, 27}, .tabIndex = 7,
                  .fontFamily = "MS Sans Serif", .pixelSize = 16, .accessibleName = "Search phrase"},
    ControlLayout{.name = "txtAuthor", .slot = &Controls::txtAuthor, .kind = TextBox,
                  .geometry = {16, 112, 169, 19}, .tabIndex = 6,
                  .accessibleName = "Filter authors"},
    ControlLayout{.name = "cmdShowSubject", .slot = &Controls::cmdShowSubject, .kind = PushButton,
                  .geometry = {544, 472, 145, 25}, .tabIndex = 5,
                  .text = "Show Related Quotes", .fontFamily = "Arial", .pixelSize = 13,
                  .background = "#C0C0C0", .toolTip = "Show quotes related to the selected subject"},
    ControlLayout{.name = "txtSubject", .slot = &Controls::txtSubject, .kind = TextBox,
                  .geometry = {544, 112, 145, 19}, .tabIndex = 4,
                  .accessibleName = "Filter subjects"},
    ControlLayout{.name = "SubjectList", .slot = &Controls::SubjectList, .kind = List,
                  .geometry = {544, 136, 145, 327}, .tabIndex = 3,
                  .accessibleName = "Subjects"},
    ControlLayout{.name = "cmdShowAuthor", .slot = &Controls::cmdShowAuthor, .kind = PushButton,
                  .geometry = {16, 472, 169, 25}, .tabIndex = 2,
                  .text = "Show Quotes of Author", .fontFamily = "Arial", .pixelSize = 13,
                  .background = "#C0C0C0", .toolTip = "Show quotes of the selected author"},
    ControlLayout{.name = "AuthorList", .slot = &Controls::AuthorList, .kind = List,
                  .geometry = {16, 136, 169, 327}, .tabIndex = 0,
                  .accessibleName = "Authors"},
    ControlLayout{.name = "txtQuotes", .slot = &Controls::txtQuotes, .kind = QuotesBox,
                  .geometry = {200, 144, 329, 321}, .tabIndex = 1,
                  .text = "Select an Author or subject to show its quotes.\r\n", .fontFamily = "Arial",
                  .pixelSize = 13, .background = "#E0E0E0", .accessibleName = "Quotations"},
    ControlLayout{.name = "Label4", .slot = &Controls::Label4, .kind = Label,
                  .geometry = {472, 56, 153, 17}, .tabIndex = 17,
                  .text = " by Tamsor.", .fontFamily = "Arial", .pixelSize = 15, .bold = true,
                  .foreground = "#800000"},
    ControlLayout{.name = "Image1", .slot = &Controls::Image1, .kind = Picture,
                  .geometry = {256, 32, 197, 47},
                  .text = ":/sayvane/banner.jpg", .accessibleName = "Sayvane"},
    ControlLayout{.name = "lblMin", .slot = &Controls::lblMin, .kind = Label,
                  .geometry = {648, 0, 17, 25}, .tabIndex = 16, .text = "_",
                  .fontFamily = "MS Sans Serif", .pixelSize = 18, .foreground = "#FFFFFF",
                  .accessibleName = "Minimise"},
    ControlLayout{.name = "lblExit", .slot = &Controls::lblExit, .kind = Label,
                  .geometry = {672, 0, 17, 25}, .tabIndex = 15, .text = "X",
                  .fontFamily = "MS Sans Serif", .pixelSize = 18, .foreground = "#FFFFFF",
                  .accessibleName = "Close"},
    ControlLayout{.name = "Line3", .slot = &Controls::Line3, .kind = Line,
                  .geometry = {700, 22, 4, 492}},
    ControlLayout{.name = "Line2", .slot = &Controls::Line2, .kind = Line,
                  .geometry = {0, 510, 704, 4}},
    ControlLayout{.name = "Line1", .slot = &Controls::Line1, .kind = Line,
                  .geometry = {0, 22, 3, 492}},
    ControlLayout{.name = "TitleBar", .slot = &Controls::TitleBar, .kind = Label,
                  .geometry = {0, 0, 705, 25}, .tabIndex = 14,
                  .background = "#000000", .accessibleName = "Title bar"},
    ControlLayout{.name = "Label3", .slot = &Controls::Label3, .kind = Label,
                  .geometry = {200, 88, 329, 17}, .tabIndex = 13,
                  .text = "Search a quote :", .fontFamily = "Verdana", .pixelSize = 15, .bold = true},
    ControlLayout{.name = "Label2", .slot = &Controls::Label2, .kind = Label,
                  .geometry = {544, 88, 145, 17}, .tabIndex = 12,
                  .text = "Subjects", .fontFamily = "Verdana", .pixelSize = 15, .bold = true, .centred = true},
    ControlLayout{.name = "Label1", .slot = &Controls::Label1, .kind = Label,
                  .geometry = {16, 88, 169, 17}, .tabIndex = 11,
                  .text = "Authors ", .fontFamily = "Verdana", .pixelSize = 15, .bold = true, .centred = true},
};
// clang-format on

// The nearest families on a desktop without the original fonts; the
// requested family stays first so that it wins where it is installed.
QStringList familiesFor(const char *family)
{
    static const std::map<QString, QString> substitutes{
        {QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("Arial"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")},
    };
    const QString requested = QString::fromLatin1(family);
    const auto substitute = substitutes.find(requested);
    return substitute == substitutes.end() ? QStringList{requested} : QStringList{requested, substitute->second};
}

QFont fontFor(const ControlLayout &layout)
{
    QFont font;
    font.setFamilies(familiesFor(layout.fontFamily ? layout.fontFamily : kDefaultFontFamily));
    font.setPixelSize(layout.pixelSize > 0 ? layout.pixelSize : kDefaultFontPixelSize);
    font.setWeight(layout.bold ? QFont::Bold : QFont::Normal);
    return font;
}

QWidget *createWidget(const ControlLayout &layout, QWidget *form)
{
    const QString text = QString::fromUtf8(layout.text);
    switch (layout.kind) {
    case PushButton: {
        auto *button = new QPushButton(text, form);
        button->setAutoDefault(false);
        button->setStyle(pushButtonStyle());
        return button;
    }
    case TextBox: {
        auto *box = new QLineEdit(text, form);
        box->setMaxLength(std::numeric_limits<int>::max()); // a text box has no length limit
        box->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid black; background: white; }"));
        return box;
    }
    case List: {
        auto *list = new ListBox(kListRowHeight, form);
        list->setFrameStyle(QFrame::Box | QFrame::Plain);
        return list;
    }
    case QuotesBox: {
        auto *box = new ReadOnlyTextView(form);
        box->setPlainText(text);
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        box->setFrameStyle(QFrame::Box | QFrame::Plain);
        return box;
    }
    case Label: {
        auto *label = std::holds_alternative<ClickableLabel * Controls::*>(layout.slot) ? new ClickableLabel(text, form)
                                                                                        : new QLabel(text, form);
        label->setAlignment((layout.centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
        label->setAutoFillBackground(layout.background != nullptr);
        return label;
    }
    case Picture: {
        auto *picture = new QLabel(form);
        // Through QIcon, so that the @2x picture is chosen on screens that
        // need twice the pixels.
        picture->setPixmap(QIcon(text).pixmap(layout.geometry.size(), qApp->devicePixelRatio()));
        picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return picture;
    }
    case Line: {
        auto *line = new QWidget(form);
        line->setAutoFillBackground(true);
        QPalette palette = line->palette();
        palette.setColor(QPalette::Window, palette.color(QPalette::WindowText));
        line->setPalette(palette);
        return line;
    }
    }
    return nullptr;
}

void applyLook(const ControlLayout &layout, QWidget *widget)
{
    widget->setObjectName(QString::fromLatin1(layout.name));
    widget->setGeometry(layout.geometry);
    if (layout.kind != Line && layout.kind != Picture)
        widget->setFont(fontFor(layout));
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
    const bool takesFocus = layout.kind != Label && layout.kind != Picture && layout.kind != Line;
    widget->setFocusPolicy(takesFocus ? Qt::StrongFocus : Qt::NoFocus);
}

} // namespace

Controls createControls(QWidget *form)
{
    Controls controls;
    std::vector<std::pair<int, QWidget *>> focusChain;
    std::vector<QWidget *> created;
    for (const ControlLayout &layout : kControls) {
        QWidget *widget = createWidget(layout, form);
        applyLook(layout, widget);
        std::visit(
            [&controls, widget](auto member) {
                using Widget = std::remove_pointer_t<std::remove_reference_t<decltype(controls.*member)>>;
                controls.*member = qobject_cast<Widget *>(widget);
                Q_ASSERT(controls.*member);
            },
            layout.slot);
        created.push_back(widget);
        if (widget->focusPolicy() != Qt::NoFocus)
            focusChain.emplace_back(layout.tabIndex, widget);
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
