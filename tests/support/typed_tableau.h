// What the tests of exact tableaus share: a tableau written as a student
// types its entries, read by the entry reader. A row is one text, its
// entries parted by commas ("1/4, 1/4 - sqrt(3)/6"); a matrix parts its rows
// by semicolons. An entry the reader refuses fails the test and reads as 0.
#pragma once

#include "symbolic/exact_entry.h"
#include "symbolic/order_conditions.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace pelorin::testing {

// The pieces of text between the separators, spaces round them dropped.
inline std::vector<std::string> parted(std::string_view text, char separator) {
    std::vector<std::string> pieces;
    while (true) {
        const std::size_t end = text.find(separator);
        std::string_view piece = text.substr(0, end);
        while (!piece.empty() && piece.front() == ' ') piece.remove_prefix(1);
        while (!piece.empty() && piece.back() == ' ') piece.remove_suffix(1);
        pieces.emplace_back(piece);
        if (end == std::string_view::npos) return pieces;
        text.remove_prefix(end + 1);
    }
}

inline std::vector<GiNaC::ex> typedRow(std::string_view row) {
    std::vector<GiNaC::ex> values;
    for (const std::string& text : parted(row, ',')) {
        const ExactReading reading = readExactEntry(text);
        EXPECT_TRUE(reading.value) << text << ": " << reading.why;
        values.push_back(reading.value.value_or(0));
    }
    return values;
}

inline std::vector<std::vector<GiNaC::ex>> typedMatrix(std::string_view a) {
    std::vector<std::vector<GiNaC::ex>> rows;
    for (const std::string& row : parted(a, ';')) rows.push_back(typedRow(row));
    return rows;
}

inline ExactTableau typedTableau(std::string_view c, std::string_view a, std::string_view b) {
    return {typedRow(c), typedMatrix(a), typedRow(b), std::nullopt};
}

// With the row sums for nodes, where the nodes do not matter (they do not
// enter R, M or the stability verdicts).
inline ExactTableau typedTableau(std::string_view a, std::string_view b) {
    ExactTableau tableau{{}, typedMatrix(a), typedRow(b), std::nullopt};
    for (const std::vector<GiNaC::ex>& row : tableau.a) {
        GiNaC::ex sum = 0;
        for (const GiNaC::ex& entry : row) sum += entry;
        tableau.c.push_back(sum.expand());
    }
    return tableau;
}

}  // namespace pelorin::testing
