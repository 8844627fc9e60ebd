// Start-up floor (a): the least a Qt 6 widgets program does to show a window,
// an empty QWidget.
#include "bench/first_paint.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.show();
    pelorin::bench::FirstPaint hook(window);
    return QApplication::exec();
}
