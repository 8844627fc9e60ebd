#include "form_about.h"

#include "layout.h"

#include <QLabel>

namespace {

QLabel* addLabel(QWidget* parent, const char* name, QRect geometry, const QString& text,
                 double points = 8.25) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    QFont font("Verdana");
    font.setPointSizeF(points);
    label->setFont(font);
    return label;
}

void setTextColour(QLabel* label, QRgb colour) {
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, QColor(colour));
    label->setPalette(colours);
}

}  // namespace

Form_About::Form_About(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("Form_About");
    setWindowTitle("About");
    setAttribute(Qt::WA_DeleteOnClose);
    // The main window alone decides when the program ends.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(twips(0, 0, 3600, 3030).size());
    fillWithLightYellow(this);

    auto* title = addLabel(this, "Label2", twips(600, 360, 2415, 855),
                           "Solution of dy/dx=-2*x-y by numerical methods", 9.75);
    title->setAlignment(Qt::AlignCenter);
    title->setWordWrap(true);
    setTextColour(title, qRgb(0, 128, 0));
    addLabel(this, "Label7", twips(600, 1440, 2535, 255), "by the Pelorin developers");
    addLabel(this, "Label8", twips(480, 1920, 2895, 255), "Last modified : 17.12 2007");
    addLabel(this, "Label4", twips(240, 2400, 3375, 255), "For comments and questions e-mail to");
    auto* address = addLabel(this, "Label5", twips(960, 2640, 1935, 255), "pelorin@example.org");
    setTextColour(address, qRgb(0, 0, 255));
}
