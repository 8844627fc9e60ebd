#include "lab/convergence_tab.h"

#include "base/number_text.h"
#include "base/words.h"
#include "lab/page.h"
#include "lab/plot.h"
#include "numerics/plot_extent.h"
#include "studies/convergence_study.h"
#include "numerics/method_sets.h"
#include "ui/text.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <variant>
#include <cmath>

namespace {

// The first column of each family's block in the Orders table: the columns
// are catalogue rows in its order, whose families come one after another,
// the methods a teacher types last, a family of their own.
QList<int> familyBlocks(const std::vector<std::size_t>& rows) {
    const auto familyOf = [](std::size_t row) {
        const pelorin::Method& method = pelorin::labCatalogue()[row];
        return pelorin::isOwnMethod(method) ? std::variant_size_v<pelorin::MethodFamily>
                                            : method.family.index();
    };
    QList<int> starts;
    for (std::size_t column = 0; column < rows.size(); ++column) {
        if (column == 0 || familyOf(rows[column]) != familyOf(rows[column - 1])) {
            starts.push_back(static_cast<int>(column));
        }
    }
    return starts;
}

// Up to N = 2^16: far enough to show every method's floor or its order.
constexpr int doublings = 16;
// Reference lines for the orders the methods have, each with its own dashes
// (order 3's long ones drawn by longDashes).
constexpr std::array<std::pair<int, Qt::PenStyle>, 5> referenceOrders{{{1, Qt::DashLine},
                                                                      {2, Qt::DashDotLine},
                                                                      {3, Qt::CustomDashLine},
                                                                      {4, Qt::DotLine},
                                                                      {5, Qt::DashDotDotLine}}};
const QList<qreal> longDashes{9, 3};
// Room beyond the first and last points on the logarithmic h axis, so that
// markers at the edges show whole.
constexpr double edgeRoom = 1.25;

using pelorin::ConvergencePoint;
using pelorin::ConvergenceSeries;
using pelorin::OrderReading;

// Points a logarithmic axis can show: measured, nonzero errors of a size
// the axes can span.
bool plottable(const ConvergencePoint& point) {
    return pelorin::measuredAndNonzero(point) && pelorin::drawable({*point.error, point.h});
}

bool leftOut(const ConvergencePoint& point) {
    return pelorin::measuredAndNonzero(point) && !plottable(point);
}

QString superscript(int n) {
    static const QString digits = QString::fromUtf8("\u2070\u00b9\u00b2\u00b3\u2074\u2075\u2076\u2077\u2078\u2079");
    return n >= 0 && n < 10 ? QString(digits[n]) : QString("^%1").arg(n);
}

QString referenceName(int order, bool evaluations) {
    return evaluations ? QString("order %1: error \u221d N\u207b%2").arg(order).arg(superscript(order))
                       : QString("order %1: error \u221d h%2").arg(order).arg(superscript(order));
}

// Where the methods' captions break into lines, so that the columns stay
// narrow enough for a lab 1000 pixels wide: "Euler\n(End\npoints)",
// "Runge-\nKutta-\nFehlberg", "Gauss-\nLegendre\n4", "Adams-\nBashforth\n2";
// "Trapezoid" stays whole.
constexpr std::array<std::pair<const char*, const char*>, 17> captionBreaks{{{" (", "\n("},
                                                                           {" points)", "\npoints)"},
                                                                           {" point)", "\npoint)"},
                                                                           {"Runge-", "Runge-\n"},
                                                                           {"Kutta-", "Kutta-\n"},
                                                                           {"Backward ", "Backward\n"},
                                                                           {"Implicit ", "Implicit\n"},
                                                                           {"Radau ", "Radau\n"},
                                                                           {"Gauss-", "Gauss-\n"},
                                                                           {"Legendre ", "Legendre\n"},
                                                                           {"Adams-", "Adams-\n"},
                                                                           {"Adams ", "Adams\n"},
                                                                           {"Bashforth ", "Bashforth\n"},
                                                                           {"Moulton ", "Moulton\n"},
                                                                           {"predictor-", "predictor-\n"},
                                                                           {"Own ", "Own\n"},
                                                                           {"multistep ", "multistep\n"}}};

// The plot's least height, the legend below its axes included.
constexpr int convergencePlotHeight = 420;  // pixels

QString inLines(QString caption) {
    for (const auto& [at, broken] : captionBreaks) caption.replace(at, broken);
    return caption;
}

// A curve drawn under another says so on a line of its own; under an own
// method, whose caption is the longest, on two, so that the legend's
// columns stay within the page.
QString methodName(const ConvergenceSeries& series) {
    const std::string caption(series.method->caption);
    if (!series.coveredBy) return QString::fromStdString(caption);
    const pelorin::Method& over = pelorin::labCatalogue()[*series.coveredBy];
    std::string overName(over.caption);
    if (pelorin::isOwnMethod(over)) overName.replace(overName.find(' '), 1, "\n");
    return QString::fromStdString(pelorin::hiddenCurveName(caption, overName));
}

// How a cell of the Orders table reads an order that the method alone does
// not decide.
struct ReadingLook {
    const char* tip;
    const char* mark;  // for a screen reader, after the value
};

ReadingLook look(OrderReading reading) {
    switch (reading) {
    case OrderReading::preAsymptotic:
        return {"Steps still too large: the order has not settled yet.", "not settled yet"};
    case OrderReading::rounding:
        return {"Rounding decides at least one of the two errors: this order measures rounding, "
                "not the method.",
                "decided by rounding"};
    case OrderReading::reference:
        return {"An error lies below what the reference solution can measure: this order "
                "does not measure the method.",
                "below the reference's accuracy"};
    case OrderReading::settled:
        break;
    }
    return {"", ""};
}

}  // namespace

ConvergenceTab::ConvergenceTab(QWidget* parent) : LabPage(parent) {
    // Twelve methods' legend, notes and orders may hold more than the lab's
    // height: the page scrolls within itself.
    QVBoxLayout* layout = scrollingContent(*this);
    layout->addLayout(createChoices());
    layout->addWidget(createPlot(), 3);
    notes_ = addNotes(layout, "Convergence notes");
    addOrdersTable(layout);
    addMoreAccurateAction();
}

// What the plot shows: which methods, against h or the slope evaluations,
// and a system's errors in the norm or of one component.
QHBoxLayout* ConvergenceTab::createChoices() {
    auto* methodsCaption = new QLabel("Metho&ds:", this);
    methods_ = newListBox(this);
    for (const pelorin::MethodSetEntry& entry : pelorin::methodSets()) {
        methods_->addItem(fromView(entry.caption), static_cast<int>(entry.set));
    }
    methods_->setCurrentIndex(methods_->findData(static_cast<int>(pelorin::MethodSet::every)));
    methods_->setAccessibleName("Methods");
    methods_->setToolTip("Which methods the plot, its legend, the notes and the Orders table "
                         "compare. The method chosen above is always among them.");
    methodsCaption->setBuddy(methods_);
    connect(methods_, &QComboBox::currentIndexChanged, this, &ConvergenceTab::study);
    againstEvaluations_ = new QCheckBox("Plot against slope &evaluations instead of h", this);
    againstEvaluations_->setAccessibleName("Plot against slope evaluations");
    againstEvaluations_->setToolTip("What each method costs: the slope evaluations its runs make, "
                                    "stages times steps for an explicit method, and for an "
                                    "implicit one every evaluation its Newton iterations and "
                                    "their Jacobians take. A method that spends more per step "
                                    "must earn it.");
    connect(againstEvaluations_, &QCheckBox::toggled, this, &ConvergenceTab::plot);
    errorsOfCaption_ = new QLabel("Errors of:", this);
    errorsOf_ = newListBox(this);
    errorsOf_->setAccessibleName("Errors of");
    errorsOf_->setToolTip("A system's error at x1 in the maximum norm, or one component's alone.");
    errorsOfCaption_->setBuddy(errorsOf_);
    connect(errorsOf_, &QComboBox::activated, this, &ConvergenceTab::showErrorsOf);
    auto* row = new QHBoxLayout;
    row->addWidget(methodsCaption);
    row->addWidget(methods_);
    row->addSpacing(24);
    row->addWidget(againstEvaluations_);
    row->addSpacing(24);
    row->addWidget(errorsOfCaption_);
    row->addWidget(errorsOf_);
    row->addStretch(1);
    return row;
}

LabPlot* ConvergenceTab::createPlot() {
    plot_ = new LabPlot("Convergence plot",
                        "The error at x1 of every method against the step h, both axes "
                        "logarithmic, with reference slopes and the floor below which rounding "
                        "decides the errors or the reference cannot measure them.",
                        this);
    plot_->useLogAxes();
    // Below the axes, which keep the page's width: the methods in three
    // columns, the reference lines and the floor in a fourth.
    plot_->showLegend(LabPlot::LegendPlace::below);
    plot_->setLegendRows(static_cast<int>((pelorin::labCatalogue().size() + 2) / 3));
    // Every method's legend and their notes would squeeze the axes to a
    // strip: below this height the page scrolls instead.
    plot_->setSmallestHeight(convergencePlotHeight);
    return plot_;
}

void ConvergenceTab::addOrdersTable(QVBoxLayout* layout) {
    orders_ = addCaptionedTable(layout,
                                "Observed &orders: log\u2082 of the error with N/2 steps over "
                                "the error with N steps",
                                "Orders");
    // Each column as wide as its own caption and orders: a column per method as
    // wide as the widest would not fit the lab's width.
    orders_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    orders_->setAccessibleDescription("The observed order of every method between N/2 and N "
                                      "steps; a dash where it cannot be measured.");
    // How to read the brackets, under the table on a handout.
    orders_->setWhatsThis(QString::fromStdString(pelorin::orderBracketsNote()));
}

// In the plot's and the table's context menus, and on its shortcut
// anywhere on the page.
void ConvergenceTab::addMoreAccurateAction() {
    moreAccurate_ = new QAction("More accurate reference", this);
    moreAccurate_->setCheckable(true);
    moreAccurate_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R));
    moreAccurate_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    const QString tip = "Measure the errors against a reference solution by Fehlberg's 7(8) pair "
                        "at far tighter tolerances, for a problem without an exact solution "
                        "whose errors stop falling at the reference's own error. Uncheck to go "
                        "back to the usual reference. (Ctrl+Shift+R)";
    moreAccurate_->setToolTip(tip);
    moreAccurate_->setStatusTip(tip);
    moreAccurate_->setEnabled(false);
    connect(moreAccurate_, &QAction::toggled, this, [this](bool checked) {
        if (checked) moreAccurateFor_ = identityOf(inputs_.problem);
        study();
    });
    addAction(moreAccurate_);
    plot_->addAction(moreAccurate_);
    orders_->addAction(moreAccurate_);
    orders_->setContextMenuPolicy(Qt::ActionsContextMenu);
}

ConvergenceTab::ProblemIdentity ConvergenceTab::identityOf(const pelorin::Problem& problem) {
    const auto& slope = problem.equation.slope;
    return {problem.equationText(), slope ? slope->parameters().text : std::string(),
            problem.x0, problem.y0, problem.x1};
}

PageHandout ConvergenceTab::handout(const LabInputs& inputs) const {
    QString methods = methods_->currentText();
    if (!pelorin::methodSetEntry(chosenSet()).holds(pelorin::labCatalogue()[inputs.method])) {
        methods += " and " + fromView(pelorin::labCatalogue()[inputs.method].caption);
    }
    return {{methods + ", with h = (x1 - x0)/N for N = 1, 2, 4, \u2026, 65536"},
            {plot_},
            {notes_},
            {orders_}};
}

void ConvergenceTab::setInputs(const LabInputs& inputs) {
    inputs_ = inputs;
    // The more accurate reference is offered where there is a reference,
    // and kept only for the problem it was chosen on.
    const bool reference = inputs.readable && inputs.problem.comparedWithReference();
    if (!reference || identityOf(inputs.problem) != moreAccurateFor_) {
        const QSignalBlocker quiet(moreAccurate_);
        moreAccurate_->setChecked(false);
    }
    moreAccurate_->setEnabled(reference);
    study();
}

void ConvergenceTab::setMethodAndStep(const LabInputs& inputs) {
    inputs_ = inputs;
    if (studiedMethods() != studiedMethods_) study();
}

pelorin::MethodSet ConvergenceTab::chosenSet() const {
    return static_cast<pelorin::MethodSet>(methods_->currentData().toInt());
}

void ConvergenceTab::keepSettings(pelorin::LessonSettings& lesson) const {
    lesson.comparedMethods = chosenSet();
}

void ConvergenceTab::restoreSettings(const pelorin::LessonSettings& lesson) {
    // Quietly: the lab shows its pages again once the lesson is restored.
    const QSignalBlocker quiet(methods_);
    methods_->setCurrentIndex(methods_->findData(static_cast<int>(lesson.comparedMethods)));
}

pelorin::StudiedMethods ConvergenceTab::studiedMethods() const {
    return pelorin::methodsIn(chosenSet(), inputs_.method);
}

void ConvergenceTab::study() {
    // A study for inputs no longer shown would only take the processor
    // from the one that is wanted.
    studies_.supersede();
    studiedMethods_ = studiedMethods();
    if (!inputs_.readable) {
        display({}, {QString::fromStdString(inputs_.unreadable)});
        return;
    }
    const auto accuracy = moreAccurate_->isChecked() ? pelorin::ReferenceAccuracy::higher
                                                     : pelorin::ReferenceAccuracy::standard;
    // Every study runs off the window's thread, the lesson's too: the
    // implicit methods solve their stages by Newton's method at every one
    // of their steps. Until it ends the page shows nothing old.
    QString methods = methods_->currentText();
    methods[0] = methods[0].toLower();
    display({}, {"Calculating " + methods + " on " +
                 QString::fromStdString(pelorin::quotedFormula(inputs_.problem.equationText())) +
                 (accuracy == pelorin::ReferenceAccuracy::higher
                      ? " against a more accurate reference \u2026"
                      : " \u2026")});
    studies_.runOffThread(
        inputs_.problem,
        [multistep = inputs_.methods, accuracy, studied = studiedMethods_](
            const pelorin::Problem& problem, std::stop_token stop) {
            return pelorin::studyProblem(problem, doublings, stop, multistep, accuracy, studied);
        },
        [this](pelorin::ConvergenceStudy study) { display(std::move(study), {}); });
}

void ConvergenceTab::display(pelorin::ConvergenceStudy study, const QStringList& firstNotes) {
    studied_ = std::move(study);
    firstNotes_ = firstNotes;
    // The box offers a system's components, and keeps the one chosen while
    // the system keeps its size.
    const int components = static_cast<int>(studied_.components.size());
    if (errorsOf_->count() != components + 1) {
        errorsOf_->clear();
        errorsOf_->addItem("all components (maximum norm)");
        for (int k = 1; k <= components; ++k) errorsOf_->addItem(QString("y%1 alone").arg(k));
    }
    errorsOfCaption_->setVisible(components > 0);
    errorsOf_->setVisible(components > 0);
    showErrorsOf();
}

void ConvergenceTab::showErrorsOf() {
    const int chosen = std::max(errorsOf_->currentIndex(), 0);
    study_ = chosen == 0 || static_cast<std::size_t>(chosen) > studied_.components.size()
                 ? studied_
                 : studied_.components[static_cast<std::size_t>(chosen) - 1];
    QStringList notes = firstNotes_;
    for (const std::string& note : study_.notes) notes << QString::fromStdString(note);
    const bool anyLeftOut = std::any_of(study_.series.begin(), study_.series.end(),
                                        [](const ConvergenceSeries& series) {
                                            return std::any_of(series.points.begin(),
                                                               series.points.end(), leftOut);
                                        });
    if (anyLeftOut) notes << QString::fromStdString(pelorin::undrawableNote());
    if (const std::string above = pelorin::aboveCeilingNote(study_, plottable); !above.empty()) {
        notes << QString::fromStdString(above);
    }
    notes_->setText(notes.join("\n"));
    notes_->setVisible(!notes.isEmpty());
    fillOrders();
    plot();
}

void ConvergenceTab::plot() {
    const bool evaluations = againstEvaluations_->isChecked();
    plot_->clearGraphs();
    plot_->clearItems();
    plot_->xAxis->setLabel(evaluations ? "slope evaluations" : "step h");
    plot_->yAxis->setLabel("error at x1");
    plot_->xAxis->setRangeReversed(!evaluations);  // smaller steps, more work: to the right
    const int methods = addMethodCurves(evaluations);
    int references = addReferenceLines(evaluations);

    plot_->rescaleAxes();
    const QCPRange keys = plot_->xAxis->range();
    plot_->xAxis->setRange(keys.lower / edgeRoom, keys.upper * edgeRoom);
    if (const auto range = pelorin::errorRange(study_, plottable)) {
        const double ceiling = std::max(pelorin::errorCeiling(study_), range->lowest * 10);
        plot_->yAxis->setRange(range->lowest / 10, std::min(range->highest, ceiling) * 10);
    }

    if (const auto floor = pelorin::floorLevel(study_)) {
        plot_->addFloorLine(*floor);
        ++references;
    }
    // The methods in three columns, the reference lines and the floor in a
    // fourth: as many rows as either needs, so that a few methods' legend
    // does not spill the lines into a fifth column and widen the page.
    plot_->setLegendRows(std::max((std::max(methods, 1) + 2) / 3, references));
    plot_->replot();
}

// Every method that applies, named in the legend where it has a point to
// draw; how many have one.
int ConvergenceTab::addMethodCurves(bool evaluations) {
    int drawn = 0;
    for (std::size_t row = 0; row < study_.series.size(); ++row) {
        const ConvergenceSeries& series = study_.series[row];
        if (!series.method || !series.applies) continue;
        QCPGraph* graph = plot_->addGraph();
        graph->setName(methodName(series));
        graph->setPen(LabPlot::methodPen(row));
        graph->setScatterStyle(LabPlot::methodMarker(row));
        for (const ConvergencePoint& point : series.points) {
            if (plottable(point)) {
                graph->addData(pelorin::plotAbscissa(point, evaluations), *point.error);
            }
        }
        LabPlot::nameOnlyIfDrawn(*graph);
        if (!graph->data()->isEmpty()) ++drawn;
    }
    return drawn;
}

// The lines of slope 1 to 5 through the errors, named in the legend, not on
// the plot, where a caption would cross the curves; how many there are.
int ConvergenceTab::addReferenceLines(bool evaluations) {
    const QColor text = plot_->palette().color(QPalette::Text);
    int added = 0;
    for (const auto& [order, dashes] : referenceOrders) {
        const auto line = pelorin::referenceLine(study_, order, evaluations, plottable);
        if (!line) continue;
        QCPGraph* reference = plot_->addGraph();
        reference->setName(referenceName(order, evaluations));
        QPen pen(text, 1, dashes);
        if (dashes == Qt::CustomDashLine) pen.setDashPattern(longDashes);
        reference->setPen(pen);
        reference->setData({line->x1, line->x2}, {line->y1, line->y2});
        ++added;
    }
    return added;
}

// The methods' captions above, the N of each of `runs`' runs beside.
void ConvergenceTab::fillOrderHeaders(const std::vector<std::size_t>& shown,
                                      const ConvergenceSeries& runs, int rows) {
    // A screen reader reads the caption whole, as the lab's method list has it.
    for (std::size_t column = 0; column < shown.size(); ++column) {
        const QString caption = fromView(pelorin::labCatalogue()[shown[column]].caption);
        auto* header = new QTableWidgetItem(inLines(caption));
        header->setData(Qt::AccessibleTextRole, caption);
        header->setToolTip(QString::fromStdString(pelorin::orderBracketsNote()));
        orders_->setHorizontalHeaderItem(static_cast<int>(column), header);
    }
    for (int row = 0; row < rows; ++row) {
        const auto& point = runs.points[static_cast<std::size_t>(row + 1)];
        auto* header = new QTableWidgetItem(QString("N = %1").arg(point.steps));
        header->setToolTip(QString::fromStdString(pelorin::stepText(point.h)) +
                           ", the step of N steps from x0 to x1");
        orders_->setVerticalHeaderItem(row, header);
    }
}

void ConvergenceTab::fillOrders() {
    // A column for every method studied that applies to the problem; the
    // notes say why the others do not. A row for each run of the method
    // that runs longest.
    std::vector<std::size_t> shown;
    const ConvergenceSeries* longest = nullptr;
    for (std::size_t row = 0; row < study_.series.size(); ++row) {
        const ConvergenceSeries& series = study_.series[row];
        if (!series.method || !series.applies) continue;
        shown.push_back(row);
        if (!longest || series.points.size() > longest->points.size()) longest = &series;
    }
    const int rows = longest && !longest->points.empty()
                         ? static_cast<int>(longest->points.size()) - 1
                         : 0;
    orders_->clear();
    orders_->setRowCount(rows);
    orders_->setColumnCount(static_cast<int>(shown.size()));
    // On paper each family of methods in blocks of its own.
    orders_->setProperty(columnBlocksProperty, QVariant::fromValue(familyBlocks(shown)));
    if (longest) fillOrderHeaders(shown, *longest, rows);
    for (std::size_t column = 0; column < shown.size(); ++column) {
        const ConvergenceSeries& series = study_.series[shown[column]];
        for (int row = 0; row < rows; ++row) {
            const auto point = static_cast<std::size_t>(row + 1);
            if (point >= series.points.size()) {
                // An implicit method's runs stop earlier; the notes say where.
                auto* cell = new QTableWidgetItem(QString("\u2013"));
                cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                cell->setToolTip("Not run: the notes say why.");
                cell->setData(Qt::AccessibleTextRole, QString("not run"));
                orders_->setItem(row, static_cast<int>(column), cell);
                continue;
            }
            const auto& order = series.points[point].order;
            const QString value =
                order ? QString::fromStdString(pelorin::fixedText(*order, 2)) : QString("\u2013");
            auto* cell = new QTableWidgetItem(value);
            cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            const ReadingLook marked = look(series.points[point].reading);
            if (order && *marked.tip) {
                // Italic in brackets, in the text's own colour: marked, yet as
                // readable as every other value.
                cell->setText("(" + value + ")");
                QFont italic = cell->font();
                italic.setItalic(true);
                cell->setFont(italic);
                cell->setToolTip(marked.tip);
                cell->setData(Qt::AccessibleTextRole, value + ", " + marked.mark);
            }
            orders_->setItem(row, static_cast<int>(column), cell);
        }
    }
    fitCaptions(*orders_);
}
