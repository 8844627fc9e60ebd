#include "ui/form1.h"

#include "ui/form_about.h"
#include "ui/lab_loader.h"
#include "ui/layout.h"
#include "ui/plot_widget.h"
#include "ui/results_list_model.h"
#include "ui/text.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <vector>

namespace {

using namespace form1Layout;

template <typename Widget>
Widget* place(Widget* widget, const Placement& at) {
    widget->setObjectName(fromView(at.name));
    widget->setGeometry(at.geometry());
    return widget;
}

QLineEdit* addInput(QWidget* frame, pelorin::Input input) {
    const Placement& labelAt = label(input);
    const Placement& boxAt = box(input);
    auto* caption = place(new QLabel(fromView(labelAt.text), frame), labelAt);
    auto* edit = place(new QLineEdit(fromView(boxAt.text), frame), boxAt);
    edit->setAccessibleName(fromView(pelorin::inputName(input)));
    caption->setBuddy(edit);
    return edit;
}

}  // namespace

Form1::Form1(QWidget* parent) : QMainWindow(parent) {
    setObjectName("Form1");
    setWindowTitle("Pelorin - Numerical integration of dy/dx=-2*x-y");
    setFont(form1Layout::font());
    auto* client = new QWidget(this);
    client->setFixedSize(twips(0, 0, clientWidth, clientHeight).size());
    setCentralWidget(client);

    createInputs(client);
    createMethodButtons(client);
    createPlotAndList(client);
    createMenu();
    setTabOrder();

    methodLabAction_ = new QAction("Method &lab\u2026", this);
    methodLabAction_->setObjectName("MethodLab");
    methodLabAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    methodLabAction_->setShortcutContext(Qt::WindowShortcut);
    connect(methodLabAction_, &QAction::triggered, this, &Form1::openMethodLab);
    addAction(methodLabAction_);

    setFixedSize(sizeHint());
    Command1->setFocus();
}

Form1::~Form1() {
    delete about_;
    delete lab_;
}

void Form1::createInputs(QWidget* client) {
    auto* frame = place(new QGroupBox(client), Frame1);
    frame->setAccessibleName("Inputs");
    Text_x0 = addInput(frame, pelorin::Input::x0);
    Text_x1 = addInput(frame, pelorin::Input::x1);
    Text_y0 = addInput(frame, pelorin::Input::y0);
    Text_h = addInput(frame, pelorin::Input::h);

    Command1 = place(new QPushButton(fromView(form1Layout::Command1.text), client), form1Layout::Command1);
    Command1->setAutoDefault(true);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
}

void Form1::createMethodButtons(QWidget* client) {
    auto* frame = place(new QGroupBox(client), Frame2);
    frame->setAccessibleName("Method");
    auto* group = new QButtonGroup(frame);
    for (std::size_t row = 0; row < options_.size(); ++row) {
        const pelorin::Method& method = pelorin::methodCatalogue[row];
        auto* option = place(new QRadioButton(fromView(method.caption), frame), options[row]);
        const QString explanation = QStringLiteral("Order %1: halving h divides the error by "
                                                   "about %2.")
                                        .arg(method.order)
                                        .arg(1 << method.order);
        option->setToolTip(QStringLiteral("<p>%1</p><p>%2</p>")
                               .arg(fromView(method.formula).toHtmlEscaped(), explanation));
        option->setAccessibleDescription(fromView(method.formula) + ". " + explanation);
        group->addButton(option);
        options_[row] = option;
    }
    options_[0]->setChecked(true);
}

void Form1::createPlotAndList(QWidget* client) {
    Picture1 = place(new PlotWidget(client), form1Layout::Picture1);
    Picture1->setFocusPolicy(Qt::TabFocus);
    Picture1->setAccessibleName("Plot");
    Picture1->setAccessibleDescription(
        "The exact solution in the foreground colour and the numerical solution in red, "
        "drawn by the last calculation.");

    List1 = place(new QListView(client), form1Layout::List1);
    resultsModel_ = new ResultsListModel(List1);
    List1->setModel(resultsModel_);
    List1->setUniformItemSizes(true);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List1->setAccessibleName("Results");
    List1->setAccessibleDescription(
        "For every calculation, the method's name, then x and y after every step.");
}

void Form1::createMenu() {
    QAction* about = menuBar()->addAction("About");
    about->setObjectName("Mn_About");
    connect(about, &QAction::triggered, this, &Form1::Mn_About_Click);
}

// Keyboard order as the layout numbers it: CALCULATE first, then the boxes,
// the plot, the methods and the list.
void Form1::setTabOrder() {
    std::vector<Placement> order;
    for (const Placement& control : all) {
        if (control.tab >= 0) order.push_back(control);
    }
    std::sort(order.begin(), order.end(),
              [](const Placement& a, const Placement& b) { return a.tab < b.tab; });
    QWidget* previous = nullptr;
    for (const Placement& control : order) {
        auto* widget = findChild<QWidget*>(fromView(control.name));
        if (!(widget->focusPolicy() & Qt::TabFocus)) continue;
        if (previous) QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

std::string Form1::inputText(pelorin::Input box) const {
    switch (box) {
    case pelorin::Input::x0: return Text_x0->text().toStdString();
    case pelorin::Input::y0: return Text_y0->text().toStdString();
    case pelorin::Input::x1: return Text_x1->text().toStdString();
    case pelorin::Input::h: return Text_h->text().toStdString();
    }
    return {};
}

bool Form1::isMethodSelected(std::size_t row) const { return options_[row]->isChecked(); }

void Form1::appendLine(const std::string& line) { resultsModel_->append(line); }

void Form1::reportError(const std::string& message) {
    // Not modal to the application, so the program keeps running; the user
    // closes it to go on.
    auto* box = new QMessageBox(QMessageBox::Warning, "Calculation stopped",
                                QString::fromStdString(message), QMessageBox::Ok, this);
    box->setObjectName("CalculationError");
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void Form1::Command1_Click() {
    pelorin::Command1_Click(*this, *Picture1, last_);
    List1->scrollToBottom();
    emit calculated();
}

void Form1::Mn_About_Click() {
    if (!about_) about_ = new Form_About;
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void Form1::openMethodLab() {
    if (!lab_) {
        const LabModule& module = labModule();
        if (!module.create) {
            QMessageBox::warning(this, "Method lab",
                                 "The Method lab could not be loaded (" + module.error +
                                     "). Reinstall the program to get it back.");
            return;
        }
        LabStart start{{Text_x0->text(), Text_y0->text(), Text_x1->text()}, 0};
        for (std::size_t row = 0; row < options_.size(); ++row) {
            if (isMethodSelected(row)) start.method = row;
        }
        lab_ = module.create(start, last_);
        connect(this, &Form1::calculated, lab_, [this] { labModule().calculated(lab_); });
    }
    lab_->show();
    lab_->raise();
    lab_->activateWindow();
}

void Form1::closeEvent(QCloseEvent* event) {
    if (about_) about_->close();
    if (lab_) lab_->close();
    QMainWindow::closeEvent(event);
}
