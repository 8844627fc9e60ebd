// Where the controls of the main window and the About window sit: one table
// per window, in twips (1440 to the inch) as the windows were designed, with
// each control's container, first text and place in the keyboard order. The
// windows, the start-up floor of the benchmarks and the tests all read it.
// Also the light-yellow ground of the plot area and the About window.
#pragma once

#include "methods/methods.h"
#include "run/view.h"

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QRect>
#include <QWidget>

#include <array>
#include <string_view>

// At 96 dots per inch a device-independent pixel is 15 twips; Qt scales
// device-independent pixels on high-DPI screens, so proportions stay.
inline constexpr int twipsPerPixel = 15;

inline QRect twips(int left, int top, int width, int height) {
    return QRect(left / twipsPerPixel, top / twipsPerPixel, width / twipsPerPixel,
                 height / twipsPerPixel);
}

struct Placement {
    std::string_view name;
    std::string_view container;  // empty for the window's client area
    int left, top, width, height;
    std::string_view text;       // caption or first contents
    int tab;                     // place in the keyboard order; -1 for none

    QRect geometry() const { return twips(left, top, width, height); }
};

namespace form1Layout {

// The fixed layout was drawn for an 8-point sans-serif face of Arial's
// proportions; a wider default face would clip the captions.
inline QFont font() {
    QFont font;
    font.setFamilies({"Liberation Sans", "Arial", "Nimbus Sans"});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8);
    return font;
}

inline constexpr int clientWidth = 11850, clientHeight = 4980;

inline constexpr Placement Frame1{"Frame1", "", 105, 210, 2205, 900, "", 1};
inline constexpr Placement Label1{"Label1", "Frame1", 105, 210, 375, 255, "x0 =", 2};
inline constexpr Placement Text_x0{"Text_x0", "Frame1", 420, 210, 615, 285,
                                   pelorin::defaultInput(pelorin::Input::x0), 5};
inline constexpr Placement Label2{"Label2", "Frame1", 1155, 210, 375, 255, "x1 =", 3};
inline constexpr Placement Text_x1{"Text_x1", "Frame1", 1470, 210, 615, 285,
                                   pelorin::defaultInput(pelorin::Input::x1), 6};
inline constexpr Placement Label4{"Label4", "Frame1", 105, 525, 375, 255, "y0 =", 10};
inline constexpr Placement Text_y0{"Text_y0", "Frame1", 420, 525, 615, 285,
                                   pelorin::defaultInput(pelorin::Input::y0), 9};
inline constexpr Placement Label3{"Label3", "Frame1", 1155, 525, 255, 255, "h =", 4};
inline constexpr Placement Text_h{"Text_h", "Frame1", 1470, 525, 615, 285,
                                  pelorin::defaultInput(pelorin::Input::h), 7};
inline constexpr Placement Command1{"Command1", "", 105, 1260, 2235, 570, "CALCULATE", 0};
inline constexpr Placement Frame2{"Frame2", "", 120, 1890, 2235, 2850, "", 11};
inline constexpr Placement Picture1{"Picture1", "", 2415, 105, 4815, 4575, "", 8};
inline constexpr Placement List1{"List1", "", 7350, 105, 3900, 4545, "", 18};

// The method buttons in Frame2, in catalogue order; captions are the
// catalogue's.
constexpr Placement option(std::size_t row, std::string_view name, int left, int top, int width,
                           int height, int tab) {
    return {name, "Frame2", left, top, width, height, pelorin::methodCatalogue[row].caption, tab};
}
inline constexpr std::array<Placement, pelorin::methodCatalogue.size()> options{{
    option(0, "Option_Euler", 240, 240, 735, 255, 12),
    option(1, "Option_EulerEP", 240, 600, 1575, 255, 13),
    option(2, "Option_EulerMP", 240, 960, 1575, 255, 14),
    option(3, "Option_RK4", 240, 1320, 1455, 255, 15),
    option(4, "Option_RKF", 210, 1680, 1935, 255, 16),
    option(5, "Option_RKM", 240, 2040, 1815, 255, 17),
    option(6, "Option_RK4G", 210, 2415, 1590, 225, 19),
}};

// The input boxes and their labels, in the order of pelorin::inputs.
inline constexpr std::array<const Placement*, pelorin::inputs.size()> boxes{
    &Text_x0, &Text_y0, &Text_x1, &Text_h};
inline constexpr std::array<const Placement*, pelorin::inputs.size()> labels{
    &Label1, &Label4, &Label2, &Label3};
constexpr const Placement& box(pelorin::Input input) {
    return *boxes[static_cast<std::size_t>(input)];
}
constexpr const Placement& label(pelorin::Input input) {
    return *labels[static_cast<std::size_t>(input)];
}

// Every control of the window.
inline constexpr std::array<Placement, 13 + options.size()> all{{
    Frame1, Label1, Text_x0, Label2, Text_x1, Label4, Text_y0, Label3, Text_h, Command1,
    Frame2, options[0], options[1], options[2], options[3], options[4], options[5],
    options[6], Picture1, List1,
}};

}  // namespace form1Layout

namespace aboutLayout {

inline constexpr int clientWidth = 3600, clientHeight = 3030;

inline constexpr Placement Label2{"Label2", "", 600, 360, 2415, 855,
                                  "Solution of dy/dx=-2*x-y by numerical methods", -1};
inline constexpr Placement Label7{"Label7", "", 600, 1440, 2535, 255,
                                  "by the Pelorin developers", -1};
inline constexpr Placement Label8{"Label8", "", 480, 1920, 2895, 255,
                                  "Last modified : 17.12 2007", -1};
inline constexpr Placement Label4{"Label4", "", 240, 2400, 3375, 255,
                                  "For comments and questions e-mail to", -1};
inline constexpr Placement Label5{"Label5", "", 960, 2640, 1935, 255, "pelorin@example.org", -1};

inline constexpr std::array<Placement, 5> all{{Label2, Label7, Label8, Label4, Label5}};

}  // namespace aboutLayout

// The light yellow of the plot area and the About window, and the text on
// it: the light palette's black whatever the desktop's palette, so that a
// dark desktop's pale text does not vanish on the fixed light ground.
inline constexpr QRgb lightYellow = qRgb(255, 255, 192);
inline constexpr QRgb textOnLightYellow = qRgb(0, 0, 0);

inline void fillWithLightYellow(QWidget* widget) {
    widget->setAutoFillBackground(true);
    QPalette colours = widget->palette();
    colours.setColor(QPalette::Window, QColor(lightYellow));
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        colours.setColor(group, QPalette::WindowText, QColor(textOnLightYellow));
        colours.setColor(group, QPalette::Text, QColor(textOnLightYellow));
    }
    widget->setPalette(colours);
}
