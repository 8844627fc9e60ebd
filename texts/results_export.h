// What the program's files hold and are called: the results list as a table
// for saving as CSV, and the file names suggested when saving.
#pragma once

#include "base/text_table.h"
#include "methods/methods.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

// What a block of the results list does not show in its lines: the method
// whose heading opened it and the h its calculation read. The window keeps
// one per block, in list order.
struct ListBlock {
    const Method* method = nullptr;
    std::optional<double> h;
};

// Columns run, method, h, x, y: one row per step line. The list's blocks are
// " ", heading, " ", then step lines "x    y"; the blank lines themselves give
// no row. Blocks are numbered from 1 in list order, so two runs of one
// method are told apart; the n-th block's h is blocks[n - 1].h, written as
// the list writes numbers, and empty where it is not known.
TextTable resultsTable(const std::vector<std::string>& lines,
                       const std::vector<ListBlock>& blocks);

// A name to suggest for a file of what a calculation gave, safe on every file
// system (only lower-case letters, digits, "." and "-"): the method's
// caption, lower case, every run of other characters one "-"; then "h" and h
// as the list writes it, with "e" for "E" and no "+"; then what the file
// holds and its suffix. "euler-h0.1-steps.csv",
// "euler-end-points-h1e-05-plot.png". Without h the h part is left out
// ("euler-steps.csv"), without a method both are: "steps.csv".
std::string suggestedFileName(const Method* method, std::optional<double> h,
                              std::string_view contents, std::string_view suffix);

// The same for a file of the Method lab, which also says which problem and
// page it comes from: the problem's short name (its name in the list up to a
// ":"), the page, the method and h where the page runs one method, then what
// the file holds, every part in the same safe words:
//   suggestedLabFileName("Stiff: y' = -50(y - cos x)", "Stability", &euler, 0.04,
//                        "Stability region", ".png")
//     == "stiff-stability-euler-h0.04-stability-region.png"
std::string suggestedLabFileName(std::string_view problem, std::string_view page,
                                 const Method* method, std::optional<double> h,
                                 std::string_view contents, std::string_view suffix);

}  // namespace pelorin
