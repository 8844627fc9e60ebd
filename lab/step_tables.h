// The One step page's tables of a method's coefficients, filled and
// captioned as a textbook prints them: a Runge-Kutta tableau, a partitioned
// pair's two tableaus, or a multistep formula's weights; every cell centred.
#pragma once

#include "base/text_table.h"

class QTableWidget;
namespace pelorin {
struct Method;
struct Multistep;
struct PartitionedRungeKutta;
}

// Fills the table centred, its columns sized to their contents.
void fillCentred(QTableWidget& table, const pelorin::TextTable& text);

// The method's tableau, nodes c | matrix a, then its weights b (and e for
// an error estimate); empty without a method.
void fillTableau(QTableWidget& table, const pelorin::Method* method);
// A partitioned pair's two tableaus in the one table, each under a row that
// names it: the positions', then the momenta's.
void fillTableaus(QTableWidget& table, const pelorin::PartitionedRungeKutta& pair);
// A multistep formula's weights α and β of the points n … n+k, divided by
// αₖ; empty without a formula.
void fillFormula(QTableWidget& table, const pelorin::Multistep* multistep);
