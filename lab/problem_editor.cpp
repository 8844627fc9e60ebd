#include "lab/problem_editor.h"

#include "base/conversions.h"
#include "base/lab_reading.h"
#include "base/words.h"
#include "lab/page.h"
#include "lab/component_boxes.h"
#include "problem/library.h"
#include "problem/system.h"
#include "problem/system_library.h"
#include "run/calculation_error.h"
#include "run/view.h"
#include "ui/text.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <initializer_list>
#include <utility>
#include <vector>

namespace {

const QString ownProblem = "Your own";

constexpr std::array<pelorin::Input, 3> labBoxes{pelorin::Input::x0, pelorin::Input::y0,
                                                 pelorin::Input::x1};

// The forms the Form box offers, in its order.
constexpr std::array<std::pair<pelorin::ProblemForm, const char*>, 3> forms{{
    {pelorin::ProblemForm::equation, "one equation y' = f(x, y)"},
    {pelorin::ProblemForm::system, "a system y1' \u2026 yn'"},
    {pelorin::ProblemForm::secondOrder, "y'' = f(x, y, y')"},
}};

// Whether the component boxes hold what a library entry put there: its
// texts beyond the name, x0 and x1, which the boxes do not hold.
bool holdsEntry(const pelorin::ProblemText& boxes, const pelorin::LibrarySystem& entry) {
    pelorin::ProblemText entryBoxes = pelorin::problemText(entry);
    entryBoxes.name = entryBoxes.x0 = entryBoxes.x1 = "";
    return boxes == entryBoxes;
}

}  // namespace

ProblemEditor::ProblemEditor(const std::array<QString, 3>& start, QVBoxLayout& column,
                             QHBoxLayout& startRow, QWidget* window)
    : QObject(window), window_(window) {
    column.addLayout(createProblemRow());
    system_ = new ComponentBoxes(window_);
    connect(system_, &ComponentBoxes::edited, this, &ProblemEditor::changed);
    column.addWidget(system_);
    // The single equation's invariant shows where the system's boxes would:
    // after them, which keep the first place under the name both boxes
    // share. Tab reaches it after the exact solution's box.
    column.addWidget(createInvariantRow());
    QWidget::setTabOrder(exact_, invariant_);
    connect(invariant_, &QLineEdit::editingFinished, this, &ProblemEditor::changed);
    createStartBoxes(start, startRow);
}

QHBoxLayout* ProblemEditor::createProblemRow() {
    auto* row = new QHBoxLayout;
    auto* problemCaption = new QLabel("P&roblem:", window_);
    problemCaption->setBuddy(createProblemList());
    createEquationBoxes();
    auto* formCaption = new QLabel("Form:", window_);
    QComboBox* formBox = createFormBox();
    formCaption->setBuddy(formBox);
    // Tab follows the row as it reads: the problem, its form, its boxes.
    QWidget::setTabOrder(problem_, formBox);
    QWidget::setTabOrder(formBox, f_);
    row->addWidget(problemCaption);
    row->addWidget(problem_);
    row->addWidget(formCaption);
    row->addWidget(formBox);
    row->addSpacing(12);
    row->addWidget(fCaption_);
    row->addWidget(f_, 2);
    row->addWidget(exactCaption_);
    row->addWidget(exact_, 3);
    // Room left over when a system's form hides the equation's boxes.
    row->addStretch(0);
    return row;
}

// The library's problems, each described in its tooltip, then the
// student's own.
QComboBox* ProblemEditor::createProblemList() {
    problem_ = newListBox(window_);
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
    connect(problem_, &QComboBox::activated, this, &ProblemEditor::problemChosen);
    return problem_;
}

// One equation's boxes, f(x, y) and its exact solution, holding the
// lesson's.
void ProblemEditor::createEquationBoxes() {
    const pelorin::LibraryProblem& lesson = pelorin::problemLibrary.front();
    equation_.f = std::string(lesson.f);
    fCaption_ = new QLabel("&y' = f(x, y) =", window_);
    f_ = new QLineEdit(fromView(lesson.f), window_);
    f_->setAccessibleName("f(x, y)");
    f_->setToolTip("The slope, in x and y: + - * / ^, pi, e, and functions such as sin(x), "
                   "exp(x), log(x) (natural), sqrt(x), abs(x).");
    fCaption_->setBuddy(f_);
    exactCaption_ = new QLabel("e&xact y(x) =", window_);
    exact_ = new QLineEdit(fromView(lesson.exact), window_);
    exact_->setAccessibleName("exact y(x)");
    exact_->setPlaceholderText("none");
    exact_->setToolTip("The exact solution, in x and the start x0, y0; empty when none is "
                       "known: the errors are then measured against a reference solution.");
    exactCaption_->setBuddy(exact_);
    for (QLineEdit* box : {f_, exact_}) {
        connect(box, &QLineEdit::editingFinished, this, &ProblemEditor::changed);
    }
}

// The single equation's invariant on a row of its own, as a system's has
// it under its components. Its caption has no mnemonic: every letter of
// "Invariant" is taken on some page.
QWidget* ProblemEditor::createInvariantRow() {
    auto* row = invariantRow_ = new QWidget(window_);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* caption = new QLabel("Invariant:", row);
    invariant_ = new QLineEdit(row);
    invariant_->setAccessibleName(fromView(pelorin::invariantBoxName));
    invariant_->setPlaceholderText("none");
    invariant_->setToolTip("A quantity the solutions keep constant, in x and y, such as "
                           "y*exp(-x) for y' = y: the lab plots how far each run drifts from it.");
    caption->setBuddy(invariant_);
    layout->addWidget(caption);
    layout->addWidget(invariant_, 1);
    return row;
}

QComboBox* ProblemEditor::createFormBox() {
    form_ = newListBox(window_);
    form_->setAccessibleName("Form");
    for (const auto& [form, caption] : forms) form_->addItem(QString::fromUtf8(caption));
    connect(form_, &QComboBox::activated, this, &ProblemEditor::formChosen);
    return form_;
}

void ProblemEditor::createStartBoxes(const std::array<QString, 3>& start, QHBoxLayout& row) {
    for (std::size_t i = 0; i < labBoxes.size(); ++i) {
        const QString name = fromView(pelorin::inputName(labBoxes[i]));
        auto* caption = new QLabel(name + " =", window_);
        if (labBoxes[i] == pelorin::Input::y0) y0Caption_ = caption;
        boxes_[i] = new QLineEdit(start[i], window_);
        boxes_[i]->setAccessibleName(name);
        caption->setBuddy(boxes_[i]);
        connect(boxes_[i], &QLineEdit::editingFinished, this, &ProblemEditor::changed);
        row.addWidget(caption);
        row.addWidget(boxes_[i]);
        // The main window's boxes were read leniently; a text the lab would
        // not take starts from what the main window made of it.
        lastGood_[i] = pelorin::textToNumber(start[i].toStdString());
    }
}

void ProblemEditor::fitNumberBoxes(int digitWidth) {
    for (QLineEdit* box : boxes_) {
        box->setMinimumWidth(digitWidth * 7);
        box->setMaximumWidth(digitWidth * 18);
    }
}

pelorin::ProblemForm ProblemEditor::form() const {
    return forms[static_cast<std::size_t>(std::max(form_->currentIndex(), 0))].first;
}

void ProblemEditor::showForm(pelorin::ProblemForm form) {
    const auto index = std::find_if(forms.begin(), forms.end(),
                                    [form](const auto& listed) { return listed.first == form; });
    {
        const QSignalBlocker quiet(form_);
        form_->setCurrentIndex(static_cast<int>(index - forms.begin()));
    }
    const bool equation = form == pelorin::ProblemForm::equation;
    if (!equation) system_->setForm(form);
    system_->setVisible(!equation);
    invariantRow_->setVisible(equation);
    for (QWidget* part : std::initializer_list<QWidget*>{fCaption_, f_, exactCaption_, exact_,
                                                          y0Caption_, boxes_[1]}) {
        part->setVisible(equation);
    }
}

void ProblemEditor::formChosen(int index) {
    if (index < 0) return;
    // A library entry's parameters and invariant would otherwise stand
    // under the problem the student now types ("mu = 1000" under a
    // pendulum).
    if (problem_->currentIndex() != problem_->count() - 1) system_->clearParametersAndInvariant();
    showForm(forms[static_cast<std::size_t>(index)].first);
    problem_->setCurrentIndex(problem_->count() - 1);
    emit changed();
}

void ProblemEditor::problemChosen(int index) {
    if (index < 0) return;
    const auto row = static_cast<std::size_t>(index);
    const std::size_t systemRow = row - pelorin::problemLibrary.size();
    if (row >= pelorin::problemLibrary.size() && systemRow < pelorin::systemLibrary.size()) {
        const pelorin::LibrarySystem& entry = pelorin::systemLibrary[systemRow];
        // The equation's invariant would otherwise stand under another problem.
        invariant_->clear();
        system_->setText(pelorin::problemText(entry));
        showForm(system_->form());
        boxes_[0]->setText(fromView(entry.x0));
        boxes_[2]->setText(fromView(entry.x1));
        followPageRange();
        emit changed();
        return;
    }
    if (row >= pelorin::problemLibrary.size()) return;
    const pelorin::LibraryProblem& entry = pelorin::problemLibrary[row];
    showForm(pelorin::ProblemForm::equation);
    f_->setText(fromView(entry.f));
    exact_->setText(fromView(entry.exact));
    invariant_->clear();
    boxes_[0]->setText(fromView(entry.x0));
    boxes_[1]->setText(fromView(entry.y0));
    boxes_[2]->setText(fromView(entry.x1));
    emit changed();
}

void ProblemEditor::startAt(const QString& x0, const QString& y0) {
    boxes_[0]->setText(x0);
    boxes_[1]->setText(y0);
    emit changed();
}

void ProblemEditor::setProblem(const pelorin::ProblemText& text) {
    if (text.form != pelorin::ProblemForm::equation) system_->setText(text);
    showForm(text.form);
    f_->setText(QString::fromStdString(text.f));
    exact_->setText(QString::fromStdString(text.exact));
    const bool equation = text.form == pelorin::ProblemForm::equation;
    invariant_->setText(equation ? QString::fromStdString(text.invariant) : QString());
    boxes_[0]->setText(QString::fromStdString(text.x0));
    boxes_[1]->setText(QString::fromStdString(text.y0));
    boxes_[2]->setText(QString::fromStdString(text.x1));
    const int entry = problem_->findText(QString::fromStdString(text.name));
    problem_->setCurrentIndex(entry >= 0 ? entry : problem_->count() - 1);
}

pelorin::ProblemText ProblemEditor::problemText() const {
    // A single equation's boxes have no room for the parameters the hidden
    // component boxes may still hold; its invariant is its own box's.
    if (form() == pelorin::ProblemForm::equation) {
        pelorin::ProblemText text{problem_->currentText().toStdString(), f_->text().toStdString(),
                                  exact_->text().toStdString(),  boxes_[0]->text().toStdString(),
                                  boxes_[1]->text().toStdString(), boxes_[2]->text().toStdString()};
        text.invariant = invariant_->text().toStdString();
        return text;
    }
    pelorin::ProblemText text = system_->text();
    text.name = problem_->currentText().toStdString();
    text.x0 = boxes_[0]->text().toStdString();
    text.x1 = boxes_[2]->text().toStdString();
    return text;
}

QString ProblemEditor::problemName() const { return problem_->currentText(); }

pelorin::Problem ProblemEditor::problem() const {
    pelorin::Problem problem;
    problem.equation = equation_;
    problem.x0 = lastGood_[0].value_or(0);
    const bool system = equation_.slope && equation_.slope->size() > 1;
    problem.y0 = system && systemStart_ ? *systemStart_
                                        : pelorin::StateVector{lastGood_[1].value_or(0)};
    problem.x1 = lastGood_[2].value_or(0);
    return problem;
}

std::string ProblemEditor::unreadable() const {
    for (std::size_t i = 0; i < labBoxes.size(); ++i) {
        // The single equation's y0 box counts only in its form.
        if (labBoxes[i] == pelorin::Input::y0 && form() != pelorin::ProblemForm::equation) continue;
        if (!lastGood_[i]) return pelorin::tooLargeToReadMessage(labBoxes[i]);
    }
    return {};
}

void ProblemEditor::read() {
    QStringList notes;
    for (std::size_t i = 0; i < labBoxes.size(); ++i) {
        // A system's starts are its own boxes'.
        if (labBoxes[i] == pelorin::Input::y0 && form() != pelorin::ProblemForm::equation) continue;
        const pelorin::LabBox box = pelorin::readLabBox(
            pelorin::inputName(labBoxes[i]), boxes_[i]->text().toStdString(), lastGood_[i]);
        lastGood_[i] = box.value;
        boxes_[i]->setToolTip(QString::fromStdString(box.note));
        if (!box.note.empty()) notes << QString::fromStdString(box.note);
    }
    notes << readEquation();
    followProblemList();
    readNotes_ = notes;
    emit notesChanged();
}

// Compiles the equation's boxes; a text that cannot be used leaves the last
// good equation in force, and the notes say why.
QStringList ProblemEditor::readEquation() {
    if (form() != pelorin::ProblemForm::equation) return readSystem();
    const pelorin::Problem at = problem();
    const double y0 = lastGood_[1].value_or(0);
    pelorin::EquationReading read = pelorin::readEquation(
        f_->text().trimmed().toStdString(), exact_->text().trimmed().toStdString(), at.x0, y0);
    if (!read.equation) {
        return {QString::fromStdString(read.errors.front().message) +
                "; the lab goes on with f(x, y) = " +
                QString::fromStdString(pelorin::quotedFormula(equation_.f)) + "."};
    }
    QStringList notes;
    if (!unreadable().empty()) {
        // Without all three numbers an exact solution can be neither bound
        // to the start nor checked: the equation goes on without one.
        read.equation->exact = nullptr;
    } else if (read.exactError) {
        notes << QString::fromStdString(read.exactError->message) +
                     "; the errors are measured against a reference solution instead.";
    } else if (auto fault = pelorin::keepExactIfItHolds(*read.equation, at.x0, y0, at.x1)) {
        notes << QString::fromStdString(*fault);
    }
    if (unreadable().empty()) {
        std::vector<pelorin::FormulaError> invariantNotes;
        pelorin::addInvariant(*read.equation, invariant_->text().toStdString(), {}, at.x0,
                              pelorin::StateVector{y0}, at.x1, invariantNotes);
        for (const pelorin::FormulaError& note : invariantNotes)
            notes << QString::fromStdString(note.message);
    }
    equation_ = std::move(*read.equation);
    systemStart_.reset();
    return notes;
}

// A system's or y'' = f's boxes; what cannot be used leaves the last good
// problem in force, and the notes say why.
QStringList ProblemEditor::readSystem() {
    std::vector<std::string> startNotes;
    const std::optional<pelorin::StateVector> start = system_->readStarts(startNotes);
    QStringList notes;
    for (const std::string& note : startNotes) notes << QString::fromStdString(note);
    const QString goingOn = "; the lab goes on with " +
                            QString::fromStdString(pelorin::quotedFormula(equation_.f)) + ".";
    const std::string why = unreadable();
    if (!start || !why.empty()) {
        if (start) notes << QString::fromStdString(why) + goingOn;
        return notes;
    }
    const pelorin::Problem at = problem();
    pelorin::EquationReading read =
        pelorin::readEquation(system_->text(), at.x0, *start, at.x1);
    for (const pelorin::FormulaError& error : read.errors) {
        notes << QString::fromStdString(error.message) + goingOn;
    }
    for (const pelorin::FormulaError& note : read.notes)
        notes << QString::fromStdString(note.message);
    if (read.equation) {
        equation_ = std::move(*read.equation);
        systemStart_ = start;
    }
    return notes;
}

void ProblemEditor::followProblemList() {
    const int index = problem_->currentIndex();
    if (const pelorin::LibrarySystem* entry = shownLibrarySystem()) {
        if (form() == pelorin::ProblemForm::equation || !holdsEntry(system_->text(), *entry)) {
            problem_->setCurrentIndex(problem_->count() - 1);
        }
        return;
    }
    if (index >= 0 && static_cast<std::size_t>(index) < pelorin::problemLibrary.size()) {
        if (form() != pelorin::ProblemForm::equation) {
            problem_->setCurrentIndex(problem_->count() - 1);
            return;
        }
        const pelorin::LibraryProblem& entry =
            pelorin::problemLibrary[static_cast<std::size_t>(index)];
        if (f_->text() != fromView(entry.f) || exact_->text() != fromView(entry.exact) ||
            !invariant_->text().trimmed().isEmpty()) {
            problem_->setCurrentIndex(problem_->count() - 1);
        }
    }
}

const pelorin::LibrarySystem* ProblemEditor::shownLibrarySystem() const {
    const auto row =
        static_cast<std::size_t>(problem_->currentIndex()) - pelorin::problemLibrary.size();
    if (problem_->currentIndex() < 0 || row >= pelorin::systemLibrary.size()) return nullptr;
    return &pelorin::systemLibrary[row];
}

void ProblemEditor::setPageShown(const QString& page) { pageShown_ = page; }

bool ProblemEditor::followPageRange() {
    const pelorin::LibrarySystem* entry = shownLibrarySystem();
    if (entry && !entry->pageRange.page.empty()) {
        const bool here = pageShown_ == fromView(entry->pageRange.page);
        const QString wanted = fromView(here ? entry->pageRange.x1 : entry->x1);
        if (boxes_[2]->text() == fromView(here ? entry->x1 : entry->pageRange.x1)) {
            boxes_[2]->setText(wanted);
            return true;
        }
    }
    emit notesChanged();
    return false;
}

QString ProblemEditor::pageRangeNote() const {
    const pelorin::LibrarySystem* entry = shownLibrarySystem();
    if (!entry || entry->pageRange.page.empty() || pageShown_ != fromView(entry->pageRange.page) ||
        boxes_[2]->text() != fromView(entry->pageRange.x1)) {
        return {};
    }
    return QString("x1 = %1 on the %2 page: %3")
        .arg(fromView(entry->pageRange.x1), fromView(entry->pageRange.page),
             fromView(entry->pageRange.why));
}
