// The Butcher tableaus a student may load into the own Runge-Kutta method's
// boxes to start from: every Runge-Kutta method of the lab's catalogue, then
// well-known ones the catalogue does not step (embedded pairs of adaptive
// codes, Lobatto, Radau IA, a third-order SDIRK method).
#pragma once

#include "methods/tableau.h"

#include <span>
#include <string_view>

namespace pelorin {

struct KnownTableau {
    std::string_view name;   // a catalogue entry's caption, or the method's usual name
    const Tableau* tableau;  // lasts as long as the program
};

// The catalogue's Runge-Kutta tableaus in catalogue order, named by their
// captions (partitioned and multistep methods have none, and the own
// method's is the one typed), then "Dormand-Prince 5(4)",
// "Bogacki-Shampine 3(2)", "Cash-Karp 5(4)", "Lobatto IIIA 2",
// "Lobatto IIIA 3", "Lobatto IIIC 2", "Lobatto IIIC 3", "Radau IA 3" and
// "SDIRK 3".
std::span<const KnownTableau> knownTableaus();

}  // namespace pelorin
