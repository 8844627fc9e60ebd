#include "ui/application.h"

#include "ui/form1.h"

#include <QApplication>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>

namespace {

// The program's icon, from the PNG renders of its SVG at the sizes an X
// window manager is given for a scalable icon. PNG is read by Qt itself:
// the SVG would first load the icon-engine plugin and its SVG library, and
// render four times, which costs milliseconds of start-up. The format is
// named, so that no image-format plugin is asked whether it reads the file.
QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 32, 64, 128}) {
        QImageReader reader(QStringLiteral(":/icons/pelorin-%1.png").arg(size), "png");
        reader.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImageReader(&reader));
    }
    return icon;
}

}  // namespace

std::unique_ptr<Form1> startPelorin() {
    // The icons live in this static library; naming them keeps the linker
    // from leaving them out.
    Q_INIT_RESOURCE(pelorin);
    QApplication::setApplicationName("Pelorin");
    QApplication::setDesktopFileName("org.example.pelorin");
    QApplication::setWindowIcon(programIcon());

    auto window = std::make_unique<Form1>();
    window->show();
    return window;
}
