// Problem files: a problem's texts as typed, kept in a small JSON file that
// a teacher can hand out and a student can open (described for users in
// docs/problem-file.md):
//
//   {
//     "format": "pelorin-problem",
//     "version": 1,
//     "name": "Textbook: y' = y - x² + 1",
//     "f": "y - x^2 + 1",
//     "exact": "(x + 1)^2 + (y0 - (x0 + 1)^2)*exp(x - x0)",
//     "x0": "0",
//     "y0": "0.5",
//     "x1": "2"
//   }
//
// Every member is required. "format" names the kind of file; "version" is
// the version of this layout (a reader refuses a newer one rather than
// misread it); the six texts are exactly what the boxes held, numbers
// included, so that "0.10" stays "0.10". "exact" is "" when no exact
// solution is known. Other members are ignored. The file is UTF-8 text (a
// byte order mark is skipped) of at most maxProblemFileBytes; its texts hold
// no control character but the tab.
#pragma once

#include "problem/problem.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pelorin {

inline constexpr std::string_view problemFileFormat = "pelorin-problem";
inline constexpr int problemFileVersion = 1;
inline constexpr std::size_t maxProblemFileBytes = 64 * 1024;
// The longest name and number a file may hold, in characters; a formula
// may hold maxFormulaCharacters.
inline constexpr std::size_t maxProblemNameCharacters = 200;
inline constexpr std::size_t maxProblemNumberCharacters = 100;

// The bytes of the file, to be saved whole. Bytes of a text that are not
// UTF-8 are written as U+FFFD.
std::string writeProblemFile(const ProblemText& problem);

// Everything is checked: size, UTF-8, JSON, format, version, every member's
// presence, type, length and characters. A file that fails any check gives
// no problem and one sentence saying why, e.g.
//   This file was written by a newer Pelorin (format version 2); this one reads version 1.
struct ProblemFileReading {
    std::optional<ProblemText> problem;
    std::string error;  // empty when there is a problem
};
ProblemFileReading readProblemFile(std::string_view bytes);

}  // namespace pelorin
