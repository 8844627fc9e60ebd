// Start-up floor (b): a window with the main window's controls, at the same
// places and in the same font (menu bar with one action, two group boxes,
// four labels and input boxes, a push button, seven radio buttons, a frame
// and a list view) and nothing behind them: no model, no calculation, no icon.
#include "first_paint.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

namespace {

// The main window's layout in twips, 15 to a pixel (see ui/form1.cpp).
QRect twips(int left, int top, int width, int height) {
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

template <typename Widget>
Widget* place(Widget* widget, int left, int top, int width, int height) {
    widget->setGeometry(twips(left, top, width, height));
    return widget;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);

    QMainWindow window;
    window.setWindowTitle("Pelorin - Numerical integration of dy/dx=-2*x-y");
    QFont font;
    font.setFamilies({"Liberation Sans", "Arial", "Nimbus Sans"});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8);
    window.setFont(font);
    auto* client = new QWidget(&window);
    client->setFixedSize(twips(0, 0, 11850, 4980).size());
    window.setCentralWidget(client);

    auto* inputs = place(new QGroupBox(client), 105, 210, 2205, 900);
    place(new QLabel("x0 =", inputs), 105, 210, 375, 255);
    place(new QLineEdit("0", inputs), 420, 210, 615, 285);
    place(new QLabel("x1 =", inputs), 1155, 210, 375, 255);
    place(new QLineEdit("0.4", inputs), 1470, 210, 615, 285);
    place(new QLabel("y0 =", inputs), 105, 525, 375, 255);
    place(new QLineEdit("-1", inputs), 420, 525, 615, 285);
    place(new QLabel("h =", inputs), 1155, 525, 255, 255);
    place(new QLineEdit("0.4", inputs), 1470, 525, 615, 285);
    auto* calculate = place(new QPushButton("CALCULATE", client), 105, 1260, 2235, 570);

    auto* methods = place(new QGroupBox(client), 120, 1890, 2235, 2850);
    auto* group = new QButtonGroup(methods);
    const struct {
        const char* caption;
        int left, top, width, height;
    } options[] = {{"Euler", 240, 240, 735, 255},
                   {"Euler (End points)", 240, 600, 1575, 255},
                   {"Euler (Mid point)", 240, 960, 1575, 255},
                   {"Runge-Kutta 4", 240, 1320, 1455, 255},
                   {"Runge-Kutta-Fehlberg", 210, 1680, 1935, 255},
                   {"Runge-Kutta-Merson", 240, 2040, 1815, 255},
                   {"Runge-Kutta-Gill", 210, 2415, 1590, 225}};
    for (const auto& option : options) {
        group->addButton(place(new QRadioButton(option.caption, methods), option.left,
                               option.top, option.width, option.height));
    }
    group->buttons().front()->setChecked(true);

    auto* plot = place(new QFrame(client), 2415, 105, 4815, 4575);
    plot->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    place(new QListView(client), 7350, 105, 3900, 4545);
    window.menuBar()->addAction("About");

    window.setFixedSize(window.sizeHint());
    calculate->setFocus();
    window.show();
    pelorin::bench::FirstPaint hook(window);
    return QApplication::exec();
}
