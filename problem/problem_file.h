// Problem files: a prepared lesson, the problem's texts as typed and the
// lab's settings around it, kept in a small JSON file that a teacher can hand
// out and a student can open (described for users in docs/problem-file.md):
//
//   {
//     "format": "pelorin-problem",
//     "version": 2,
//     "name": "Textbook: y' = y - x² + 1",
//     "f": "y - x^2 + 1",
//     "exact": "(x + 1)^2 + (y0 - (x0 + 1)^2)*exp(x - x0)",
//     "x0": "0",
//     "y0": "0.5",
//     "x1": "2",
//     "method": "Runge-Kutta 4",
//     "h": "0.25",
//     "page": "Field",
//     "tolerance": "1E-6",
//     "tolerance kind": "absolute and relative",
//     "error per unit step": false,
//     "safety factor": "0.9",
//     "largest growth": "5",
//     "smallest shrink": "0.2"
//   }
//
// Every member is required. "format" names the kind of file; "version" is
// the version of this layout (a reader refuses a newer one rather than
// misread it); the texts are exactly what the boxes held, numbers included,
// so that "0.10" stays "0.10". "exact" is "" when no exact solution is
// known. A version 1 file holds the problem alone (up to "x1") and still
// opens. Version 3 adds the form of the problem ("form": "equation",
// "system" or "second order"), its parameters and its invariant; a system
// keeps its components in "components", a list of {"slope", "start",
// "exact"}, and y'' = f keeps "y''", "y(x0)", "y'(x0)" and "exact" in place of
// "f", "exact" and "y0". A single equation without parameters or invariant is
// still written as version 2. A lesson whose pages compare other methods
// than their defaults ends with "compared methods" and "side by side with
// h", each a set's caption. Other members are ignored. The file is UTF-8 text (a byte order
// mark is skipped) of at most maxProblemFileBytes; its texts hold no control
// character but the tab.
#pragma once

#include "numerics/adaptive.h"
#include "numerics/method_sets.h"
#include "problem/problem.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

inline constexpr std::string_view problemFileFormat = "pelorin-problem";
inline constexpr int problemFileVersion = 3;
// The version a single equation without parameters or invariant is written
// in, so that its files stay as they were.
inline constexpr int equationFileVersion = 2;
inline constexpr std::size_t maxProblemFileBytes = 64 * 1024;
// The longest name and number a file may hold, in characters; a formula
// may hold maxFormulaCharacters.
inline constexpr std::size_t maxProblemNameCharacters = 200;
inline constexpr std::size_t maxProblemNumberCharacters = 100;

// What a lesson keeps beside its problem: the lab's step h as typed, its
// method, the page shown, the Adaptive page's controller settings, the
// numbers as typed, and the sets of methods the pages compare. The page is a name the lab checks, not this file.
struct LessonSettings {
    std::string h;
    std::size_t method = 0;  // catalogue row, written as its caption
    std::string page;
    std::string tolerance;
    ToleranceParts toleranceKind = ToleranceParts::absoluteAndRelative;
    bool errorPerUnitStep = false;
    std::string safetyFactor, largestGrowth, smallestShrink;
    // How the multistep methods start (a one-step method's row, none for the
    // solution's own values) and the own method's coefficients as typed;
    // optional in a file, which without them leaves the lab's as they are.
    std::optional<std::size_t> start = 3;
    std::string alpha, beta;
    // The methods the Convergence page compares, and the set the Field
    // page shows side by side with h (one of sideBySideMethodSets; none:
    // the chosen method with h, h/2 and h/4). A file keeps them where they
    // are not these defaults, so that every other file stays as it was.
    MethodSet comparedMethods = MethodSet::every;
    std::optional<MethodSet> sideBySide;
    // The own Runge-Kutta method's boxes where a teacher typed a tableau.
    std::optional<TableauTexts> tableau;

    bool operator==(const LessonSettings&) const = default;
};

// How a file names each kind of tolerance.
std::string_view toleranceKindName(ToleranceParts kind);

// The bytes of the file, to be saved whole. Bytes of a text that are not
// UTF-8 are written as U+FFFD.
std::string writeProblemFile(const ProblemText& problem, const LessonSettings& lesson);

// Everything is checked: size, UTF-8, JSON, format, version, every member's
// presence, type, length and characters, and that the method and the
// tolerance kind are ones the lab has. A file that fails any check gives no
// problem and one sentence saying why, e.g.
//   This file was written by a newer Pelorin (format version 4); this one reads version 3.
struct ProblemFileReading {
    std::optional<ProblemText> problem;    // a single equation before version 3
    std::optional<LessonSettings> lesson;  // none in a version 1 file
    std::string error;                     // empty when there is a problem
};
ProblemFileReading readProblemFile(std::string_view bytes);

}  // namespace pelorin
