// The Field page's drawing of a system, which has no direction field in
// (x, y): each component against x for the chosen method with h, h/2 and
// h/4, or for a set of methods with h, beside the exact or reference
// solution; the runs' errors in the maximum norm; and the drift of an
// invariant, one equation's as a system's. Free functions of the plots and
// the study: the page owns the plots and says when they are drawn and shown.
#pragma once

#include "studies/field_study.h"

#include <QString>

#include <array>
#include <cstddef>
#include <functional>
#include <optional>

class LabPlot;
class QCPGraph;

// The runs of one method with h, h/2 and h/4, as legends name them.
using pelorin::halvedRunNames;
// The plot of the runs' global errors, by the name its notes give it.
inline constexpr const char* errorsPlotName = "Global error";

// The errors axis's label for a problem of n components: a single
// equation's size of its error, a system's norm of its errors. Every
// drawing sets it: a page keeps its plots from one problem to the next.
inline QString errorsLabel(std::size_t n) { return n == 1 ? "|global error|" : "||global error||"; }

// What the notes call a problem of one component or more.
inline QString problemNoun(bool system) { return system ? "system" : "equation"; }
// What the drift plot shows: each run's drift from its start, or, where the
// problem (problemNoun) does not keep the invariant, each run's error in it.
QString driftDescription(bool fromStart, const QString& problem);
// The drift plot's description and value axis, after what it measures and
// whether the axis is logarithmic (sizes) or linear (signed drifts), for a
// system or one equation.
void labelDrift(LabPlot& drift, bool fromStart, bool logarithmic, bool system);

// The plots a system's runs are drawn on.
struct ComponentPlots {
    LabPlot& components;  // each component against x
    LabPlot& errors;
};

// What is drawn of a study, of one equation (State double) or of a system.
template <class State>
struct FieldRuns {
    const pelorin::FieldStudyOf<State>& study;
    const pelorin::Problem& problem;
    std::size_t method;  // the chosen method's catalogue row
    // The set of methods side by side with h; none: the method with h, h/2, h/4.
    std::optional<pelorin::SideBySide> set;
    bool logarithmicDrift;  // the drift's size on a logarithmic axis
};
using ComponentRuns = FieldRuns<pelorin::StateVector>;

// The plots emptied and drawn anew with the runs and their errors; the
// plots are neither fitted nor painted. What the notes say of the runs
// drawn: those that leave the view, and values no plot can span.
QString drawFieldComponents(const ComponentPlots& plots, const ComponentRuns& runs);

// Whether a run drawn has a drift to draw: only with an invariant.
template <class State>
bool anyDrift(const FieldRuns<State>& runs);
// Run r's drift as the drift plot draws it (r: a catalogue row of the set
// side by side, else h, h/2 or h/4): its size on a logarithmic axis,
// signed on a linear one; no points where the run has no drift.
template <class State>
pelorin::DrawablePoints driftPoints(const FieldRuns<State>& runs, std::size_t r);
// A system's drift plot emptied and drawn anew with each run's drift in the
// invariant, in the pen and by the name of its errors above it; neither
// fitted nor painted. (One equation's runs take the looks of its plots
// above, which the page gives.)
void drawSystemDrift(LabPlot& drift, const ComponentRuns& runs);
// What the notes say of the drifts, one equation's or a system's; empty
// without an invariant.
template <class State>
QString fieldDriftNote(const FieldRuns<State>& runs);

// A curve of a single point has no line to draw: it is drawn as a disc, in
// its pen's colour, a little wider than the pen.
void markLonePoint(QCPGraph& curve);

// Why a run's curve of errors has no point to draw, where the notes say so:
// its errors past the start are all 0, which a logarithmic axis has no place
// for; or the known solution has no value at any of its points past the
// start (a reference that stopped before them), so no error is measured.
enum class NoErrorCurve { drawn, zeroErrors, unmeasured };
NoErrorCurve whyNoErrorCurve(std::size_t runPoints, const pelorin::ErrorPath& errors,
                             const pelorin::DrawablePoints& drawn);
// What the notes say of runs without a curve of errors for that reason,
// measured against the exact solution or the reference; empty for drawn.
QString noErrorCurveNote(NoErrorCurve why, pelorin::Comparison comparison);

// A range of a whole view: with room at the edges, and one of no width (a
// run at rest, a single value) given room of 1 on each side.
pelorin::Extent framed(pelorin::Extent extent);

// The x of the Field plot's whole view, of one equation or a system: from
// x0 to x1 and over every point of the curves drawn but those `left` out;
// a run whose steps pass x1 ends beyond it, and its last points show. With
// room at the edges.
pelorin::Extent wholeKeys(const LabPlot& plot, const pelorin::Problem& problem,
                          const std::function<bool(const QCPGraph&)>& left = {});

// The components' whole view: x over the curves drawn (wholeKeys), the
// values the study chose for the runs shown, with room at the edges.
void fitComponentsView(LabPlot& plot, const pelorin::Problem& problem,
                       const pelorin::FieldStudyOf<pelorin::StateVector>& study,
                       std::optional<pelorin::SideBySide> set);
