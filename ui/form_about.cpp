#include "ui/form_about.h"

#include "ui/accessible_roles.h"
#include "ui/layout.h"
#include "ui/text.h"

#include <QAction>
#include <QLabel>

namespace {

QLabel* addLabel(QWidget* parent, const Placement& at, double points = 8.25) {
    auto* label = new QLabel(fromView(at.text), parent);
    label->setObjectName(fromView(at.name));
    label->setGeometry(at.geometry());
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
    installAccessibleRoles();
    setObjectName("Form_About");
    setWindowTitle("About");
    setAttribute(Qt::WA_DeleteOnClose);
    // The main window alone decides when the program ends.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(twips(0, 0, aboutLayout::clientWidth, aboutLayout::clientHeight).size());
    fillWithLightYellow(this);

    auto* title = addLabel(this, aboutLayout::Label2, 9.75);
    title->setAlignment(Qt::AlignCenter);
    title->setWordWrap(true);
    setTextColour(title, qRgb(0, 128, 0));
    addLabel(this, aboutLayout::Label7);
    addLabel(this, aboutLayout::Label8);
    addLabel(this, aboutLayout::Label4);
    setTextColour(addLabel(this, aboutLayout::Label5), qRgb(0, 0, 255));

    auto* closeAction = new QAction("Close", this);
    closeAction->setShortcut(Qt::Key_Escape);
    connect(closeAction, &QAction::triggered, this, &QWidget::close);
    addAction(closeAction);
}
