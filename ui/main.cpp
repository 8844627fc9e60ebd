// Starts the program: one main window, shown at once.
#include "form1.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Pelorin");
    QApplication::setDesktopFileName("org.example.pelorin");
    QApplication::setWindowIcon(QIcon(":/icons/pelorin.svg"));

    Form1 window;
    window.show();
    return QApplication::exec();
}
