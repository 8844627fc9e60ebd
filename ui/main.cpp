// Starts the program: one main window, shown at once.
#include "ui/application.h"
#include "ui/form1.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const auto window = startPelorin();
    return QApplication::exec();
}
