#include "numerics/stage_step.h"

#include "numerics/state_operations.h"

namespace pelorin {

namespace {

template <class State, class SlopeFunction>
StageStepOf<State> stagesOf(const Tableau& tableau, double x0, const State& y0, double h,
                            SlopeFunction f) {
    StageStepOf<State> step;
    step.stages = tableau.stages;
    step.y1 = y0;
    step.increment = zeroLike(y0);
    step.estimate = zeroLike(y0);
    for (int j = 0; j < tableau.stages; ++j) {
        State Y = y0;
        for (int l = 0; l < j; ++l) {
            if (!tableau.a[j][l].isZero()) Y = Y + tableau.a[j][l].value() * step.k[l];
        }
        step.x[j] = x0 + tableau.c[j].value() * h;
        step.Y[j] = Y;
        step.slope[j] = f(step.x[j], Y);
        step.k[j] = h * step.slope[j];
    }
    for (int j = 0; j < tableau.stages; ++j) {
        step.increment = step.increment + tableau.b[j].value() * step.k[j];
        step.estimate = step.estimate + tableau.e[j].value() * step.k[j];
    }
    step.y1 = y0 + step.increment;
    return step;
}

}  // namespace

StageStep stepByStages(const Tableau& tableau, double x0, double y0, double h, Slope f) {
    return stagesOf(tableau, x0, y0, h, f);
}

SystemStageStep stepByStages(const Tableau& tableau, double x0, const StateVector& y0, double h,
                             SystemSlope F) {
    return stagesOf(tableau, x0, y0, h, F);
}

}  // namespace pelorin
