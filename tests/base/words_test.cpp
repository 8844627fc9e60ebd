// Formulas as notes quote them: whole while short, else their start and
// how long they are, so that a typed formula of a thousand characters
// leaves room on the page for its plots.
#include "base/words.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using pelorin::quotedFormula;

TEST(Words, ALongFormulaIsQuotedByItsStartAndLength) {
    const std::string lorenz = "y1' = s*(y2 - y1); y2' = y1*(r - y3) - y2; y3' = y1*y2 - b*y3";
    const std::string sum120 = std::string(116, 'y') + " + 1";  // 120 characters
    EXPECT_EQ(quotedFormula(lorenz), lorenz);
    EXPECT_EQ(quotedFormula(sum120), sum120);
    EXPECT_EQ(quotedFormula(sum120 + "0"), std::string(116, 'y') + " + 1 \u2026 (121 characters)");
    // Characters, not bytes: 119 Greek letters of two bytes each and "+ λ"
    // make 122 characters, cut after the 120th, never inside one.
    std::string greek;
    for (int i = 0; i < 119; ++i) greek += "\u03bb";
    EXPECT_EQ(quotedFormula(greek + "+\u03bb\u03bb"), greek + "+ \u2026 (122 characters)");
    std::string thousand;
    while (thousand.size() < 1000) thousand += "sin(y1) + ";
    EXPECT_EQ(quotedFormula(thousand).size(), 120u + std::string(" \u2026 (1000 characters)").size());
}

}  // namespace
