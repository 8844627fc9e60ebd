#include "lab/method_lab.h"

#include "lab/adaptive_tab.h"
#include "lab/convergence_tab.h"
#include "lab/field_tab.h"
#include "lab/lab_files.h"
#include "lab/lab_page.h"
#include "lab/method_chooser.h"
#include "lab/one_step_tab.h"
#include "lab/page.h"
#include "lab/phase_plane_tab.h"
#include "lab/plot.h"
#include "lab/problem_editor.h"
#include "lab/stability_tab.h"
#include "lab/tableau_page.h"
#include "numerics/stability.h"
#include "texts/results_export.h"
#include "ui/save_file.h"

#include <QApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPageSize>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Text sizes for a projector, from small to large; Ctrl+0 goes back to 1.
constexpr std::array<double, 7> textScales{0.8, 0.9, 1, 1.25, 1.5, 1.75, 2};
constexpr int normalTextScale = 2;

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
constexpr std::array<PageListing, 7> labPages{{
    {"&Convergence", newPage<ConvergenceTab>},
    {"&Stability", newPage<StabilityTab>},
    {"One s&tep", newPage<OneStepTab>},
    {"&Field", newPage<FieldTab>},
    {"&Adaptive", newPage<AdaptiveTab>},
    {"&Phase plane", newPage<PhasePlaneTab>},
    {"Tablea&u", newPage<TableauPage>},
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
    createInputs(start, method, *layout);
    // Why a box's text was not used, beside the boxes.
    boxNotes_ = new NotesLabel("Box notes", this);
    boxNotes_->setVisible(false);
    layout->addWidget(boxNotes_);
    layout->addWidget(createPages(), 1);
    problem_->setPageShown(pageName(currentPage()));
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

// Closing takes the focus from a box, whose editingFinished would otherwise
// reach a lab whose members are already gone, directly or through a part.
MethodLab::~MethodLab() {
    for (QLineEdit* box : findChildren<QLineEdit*>()) box->disconnect(this);
    problem_->disconnect(this);
    method_->disconnect(this);
}

// A main window of its own, so that screen readers announce a window. Its
// contents scroll rather than clip when large text needs more room than the
// screen has.
QVBoxLayout* MethodLab::createClient() {
    auto* scroller = new QScrollArea(this);
    scroller->setWidgetResizable(true);
    scroller->setFrameShape(QFrame::NoFrame);
    setCentralWidget(scroller);
    // Only the controls within take the focus: the area itself has no name
    // and shows no mark of focus, and scrolls to the control that has it.
    scroller->setFocusPolicy(Qt::NoFocus);
    auto* client = new QWidget(scroller);
    scroller->setWidget(client);
    return new QVBoxLayout(client);
}

// The problem's rows; under them one row of x0, y0, x1, h and the method;
// under that the multistep methods' row.
void MethodLab::createInputs(const std::array<QString, 3>& start, const pelorin::Method& method,
                             QVBoxLayout& layout) {
    auto* row = new QHBoxLayout;
    problem_ = new ProblemEditor(start, layout, *row, this);
    connect(problem_, &ProblemEditor::changed, this, &MethodLab::recalculate);
    connect(problem_, &ProblemEditor::notesChanged, this, &MethodLab::showBoxNotes);
    row->addLayout(createStepBox());
    row->addSpacing(12);
    method_ = new MethodChooser(method, *row, this);
    connect(method_, &MethodChooser::methodChanged, this, &MethodLab::showRunPages);
    connect(method_, &MethodChooser::changed, this, &MethodLab::recalculate);
    row->addStretch(1);
    layout.addLayout(row);
    layout.addWidget(method_->multistepRow());
    problem_->showForm(pelorin::ProblemForm::equation);
}

// Every page may ask for a step, a start or a method: the lab's boxes follow.
QTabWidget* MethodLab::createPages() {
    tabs_ = new QTabWidget(this);
    tabs_->setAccessibleName("Lab pages");
    for (const PageListing& listing : labPages) {
        LabPage* page = listing.create(tabs_);
        tabs_->addTab(page, listing.caption);
        connect(page, &LabPage::stepChosen, this, &MethodLab::setStep);
        connect(page, &LabPage::startPicked, problem_, &ProblemEditor::startAt);
        connect(page, &LabPage::methodChosen, method_, &MethodChooser::choose);
        connect(page, &LabPage::methodTyped, this, &MethodLab::methodTyped);
        pages_.push_back(page);
    }
    connect(tabs_, &QTabWidget::currentChanged, this, &MethodLab::pageShown);
    return tabs_;
}

void MethodLab::pageShown() {
    problem_->setPageShown(pageName(currentPage()));
    if (problem_->followPageRange()) recalculate();
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

void MethodLab::showRunPages() { showPages(Pages::methodAndStep); }

void MethodLab::showPages(Pages which) {
    const LabInputs current = inputs();
    for (LabPage* page : pages_) {
        if (which == Pages::every) {
            page->setInputs(current);
        } else {
            page->setMethodAndStep(current);
        }
    }
    nameFiles();
}

// The typed method becomes the lab's, and every page that compares methods
// takes it too: one study of every page, not one for the choice and another
// for the method.
void MethodLab::methodTyped(int row) {
    {
        const QSignalBlocker quiet(method_);
        method_->choose(row);
    }
    recalculate();
}

void MethodLab::recalculate() {
    problem_->read();
    method_->readOwnMethod();
    showPages(Pages::every);
}

void MethodLab::showBoxNotes() {
    QStringList notes = problem_->readNotes();
    if (!stepNote_.isEmpty()) notes << stepNote_;
    if (const QString range = problem_->pageRangeNote(); !range.isEmpty()) notes << range;
    boxNotes_->setText(notes.join("\n"));
    boxNotes_->setVisible(!notes.isEmpty());
}

LabInputs MethodLab::inputs() const {
    LabInputs inputs;
    inputs.problem = problem_->problem();
    inputs.unreadable = problem_->unreadable();
    inputs.readable = inputs.unreadable.empty();
    inputs.method = method_->row();
    inputs.h = h_;
    inputs.hText = hText_.toStdString();
    inputs.methods = method_->multistep();
    for (const LabPage* page : pages_) page->addTypedMethods(inputs.methods);
    return inputs;
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
        problem_->problemName().toStdString(), pageName(page).toStdString(),
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
    problem_->fitNumberBoxes(digit);
    step_->setMinimumWidth(digit * 6);
    step_->setMaximumWidth(digit * 9);
}

Handout MethodLab::handout() const {
    const LabInputs current = inputs();
    Handout handout;
    handout.title = "Method lab: " + pageName(currentPage());
    handout.problem = handoutProblemLines(current.problem);
    if (!boxNotes_->text().isEmpty()) handout.notes << boxNotes_->text().split('\n');
    addPage(handout, currentPage().handout(current));
    return handout;
}

QByteArray MethodLab::handoutPdf(int paper) const {
    return ::handoutPdf(handout(), QPageSize(static_cast<QPageSize::PageSizeId>(paper)));
}

pelorin::LessonSettings MethodLab::lessonSettings() const {
    pelorin::LessonSettings lesson;
    lesson.h = step_->text().toStdString();
    lesson.page = pageName(currentPage()).toStdString();
    method_->keepSettings(lesson);
    for (const LabPage* page : pages_) page->keepSettings(lesson);
    return lesson;
}

// The boxes as the lesson had them, read as if typed; the pages are shown
// again by the caller.
void MethodLab::restoreLesson(const pelorin::LessonSettings& lesson) {
    method_->restoreSettings(lesson);
    step_->setText(QString::fromStdString(lesson.h));
    readStepBox();
    for (LabPage* page : pages_) page->restoreSettings(lesson);
}

pelorin::ProblemText MethodLab::problemText() const { return problem_->problemText(); }

QByteArray MethodLab::problemFileBytes() const {
    return ::problemFileBytes(problemText(), lessonSettings());
}

QString MethodLab::openProblemFile(const QString& path) {
    QStringList pages;
    for (const LabPage* listed : pages_) pages << pageName(*listed);
    const LabProblemFile file = readLabProblemFile(path, pages);
    if (!file.failure.isEmpty()) return file.failure;
    int page = tabs_->currentIndex();
    if (file.reading.lesson) {
        page = file.page;
        restoreLesson(*file.reading.lesson);
    }
    problem_->setProblem(*file.reading.problem);
    {
        // The file's x1 is the lesson's, on whatever page it was saved.
        const QSignalBlocker asSaved(tabs_);
        tabs_->setCurrentIndex(page);
    }
    problem_->setPageShown(pageName(currentPage()));
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

void MethodLab::printHandout() {
    printWithDialog(this, handout(), suggestedFileName(currentPage(), "handout", ".pdf"));
}

void MethodLab::saveHandoutAsPdf() {
    const auto target =
        askWhereToSave(this, "Save handout as PDF",
                       suggestedFileName(currentPage(), "handout", ".pdf"),
                       {FileKind{"PDF document", ".pdf"}});
    const QPageSize paper = localePaper();
    if (target) saveWholeOrWarn(this, target->path, ::handoutPdf(handout(), paper));
}
