// SPDX-License-Identifier: MIT
// The look of the window's push buttons: a flat face in the button's own
// colour inside the raised edge of a classic push button, sunken while
// pressed, with a dotted focus mark. Everything else keeps the style it is
// based on.
#pragma once

#include <QProxyStyle>

namespace sayvane {

class PushButtonStyle : public QProxyStyle
{
public:
    explicit PushButtonStyle(QStyle *base);

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;
};

// One style shared by every push button of the program, alive as long as
// the application.
QStyle *pushButtonStyle();

} // namespace sayvane
