// SPDX-License-Identifier: MIT
#include "PushButtonStyle.h"

#include "ProgramSetup.h"

#include <QApplication>
#include <QPainter>
#include <QStyleOptionButton>

namespace sayvane {
namespace {

// The classic button: raised, two one-pixel rings, the outer one lit at
// the top and left and black at the bottom and right, the inner one
// lighter and darker grey. With the focus, a black frame runs around the
// raised edge. Pressed, the black frame holds one flat dark grey line.
void drawButtonPanel(QPainter *painter, const QRect &rect, const QColor &face, bool sunken, bool focused)
{
    const QColor highlight = face.lighter(150); // white for the classic grey
    const QColor light = face.lighter(116);
    const QColor shadow = face.darker(150); // #808080 for the classic grey
    const QColor darkShadow = Qt::black;
    painter->fillRect(rect, face);
    const auto ring = [painter](QRect area, const QColor &topLeft, const QColor &bottomRight) {
        painter->fillRect(QRect(area.left(), area.top(), area.width() - 1, 1), topLeft);
        painter->fillRect(QRect(area.left(), area.top(), 1, area.height() - 1), topLeft);
        painter->fillRect(QRect(area.left(), area.bottom(), area.width(), 1), bottomRight);
        painter->fillRect(QRect(area.right(), area.top(), 1, area.height()), bottomRight);
    };
    const QRect inside = rect.adjusted(1, 1, -1, -1);
    if (sunken) {
        ring(rect, darkShadow, darkShadow);
        ring(inside, shadow, shadow);
        return;
    }
    if (focused)
        ring(rect, darkShadow, darkShadow);
    const QRect edge = focused ? inside : rect;
    ring(edge, highlight, darkShadow);
    ring(edge.adjusted(1, 1, -1, -1), light, shadow);
}

} // namespace

PushButtonStyle::PushButtonStyle(QStyle *base)
    : QProxyStyle(base)
{
}

void PushButtonStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                                    const QWidget *widget) const
{
    if (element == PE_PanelButtonCommand) {
        const bool sunken = option->state & (State_Sunken | State_On);
        drawButtonPanel(painter, option->rect, option->palette.color(QPalette::Button), sunken,
                        option->state & State_HasFocus);
        return;
    }
    if (element == PE_FrameFocusRect) {
        painter->save();
        QPen dots(option->palette.color(QPalette::ButtonText), 0);
        dots.setDashPattern({1, 1});
        painter->setPen(dots);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
        painter->restore();
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void PushButtonStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                                  const QWidget *widget) const
{
    if (element == CE_PushButtonBevel) {
        drawPrimitive(PE_PanelButtonCommand, option, painter, widget);
        return;
    }
    if (element == CE_PushButton) {
        // Face, caption, and the focus mark inside the edge.
        const auto *button = qstyleoption_cast<const QStyleOptionButton *>(option);
        if (!button)
            return QProxyStyle::drawControl(element, option, painter, widget);
        drawControl(CE_PushButtonBevel, button, painter, widget);
        QStyleOptionButton caption = *button;
        caption.rect = subElementRect(SE_PushButtonContents, button, widget);
        drawControl(CE_PushButtonLabel, &caption, painter, widget);
        if (button->state & State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(*button);
            focus.rect = button->rect.adjusted(4, 4, -4, -4);
            drawPrimitive(PE_FrameFocusRect, &focus, painter, widget);
        }
        return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

int PushButtonStyle::pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const
{
    // The caption moves with the face when the button is pressed.
    if (metric == PM_ButtonShiftHorizontal || metric == PM_ButtonShiftVertical)
        return 1;
    return QProxyStyle::pixelMetric(metric, option, widget);
}

QStyle *pushButtonStyle()
{
    static QStyle *style = [] {
        auto *created = new PushButtonStyle(createProgramStyle());
        created->setParent(qApp);
        return created;
    }();
    return style;
}

} // namespace sayvane
