// Start-up floor (b): a window with the main window's controls, at the same
// places and in the same font (menu bar with one action, two group boxes,
// four labels and input boxes, a push button, seven radio buttons, a frame
// and a list view) and nothing behind them: no model, no calculation, no icon.
// The places, captions and font are the window's own layout table.
#include "bench/first_paint.h"
#include "ui/layout.h"
#include "ui/text.h"

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

using namespace form1Layout;

template <typename Widget>
Widget* place(Widget* widget, const Placement& at) {
    widget->setGeometry(at.geometry());
    return widget;
}

QString text(const Placement& at) { return fromView(at.text); }

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);

    QMainWindow window;
    window.setWindowTitle("Pelorin - Numerical integration of dy/dx=-2*x-y");
    window.setFont(form1Layout::font());
    auto* client = new QWidget(&window);
    client->setFixedSize(twips(0, 0, clientWidth, clientHeight).size());
    window.setCentralWidget(client);

    auto* inputs = place(new QGroupBox(client), Frame1);
    for (const pelorin::Input input : pelorin::inputs) {
        place(new QLabel(text(label(input)), inputs), label(input));
        place(new QLineEdit(text(box(input)), inputs), box(input));
    }
    auto* calculate = place(new QPushButton(text(Command1), client), Command1);

    auto* methods = place(new QGroupBox(client), Frame2);
    auto* group = new QButtonGroup(methods);
    for (const Placement& option : options) {
        group->addButton(place(new QRadioButton(text(option), methods), option));
    }
    group->buttons().front()->setChecked(true);

    auto* plot = place(new QFrame(client), Picture1);
    plot->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    place(new QListView(client), List1);
    window.menuBar()->addAction("About");

    window.setFixedSize(window.sizeHint());
    calculate->setFocus();
    window.show();
    pelorin::bench::FirstPaint hook(window);
    return QApplication::exec();
}
