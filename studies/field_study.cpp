#include "studies/field_study.h"

#include "base/conversions.h"
#include "base/number_text.h"
#include "base/words.h"
#include "numerics/method_properties.h"
#include "numerics/method_run.h"
#include "numerics/phase_plane.h"
#include "numerics/plot_extent.h"
#include "numerics/reference.h"
#include "numerics/state_operations.h"
#include "problem/formula.h"
#include "numerics/method_sets.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <type_traits>

namespace pelorin {

std::vector<std::size_t> sideBySideRows(SideBySide set, std::size_t chosen) {
    const MethodSetEntry& entry =
        methodSetEntry(sideBySideMethodSets[static_cast<std::size_t>(set)]);
    std::vector<std::size_t> rows;
    for (std::size_t row = 0; row < labCatalogue().size(); ++row) {
        const Method& method = labCatalogue()[row];
        const bool chosenBeside = row == chosen && (set != SideBySide::explicitMethods ||
                                                    explicitRungeKutta(method) != nullptr);
        if (entry.holds(method) || chosenBeside) {
            rows.push_back(row);
        }
    }
    return rows;
}

StudiedMethods sideBySideMethods(const FieldInputs& inputs) {
    if (!inputs.sideBySide) return {};
    return methodsAt(sideBySideRows(*inputs.sideBySide, inputs.method));
}

KnownSolution tabulatedSolution(std::vector<double> x, std::vector<double> y) {
    struct Table {
        std::vector<double> x, y;
        bool ascending;
    };
    const bool ascending = x.size() < 2 || x.front() <= x.back();
    auto table = std::make_shared<const Table>(Table{std::move(x), std::move(y), ascending});
    return [table](double at) {
        const auto& xs = table->x;
        const auto found = table->ascending
                               ? std::lower_bound(xs.begin(), xs.end(), at)
                               : std::lower_bound(xs.begin(), xs.end(), at, std::greater<>());
        if (found == xs.end() || *found != at) return std::numeric_limits<double>::quiet_NaN();
        const auto index = static_cast<std::size_t>(found - xs.begin());
        return index < table->y.size() ? table->y[index] : std::numeric_limits<double>::quiet_NaN();
    };
}

KnownSamples systemComparison(const Problem& problem) {
    if (const KnownStateOf<StateVector> exact = problem.exactOf<StateVector>()) {
        return {[exact](const std::vector<double>& abscissae) {
                    std::vector<StateVector> values;
                    for (double x : abscissae) values.push_back(exact(x));
                    return values;
                },
                Comparison::exact};
    }
    return {[F = problem.slopeOf<StateVector>(), x0 = problem.x0,
             y0 = problem.y0](const std::vector<double>& abscissae) {
                const ReferenceSolutionOf<StateVector> reference =
                    referenceSolution(F, x0, y0, abscissae);
                std::vector<StateVector> values = reference.y;
                StateVector unknown(y0.size());
                for (std::size_t k = 0; k < unknown.size(); ++k) {
                    unknown[k] = std::numeric_limits<double>::quiet_NaN();
                }
                values.resize(abscissae.size(), unknown);
                return values;
            },
            Comparison::reference};
}

namespace {

template <typename Paths>
bool reachesPast(const Paths& paths, const SolutionEnd& end) {
    return std::any_of(paths.begin(), paths.end(), [&end](const auto& path) {
        return std::any_of(path.x.begin(), path.x.end(), [&end](double x) { return end.past(x); });
    });
}

// Every abscissa a run or the curve reads, in the direction of the runs,
// once each.
std::vector<double> referenceAbscissae(const FieldStudy& study, double x0, double x1) {
    std::vector<double> abscissae = curveAbscissae(x0, x1);
    const auto add = [&abscissae](const auto& paths) {
        for (const SolutionPath& path : paths) {
            abscissae.insert(abscissae.end(), path.x.begin(), path.x.end());
        }
    };
    add(study.halved);
    add(study.every);
    abscissae.erase(std::remove_if(abscissae.begin(), abscissae.end(),
                                   [](double x) { return !std::isfinite(x); }),
                    abscissae.end());
    if (x1 >= x0) std::sort(abscissae.begin(), abscissae.end());
    else std::sort(abscissae.begin(), abscissae.end(), std::greater<>());
    abscissae.erase(std::unique(abscissae.begin(), abscissae.end()), abscissae.end());
    return abscissae;
}

// What the runs are compared with: one equation's solution, known at any x,
// or a system's samples, asked for at all of a run's abscissae at once.
template <class State>
using ComparedSolutionOf = std::conditional_t<std::is_same_v<State, double>, KnownSolution,
                                              SolutionSamplesOf<StateVector>>;

// The solution the runs are compared with: the exact one, else a reference
// at every abscissa the study reads, with notes on how far to trust it.
// Where it ends both forms' references say; where it stops being trusted
// only one equation's: a system's is NaN past where it stopped.
template <class State>
struct Known {
    ComparedSolutionOf<State> solution;
    Comparison comparison = Comparison::exact;
    std::optional<SolutionEnd> end, trustEnds;
    std::vector<std::string> notes;
};

Known<double> knownSolution(const Problem& problem, const FieldStudy& study) {
    Known<double> known;
    if ((known.solution = problem.exactOf<double>())) return known;
    const double x0 = problem.x0;
    ReferenceSolution reference = referenceSolution(problem.slopeOf<double>(), x0, problem.y0[0],
                                                    referenceAbscissae(study, x0, problem.x1));
    if (reference.x.empty()) {
        known.comparison = Comparison::none;
        known.notes.push_back("No exact solution is given, and no reference solution could be "
                              "computed: " + reference.note);
        return known;
    }
    known.comparison = Comparison::reference;
    // An invariant the equation does not keep is measured against the reference too.
    const bool driftToo = problem.typedInvariant() && !problem.invariant();
    const std::string measured =
        driftToo ? "the curve named \"reference\", the errors in Lab steps and in the Global error "
                   "plot, and the error in I on the drift plot"
                 : "the curve named \"reference\" and the errors in Lab steps and in the Global "
                   "error plot";
    known.notes.push_back("No exact solution is given: " + measured + " come from a reference "
                          "solution (" + std::string(referenceMethodWords(reference.method)) +
                          "), accurate to about " +
                          errorText(reference.relativeAccuracy) + " of the solution's size.");
    if (!reference.note.empty()) known.notes.push_back(reference.note);
    if (reference.end) known.end = SolutionEnd{x0, *reference.end};
    if (reference.untrustedFrom) known.trustEnds = SolutionEnd{x0, *reference.untrustedFrom};
    known.solution = tabulatedSolution(std::move(reference.x), std::move(reference.y));
    return known;
}

// Each run's global errors against the known solution; false when `stop`
// ended them early (a system's reference costs a solution for each run).
template <class State>
bool measureErrors(FieldStudyOf<State>& study, const ComparedSolutionOf<State>& solution,
                   std::stop_token stop) {
    for (std::size_t k = 0; k < study.halved.size(); ++k) {
        if (stop.stop_requested()) return false;
        study.halvedErrors[k] = globalErrors(study.halved[k], solution);
    }
    for (std::size_t row = 0; row < study.every.size(); ++row) {
        if (stop.stop_requested()) return false;
        study.everyErrors[row] = globalErrors(study.every[row], solution);
    }
    return true;
}

// Where runs pass the solution's end, the note that says so; none where
// they do not.
template <class State>
std::optional<std::string> pastEndOfRuns(const FieldStudyOf<State>& study) {
    if (!study.end ||
        !(reachesPast(study.halved, *study.end) || reachesPast(study.every, *study.end))) {
        return std::nullopt;
    }
    return pastEndNote("The runs' points", study.end->at) +
           " The view is fitted to the points before it, and Lab steps has no solution to "
           "compare with there.";
}

// What the runs' notes say, and where runs pass the solution's end.
void noteRuns(FieldStudy& study) {
    for (const SolutionPath& path : study.halved) {
        if (const std::string note = pathNote(path); !note.empty()) study.notes.push_back(note);
    }
    if (const auto note = pastEndOfRuns(study)) study.notes.push_back(*note);
}

// A run's error as the notes give it: one equation's y − y(x) with its
// sign, a system's in the maximum norm.
double listedError(double error) { return error; }
double listedError(const StateVector& error) { return stateNorm(error); }

// The known solution where the run ends: a system's from the samples its
// errors were measured with.
double knownAtEnd(const KnownSolution& known, const SolutionPath& run) {
    return known(run.x.back());
}
StateVector knownAtEnd(const SolutionSamplesOf<StateVector>& known,
                       const PathOf<StateVector>& run) {
    return known(run.x).back();
}

// A multistep run's first values taken from the known solution itself.
Start startFrom(const KnownSolution& known) { return {nullptr, known}; }
StartOf<StateVector> startFrom(const SolutionSamplesOf<StateVector>& known) {
    return {nullptr, [known](double x) { return known({x}).front(); }};
}

// The part of a signed error a share of it makes, " (4 %)", where it is
// not larger than the whole; a part that rounds to 0 % is still a part.
std::string shareText(double part, double whole) {
    if (whole == 0 || std::fabs(part) > std::fabs(whole)) return {};
    const long percent = std::lround(100 * std::fabs(part / whole));
    if (percent == 0 && part != 0) return " (under 1 %)";
    return " (" + std::to_string(percent) + " %)";
}

// How much of the error where the run with h ends its starting values
// carry: the same run started from the known solution's own values shows
// the error of the formula alone. A system's errors, and how far its
// starting values move its value, are in the maximum norm.
template <class State>
std::string startingValuesNote(const FieldStudyOf<State>& study, const Problem& problem,
                               const MethodSettings& settings,
                               const ComparedSolutionOf<State>& known) {
    const PathOf<State>& run = study.halved[0];
    if (!run.method || !isMultistep(*run.method) || !known || run.x.size() < 2) return {};
    const std::string from = startName(problem, settings);
    const long needed = startingSteps(*run.method);
    const auto allStart = [needed](const PathOf<State>& path) {
        return static_cast<long>(path.x.size()) - 1 <= needed;
    };
    if (allStart(run)) {
        // The finer runs may be all start too: each is named.
        std::vector<std::string> runs;
        for (std::size_t r = 0; r < study.halved.size(); ++r) {
            if (allStart(study.halved[r])) runs.emplace_back(halvedRunNames[r]);
        }
        return "Every value of the run" + std::string(runs.size() == 1 ? "" : "s") + " with " +
               listedInWords(runs) + " is a starting value from " + from + ": " +
               std::string(run.method->caption) + " needs " + std::to_string(needed + 1) +
               " values before its formula applies.";
    }
    const double x = run.x.back();
    const State atEnd = knownAtEnd(known, run);
    const State runError = run.y.back() - atEnd;
    const double error = listedError(runError);
    if (!std::isfinite(error)) return {};
    const std::string at = " at x = " + numberToText(x);
    if (!settings.start) {
        return "The starting values are " + from + "'s own: the error " + errorText(error) + at +
               " is the formula's alone.";
    }
    const PathOf<State> exactStart = solutionPath(*run.method, problem.slopeOf<State>(),
                                                  run.x.front(), run.y.front(), problem.x1, run.h,
                                                  static_cast<long>(run.x.size()) - 1,
                                                  startFrom(known));
    if (exactStart.x.size() != run.x.size()) return {};
    const State formulaRunError = exactStart.y.back() - atEnd;
    const double formulaError = listedError(formulaRunError);
    if (!std::isfinite(formulaError)) return {};
    const double carried = listedError(runError - formulaRunError);
    const std::string knownName = knownSolutionName(problem);
    if constexpr (std::is_same_v<State, StateVector>) {
        // Norms do not add: the two errors side by side, and how far the
        // starting values move the value, without a share of the one in the other.
        return "Started from the " + knownName + "'s values, the error" + at + " is " +
               errorText(formulaError) + " instead of " + errorText(error) +
               ": the starting values from " + from + " move the value there by " +
               errorText(carried) + ".";
    }
    return "The starting values from " + from + " carry " + errorText(carried) + " of the error " +
           errorText(error) + at + shareText(carried, error) + ": started from the " + knownName +
           "'s values the error there is " + errorText(formulaError) + ".";
}

// The values a view of runs holds: the known solution's `known`, and the
// runs' (before the solution's `end`), in a view that leaves runs out as far
// as they stay within viewReach of its span, so that a run that blows up
// does not flatten the solution to a line; which runs leave it, and the
// note naming them.
struct RunsView {
    Extent values;
    std::vector<bool> leaves;
    std::string note;
};

template <class Visit>
void forEachComponent(double y, const Visit& visit) { visit(y); }
template <class Visit>
void forEachComponent(const StateVector& y, const Visit& visit) {
    for (double component : y) visit(component);
}

template <class State>
RunsView viewOf(const Extent& known, const std::vector<const PathOf<State>*>& runs,
                const std::vector<std::string>& names, const std::optional<SolutionEnd>& end,
                bool leavesRunsOut) {
    RunsView view{known, std::vector<bool>(runs.size()), {}};
    const double reach = viewReach * std::max(known.upper - known.lower, 1e-300);
    std::vector<std::string> leaving;
    for (std::size_t r = 0; r < runs.size(); ++r) {
        for (std::size_t i = 0; i < runs[r]->x.size(); ++i) {
            if (end && end->past(runs[r]->x[i])) continue;
            forEachComponent(runs[r]->y[i], [&](double value) {
                if (leavesRunsOut && !known.empty &&
                    (value < known.lower - reach || value > known.upper + reach)) {
                    view.leaves[r] = true;
                } else if (drawable(value)) {
                    view.values.include(value);
                }
            });
        }
        if (view.leaves[r]) leaving.push_back(names[r]);
    }
    if (leaving.empty()) return view;
    view.note = (leaving.size() == 1 ? "The run " : "The runs ") + listedInWords(leaving) +
                (leaving.size() == 1 ? " leaves" : " leave") +
                " the view, far beyond the solution; Lab steps lists the values of the run with h.";
    return view;
}

// The runs of a set side by side, and their methods' captions.
template <class State>
std::vector<const PathOf<State>*> runsAt(const PerMethod<PathOf<State>>& every,
                                         const std::vector<std::size_t>& rows) {
    std::vector<const PathOf<State>*> runs;
    for (std::size_t row : rows) runs.push_back(&every[row]);
    return runs;
}

std::vector<std::string> captionsAt(const std::vector<std::size_t>& rows) {
    std::vector<std::string> captions;
    for (std::size_t row : rows) captions.emplace_back(labCatalogue()[row].caption);
    return captions;
}

// The known solution's values before its end, which every view holds.
Extent knownValues(const std::vector<SampledCurve>& known, const std::optional<SolutionEnd>& end) {
    Extent values;
    for (const SampledCurve& component : known) {
        for (const SampledCurve::Piece& piece : component.pieces) {
            for (std::size_t i = 0; i < piece.x.size(); ++i) {
                if (!end || !end->past(piece.x[i])) values.include(piece.y[i]);
            }
        }
    }
    return values;
}

// Whether the view of a set (none: of h, h/2 and h/4) leaves out the runs
// that stray far from the solution: every view of a system's components;
// of one equation's field only the view beside the implicit methods, where
// the explicit ones may blow up.
template <class State>
bool leavesRunsOut(std::optional<SideBySide> set) {
    return std::is_same_v<State, StateVector> || set == SideBySide::implicitMethods;
}

// The views of h, h/2 and h/4 and of each set.
template <class State>
void fitViews(FieldStudyOf<State>& study, std::size_t chosen) {
    const Extent known = knownValues(study.known, study.end);
    const RunsView halved =
        viewOf<State>(known, {&study.halved[0], &study.halved[1], &study.halved[2]},
                      {"with h", "with h/2", "with h/4"}, study.end, leavesRunsOut<State>({}));
    study.values = halved.values;
    study.leavingNote = halved.note;
    for (std::size_t set = 0; set < sideBySideSets; ++set) {
        const std::vector<std::size_t> rows = sideBySideRows(SideBySide(set), chosen);
        const RunsView every = viewOf(known, runsAt(study.every, rows), captionsAt(rows),
                                      study.end, leavesRunsOut<State>(SideBySide(set)));
        study.everyValues[set] = every.values;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            study.leavesView[set][rows[r]] = every.leaves[r];
        }
        study.everyLeavingNote[set] = every.note;
    }
}

// The samples at abscissae asked for before, given again: every run with h
// steps through the same abscissae, and a reference for them costs a
// solution from x0 to x1 each time.
SolutionSamplesOf<StateVector> remembered(SolutionSamplesOf<StateVector> samples) {
    auto asked = std::make_shared<std::map<std::vector<double>, std::vector<StateVector>>>();
    return [samples = std::move(samples), asked](const std::vector<double>& abscissae) {
        const auto found = asked->find(abscissae);
        if (found != asked->end()) return found->second;
        return asked->emplace(abscissae, samples(abscissae)).first->second;
    };
}

// I's drift along a run as far as it can be computed: from the start, or,
// given the known solution at the run's abscissae, from the solution's I
// at the same x.
std::vector<double> driftAlong(const ConservedQuantity& I, const PathOf<StateVector>& run,
                               const SolutionSamplesOf<StateVector>* known) {
    std::vector<double> drift;
    if (!known) {
        drift = invariantDrift(I, run);
    } else if (!run.y.empty()) {
        const std::vector<StateVector> solution = (*known)(run.x);
        for (std::size_t i = 0; i < run.y.size(); ++i) {
            drift.push_back(i < solution.size() ? I(run.x[i], run.y[i]) - I(run.x[i], solution[i])
                                                : std::numeric_limits<double>::quiet_NaN());
        }
    }
    drift.resize(std::min(drift.size(), computablePoints(run)));
    return drift;
}

// An invariant reads states: one equation's run is read as the run of a
// system of one, and its known solution as the samples of one.
PathOf<StateVector> statesOf(const SolutionPath& run) {
    PathOf<StateVector> states;
    states.h = run.h;
    states.x = run.x;
    for (double y : run.y) states.y.push_back(StateVector{y});
    return states;
}
const PathOf<StateVector>& statesOf(const PathOf<StateVector>& run) { return run; }

SolutionSamplesOf<StateVector> statesOf(const KnownSolution& solution) {
    return [solution](const std::vector<double>& abscissae) {
        std::vector<StateVector> values;
        for (double x : abscissae) {
            values.push_back(
                StateVector{solution ? solution(x) : std::numeric_limits<double>::quiet_NaN()});
        }
        return values;
    };
}
const SolutionSamplesOf<StateVector>& statesOf(const SolutionSamplesOf<StateVector>& samples) {
    return samples;
}

template <class State>
void measureDrift(FieldStudyOf<State>& study, const Problem& problem,
                  const ComparedSolutionOf<State>& solution) {
    const ConservedQuantity I = problem.typedInvariant();
    if (!I) return;
    study.invariantAtStart = I(problem.x0, problem.y0);
    const bool kept = static_cast<bool>(problem.invariant());
    if (!kept) {
        study.driftAgainst = study.comparison == Comparison::exact ? "the exact solution"
                                                                   : "the reference solution";
    }
    const SolutionSamplesOf<StateVector> samples = statesOf(solution);
    const SolutionSamplesOf<StateVector>* known = kept ? nullptr : &samples;
    for (std::size_t r = 0; r < study.halved.size(); ++r) {
        study.drift[r] = driftAlong(I, statesOf(study.halved[r]), known);
    }
    for (std::size_t row = 0; row < study.every.size(); ++row) {
        study.everyDrift[row] = driftAlong(I, statesOf(study.every[row]), known);
    }
}

// A system's curves as findHiddenRuns compares one equation's: one
// component at a time, or the drift, as the curve of a single equation.
SolutionPath curveOf(const std::vector<double>& x, std::vector<double> y) {
    SolutionPath curve;
    curve.x.assign(x.begin(),
                   x.begin() + static_cast<std::ptrdiff_t>(std::min(x.size(), y.size())));
    curve.y = std::move(y);
    return curve;
}

// Whether a plot draws two runs as one curve: a system's in every component.
bool sameRunCurve(const SolutionPath& a, const SolutionPath& b, double tolerance) {
    return sameCurve(a, b, tolerance);
}

bool sameRunCurve(const PathOf<StateVector>& a, const PathOf<StateVector>& b, double tolerance) {
    if (a.x != b.x || a.y.empty() || a.y.size() != b.y.size()) return false;
    for (std::size_t k = 0; k < a.y.front().size(); ++k) {
        if (!sameCurve(curveOf(a.x, componentOf(a.y, k)), curveOf(b.x, componentOf(b.y, k)),
                       tolerance)) {
            return false;
        }
    }
    return true;
}

// One equation's span of the values the field draws with a set of methods: their runs
// and the known solution, before the solution's end, where the view is
// fitted.
double valueSpan(const FieldStudy& study, SideBySide set, std::size_t chosen) {
    double lowest = std::numeric_limits<double>::infinity(), highest = -lowest;
    const auto include = [&](const std::vector<double>& x, const std::vector<double>& y) {
        for (std::size_t i = 0; i < x.size() && i < y.size(); ++i) {
            if (!std::isfinite(y[i]) || (study.end && study.end->past(x[i]))) continue;
            lowest = std::min(lowest, y[i]);
            highest = std::max(highest, y[i]);
        }
    };
    // Only beside the implicit methods are runs left out of the view; the
    // span of any set but the explicit one leaves out the runs that view
    // leaves out.
    const bool all = set == SideBySide::explicitMethods;
    const PerMethod<bool>& leaving =
        study.leavesView[static_cast<std::size_t>(SideBySide::implicitMethods)];
    for (std::size_t row : sideBySideRows(set, chosen)) {
        if (all || !leaving[row]) include(study.every[row].x, study.every[row].y);
    }
    for (const SampledCurve& component : study.known) {
        for (const SampledCurve::Piece& piece : component.pieces) include(piece.x, piece.y);
    }
    return highest >= lowest ? highest - lowest : 0.0;
}

// The span of the values a system's view of a set holds.
double valueSpan(const FieldStudyOf<StateVector>& study, SideBySide set, std::size_t) {
    const Extent& values = study.everyValues[static_cast<std::size_t>(set)];
    return values.upper - values.lower;
}

// Marks in `hidden` which later run of `rows` hides each one, where
// `coincide` says their curves do.
void markHidden(std::array<HiddenRuns, sideBySideSets>& hidden, std::size_t set,
                const std::vector<std::size_t>& rows,
                const std::function<bool(std::size_t, std::size_t)>& coincide) {
    const auto under = hiddenUnder(rows.size(), coincide);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (under[i]) hidden[set][rows[i]] = rows[*under[i]];
    }
}

// Which runs of `rows` the drift's plots cannot tell apart, on a linear and
// on a logarithmic axis.
template <class State>
void findHiddenDrift(FieldStudyOf<State>& study, const std::vector<std::size_t>& rows,
                     std::size_t set) {
    Extent drifts;
    for (std::size_t row : rows) {
        for (double d : study.everyDrift[row]) {
            if (drawable(d)) drifts.include(d);
        }
    }
    const double driftTolerance = indistinctPart * (drifts.upper - drifts.lower);
    const auto drift = [&](std::size_t i) {
        return curveOf(study.every[rows[i]].x, study.everyDrift[rows[i]]);
    };
    const auto magnitudes = [&](std::size_t i) {
        const SolutionPath curve = drift(i);
        ErrorPath sizes{curve.x, {}};
        for (double d : curve.y) sizes.error.push_back(std::fabs(d));
        return sizes;
    };
    markHidden(study.driftHiddenUnder, set, rows, [&](std::size_t i, std::size_t later) {
        return !study.everyDrift[rows[i]].empty() &&
               sameCurve(drift(i), drift(later), driftTolerance);
    });
    markHidden(study.logDriftHiddenUnder, set, rows, [&](std::size_t i, std::size_t later) {
        return !study.everyDrift[rows[i]].empty() &&
               sameErrorCurve(magnitudes(i), magnitudes(later));
    });
}

// Which runs of the set shown the plots cannot tell apart, drawn in
// catalogue order; the other sets' runs were not made. One equation's runs
// that leave the view hide nothing they are drawn over.
template <class State>
void findHiddenRuns(FieldStudyOf<State>& study, std::size_t chosen,
                    std::optional<SideBySide> shown) {
    if (!shown) return;
    const auto set = static_cast<std::size_t>(*shown);
    const std::vector<std::size_t> rows = sideBySideRows(*shown, chosen);
    const double tolerance = indistinctPart * valueSpan(study, *shown, chosen);
    markHidden(study.hiddenUnder, set, rows, [&](std::size_t i, std::size_t later) {
        return sameRunCurve(study.every[rows[i]], study.every[rows[later]], tolerance);
    });
    markHidden(study.errorHiddenUnder, set, rows, [&](std::size_t i, std::size_t later) {
        return !study.everyErrors[rows[i]].x.empty() &&
               sameErrorCurve(study.everyErrors[rows[i]], study.everyErrors[rows[later]]);
    });
    findHiddenDrift(study, rows, set);
}

// A system's exact solution, else its reference, asked for again at the
// abscissae of each run; the notes on the reference say how accurate it is
// at x1, or why it stops before, and where the solution ends.
Known<StateVector> knownSolution(const Problem& problem, const FieldStudyOf<StateVector>&) {
    const KnownSamples compared = systemComparison(problem);
    Known<StateVector> known{remembered(compared.samples), compared.comparison, {}, {}, {}};
    if (compared.comparison == Comparison::reference) {
        const ReferenceSolutionOf<StateVector> atEnd =
            referenceSolution(problem.slopeOf<StateVector>(), problem.x0, problem.y0, {problem.x1});
        known.notes.push_back(referenceUsedNote(atEnd.relativeAccuracy, atEnd.method));
        if (!atEnd.note.empty()) known.notes.push_back(atEnd.note);
        if (atEnd.end) known.end = SolutionEnd{problem.x0, *atEnd.end};
    }
    return known;
}

// The known solution as the page draws it, a curve for each component:
// one equation's at curveSamples abscissae from x0 to x1; a system's at
// four samples a step of h at least, so that a long run's solution, over
// many periods, is drawn as a curve and not as an alias of one.
std::vector<SampledCurve> solutionCurves(const FieldStudy&, const Problem& problem,
                                         const KnownSolution& solution) {
    return {solution ? sampleSolution(solution, problem.x0, problem.x1) : SampledCurve{}};
}

std::vector<SampledCurve> solutionCurves(const FieldStudyOf<StateVector>& study,
                                         const Problem& problem,
                                         const SolutionSamplesOf<StateVector>& samples) {
    const long points = std::clamp(4 * study.halved[0].stepsToEnd + 1, 401L, maxPathSteps + 1);
    std::vector<double> x;
    for (long k = 0; k < points; ++k) {
        x.push_back(problem.x0 + (problem.x1 - problem.x0) * static_cast<double>(k) /
                                     static_cast<double>(points - 1));
    }
    const std::vector<StateVector> values = samples(x);
    std::vector<SampledCurve> curves;
    for (std::size_t k = 0; k < problem.components(); ++k) {
        curves.push_back(sampledCurve(x, componentOf(values, k)));
    }
    return curves;
}

// The known solution as the page draws it, the views it fits, and the
// drift of an invariant.
template <class State>
void showKnown(FieldStudyOf<State>& study, const Problem& problem,
               const ComparedSolutionOf<State>& solution, std::size_t chosen) {
    study.known = solutionCurves(study, problem, solution);
    fitViews(study, chosen);
    measureDrift(study, problem, solution);
}

// The study's notes on its runs: after what they are compared with, one
// equation's runs' notes and the starting values'; before it, a system's
// norm and its runs' notes, and after it the starting values' and the Lab
// steps' notes not said yet (its run is the run with h, whose failure is
// already said).
void closingNotes(FieldStudy& study, const Problem& problem, const MethodSettings& settings,
                  const KnownSolution& solution) {
    study.startingNote = startingValuesNote(study, problem, settings, solution);
    noteRuns(study);
    if (!study.startingNote.empty()) study.notes.push_back(study.startingNote);
}

void closingNotes(FieldStudyOf<StateVector>& study, const Problem& problem,
                  const MethodSettings& settings,
                  const SolutionSamplesOf<StateVector>& solution) {
    study.startingNote = startingValuesNote(study, problem, settings, solution);
    std::vector<std::string> runs{maximumNormNote()};
    for (const PathOf<StateVector>& path : study.halved) {
        if (std::string note = pathNote(path); !note.empty()) runs.push_back(note);
    }
    study.notes.insert(study.notes.begin(), runs.begin(), runs.end());
    if (const auto note = pastEndOfRuns(study)) study.notes.push_back(*note);
    if (!study.startingNote.empty()) study.notes.push_back(study.startingNote);
    for (const std::string& note : study.labSteps.notes) {
        if (std::find(study.notes.begin(), study.notes.end(), note) == study.notes.end()) {
            study.notes.push_back(note);
        }
    }
}

}  // namespace

template <class State>
FieldStudyOf<State> studyField(const Problem& shared, const FieldInputs& inputs,
                               std::stop_token stop) {
    const Problem problem = shared.clone();
    const Method& method = inputs.methods.methodAt(inputs.method);
    const auto [f, y0, exact, start] = posedAs<State>(problem, inputs.methods);
    const double x0 = problem.x0, x1 = problem.x1, h = inputs.h;
    FieldStudyOf<State> study;
    study.halved = halvedPaths(method, f, x0, y0, x1, h, start);
    study.every = everyMethodPath(f, x0, y0, x1, h, start, inputs.methods.typed(),
                                  sideBySideMethods(inputs));
    if (stop.stop_requested()) return study;

    const Known<State> known = knownSolution(problem, study);
    if (stop.stop_requested()) return study;
    study.comparison = known.comparison;
    study.end = known.end;
    study.notes.insert(study.notes.end(), known.notes.begin(), known.notes.end());
    if (!measureErrors(study, known.solution, stop)) return study;
    study.labSteps =
        labStepErrors(method, f, x0, y0, x1, h, known.solution, study.comparison, start);
    study.labSteps.end = study.end;
    study.labSteps.trustEnds = known.trustEnds;
    showKnown(study, problem, known.solution, inputs.method);
    findHiddenRuns(study, inputs.method, inputs.sideBySide);
    closingNotes(study, problem, inputs.methods, known.solution);
    return study;
}
template FieldStudy studyField<double>(const Problem&, const FieldInputs&, std::stop_token);
template FieldStudyOf<StateVector> studyField<StateVector>(const Problem&, const FieldInputs&,
                                                  std::stop_token);

}  // namespace pelorin
