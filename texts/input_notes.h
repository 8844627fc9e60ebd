// How the four boxes of a calculation were read, in words: the reading takes
// the longest leading number of a text and quietly ignores the rest, so a
// student who typed "1,5" or a typographic minus is told what was used.
#pragma once

#include "run/calculation.h"

#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

// A note for a box whose text was not read whole, e.g.
//   h: "0.4abc" was read as 0.4
//   y0: "−1" was read as 0 (no leading number)
//   x1: "" was read as 0 (empty box)
// and nothing for a text read whole (blanks around the number included).
std::optional<std::string> readingNote(Input box, std::string_view text);

// The notes of every box of the calculation, in the order they are read.
std::vector<std::string> readingNotes(const Calculation& calculation);


}  // namespace pelorin
