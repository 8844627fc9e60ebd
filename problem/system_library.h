// The systems the lab offers ready-made, beside the single equations of
// library.h, as one table of texts exactly as a user would type them into
// the boxes: the slopes or y'', the parameters, the starts, the exact
// solution and the invariant. Every exact solution is written with the
// start (x0, y1_0 ... yn_0), so that it stays the solution when the start is
// changed; every invariant in the system's names y1 ... yn.
#pragma once

#include "problem/system.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

// One text for each component, as the boxes y1' ... yn' hold them; those
// beyond the system's components are empty.
using ComponentTexts = std::array<std::string_view, maxComponents>;

// Where one page has something to show on a problem whose whole range
// shows nothing there: over Van der Pol's 0 to 3000 with mu = 1000 every
// explicit run of the Convergence page's up to 2^16 steps is unstable.
struct PageRange {
    std::string_view page;  // the page's name, as its tab reads it; empty for none
    std::string_view x1;
    std::string_view why;   // what the notes say while x1 is the page's
};

struct LibrarySystem {
    std::string_view name;         // as the list of problems shows it
    ProblemForm form;              // system or secondOrder
    std::size_t n;                 // the system's components: 2 for y'' = f
    ComponentTexts slopes;         // y1' ... yn', or the y'' text alone
    std::string_view parameters;
    ComponentTexts starts;         // y1_0 ... yn_0 (y and y' for y'' = f)
    std::string_view x0, x1;
    ComponentTexts exact;          // through the start; all empty where there is none
    std::string_view invariant;    // in the system's names; empty where there is none
    std::string_view description;  // one line: what the problem shows
    PageRange pageRange;
};

// Systems and second-order equations, the non-stiff of each kind first. A
// second-order equation with an exact solution is typed as its system, so
// that y' has its exact solution too.
inline constexpr std::array<LibrarySystem, 10> systemLibrary{{
    {"Harmonic oscillator: y'' = -y", ProblemForm::system, 2, {"y2", "-y1"}, "", {"1", "0"}, "0",
     "10",
     {"y1_0*cos(x - x0) + y2_0*sin(x - x0)", "y2_0*cos(x - x0) - y1_0*sin(x - x0)"},
     "y2^2/2 + y1^2/2",
     "A spring without friction: the energy y'^2/2 + y^2/2 stays constant, while Euler's path "
     "spirals outwards and gains it.", {}},
    {"Damped oscillator: y'' = -y - cy'", ProblemForm::system, 2, {"y2", "-y1 - c*y2"},
     "c = 0.5, w = sqrt(1 - c^2/4)", {"1", "0"}, "0", "20",
     {"exp(-c*(x - x0)/2)*(y1_0*cos(w*(x - x0)) + (y2_0 + c*y1_0/2)/w*sin(w*(x - x0)))",
      "exp(-c*(x - x0)/2)*(y2_0*cos(w*(x - x0)) - (y1_0 + c*y2_0/2)/w*sin(w*(x - x0)))"},
     "",
     "Friction c = 0.5, below the critical 2: the swings die away as e^(-cx/2) at the frequency "
     "w = \u221a(1 - c\u00b2/4).", {}},
    {"Pendulum: y'' = -sin y", ProblemForm::secondOrder, 2, {"-sin(y)"}, "", {"2", "0"}, "0", "20",
     {}, "y2^2/2 - cos(y1)",
     "A pendulum let go at 2 radians: no elementary solution, but the energy y'^2/2 - cos y stays "
     "constant.", {}},
    {"Lotka-Volterra: predators and prey", ProblemForm::system, 2,
     {"a*y1 - b*y1*y2", "c*y1*y2 - d*y2"}, "a = 2/3, b = 4/3, c = 1, d = 1", {"1", "1"}, "0", "30",
     {}, "c*y1 - d*ln(y1) + b*y2 - a*ln(y2)",
     "Prey y1 and predators y2 rise and fall in turn on a closed orbit, which the invariant "
     "keeps the same from cycle to cycle.", {}},
    {"Van der Pol: y'' = \u03bc(1 - y\u00b2)y' - y", ProblemForm::secondOrder, 2,
     {"mu*(1 - y^2)*y' - y"}, "mu = 1", {"2", "0"}, "0", "20", {}, "",
     "A self-sustained oscillation: every start but the origin is drawn onto the same closed "
     "cycle.", {}},
    {"Van der Pol, stiff: \u03bc = 1000", ProblemForm::secondOrder, 2, {"mu*(1 - y^2)*y' - y"},
     "mu = 1000", {"2", "0"}, "0", "3000", {}, "",
     "Stiff: slow drifts broken by sudden jumps; at the start Euler is stable only for h below "
     "2/3000, although y barely moves.",
     {"Convergence", "2",
      "Over 0 to 3000 every explicit run of up to 2^16 steps is unstable (Euler needs h below "
      "2/3000): on 0 to 2 they converge from N = 2^12 on, while the implicit ones converge from "
      "the first."}},
    {"Kepler: an eccentric orbit", ProblemForm::system, 4,
     {"y3", "y4", "-y1/(y1^2 + y2^2)^1.5", "-y2/(y1^2 + y2^2)^1.5"}, "", {"0.4", "0", "0", "2"},
     "0", "20", {}, "(y3^2 + y4^2)/2 - 1/sqrt(y1^2 + y2^2)",
     "A planet on an orbit of eccentricity 0.6: the energy and the angular momentum y1y4 - y2y3 "
     "stay constant, and the fast pass close to the sun tests every method.", {}},
    {"Lorenz: chaos", ProblemForm::system, 3,
     {"sigma*(y2 - y1)", "y1*(rho - y3) - y2", "y1*y2 - beta*y3"},
     "sigma = 10, rho = 28, beta = 8/3", {"1", "1", "1"}, "0", "25", {}, "",
     "Sensitivity to the start: the smallest change of the start, or of h, grows until the two "
     "paths have nothing in common.", {}},
    {"SIR: an epidemic", ProblemForm::system, 3,
     {"-beta*y1*y2", "beta*y1*y2 - gamma*y2", "gamma*y2"}, "beta = 0.3, gamma = 0.1",
     {"0.99", "0.01", "0"}, "0", "150", {}, "y1 + y2 + y3",
     "Susceptible, infected and recovered shares of a population: the infected peak when the "
     "susceptible fall to \u03b3/\u03b2 = 1/3, and the total stays 1.", {}},
    {"Robertson: stiff kinetics", ProblemForm::system, 3,
     {"-k1*y1 + k3*y2*y3", "k1*y1 - k2*y2^2 - k3*y2*y3", "k2*y2^2"},
     "k1 = 0.04, k2 = 3e7, k3 = 1e4", {"1", "0", "0"}, "0", "40", {}, "y1 + y2 + y3",
     "Stiff chemical kinetics with rates from 0.04 to 3\u00b710^7: explicit methods need tiny "
     "steps long after the fast reaction is over, and the total y1 + y2 + y3 stays 1.",
     {"Convergence", "1",
      "Over 0 to 40 every explicit run of up to 2^15 steps is unstable: on 0 to 1 they "
      "converge from N = 2^10 on, while the implicit ones converge from the first."}},
}};

// The first `count` texts as the boxes hold them.
std::vector<std::string> boxTexts(const ComponentTexts& texts, std::size_t count);

}  // namespace pelorin
