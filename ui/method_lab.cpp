#include "ui/method_lab.h"

#include "analysis/lab_reading.h"
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
    // Why a box's text was not used, beside the boxes.
    boxNotes_ = new QLabel(this);
    boxNotes_->setAccessibleName("Box notes");
    boxNotes_->setWordWrap(true);
    boxNotes_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    boxNotes_->setVisible(false);
    layout->addWidget(boxNotes_);
    // The main window's boxes were read leniently; a text the lab would not
    // take starts from what the main window made of it.
    for (std::size_t i = 0; i < labBoxes.size(); ++i) {
        lastGood_[i] = pelorin::textToNumber(start[i].toStdString());
    }

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
    inputs.readable = true;
    for (std::size_t i = 0; i < labBoxes.size(); ++i) {
        if (!lastGood_[i] && inputs.readable) {
            inputs.readable = false;
            inputs.problem = pelorin::tooLargeToReadMessage(labBoxes[i]);
        }
    }
    inputs.x0 = lastGood_[0].value_or(0);
    inputs.y0 = lastGood_[1].value_or(0);
    inputs.x1 = lastGood_[2].value_or(0);
    return inputs;
}

void MethodLab::readBoxes() {
    QStringList notes;
    for (std::size_t i = 0; i < labBoxes.size(); ++i) {
        const pelorin::LabBox box = pelorin::readLabBox(pelorin::inputName(labBoxes[i]),
                                                        boxes_[i]->text().toStdString(), lastGood_[i]);
        lastGood_[i] = box.value;
        boxes_[i]->setToolTip(QString::fromStdString(box.note));
        if (!box.note.empty()) notes << QString::fromStdString(box.note);
    }
    boxNotes_->setText(notes.join("\n"));
    boxNotes_->setVisible(!notes.isEmpty());
}

void MethodLab::calculationChanged() { oneStep_->calculationChanged(); }

void MethodLab::methodChanged() { stability_->show(inputs()); }

void MethodLab::recalculate() {
    readBoxes();
    const LabInputs current = inputs();
    convergence_->show(current);
    stability_->show(current);
}
