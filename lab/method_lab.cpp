#include "lab/method_lab.h"

#include "base/conversions.h"
#include "base/lab_reading.h"
#include "base/words.h"
#include "lab/adaptive_tab.h"
#include "lab/convergence_tab.h"
#include "lab/field_tab.h"
#include "lab/lab_page.h"
#include "lab/one_step_tab.h"
#include "lab/page.h"
#include "lab/phase_plane_tab.h"
#include "lab/plot.h"
#include "lab/stability_tab.h"
#include "lab/system_boxes.h"
#include "numerics/linear_multistep.h"
#include "numerics/stability.h"
#include "problem/library.h"
#include "problem/problem.h"
#include "problem/problem_file.h"
#include "problem/system_library.h"
#include "run/calculation_error.h"
#include "run/view.h"
#include "texts/results_export.h"
#include "ui/save_file.h"
#include "ui/text.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <tuple>
#include <variant>

namespace {

const QString ownProblem = "Your own";
const FileKind problemFileKind{"Pelorin problem", ".pelorin"};
const QString problemFileFilter = "Pelorin problem (*.pelorin);;All files (*)";

// Text sizes for a projector, from small to large; Ctrl+0 goes back to 1.
constexpr std::array<double, 7> textScales{0.8, 0.9, 1, 1.25, 1.5, 1.75, 2};
constexpr int normalTextScale = 2;

constexpr std::array<pelorin::Input, 3> labBoxes{pelorin::Input::x0, pelorin::Input::y0,
                                                 pelorin::Input::x1};

// What a problem file holds that the lab's boxes cannot, in words: a single
// equation's boxes have no room for parameters or an invariant. Empty for
// anything else.
QString beyondOneEquation(const pelorin::SystemText& system) {
    if (system.form != pelorin::ProblemForm::equation) return {};
    if (!system.parameters.empty()) return "parameters";
    if (!system.invariant.empty()) return "an invariant";
    return {};
}

// The start as a handout prints it: y0, or (y1, …, yn) for a system.
std::string startText(const pelorin::StateVector& y0) {
    if (y0.size() == 1) return pelorin::numberToText(y0[0]);
    std::string text = "(";
    for (std::size_t k = 0; k < y0.size(); ++k) text += (k ? ", " : "") + pelorin::numberToText(y0[k]);
    return text + ")";
}

// The forms the Form box offers, in its order.
constexpr std::array<std::pair<pelorin::ProblemForm, const char*>, 3> forms{{
    {pelorin::ProblemForm::equation, "one equation y' = f(x, y)"},
    {pelorin::ProblemForm::system, "a system y1' \u2026 yn'"},
    {pelorin::ProblemForm::secondOrder, "y'' = f(x, y, y')"},
}};

// The equation as a handout prints it and names its PDF: a system's with
// its parameters as the Parameters box holds them, for the same slopes with
// other values are another problem.
QString equationLine(const pelorin::Problem& problem) {
    const QString equation = QString::fromStdString(problem.equation.f);
    if (!problem.isSystem()) return "dy/dx = " + equation;
    const auto& system = problem.equation.system;
    const QString parameters =
        system ? QString::fromStdString(system->parameters().text).simplified() : QString();
    return parameters.isEmpty() ? equation : equation + ", with " + parameters;
}

// The exact solution the lab compares with, as a handout prints it.
QString exactSolutionLine(const pelorin::Equation& equation) {
    if (equation.lesson()) return "exact y(x) = " + fromView(pelorin::problemLibrary.front().exact);
    if (equation.exact) return "exact y(x) = " + QString::fromStdString(equation.exact->text());
    if (equation.systemExact) {
        QStringList parts;
        const auto& texts = equation.systemExact->texts();
        for (std::size_t k = 0; k < texts.size(); ++k) {
            parts << QString("y%1(x) = %2").arg(k + 1).arg(QString::fromStdString(texts[k]));
        }
        return "exact " + parts.join(", ");
    }
    return "exact y(x): none; errors are measured against a reference solution";
}

template <typename Page>
LabPage* newPage(QWidget* parent) {
    return new Page(parent);
}

// The lab's pages, in the order of their tabs; the & in a caption marks the
// letter that Alt takes to the page, a letter no other control of the lab
// has.
struct PageListing {
    const char* caption;
    LabPage* (*create)(QWidget* parent);
};
constexpr std::array<PageListing, 6> labPages{{
    {"&Convergence", newPage<ConvergenceTab>},
    {"&Stability", newPage<StabilityTab>},
    {"One s&tep", newPage<OneStepTab>},
    {"&Field", newPage<FieldTab>},
    {"&Adaptive", newPage<AdaptiveTab>},
    {"&Phase plane", newPage<PhasePlaneTab>},
}};

}  // namespace

MethodLab::MethodLab(const std::array<QString, 3>& start, const pelorin::Method& method,
                     QWidget* parent)
    : QMainWindow(parent) {
    setObjectName("MethodLab");
    setWindowTitle("Method lab");
    setAccessibleName("Method lab");
    setAttribute(Qt::WA_DeleteOnClose);

    QVBoxLayout* layout = createClient();
    layout->addLayout(createProblemRow());
    system_ = new SystemBoxes(this);
    connect(system_, &SystemBoxes::edited, this, &MethodLab::recalculate);
    layout->addWidget(system_);
    layout->addLayout(createInputRow(start, method));
    layout->addWidget(createMultistepRow());
    showForm(pelorin::ProblemForm::equation);
    // Why a box's text was not used, beside the boxes.
    boxNotes_ = new NotesLabel("Box notes", this);
    boxNotes_->setVisible(false);
    layout->addWidget(boxNotes_);
    layout->addWidget(createPages(), 1);
    createMenus();

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

// A main window of its own, so that screen readers announce a window. Its
// contents scroll rather than clip when large text needs more room than the
// screen has.
QVBoxLayout* MethodLab::createClient() {
    auto* scroller = new QScrollArea(this);
    scroller->setWidgetResizable(true);
    scroller->setFrameShape(QFrame::NoFrame);
    setCentralWidget(scroller);
    auto* client = new QWidget(scroller);
    scroller->setWidget(client);
    return new QVBoxLayout(client);
}

QHBoxLayout* MethodLab::createInputRow(const std::array<QString, 3>& start,
                                       const pelorin::Method& method) {
    auto* row = new QHBoxLayout;
    for (std::size_t i = 0; i < labBoxes.size(); ++i) {
        const QString name = fromView(pelorin::inputName(labBoxes[i]));
        auto* caption = new QLabel(name + " =", this);
        if (labBoxes[i] == pelorin::Input::y0) y0Caption_ = caption;
        boxes_[i] = new QLineEdit(start[i], this);
        boxes_[i]->setAccessibleName(name);
        caption->setBuddy(boxes_[i]);
        connect(boxes_[i], &QLineEdit::editingFinished, this, &MethodLab::recalculate);
        row->addWidget(caption);
        row->addWidget(boxes_[i]);
        // The main window's boxes were read leniently; a text the lab would
        // not take starts from what the main window made of it.
        lastGood_[i] = pelorin::textToNumber(start[i].toStdString());
    }
    row->addLayout(createStepBox());
    row->addSpacing(12);
    row->addLayout(createMethodBox(method));
    row->addStretch(1);
    return row;
}

QHBoxLayout* MethodLab::createMethodBox(const pelorin::Method& method) {
    auto* box = new QHBoxLayout;
    auto* caption = new QLabel("&Method:", this);
    method_ = newListBox(this);
    method_->setAccessibleName("Method");
    for (const pelorin::Method& m : pelorin::labCatalogue()) method_->addItem(fromView(m.caption));
    method_->setCurrentIndex(static_cast<int>(pelorin::catalogueRow(method)));
    caption->setBuddy(method_);
    connect(method_, &QComboBox::currentIndexChanged, this, &MethodLab::showMultistepRow);
    connect(method_, &QComboBox::currentIndexChanged, this, &MethodLab::showRunPages);
    box->addWidget(caption);
    box->addWidget(method_);
    return box;
}

QWidget* MethodLab::createMultistepRow() {
    multistepRow_ = new QWidget(this);
    auto* column = new QVBoxLayout(multistepRow_);
    column->setContentsMargins(0, 0, 0, 0);
    auto* row = new QHBoxLayout;
    auto* startCaption = new QLabel("Start with:", multistepRow_);
    startWith_ = newListBox(multistepRow_);
    startWith_->setAccessibleName("Start with");
    startWith_->setToolTip("What makes a multistep method's first values, before its formula "
                           "has the k values it needs: a one-step method, or the solution itself.");
    for (std::size_t row : pelorin::oneStepRows()) {
        startWith_->addItem(fromView(pelorin::labCatalogue()[row].caption), QVariant::fromValue(row));
    }
    startWith_->addItem("The exact or reference solution");
    showStart(pelorin::MultistepSettings{}.start);
    startCaption->setBuddy(startWith_);
    connect(startWith_, &QComboBox::currentIndexChanged, this, &MethodLab::recalculate);
    row->addWidget(startCaption);
    row->addWidget(startWith_);
    row->addSpacing(12);

    ownBoxes_ = new QWidget(multistepRow_);
    auto* boxes = new QHBoxLayout(ownBoxes_);
    boxes->setContentsMargins(0, 0, 0, 0);
    const pelorin::MultistepFormula& classic = *pelorin::multistepOf(pelorin::ownMultistepEntry())->formula;
    for (auto [box, name, text, tip] :
         {std::tuple{&alpha_, "alpha", pelorin::alphaText(classic),
                     "α_k … α_0, the weights of y_{n+k} … y_n, separated by "
                     "commas: whole numbers, fractions such as -4/3, or decimals"},
          std::tuple{&beta_, "beta", pelorin::betaText(classic),
                     "β_k … β_0, the weights of h·f_{n+k} … h·f_n; "
                     "β_k = 0 makes the method explicit"}}) {
        auto* caption = new QLabel(QString(name) + ":", ownBoxes_);
        *box = new QLineEdit(QString::fromStdString(text), ownBoxes_);
        (*box)->setAccessibleName(name);
        (*box)->setToolTip(tip);
        caption->setBuddy(*box);
        connect(*box, &QLineEdit::editingFinished, this, &MethodLab::recalculate);
        boxes->addWidget(caption);
        boxes->addWidget(*box, 1);
    }
    row->addWidget(ownBoxes_, 1);
    row->addStretch(0);
    column->addLayout(row);
    ownNotes_ = new NotesLabel("Own method notes", multistepRow_);
    column->addWidget(ownNotes_);
    readOwnMethod();
    showMultistepRow();
    return multistepRow_;
}

void MethodLab::showMultistepRow() {
    const auto row = static_cast<std::size_t>(std::max(method_->currentIndex(), 0));
    multistepRow_->setVisible(pelorin::isMultistep(pelorin::labCatalogue()[row]));
    const bool own = pelorin::isOwnMultistep(pelorin::labCatalogue()[row]);
    ownBoxes_->setVisible(own);
    ownNotes_->setVisible(own);
}

void MethodLab::readOwnMethod() {
    const auto read = pelorin::readMultistep(alpha_->text().toStdString(), beta_->text().toStdString());
    if (const auto* formula = std::get_if<pelorin::MultistepFormula>(&read)) {
        own_ = &pelorin::ownMultistepOf(*formula);
        ownRefusal_.clear();
    } else {
        ownRefusal_ = QString::fromStdString(std::get<std::string>(read)) +
                      " The lab keeps the method the boxes last made.";
    }
    QStringList notes{"Own multistep method: " +
                      QString::fromStdString(pelorin::multistepVerdict(own_->formula))};
    if (!ownRefusal_.isEmpty()) notes.prepend(ownRefusal_);
    ownNotes_->setText(notes.join("\n"));
}

// Every page may ask for a step, a start or a method: the lab's boxes follow.
QTabWidget* MethodLab::createPages() {
    tabs_ = new QTabWidget(this);
    tabs_->setAccessibleName("Lab pages");
    for (const PageListing& listing : labPages) {
        LabPage* page = listing.create(tabs_);
        tabs_->addTab(page, listing.caption);
        connect(page, &LabPage::stepChosen, this, &MethodLab::setStep);
        connect(page, &LabPage::startPicked, this, &MethodLab::startAt);
        connect(page, &LabPage::methodChosen, method_, &QComboBox::setCurrentIndex);
        pages_.push_back(page);
    }
    connect(tabs_, &QTabWidget::currentChanged, this, [this] {
        if (followPageRange()) recalculate();
    });
    return tabs_;
}

// Closing takes the focus from a box, whose editingFinished would otherwise
// reach a lab whose members are already gone.
MethodLab::~MethodLab() {
    for (QLineEdit* box : findChildren<QLineEdit*>()) box->disconnect(this);
}

QHBoxLayout* MethodLab::createProblemRow() {
    auto* row = new QHBoxLayout;
    auto* problemCaption = new QLabel("P&roblem:", this);
    problem_ = newListBox(this);
    problem_->setAccessibleName("Problem");
    for (const pelorin::LibraryProblem& entry : pelorin::problemLibrary) {
        problem_->addItem(fromView(entry.name));
        problem_->setItemData(problem_->count() - 1, fromView(entry.description), Qt::ToolTipRole);
    }
    for (const pelorin::LibrarySystem& entry : pelorin::systemLibrary) {
        problem_->addItem(fromView(entry.name));
        problem_->setItemData(problem_->count() - 1, fromView(entry.description), Qt::ToolTipRole);
    }
    problem_->addItem(ownProblem);
    problemCaption->setBuddy(problem_);
    connect(problem_, &QComboBox::activated, this, &MethodLab::problemChosen);

    const pelorin::LibraryProblem& lesson = pelorin::problemLibrary.front();
    equation_.f = std::string(lesson.f);
    fCaption_ = new QLabel("&y' = f(x, y) =", this);
    auto* fCaption = fCaption_;
    f_ = new QLineEdit(fromView(lesson.f), this);
    f_->setAccessibleName("f(x, y)");
    f_->setToolTip("The slope, in x and y: + - * / ^, pi, e, and functions such as sin(x), "
                   "exp(x), log(x) (natural), sqrt(x), abs(x).");
    fCaption->setBuddy(f_);
    exactCaption_ = new QLabel("e&xact y(x) =", this);
    auto* exactCaption = exactCaption_;
    exact_ = new QLineEdit(fromView(lesson.exact), this);
    exact_->setAccessibleName("exact y(x)");
    exact_->setPlaceholderText("none");
    exact_->setToolTip("The exact solution, in x and the start x0, y0; empty when none is "
                       "known: the errors are then measured against a reference solution.");
    exactCaption->setBuddy(exact_);
    for (QLineEdit* box : {f_, exact_}) {
        connect(box, &QLineEdit::editingFinished, this, &MethodLab::recalculate);
    }
    row->addWidget(problemCaption);
    row->addWidget(problem_);
    auto* formCaption = new QLabel("Form:", this);
    QComboBox* formBox = createFormBox();
    formCaption->setBuddy(formBox);
    // Tab follows the row as it reads: the problem, its form, its boxes.
    setTabOrder(problem_, formBox);
    setTabOrder(formBox, f_);
    row->addWidget(formCaption);
    row->addWidget(formBox);
    row->addSpacing(12);
    row->addWidget(fCaption);
    row->addWidget(f_, 2);
    row->addWidget(exactCaption);
    row->addWidget(exact_, 3);
    // Room left over when a system's form hides the equation's boxes.
    row->addStretch(0);
    return row;
}

QComboBox* MethodLab::createFormBox() {
    form_ = newListBox(this);
    form_->setAccessibleName("Form");
    for (const auto& [form, caption] : forms) form_->addItem(QString::fromUtf8(caption));
    connect(form_, &QComboBox::activated, this, &MethodLab::formChosen);
    return form_;
}

pelorin::ProblemForm MethodLab::form() const {
    return forms[static_cast<std::size_t>(std::max(form_->currentIndex(), 0))].first;
}

// The boxes of the form chosen show; a system's or y'' = f's start in
// their own boxes, in place of y0.
void MethodLab::showForm(pelorin::ProblemForm form) {
    const auto index = std::find_if(forms.begin(), forms.end(),
                                    [form](const auto& listed) { return listed.first == form; });
    {
        const QSignalBlocker quiet(form_);
        form_->setCurrentIndex(static_cast<int>(index - forms.begin()));
    }
    const bool equation = form == pelorin::ProblemForm::equation;
    if (!equation) system_->setForm(form);
    system_->setVisible(!equation);
    for (QWidget* part : std::initializer_list<QWidget*>{fCaption_, f_, exactCaption_, exact_,
                                                          y0Caption_, boxes_[1]}) {
        part->setVisible(equation);
    }
}

void MethodLab::formChosen(int index) {
    if (index < 0) return;
    // A library entry's parameters and invariant would otherwise stand
    // under the problem the student now types ("mu = 1000" under a
    // pendulum).
    if (problem_->currentIndex() != problem_->count() - 1) system_->clearParametersAndInvariant();
    showForm(forms[static_cast<std::size_t>(index)].first);
    problem_->setCurrentIndex(problem_->count() - 1);
    recalculate();
}

QHBoxLayout* MethodLab::createStepBox() {
    auto* box = new QHBoxLayout;
    auto* caption = new QLabel("&h =", this);
    step_ = new QLineEdit(hText_, this);
    step_->setAccessibleName("h");
    step_->setAccessibleDescription(
        "The step of the Stability, One step and Field pages, from " +
        QString::fromStdString(pelorin::stepRangeText()) + "; Enter uses a typed h.");
    step_->setToolTip(step_->accessibleDescription());
    caption->setBuddy(step_);
    connect(step_, &QLineEdit::editingFinished, this, &MethodLab::stepTyped);
    box->addWidget(caption);
    box->addWidget(step_);
    return box;
}

// A typed h counts when it is wholly a number in the range; otherwise the
// box goes back to the h in force and the notes say why.
void MethodLab::stepTyped() {
    if (readStepBox()) showRunPages();
}

bool MethodLab::readStepBox() {
    const pelorin::StepReading reading =
        pelorin::readStep(step_->text().toStdString(), hText_.toStdString());
    stepNote_ = QString::fromStdString(reading.note);
    if (reading.h) {
        h_ = *reading.h;
        hText_ = step_->text().trimmed();
    }
    step_->setText(hText_);
    showBoxNotes();
    return reading.h.has_value();
}

void MethodLab::setStep(double h, const QString& text) {
    h_ = h;
    hText_ = text;
    step_->setText(text);
    stepNote_.clear();
    showBoxNotes();
    showRunPages();
}

void MethodLab::showRunPages() { showPages(Pages::runningLabMethod); }

void MethodLab::showPages(Pages which) {
    const LabInputs current = inputs();
    for (LabPage* page : pages_) {
        if (which == Pages::every || page->runsLabMethod()) page->setInputs(current);
    }
    nameFiles();
}

void MethodLab::startAt(const QString& x0, const QString& y0) {
    boxes_[0]->setText(x0);
    boxes_[1]->setText(y0);
    recalculate();
}

QString MethodLab::pageName(const LabPage& page) const {
    return tabs_->tabText(tabs_->indexOf(&page)).remove('&');
}

const LabPage& MethodLab::currentPage() const {
    return *pages_[static_cast<std::size_t>(tabs_->currentIndex())];
}

QString MethodLab::suggestedFileName(const LabPage& page, const QString& contents,
                                     const QString& suffix) const {
    const LabInputs current = inputs();
    const bool oneMethod = page.runsLabMethod();
    return QString::fromStdString(pelorin::suggestedLabFileName(
        problem_->currentText().toStdString(), pageName(page).toStdString(),
        oneMethod ? &pelorin::labCatalogue()[current.method] : nullptr,
        oneMethod ? std::optional(current.h) : std::nullopt, contents.toStdString(),
        suffix.toStdString()));
}

void MethodLab::nameFiles() {
    for (const LabPage* page : pages_) {
        for (LabPlot* plot : page->findChildren<LabPlot*>()) {
            plot->setFileStem(suggestedFileName(*page, plot->accessibleName(), {}));
        }
    }
}

void MethodLab::problemChosen(int index) {
    if (index < 0) return;
    const auto row = static_cast<std::size_t>(index);
    const std::size_t systemRow = row - pelorin::problemLibrary.size();
    if (row >= pelorin::problemLibrary.size() && systemRow < pelorin::systemLibrary.size()) {
        const pelorin::LibrarySystem& entry = pelorin::systemLibrary[systemRow];
        system_->setText(pelorin::librarySystemText(entry));
        showForm(system_->form());
        boxes_[0]->setText(fromView(entry.x0));
        boxes_[2]->setText(fromView(entry.x1));
        followPageRange();
        recalculate();
        return;
    }
    if (row >= pelorin::problemLibrary.size()) return;
    const pelorin::LibraryProblem& entry = pelorin::problemLibrary[row];
    showForm(pelorin::ProblemForm::equation);
    f_->setText(fromView(entry.f));
    exact_->setText(fromView(entry.exact));
    boxes_[0]->setText(fromView(entry.x0));
    boxes_[1]->setText(fromView(entry.y0));
    boxes_[2]->setText(fromView(entry.x1));
    recalculate();
}

// An equation edited away from the chosen library entry makes the problem
// the user's own, whichever box's Enter read it.
void MethodLab::followProblemList() {
    const int index = problem_->currentIndex();
    if (const pelorin::LibrarySystem* entry = shownLibrarySystem()) {
        if (form() == pelorin::ProblemForm::equation || system_->text() != pelorin::librarySystemText(*entry)) {
            problem_->setCurrentIndex(problem_->count() - 1);
        }
        return;
    }
    if (index >= 0 && static_cast<std::size_t>(index) < pelorin::problemLibrary.size()) {
        if (form() != pelorin::ProblemForm::equation) {
            problem_->setCurrentIndex(problem_->count() - 1);
            return;
        }
        const pelorin::LibraryProblem& entry = pelorin::problemLibrary[static_cast<std::size_t>(index)];
        if (f_->text() != fromView(entry.f) || exact_->text() != fromView(entry.exact)) {
            problem_->setCurrentIndex(problem_->count() - 1);
        }
    }
}

const pelorin::LibrarySystem* MethodLab::shownLibrarySystem() const {
    const auto row = static_cast<std::size_t>(problem_->currentIndex()) - pelorin::problemLibrary.size();
    if (problem_->currentIndex() < 0 || row >= pelorin::systemLibrary.size()) return nullptr;
    return &pelorin::systemLibrary[row];
}

bool MethodLab::followPageRange() {
    const pelorin::LibrarySystem* entry = shownLibrarySystem();
    if (entry && !entry->pageRange.page.empty()) {
        const bool here = pageName(currentPage()) == fromView(entry->pageRange.page);
        const QString wanted = fromView(here ? entry->pageRange.x1 : entry->x1);
        if (boxes_[2]->text() == fromView(here ? entry->x1 : entry->pageRange.x1)) {
            boxes_[2]->setText(wanted);
            return true;
        }
    }
    showBoxNotes();
    return false;
}

QString MethodLab::pageRangeNote() const {
    const pelorin::LibrarySystem* entry = shownLibrarySystem();
    if (!entry || entry->pageRange.page.empty() ||
        pageName(currentPage()) != fromView(entry->pageRange.page) ||
        boxes_[2]->text() != fromView(entry->pageRange.x1)) {
        return {};
    }
    return QString("x1 = %1 on the %2 page: %3")
        .arg(fromView(entry->pageRange.x1), fromView(entry->pageRange.page), fromView(entry->pageRange.why));
}

// Compiles the equation's boxes; a text that cannot be used leaves the last
// good equation in force, and the notes say why.
QStringList MethodLab::readEquation() {
    if (form() != pelorin::ProblemForm::equation) return readSystem();
    const pelorin::Problem at = inputs().problem;
    const double y0 = lastGood_[1].value_or(0);
    pelorin::EquationReading read = pelorin::readEquation(
        f_->text().trimmed().toStdString(), exact_->text().trimmed().toStdString(), at.x0, y0);
    if (!read.equation) {
        return {QString::fromStdString(read.slopeError.message) +
                "; the lab goes on with f(x, y) = " + QString::fromStdString(pelorin::quotedFormula(equation_.f)) + "."};
    }
    QStringList notes;
    if (!inputs().readable) {
        // Without all three numbers an exact solution can be neither bound
        // to the start nor checked: the equation goes on without one.
        read.equation->exact = nullptr;
    } else if (read.exactError) {
        notes << QString::fromStdString(read.exactError->message) +
                     "; the errors are measured against a reference solution instead.";
    } else if (auto fault = pelorin::keepExactIfItHolds(*read.equation, at.x0, y0, at.x1)) {
        notes << QString::fromStdString(*fault);
    }
    equation_ = std::move(*read.equation);
    systemStart_.reset();
    return notes;
}

// A system's or y'' = f's boxes; what cannot be used leaves the last good
// problem in force, and the notes say why.
QStringList MethodLab::readSystem() {
    std::vector<std::string> startNotes;
    const std::optional<pelorin::StateVector> start = system_->readStarts(startNotes);
    QStringList notes;
    for (const std::string& note : startNotes) notes << QString::fromStdString(note);
    const QString goingOn =
        "; the lab goes on with " + QString::fromStdString(pelorin::quotedFormula(equation_.f)) + ".";
    if (!start || !inputs().readable) {
        if (start) notes << QString::fromStdString(inputs().unreadable) + goingOn;
        return notes;
    }
    const pelorin::Problem at = inputs().problem;
    pelorin::SystemEquationReading read =
        pelorin::readSystemEquation(system_->text(), at.x0, *start, at.x1);
    for (const pelorin::FormulaError& error : read.errors) {
        notes << QString::fromStdString(error.message) + goingOn;
    }
    for (const pelorin::FormulaError& note : read.notes) notes << QString::fromStdString(note.message);
    if (read.equation) {
        equation_ = std::move(*read.equation);
        systemStart_ = start;
    }
    return notes;
}

void MethodLab::createMenus() {
    QMenu* lab = menuBar()->addMenu("&Lab");
    QAction* open = lab->addAction("&Open problem\u2026", this, &MethodLab::openProblem);
    open->setShortcut(QKeySequence::Open);
    QAction* save = lab->addAction("&Save problem\u2026", this, &MethodLab::saveProblem);
    save->setShortcut(QKeySequence::Save);
    lab->addSeparator();
    QAction* print = lab->addAction("&Print handout\u2026", this, &MethodLab::printHandout);
    print->setShortcut(QKeySequence::Print);
    lab->addAction("Save &handout as PDF\u2026", this, &MethodLab::saveHandoutAsPdf);

    QMenu* view = menuBar()->addMenu("&View");
    QAction* larger = view->addAction("&Larger text", this, [this] { setTextScale(textScale_ + 1); });
    larger->setShortcuts({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    QAction* smaller = view->addAction("&Smaller text", this, [this] { setTextScale(textScale_ - 1); });
    smaller->setShortcut(QKeySequence::ZoomOut);
    QAction* normal = view->addAction("&Normal text", this, [this] { setTextScale(normalTextScale); });
    normal->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    setTextScale(normalTextScale);
}

void MethodLab::setTextScale(int step) {
    textScale_ = std::clamp(step, 0, static_cast<int>(textScales.size()) - 1);
    QFont scaled = QApplication::font(this);
    scaled.setPointSizeF(scaled.pointSizeF() * textScales[static_cast<std::size_t>(textScale_)]);
    setFont(scaled);
    // Room for about fourteen digits in each box, at any size, and for a
    // short number however narrow the lab: the lab scrolls instead.
    const int digit = QFontMetrics(scaled).averageCharWidth();
    for (QLineEdit* box : boxes_) {
        box->setMinimumWidth(digit * 7);
        box->setMaximumWidth(digit * 18);
    }
    step_->setMinimumWidth(digit * 6);
    step_->setMaximumWidth(digit * 9);
}

Handout MethodLab::handout() const {
    const LabInputs current = inputs();
    Handout handout;
    handout.title = "Method lab: " + pageName(currentPage());
    handout.problem << equationLine(current.problem) << exactSolutionLine(current.problem.equation)
                    << QString(current.problem.isSystem() ? "x0 = %1, y(x0) = %2, x1 = %3"
                                                          : "x0 = %1, y0 = %2, x1 = %3")
                           .arg(fromView(pelorin::numberToText(current.problem.x0)),
                                QString::fromStdString(startText(current.problem.y0)),
                                fromView(pelorin::numberToText(current.problem.x1)));
    if (!current.problem.equation.rewriting.empty()) {
        handout.problem << QString::fromStdString(current.problem.equation.rewriting);
    }
    if (!boxNotes_->text().isEmpty()) handout.notes << boxNotes_->text().split('\n');
    addPage(handout, currentPage().handout(current));
    return handout;
}

pelorin::LessonSettings MethodLab::lessonSettings() const {
    pelorin::LessonSettings lesson;
    lesson.h = step_->text().toStdString();
    lesson.method = inputs().method;
    lesson.page = pageName(currentPage()).toStdString();
    lesson.start = inputs().multistep.start;
    lesson.alpha = alpha_->text().toStdString();
    lesson.beta = beta_->text().toStdString();
    for (const LabPage* page : pages_) page->keepSettings(lesson);
    return lesson;
}

// The boxes as the lesson had them, read as if typed; the pages are shown
// again by the caller.
void MethodLab::restoreLesson(const pelorin::LessonSettings& lesson) {
    {
        const QSignalBlocker quiet(method_);
        method_->setCurrentIndex(static_cast<int>(lesson.method));
    }
    step_->setText(QString::fromStdString(lesson.h));
    readStepBox();
    {
        const QSignalBlocker quiet(startWith_);
        showStart(lesson.start);
    }
    if (!lesson.alpha.empty()) alpha_->setText(QString::fromStdString(lesson.alpha));
    if (!lesson.beta.empty()) beta_->setText(QString::fromStdString(lesson.beta));
    showMultistepRow();
    for (LabPage* page : pages_) page->restoreSettings(lesson);
}

QByteArray MethodLab::problemFileBytes() const {
    const std::string bytes = pelorin::writeProblemFile(problemText(), lessonSettings(), systemText());
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

pelorin::SystemText MethodLab::systemText() const {
    if (form() == pelorin::ProblemForm::equation) return {};
    return system_->text();
}

pelorin::ProblemText MethodLab::problemText() const {
    if (form() != pelorin::ProblemForm::equation) {
        return {problem_->currentText().toStdString(), "", "", boxes_[0]->text().toStdString(), "",
                boxes_[2]->text().toStdString()};
    }
    return {problem_->currentText().toStdString(), f_->text().toStdString(),
            exact_->text().toStdString(),          boxes_[0]->text().toStdString(),
            boxes_[1]->text().toStdString(),       boxes_[2]->text().toStdString()};
}

QString MethodLab::openProblemFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QString("Could not open \"%1\": %2.").arg(QDir::toNativeSeparators(path), file.errorString());
    }
    // One byte past the limit is enough to know the file is too large.
    const QByteArray bytes = file.read(static_cast<qint64>(pelorin::maxProblemFileBytes) + 1);
    const pelorin::ProblemFileReading reading =
        pelorin::readProblemFile(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (!reading.problem) {
        return QString("Could not open \"%1\": %2 Nothing was changed.")
            .arg(QDir::toNativeSeparators(path), QString::fromStdString(reading.error));
    }
    if (const QString beyond = beyondOneEquation(reading.system); !beyond.isEmpty()) {
        return QString("Could not open \"%1\": it holds %2 beside one equation y' = f(x, y), "
                       "whose boxes have no room for them; a system's have. Nothing was changed.")
            .arg(QDir::toNativeSeparators(path), beyond);
    }
    // Checked before anything changes: a file whose equation the lab could
    // not use would leave the boxes showing it while the pages go on with
    // the last good one.
    if (const std::vector<std::string> faults = pelorin::equationFaults(*reading.problem, reading.system);
        !faults.empty()) {
        QStringList why;
        for (const std::string& fault : faults) why << QString::fromStdString(fault);
        return QString("Could not open \"%1\": %2 Nothing was changed.")
            .arg(QDir::toNativeSeparators(path), why.join(" "));
    }
    int page = tabs_->currentIndex();
    if (reading.lesson) {
        QStringList pages;
        for (const LabPage* listed : pages_) pages << pageName(*listed);
        const QString wanted = QString::fromStdString(reading.lesson->page);
        page = static_cast<int>(pages.indexOf(wanted));
        if (page < 0) {
            return QString("Could not open \"%1\": its \"page\" \"%2\" is not a page of the lab "
                           "(%3). Nothing was changed.")
                .arg(QDir::toNativeSeparators(path), wanted, pages.join(", "));
        }
        restoreLesson(*reading.lesson);
    }
    const pelorin::ProblemText& text = *reading.problem;
    if (reading.system.form != pelorin::ProblemForm::equation) system_->setText(reading.system);
    showForm(reading.system.form);
    f_->setText(QString::fromStdString(text.f));
    exact_->setText(QString::fromStdString(text.exact));
    boxes_[0]->setText(QString::fromStdString(text.x0));
    boxes_[1]->setText(QString::fromStdString(text.y0));
    boxes_[2]->setText(QString::fromStdString(text.x1));
    const int entry = problem_->findText(QString::fromStdString(text.name));
    problem_->setCurrentIndex(entry >= 0 ? entry : problem_->count() - 1);
    {
        // The file's x1 is the lesson's, on whatever page it was saved.
        const QSignalBlocker asSaved(tabs_);
        tabs_->setCurrentIndex(page);
    }
    recalculate();
    return {};
}

void MethodLab::openProblem() {
    const QString path = QFileDialog::getOpenFileName(this, "Open problem", {}, problemFileFilter);
    if (path.isEmpty()) return;
    const QString failure = openProblemFile(path);
    if (!failure.isEmpty()) QMessageBox::warning(this, "Problem not opened", failure);
}

void MethodLab::saveProblem() {
    const auto target = askWhereToSave(
        this, "Save problem",
        suggestedFileName(currentPage(), "lesson", problemFileKind.suffix), {problemFileKind});
    if (target) saveWholeOrWarn(this, target->path, problemFileBytes());
}

QByteArray MethodLab::handoutPdf(int paper) const {
    return ::handoutPdf(handout(), QPageSize(static_cast<QPageSize::PageSizeId>(paper)));
}

void MethodLab::printHandout() {
    QPrinter printer(QPrinter::HighResolution);
    const Handout printed = handout();
    // The dialog suggests a file after the document's name; the job, and a
    // PDF printed to that file, then take the handout's title.
    printer.setDocName(suggestedFileName(currentPage(), "handout", ".pdf"));
    printer.setCreator(handoutCreator);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle("Print handout");
    if (dialog.exec() != QDialog::Accepted) return;
    printer.setDocName(handoutDocumentName(printed));
    ::printHandout(printed, printer);
}

void MethodLab::saveHandoutAsPdf() {
    const auto target =
        askWhereToSave(this, "Save handout as PDF",
                       suggestedFileName(currentPage(), "handout", ".pdf"),
                       {FileKind{"PDF document", ".pdf"}});
    // The paper the printer would take: A4 or Letter, as the locale has it.
    const QPageSize paper = QPrinter().pageLayout().pageSize();
    if (target) saveWholeOrWarn(this, target->path, ::handoutPdf(handout(), paper));
}

LabInputs MethodLab::inputs() const {
    // The single equation's boxes count only in its form.
    const bool y0Counts = form() == pelorin::ProblemForm::equation;
    LabInputs inputs;
    inputs.method = static_cast<std::size_t>(std::max(method_->currentIndex(), 0));
    inputs.readable = true;
    for (std::size_t i = 0; i < labBoxes.size(); ++i) {
        if (labBoxes[i] == pelorin::Input::y0 && !y0Counts) continue;
        if (!lastGood_[i] && inputs.readable) {
            inputs.readable = false;
            inputs.unreadable = pelorin::tooLargeToReadMessage(labBoxes[i]);
        }
    }
    inputs.problem.equation = equation_;
    inputs.problem.x0 = lastGood_[0].value_or(0);
    inputs.problem.y0 = equation_.system && systemStart_
                            ? *systemStart_
                            : pelorin::StateVector{lastGood_[1].value_or(0)};
    inputs.problem.x1 = lastGood_[2].value_or(0);
    inputs.h = h_;
    inputs.hText = hText_.toStdString();
    const QVariant start = startWith_->currentData();
    inputs.multistep.start = start.isValid() ? std::optional(start.value<std::size_t>()) : std::nullopt;
    inputs.multistep.own = own_;
    return inputs;
}

void MethodLab::readBoxes() {
    QStringList notes;
    for (std::size_t i = 0; i < labBoxes.size(); ++i) {
        // A system's starts are its own boxes'.
        if (labBoxes[i] == pelorin::Input::y0 && form() != pelorin::ProblemForm::equation) continue;
        const pelorin::LabBox box = pelorin::readLabBox(pelorin::inputName(labBoxes[i]),
                                                        boxes_[i]->text().toStdString(), lastGood_[i]);
        lastGood_[i] = box.value;
        boxes_[i]->setToolTip(QString::fromStdString(box.note));
        if (!box.note.empty()) notes << QString::fromStdString(box.note);
    }
    notes << readEquation();
    followProblemList();
    readNotes_ = notes;
    showBoxNotes();
}

void MethodLab::showBoxNotes() {
    QStringList notes = readNotes_;
    if (!stepNote_.isEmpty()) notes << stepNote_;
    if (const QString range = pageRangeNote(); !range.isEmpty()) notes << range;
    boxNotes_->setText(notes.join("\n"));
    boxNotes_->setVisible(!notes.isEmpty());
}

void MethodLab::showStart(std::optional<std::size_t> row) {
    const int index = row ? startWith_->findData(QVariant::fromValue(*row)) : -1;
    startWith_->setCurrentIndex(index >= 0 ? index : startWith_->count() - 1);
}

void MethodLab::recalculate() {
    readBoxes();
    readOwnMethod();
    showPages(Pages::every);
}
