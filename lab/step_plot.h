// One step of a run drawn on a plot, as the One step page shows it: one
// equation's step in the plane (x, y), a system's in the phase plane
// (y1, y2), where a state is a point and a slope F(x, y) a direction. A
// one-step method's stage points with their slopes, the increment and
// Newton's iterates; a multistep method's past points with their slopes,
// the formula's polynomial, the new value and a pair's predicted value;
// under them the known solution. The numbers come from texts/stage_view,
// texts/multistep_view and texts/phase_step_view; these functions only draw.
#pragma once

#include "texts/multistep_view.h"
#include "texts/phase_step_view.h"
#include "texts/stage_view.h"

#include <QString>

#include <vector>

class LabPlot;
class QCPItemText;

// A point's name on the plot, with the slope at its point, which
// placeStepLabels keeps the name clear of.
struct StepLabel {
    QCPItemText* text;
    double slope;
};

// What a step's drawing leaves to its page: the names to place after every
// layout, and whether values beyond the plot's reach were left out.
struct DrawnStep {
    std::vector<StepLabel> labels;
    bool leftOut = false;
};

// Empties the plot of a step's drawing, its names too.
void clearStep(LabPlot& plot);

// Draws a step with a value (view.steps > 0) on an emptied plot and sets the
// view that holds it; `knownName` names the exact or reference solution.
// The caller paints the plot.
DrawnStep drawStep(LabPlot& plot, const pelorin::StageView& view, const QString& knownName);
DrawnStep drawStep(LabPlot& plot, const pelorin::StageViewOf<pelorin::StateVector>& view,
                   const QString& knownName);
DrawnStep drawStep(LabPlot& plot, const pelorin::MultistepView& view, const QString& knownName);
DrawnStep drawStep(LabPlot& plot, const pelorin::MultistepViewOf<pelorin::StateVector>& view,
                   const QString& knownName);

// Puts each name beside its point where it hides the least. Where a name
// fits depends on the pixels between the points: it is chosen again
// whenever the plot is laid out, after a resize, a zoom or a pan.
void placeStepLabels(const LabPlot& plot, const std::vector<StepLabel>& labels);
