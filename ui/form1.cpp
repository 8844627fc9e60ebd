#include "form1.h"

#include "form_about.h"
#include "plot_widget.h"
#include "results_list_model.h"
#include "layout.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

namespace {

const QSize clientArea = twips(0, 0, 11850, 4980).size();

// Left, top, width and height of every control, in twips of its container.
struct Placement {
    const char* name;
    int left, top, width, height;
};

constexpr Placement frame1{"Frame1", 105, 210, 2205, 900};
constexpr Placement label1{"Label1", 105, 210, 375, 255};
constexpr Placement textX0{"Text_x0", 420, 210, 615, 285};
constexpr Placement label2{"Label2", 1155, 210, 375, 255};
constexpr Placement textX1{"Text_x1", 1470, 210, 615, 285};
constexpr Placement label4{"Label4", 105, 525, 375, 255};
constexpr Placement textY0{"Text_y0", 420, 525, 615, 285};
constexpr Placement label3{"Label3", 1155, 525, 255, 255};
constexpr Placement textH{"Text_h", 1470, 525, 615, 285};
constexpr Placement command1{"Command1", 105, 1260, 2235, 570};
constexpr Placement frame2{"Frame2", 120, 1890, 2235, 2850};
constexpr Placement picture1{"Picture1", 2415, 105, 4815, 4575};
constexpr Placement list1{"List1", 7350, 105, 3900, 4545};
// The method buttons inside Frame2, in catalogue order.
constexpr std::array<Placement, 7> optionPlacements{{
    {"Option_Euler", 240, 240, 735, 255},
    {"Option_EulerEP", 240, 600, 1575, 255},
    {"Option_EulerMP", 240, 960, 1575, 255},
    {"Option_RK4", 240, 1320, 1455, 255},
    {"Option_RKF", 210, 1680, 1935, 255},
    {"Option_RKM", 240, 2040, 1815, 255},
    {"Option_RK4G", 210, 2415, 1590, 225},
}};

template <typename Widget>
Widget* place(Widget* widget, const Placement& at) {
    widget->setObjectName(QString::fromLatin1(at.name));
    widget->setGeometry(twips(at.left, at.top, at.width, at.height));
    return widget;
}

QLabel* addLabel(QWidget* parent, const Placement& at, const char* text) {
    return place(new QLabel(QString::fromLatin1(text), parent), at);
}

QLineEdit* addInput(QWidget* parent, const Placement& at, const char* text, QLabel* label,
                    const char* accessibleName) {
    auto* box = place(new QLineEdit(QString::fromLatin1(text), parent), at);
    box->setAccessibleName(QString::fromLatin1(accessibleName));
    label->setBuddy(box);
    return box;
}

// The fixed layout was drawn for an 8-point sans-serif face of Arial's
// proportions; a wider default face would clip the captions.
QFont layoutFont() {
    QFont font;
    font.setFamilies({"Liberation Sans", "Arial", "Nimbus Sans"});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8);
    return font;
}

QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

Form1::Form1(QWidget* parent) : QMainWindow(parent) {
    setObjectName("Form1");
    setWindowTitle("Pelorin - Numerical integration of dy/dx=-2*x-y");
    setFont(layoutFont());
    auto* client = new QWidget(this);
    client->setFixedSize(clientArea);
    setCentralWidget(client);

    createInputs(client);
    createMethodButtons(client);
    createPlotAndList(client);
    createMenu();
    setTabOrder();

    setFixedSize(sizeHint());
    Command1->setFocus();
}

Form1::~Form1() { delete about_; }

void Form1::createInputs(QWidget* client) {
    auto* frame = place(new QGroupBox(client), frame1);
    frame->setAccessibleName("Inputs");
    Text_x0 = addInput(frame, textX0, "0", addLabel(frame, label1, "x0 ="), "x0");
    Text_x1 = addInput(frame, textX1, "0.4", addLabel(frame, label2, "x1 ="), "x1");
    Text_y0 = addInput(frame, textY0, "-1", addLabel(frame, label4, "y0 ="), "y0");
    Text_h = addInput(frame, textH, "0.4", addLabel(frame, label3, "h ="), "h");

    Command1 = place(new QPushButton("CALCULATE", client), command1);
    Command1->setAutoDefault(true);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
}

void Form1::createMethodButtons(QWidget* client) {
    auto* frame = place(new QGroupBox(client), frame2);
    frame->setAccessibleName("Method");
    auto* group = new QButtonGroup(frame);
    for (std::size_t row = 0; row < options_.size(); ++row) {
        const pelorin::Method& method = pelorin::methodCatalogue[row];
        auto* option = place(new QRadioButton(fromView(method.caption), frame),
                             optionPlacements[row]);
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
    Picture1 = place(new PlotWidget(client), picture1);
    Picture1->setFocusPolicy(Qt::TabFocus);
    Picture1->setAccessibleName("Plot");
    Picture1->setAccessibleDescription(
        "The exact solution in the foreground colour and the numerical solution in red, "
        "drawn by the last calculation.");

    List1 = place(new QListView(client), list1);
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

// Keyboard order: CALCULATE first, then the boxes, the plot, the methods and
// the list, as the window has always had it.
void Form1::setTabOrder() {
    QWidget* order[] = {Command1, Text_x0, Text_x1, Text_h, Picture1, Text_y0,
                        options_[0], options_[1], options_[2], options_[3], options_[4],
                        options_[5], List1, options_[6]};
    for (std::size_t i = 1; i < std::size(order); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
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
    pelorin::Command1_Click(*this, *Picture1, solutions_);
    List1->scrollToBottom();
}

void Form1::Mn_About_Click() {
    if (!about_) about_ = new Form_About;
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void Form1::closeEvent(QCloseEvent* event) {
    if (about_) about_->close();
    QMainWindow::closeEvent(event);
}
