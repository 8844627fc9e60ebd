// The windows' fixed layout, in twips (1440 to the inch) as they were designed,
// and the light-yellow ground of the plot area and the About window.
#pragma once

#include <QColor>
#include <QPalette>
#include <QRect>
#include <QWidget>

// At 96 dots per inch a device-independent pixel is 15 twips; Qt scales
// device-independent pixels on high-DPI screens, so proportions stay.
inline QRect twips(int left, int top, int width, int height) {
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

// The light yellow of the plot area and the About window.
inline constexpr QRgb lightYellow = qRgb(255, 255, 192);

inline void fillWithLightYellow(QWidget* widget) {
    widget->setAutoFillBackground(true);
    QPalette colours = widget->palette();
    colours.setColor(QPalette::Window, QColor(lightYellow));
    widget->setPalette(colours);
}
