// Starts the program: one main window, shown at once; with a problem file
// named on the command line, the Method lab opens with that problem too.
#include "ui/application.h"
#include "ui/form1.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const auto window = startPelorin();
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) window->openProblemFile(arguments.at(1));
    return QApplication::exec();
}
