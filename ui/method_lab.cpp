#include "ui/method_lab.h"

#include "run/calculation_error.h"
#include "run/conversions.h"
#include "run/view.h"
#include "ui/lab_convergence_tab.h"
#include "ui/lab_one_step_tab.h"
#include "ui/lab_stability_tab.h"
#include "ui/text.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr std::array<pelorin::Input, 3> labBoxes{pelorin::Input::x0, pelorin::Input::y0,
                                                 pelorin::Input::x1};

}  // namespace

MethodLab::MethodLab(const std::array<QString, 3>& start, std::size_t method,
                     const pelorin::Calculation& last, QWidget* parent)
    : QMainWindow(parent) {
    setObjectName("MethodLab");
    setWindowTitle("Method lab");
    setAccessibleName("Method lab");
    setAttribute(Qt::WA_DeleteOnClose);

    // A main window of its own, so that screen readers announce a window.
    auto* client = new QWidget(this);
    setCentralWidget(client);
    auto* layout = new QVBoxLayout(client);
    auto* row = new QHBoxLayout;
    for (std::size_t i = 0; i < labBoxes.size(); ++i) {
        const QString name = fromView(pelorin::inputName(labBoxes[i]));
        auto* caption = new QLabel(name + " =", this);
        boxes_[i] = new QLineEdit(start[i], this);
        boxes_[i]->setAccessibleName(name);
        boxes_[i]->setMaximumWidth(120);
        caption->setBuddy(boxes_[i]);
        connect(boxes_[i], &QLineEdit::editingFinished, this, &MethodLab::recalculate);
        row->addWidget(caption);
        row->addWidget(boxes_[i]);
    }
    auto* methodCaption = new QLabel("&Method:", this);
    method_ = new QComboBox(this);
    method_->setAccessibleName("Method");
    for (const pelorin::Method& m : pelorin::methodCatalogue) method_->addItem(fromView(m.caption));
    method_->setCurrentIndex(static_cast<int>(method));
    methodCaption->setBuddy(method_);
    connect(method_, &QComboBox::currentIndexChanged, this, &MethodLab::methodChanged);
    row->addSpacing(12);
    row->addWidget(methodCaption);
    row->addWidget(method_);
    row->addStretch(1);
    layout->addLayout(row);

    tabs_ = new QTabWidget(this);
    tabs_->setAccessibleName("Lab pages");
    convergence_ = new ConvergenceTab(tabs_);
    stability_ = new StabilityTab(tabs_);
    oneStep_ = new OneStepTab(last, tabs_);
    tabs_->addTab(convergence_, "&Convergence");
    tabs_->addTab(stability_, "&Stability");
    tabs_->addTab(oneStep_, "One s&tep");
    layout->addWidget(tabs_, 1);

    // Escape closes the lab, as it closes a dialog.
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);

    // As large as the pages like, but within the screen it opens on: on a
    // laptop's 768 lines the window would otherwise reach below the screen,
    // and the frame and title bar need room too.
    resize(QSize(1000, 860).boundedTo(screen()->availableGeometry().size() * 0.9));
    // The pages are filled in an event of their own, so that the window
    // appears at once and no single handler holds the event loop for long.
    QMetaObject::invokeMethod(this, &MethodLab::recalculate, Qt::QueuedConnection);
}

LabInputs MethodLab::inputs() const {
    LabInputs inputs;
    inputs.method = static_cast<std::size_t>(std::max(method_->currentIndex(), 0));
    std::array<double, 3> values{};
    inputs.readable = true;
    for (std::size_t i = 0; i < labBoxes.size(); ++i) {
        const auto value = pelorin::textToNumber(boxes_[i]->text().toStdString());
        if (value) {
            values[i] = *value;
        } else if (inputs.readable) {
            inputs.readable = false;
            inputs.problem = pelorin::tooLargeToReadMessage(labBoxes[i]);
        }
    }
    inputs.x0 = values[0];
    inputs.y0 = values[1];
    inputs.x1 = values[2];
    return inputs;
}

void MethodLab::calculationChanged() { oneStep_->calculationChanged(); }

void MethodLab::methodChanged() { stability_->show(inputs()); }

void MethodLab::recalculate() {
    const LabInputs current = inputs();
    convergence_->show(current);
    stability_->show(current);
}
