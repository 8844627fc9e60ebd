// Start-up of the program itself: main's own code (startPelorin, as
// ui/main.cpp calls it) plus only the first-paint hook.
#include "bench/first_paint.h"
#include "ui/application.h"
#include "ui/form1.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const auto window = startPelorin();
    pelorin::bench::FirstPaint hook(*window);
    return QApplication::exec();
}
