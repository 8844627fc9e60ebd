#include "texts/stage_view.h"

#include "base/conversions.h"
#include "base/number_text.h"
#include "base/words.h"
#include "methods/exact_solution.h"
#include "numerics/state_operations.h"
#include "texts/phase_step_view.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace pelorin {

namespace {

bool finite(const Segment& segment) {
    return std::isfinite(segment.x1) && std::isfinite(segment.y1) && std::isfinite(segment.x2) &&
           std::isfinite(segment.y2);
}

// Why a calculation has no step to show: none was asked for yet, it stopped
// before its first step, or its range held no step.
std::string noStepNote(const Calculation& calculation) {
    if (calculation.failedStage)
        return "The last calculation listed no step: " + calculation.failure;
    if (!calculation.method) {
        return "Press CALCULATE in the main window: this page shows the stages of its steps.";
    }
    const auto x0 = calculation.value(Input::x0), x1 = calculation.value(Input::x1);
    return "The last calculation listed no step: x1 = " + numberToText(x1.value_or(0)) +
           " is not beyond x0 = " + numberToText(x0.value_or(0)) +
           ", and the steps go from x0 towards larger x.";
}

// How the step sentence names a state and writes it: "y2" and a number for
// one equation, "(y1, y2)" and its components for a system; where the step
// ends: "y3" of one equation, "at x3 = 0.3, (y1, y2)" of a system.
std::string stateName(const std::string& index, double) { return "y" + index; }
std::string stateName(const std::string&, const StateVector& y) { return componentNames(y.size()); }
std::string valueText(double y) { return numberToText(y); }
std::string valueText(const StateVector& y) { return vectorText(y); }
std::string endName(const std::string& end, double, double) { return "y" + end; }
std::string endName(const std::string& end, double xEnd, const StateVector& y) {
    return "at x" + end + " = " + numberToText(xEnd) + ", " + componentNames(y.size());
}

}  // namespace

Segment slopeSegment(double x, double y, double slope, double h) {
    const double reach = 0.125 * h;
    return {x - reach, y - slope * reach, x + reach, y + slope * reach};
}

std::string stageValueText(double value) {
    return std::isfinite(value) ? numberToText(value) : "too large";
}

std::string runWithoutStepNote(const std::string& runNote) {
    return !runNote.empty() ? runNote : "x1 = x0: the run has no step to show.";
}

std::string stagesTooLargeNote() { return "Some stages of this step are too large to draw."; }

int listedSteps(const Calculation& calculation) {
    if (!calculation.method) return 0;
    return std::max(calculation.solutions.numerical.last(), 0);
}

template <class State>
void sampleOverStep(const std::function<std::vector<State>(const std::vector<double>&)>& solution,
                    double x, double h, std::vector<double>& at, std::vector<State>& values) {
    if (!solution) return;
    std::vector<double> abscissae;
    for (int i = 0; i < stepSolutionSamples; ++i) {
        abscissae.push_back(x + h * i / (stepSolutionSamples - 1));
    }
    const std::vector<State> known = solution(abscissae);
    for (std::size_t i = 0; i < std::min(abscissae.size(), known.size()); ++i) {
        if (!isFiniteState(known[i])) continue;
        at.push_back(abscissae[i]);
        values.push_back(known[i]);
    }
}
template void sampleOverStep(const SolutionSamples&, double, double, std::vector<double>&,
                             std::vector<double>&);
template void sampleOverStep(const SolutionSamplesOf<StateVector>&, double, double,
                             std::vector<double>&, std::vector<StateVector>&);

template <class State>
std::string stepSentence(int step, int steps, double x, const State& y, double h, double xEnd,
                         const State* yEnd) {
    const std::string start = std::to_string(step - 1), end = std::to_string(step);
    return "Step " + end + " of " + std::to_string(steps) + " from x" + start + " = " +
           numberToText(x) + ", " + stateName(start, y) + " = " + valueText(y) +
           " with h = " + numberToText(h) + ": " + endName(end, xEnd, y) +
           (yEnd ? " = " + valueText(*yEnd) + "." : " has no value.");
}
template std::string stepSentence(int, int, double, const double&, double, double, const double*);
template std::string stepSentence(int, int, double, const StateVector&, double, double,
                                  const StateVector*);

namespace {

// One equation's plane draws each stage's slope as a segment through its
// point and the increment as an arrow: the view keeps the finite ones. A
// system's phase plane draws its arrows from the stages themselves.
void addSegments(StageView& view) {
    for (int j = 0; view.stages.hasValue() && j < view.stages.stages; ++j) {
        const auto jj = static_cast<std::size_t>(j);
        const Segment segment =
            slopeSegment(view.stages.x[jj], view.stages.Y[jj], view.stages.slope[jj], view.h);
        if (finite(segment)) view.slopes.push_back(segment);
    }
    view.increment = {view.x, view.y, view.x + view.h, view.stages.y1};
}
void addSegments(StageViewOf<StateVector>&) {}

// Whether a step with a value has every stage within a double's range: one
// equation's where its segments are, a system's where its states are.
bool finiteStages(const StageView& view) {
    return finite(view.increment) &&
           view.slopes.size() == static_cast<std::size_t>(view.stages.stages);
}
bool finiteStages(const StageViewOf<StateVector>& view) {
    for (std::size_t j = 0; j < static_cast<std::size_t>(view.stages.stages); ++j) {
        if (!isFiniteState(view.stages.Y[j]) || !isFiniteState(view.stages.k[j])) return false;
    }
    return isFiniteState(view.stages.y1);
}

// Which components a system's plot shows; one equation's shows its one.
std::string planeNote(double) { return {}; }
std::string planeNote(const StateVector& y) { return phasePlaneNote(y.size()); }

// The stages of the step from (view.x, view.y) to (view.xEnd, view.yEnd),
// the solution over the step, and the notes naming the step and how an
// implicit method finds its stages.
template <class State, class Samples>
void showStages(StageViewOf<State>& view, const SlopeOf<State>& f, const Samples& solution) {
    view.stages = stepByStages(*tableauOf(*view.method), view.x, view.y, view.h, f);
    addSegments(view);
    sampleOverStep(solution, view.x, view.h, view.exactX, view.exactY);
    const bool hasValue = view.stages.hasValue();
    if (hasValue && !finiteStages(view)) view.notes.push_back(stagesTooLargeNote());
    view.notes.push_back(stepSentence(view, hasValue));
    if (const std::string note = implicitStagesNote(*view.method); !note.empty()) {
        view.notes.push_back(note);
    }
}

template <class State, class Samples>
StageViewOf<State> runStep(const PathOf<State>& path, const Method& stepping,
                           const SlopeOf<State>& f, const Samples& solution, int step) {
    StageViewOf<State> view;
    if (!pickStep(view, path, step)) return view;
    view.method = &stepping;
    showStages(view, f, solution);
    if (const std::string note = pathNote(path); !note.empty()) view.notes.push_back(note);
    if (const std::string plane = planeNote(view.y); !plane.empty()) view.notes.push_back(plane);
    return view;
}

}  // namespace

StageView stageView(const Calculation& calculation, int step) {
    StageView view;
    view.steps = listedSteps(calculation);
    view.method = calculation.method;
    if (view.steps == 0 || !calculation.value(Input::h)) {
        view.notes.push_back(noStepNote(calculation));
        return view;
    }
    const SolutionTable& numerical = calculation.solutions.numerical;
    view.step = std::clamp(step, 1, view.steps);
    view.x = numerical.x(view.step - 1);
    view.y = numerical.y(view.step - 1);
    view.h = *calculation.value(Input::h);
    view.xEnd = numerical.x(view.step);
    view.yEnd = numerical.y(view.step);
    const ExactSolution exact(*calculation.value(Input::x0), *calculation.value(Input::y0));
    const SolutionSamples samples = [&exact](const std::vector<double>& abscissae) {
        std::vector<double> values;
        for (double x : abscissae) values.push_back(exact(x));
        return values;
    };
    showStages(view, Slope(f1), samples);
    if (calculation.failedStage) {
        view.notes.push_back("The last calculation stopped after listing " +
                             countText(view.steps, "step", "steps") + ": " + calculation.failure);
    }
    return view;
}

StageView stageView(const SolutionPath& path, Slope f, const SolutionSamples& solution, int step) {
    return runStep(path, *path.method, f, solution, step);
}

StageViewOf<StateVector> stageView(const PathOf<StateVector>& path, SlopeOf<StateVector> F,
                          const SolutionSamplesOf<StateVector>& solution, int step) {
    return runStep(path, *path.method, F, solution, step);
}

StageView stageView(const SolutionPath& path, const Method& stepping, Slope f,
                    const SolutionSamples& solution, int step) {
    return runStep(path, stepping, f, solution, step);
}

StageViewOf<StateVector> stageView(const PathOf<StateVector>& path, const Method& stepping,
                                   SlopeOf<StateVector> F,
                                   const SolutionSamplesOf<StateVector>& solution, int step) {
    return runStep(path, stepping, F, solution, step);
}

namespace {

// The step's row in the Stages table: "y3 = y2 + Σ bⱼkⱼ" of one equation,
// "step 3: y + Σ bⱼkⱼ" of a system, whose y has components.
std::string stepRowName(int step, double) {
    return "y" + std::to_string(step) + " = y" + std::to_string(step - 1) +
           " + \u03a3 b\u2c7ck\u2c7c";
}
std::string stepRowName(int step, const StateVector&) {
    return "step " + std::to_string(step) + ": y + \u03a3 b\u2c7ck\u2c7c";
}

// A state's cells in a row: one equation's one, a system's one per component.
std::size_t cellsOf(double) { return 1; }
std::size_t cellsOf(const StateVector& y) { return y.size(); }

}  // namespace

template <class State>
std::vector<std::vector<std::string>> stageRows(const StageViewOf<State>& view) {
    std::vector<std::vector<std::string>> rows;
    if (view.steps == 0) return rows;
    const StageStepOf<State>& stages = view.stages;
    const std::size_t n = cellsOf(view.y);
    // A step without a value has its stages' abscissae and nothing more.
    const auto append = [&](std::vector<std::string>& row, const State& state) {
        if (stages.hasValue()) appendComponents(row, state);
        else row.insert(row.end(), n, noValueText);
    };
    for (std::size_t j = 0; j < static_cast<std::size_t>(stages.stages); ++j) {
        std::vector<std::string> row{std::to_string(j + 1), stageValueText(stages.x[j])};
        append(row, stages.Y[j]);
        append(row, stages.slope[j]);
        append(row, stages.k[j]);
        rows.push_back(row);
    }
    // The step's end: y at x_i is y at x_(i-1) plus the increment.
    std::vector<std::string> end{stepRowName(view.step, view.y), stageValueText(view.xEnd)};
    append(end, view.yEnd);
    end.insert(end.end(), n, "");
    append(end, stages.increment);
    rows.push_back(end);
    return rows;
}
template std::vector<std::vector<std::string>> stageRows(const StageView&);
template std::vector<std::vector<std::string>> stageRows(const StageViewOf<StateVector>&);

std::vector<StageLabel> stageLabels(const StageStep& stages) {
    std::vector<StagePoint> points;
    for (std::size_t j = 0; stages.hasValue() && j < static_cast<std::size_t>(stages.stages); ++j) {
        points.push_back({stages.x[j], stages.Y[j], stages.slope[j]});
    }
    return stageLabels(points);
}

std::vector<StageLabel> stageLabels(const std::vector<StagePoint>& points) {
    std::vector<StageLabel> labels;
    for (std::size_t j = 0; j < points.size(); ++j) {
        const StagePoint& point = points[j];
        if (!std::isfinite(point.x) || !std::isfinite(point.y)) continue;
        const std::string name = "k" + std::to_string(j + 1);
        const auto same = std::find_if(labels.begin(), labels.end(), [&](const StageLabel& label) {
            return label.x == point.x && label.y == point.y;
        });
        if (same != labels.end()) same->text += ", " + name;
        else labels.push_back({name, point.x, point.y, point.slope});
    }
    return labels;
}

std::vector<LabelSide> placeLabels(const std::vector<LabelSpot>& spots, PixelRect bounds,
                                   double marker) {
    const auto box = [](const LabelSpot& spot, LabelSide side) {
        const bool above = side == LabelSide::aboveLeft || side == LabelSide::aboveRight;
        const bool left = side == LabelSide::aboveLeft || side == LabelSide::belowLeft;
        const double leftEdge = left ? spot.x - spot.width : spot.x;
        const double topEdge = above ? spot.y - spot.height : spot.y;
        return PixelRect{leftEdge, topEdge, leftEdge + spot.width, topEdge + spot.height};
    };
    const auto meet = [](const PixelRect& a, const PixelRect& b) {
        return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
    };
    std::vector<PixelRect> taken;
    for (const LabelSpot& spot : spots) {
        taken.push_back({spot.x - marker / 2, spot.y - marker / 2, spot.x + marker / 2,
                         spot.y + marker / 2});
    }
    std::vector<LabelSide> sides;
    for (std::size_t i = 0; i < spots.size(); ++i) {
        // On the screen a rising segment crosses the upper right and lower
        // left quarters beside its point.
        using enum LabelSide;
        const std::array<LabelSide, 4> order =
            spots[i].slope >= 0 ? std::array{aboveLeft, belowRight, aboveRight, belowLeft}
                                : std::array{aboveRight, belowLeft, aboveLeft, belowRight};
        std::optional<LabelSide> free, inside;
        for (LabelSide side : order) {
            const PixelRect candidate = box(spots[i], side);
            if (candidate.left < bounds.left || candidate.right > bounds.right ||
                candidate.top < bounds.top || candidate.bottom > bounds.bottom) {
                continue;
            }
            if (!inside) inside = side;
            bool meetsNone = true;
            for (std::size_t t = 0; meetsNone && t < taken.size(); ++t) {
                if (t != i) meetsNone = !meet(candidate, taken[t]);
            }
            if (meetsNone) {
                free = side;
                break;
            }
        }
        const LabelSide chosen = free.value_or(inside.value_or(order.front()));
        sides.push_back(chosen);
        taken.push_back(box(spots[i], chosen));
    }
    return sides;
}

StageDrawing stageDrawing(const StageView& view) {
    StageDrawing drawing;
    drawing.exact = drawablePoints(view.exactX, view.exactY);
    const auto stages = static_cast<std::size_t>(view.stages.stages);
    if (view.stages.hasValue()) {
        drawing.stagePoints =
            drawablePoints({view.stages.x.begin(), view.stages.x.begin() + stages},
                           {view.stages.Y.begin(), view.stages.Y.begin() + stages});
    }
    for (const Segment& slope : view.slopes) {
        if (drawable(slope)) drawing.slopes.push_back(slope);
    }
    if (drawable(view.increment)) drawing.increment = view.increment;
    const std::vector<double> stageX(view.stages.x.begin(), view.stages.x.begin() + stages);
    for (const NewtonIterate<double>& iterate : view.stages.iterations) {
        drawing.iterates.push_back({iterate.number, drawablePoints(stageX, iterate.states)});
    }
    drawing.leftOut =
        drawing.exact.leftOut || drawing.stagePoints.leftOut ||
        drawing.slopes.size() != view.slopes.size() ||
        (view.stages.hasValue() && !drawing.increment) ||
        std::any_of(drawing.iterates.begin(), drawing.iterates.end(),
                    [](const IteratePoints& iterate) { return iterate.points.leftOut; });

    std::vector<const DrawablePoints*> parts{&drawing.exact, &drawing.stagePoints};
    for (const IteratePoints& iterate : drawing.iterates) parts.push_back(&iterate.points);
    include(drawing.x, drawing.y, parts, drawing.slopes);
    if (drawing.increment) drawing.y.include(drawing.increment->y2);
    // Room for the labels beside the stage points and the arrow's head.
    drawing.x = drawing.x.widened(1.1);
    drawing.y = drawing.y.widened(1.2);
    return drawing;
}

void include(Extent& x, Extent& y, const std::vector<const DrawablePoints*>& parts,
             const std::vector<Segment>& segments) {
    for (const DrawablePoints* points : parts) {
        for (double at : points->x) x.include(at);
        for (double at : points->y) y.include(at);
    }
    for (const Segment& segment : segments) {
        for (double at : {segment.x1, segment.x2}) x.include(at);
        for (double at : {segment.y1, segment.y2}) y.include(at);
    }
}

std::vector<std::vector<std::string>> tableauCells(const Tableau& tableau) {
    const auto s = static_cast<std::size_t>(tableau.stages);
    std::vector<std::vector<std::string>> cells;
    for (std::size_t j = 0; j < s; ++j) {
        std::vector<std::string> row{tableau.c[j].text()};
        for (std::size_t l = 0; l < s; ++l) {
            row.push_back(l < j || tableau.isImplicit() ? tableau.a[j][l].text() : "");
        }
        cells.push_back(row);
    }
    const auto weights = [&](const Coefficients& w) {
        std::vector<std::string> row{""};
        for (std::size_t l = 0; l < s; ++l) row.push_back(w[l].text());
        return row;
    };
    cells.push_back(weights(tableau.b));
    if (tableau.hasErrorEstimate()) cells.push_back(weights(tableau.e));
    return cells;
}

std::string implicitStagesNote(const Method& method) {
    if (!isImplicit(method)) return {};
    const NewtonSettings settings;
    return std::string(method.caption) +
           " is implicit: each stage Y\u2c7c = y + h\u00b7\u03a3\u2097 a\u2c7c\u2097\u00b7K\u2097, "
           "summed over every stage l, needs its own slope and the later ones, so Newton's method "
           "solves the stages together (the table Newton iterations): from every stage at y "
           "(iteration 0), with one J = \u2202f/\u2202y at (x, y) by central difference "
           "quotients, as production codes do. Residual: the largest "
           "|K\u2c7c - f(x + c\u2c7c\u00b7h, Y\u2c7c)|; update: the largest |\u0394K\u2c7c|; "
           "\u03b8: the update over the one before, the rate at which the iterations close in. "
           "They stop when \u03b8/(1 - \u03b8)\u00b7update, how far the stages still are from the "
           "solution, is at most " +
           numberToText(settings.safety * settings.tolerance) +
           "\u00b7max(1, largest |K\u2c7c|), or the residual is 0. Where \u03b8 reaches 1, or is "
           "too large to get there within " +
           std::to_string(settings.maxIterations) +
           " iterations, they start again at iteration 0 with J taken afresh at every iterate, at "
           "most " +
           std::to_string(settings.maxIterations) + " more.";
}

std::string iterationText(int number) {
    return number == 0 ? "0 (start)" : std::to_string(number);
}

namespace {

std::string iterateValueText(double value) {
    return std::isnan(value) ? "not a number" : stageValueText(value);
}

}  // namespace

void appendIterateValues(std::vector<std::string>& row, double value) {
    row.push_back(iterateValueText(value));
}

void appendIterateValues(std::vector<std::string>& row, const StateVector& value) {
    for (double component : value) row.push_back(iterateValueText(component));
}

std::string iterateSizeText(double size) {
    return std::isfinite(size) ? errorText(size) : iterateValueText(size);
}

std::string stageSymbol(int j) {
    // The subscript digits ₀ to ₉ follow each other from U+2080, three bytes
    // in UTF-8 that differ only in the last.
    std::string symbol = "Y\u2080";
    symbol.back() = static_cast<char>(symbol.back() + j);
    return symbol;
}

std::vector<std::string> newtonColumns(int stages, std::size_t components) {
    std::vector<std::string> columns{"iteration", "residual", "update", "\u03b8"};
    for (int j = 1; j <= stages; ++j) {
        if (components == 1) columns.push_back(stageSymbol(j));
        for (std::size_t k = 1; components > 1 && k <= components; ++k) {
            columns.push_back(stageSymbol(j) + "," + std::to_string(k));
        }
    }
    return columns;
}

}  // namespace pelorin
