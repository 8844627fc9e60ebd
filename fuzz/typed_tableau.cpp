// Fuzz target: a Butcher tableau typed into the boxes. Whatever the texts,
// reading gives either a tableau or a sentence that names the box it could
// not read (one that, read alone, gives no step coefficient) or says what is
// wrong with the shape; a tableau's steps hold finite coefficients of the
// same values as its exact entries, its boxes written back read as the same
// steps, and its verdict, stability and order conditions come out without a
// non-number.
//
// Input: the first byte picks the stage count ('1' … '8', any other byte
// counts on modulo 8) and the shape ('1' … '8' a square tableau; other bytes
// make b, the last row of A or the embedded weights one box short). After
// the first newline come the boxes, one a line: c1 … cs, a11 … ass row by
// row, b1 … bs, then embedded b1 … bs; a box past the end of the input is
// empty, and a tableau whose input ends before the embedded weights has none.
#include "fuzz/check.h"
#include "symbolic/exact_entry.h"
#include "symbolic/tableau_view.h"
#include "symbolic/typed_tableau.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

using namespace pelorin;
using pelorin::fuzz::record;
using pelorin::fuzz::require;

namespace {

// What a box holds as a student types it: longer inputs only make the exact
// arithmetic slower, not different.
constexpr std::size_t longestBox = 100;

enum class Shape { square, shortWeights, shortRow, shortEmbedded };

struct BoxLines {
    std::vector<std::string> lines;
    std::size_t next = 0;
    bool exhausted() const { return next >= lines.size(); }
    std::string take() { return next < lines.size() ? lines[next++] : std::string(); }
};

BoxLines splitLines(std::string_view rest) {
    BoxLines boxes;
    while (!rest.empty()) {
        const std::size_t newline = rest.find('\n');
        boxes.lines.emplace_back(rest.substr(0, newline));
        rest = newline == std::string_view::npos ? std::string_view{} : rest.substr(newline + 1);
    }
    return boxes;
}

std::vector<std::string> takeBoxes(BoxLines& boxes, std::size_t count) {
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < count; ++i) texts.push_back(boxes.take());
    return texts;
}

TableauTexts tableauTexts(std::size_t s, Shape shape, BoxLines boxes) {
    TableauTexts texts;
    texts.c = takeBoxes(boxes, s);
    for (std::size_t i = 0; i < s; ++i) texts.a.push_back(takeBoxes(boxes, s));
    texts.b = takeBoxes(boxes, s);
    if (!boxes.exhausted()) texts.embedded = takeBoxes(boxes, s);
    if (shape == Shape::shortWeights) texts.b.pop_back();
    if (shape == Shape::shortRow) texts.a.back().pop_back();
    if (shape == Shape::shortEmbedded && !texts.embedded.empty()) texts.embedded.pop_back();
    return texts;
}

// Whether a box, read alone as readTableau reads it, gives a step's
// coefficient: a blank a box is 0.
bool readsAlone(const std::string& text, bool blankIsZero) {
    if (blankIsZero && text.find_first_not_of(" \t\n\r\f\v") == std::string::npos) return true;
    const ExactReading reading = readExactEntry(text);
    return reading.value && coefficientOf(*reading.value).coefficient;
}

// Whether an embedded weight reads and leaves b - b̂ a step's coefficient.
bool estimateReads(const std::string& weight, const std::string& embedded) {
    const ExactReading b = readExactEntry(weight), bHat = readExactEntry(embedded);
    return b.value && bHat.value && coefficientOf(*bHat.value).coefficient &&
           coefficientOf(*b.value - *bHat.value).coefficient;
}

// The box a refusal names, as the boxes' own names spell it, and whether
// that box is one that does not read; shape faults name no box.
bool namesUnreadBox(const TableauTexts& texts, const std::string& why) {
    const std::size_t s = texts.stages();
    const auto named = [&](const std::string& box) { return why.starts_with(box + " "); };
    for (std::size_t i = s; i-- > 0;) {
        if (named(embeddedBox(i))) {
            return !estimateReads(texts.b[i], texts.embedded[i]);
        }
        if (named(nodeBox(i))) return !readsAlone(texts.c[i], false);
        if (named(weightBox(i))) return !readsAlone(texts.b[i], false);
        for (std::size_t j = s; j-- > 0;) {
            if (named(matrixBox(i, j))) return !readsAlone(texts.a[i][j], true);
        }
    }
    return false;
}

bool isSquare(const TableauTexts& texts) {
    const std::size_t s = texts.stages();
    bool square = texts.b.size() == s && texts.a.size() == s &&
                  (texts.embedded.empty() || texts.embedded.size() == s);
    for (const auto& row : texts.a) square = square && row.size() == s;
    return square;
}

bool isShapeFault(const std::string& why) {
    return why.starts_with("The tableau ") || why.starts_with("A tableau has ");
}

void checkRefusal(const TableauTexts& texts, const std::string& why) {
    record("refused", why);
    require(!why.empty(), "a tableau refused without a reason");
    // A quote that is opened is closed, and the sentence ends.
    const bool quotesClosed = why.find('"') != why.rfind('"') || why.find('"') == std::string::npos;
    require(quotesClosed && why.ends_with("."), "a refusal cut short: " + why);
    require(pelorin::fuzz::isUtf8(pelorin::fuzz::withoutQuotedText(why)),
            "a refusal's own words are not UTF-8: " + why);
    require(isShapeFault(why) || namesUnreadBox(texts, why),
            "a refusal that names no box that fails to read: " + why);
}

// Whether a step's coefficient (p + s√r)/d is the exact value typed, to
// within value()'s three roundings and evalf's. In doubles, not exactly:
// exactTableau writes √6 where the reader writes √2·√3, and expand() does
// not see that these are equal.
bool sameValue(const Coefficient& step, const GiNaC::ex& exact) {
    const GiNaC::ex value = exact.evalf();
    if (!GiNaC::is_a<GiNaC::numeric>(value)) return false;
    const double typed = GiNaC::ex_to<GiNaC::numeric>(value).to_double();
    const double terms = (std::abs(static_cast<double>(step.rational)) +
                          std::abs(static_cast<double>(step.surd)) *
                              std::sqrt(static_cast<double>(step.radicand))) /
                         static_cast<double>(step.denominator);
    const double roundings = 8 * std::numeric_limits<double>::epsilon() * terms;
    return std::isfinite(step.value()) && std::abs(step.value() - typed) <= roundings;
}

// The steps compute with the typed values: c, A, b, and e = b - b̂.
void checkSteps(const TypedTableau& typed) {
    const Tableau& steps = typed.steps;
    const ExactTableau& exact = typed.exact;
    const std::size_t s = exact.stages();
    require(steps.stages == static_cast<int>(s), "the steps have another stage count");
    for (std::size_t i = 0; i < s; ++i) {
        require(sameValue(steps.c[i], exact.c[i]), "a step's node is not " + nodeBox(i));
        require(sameValue(steps.b[i], exact.b[i]), "a step's weight is not " + weightBox(i));
        for (std::size_t j = 0; j < s; ++j) {
            require(sameValue(steps.a[i][j], exact.a[i][j]),
                    "a step's matrix entry is not " + matrixBox(i, j));
        }
        const GiNaC::ex e = exact.embedded ? exact.b[i] - (*exact.embedded)[i] : 0;
        require(sameValue(steps.e[i], e), "a step's error weight is not b - " + embeddedBox(i));
    }
}

void checkRoundTrip(const Tableau& steps) {
    const TableauTexts written = textsOf(steps);
    const TableauReading back = readTableau(written);
    require(back.tableau.has_value(), "the written boxes do not read back: " + back.why);
    require(back.tableau->steps == steps, "the written boxes read back as other steps");
    for (const std::string& text : written.c) record("c", text);
    for (const std::string& text : written.b) record("b", text);
}

void requireSentence(const std::string& sentence) {
    record("sentence", sentence);
    require(!sentence.empty() && pelorin::fuzz::isUtf8(sentence),
            "an empty sentence, or not UTF-8");
    require(!pelorin::fuzz::spellsNonNumber(sentence),
            "a sentence spells a non-number: " + sentence);
}

void checkView(const ExactTableau& exact) {
    const TableauView view = tableauView("Own Runge-Kutta method", exact);
    require(view.verdict.starts_with("Own Runge-Kutta method: "), "a verdict without its caption");
    requireSentence(view.verdict);
    for (const std::string& sentence : view.stability) requireSentence(sentence);
    for (const auto* coefficients : {&view.rounded.numerator, &view.rounded.denominator}) {
        for (double coefficient : *coefficients) {
            record("R", coefficient);
            require(std::isfinite(coefficient), "a coefficient of R is not finite");
        }
    }
    require(!view.conditions.rows.empty(), "no order conditions");
    for (const auto& row : view.conditions.rows) {
        require(row.size() == view.conditions.header.size(), "a row of conditions is short");
        for (const std::string& cell : row) requireSentence(cell);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t pick = static_cast<unsigned char>(data[0]) + 256 - '1';
    const std::size_t s = pick % maxStages + 1;
    const auto shape = static_cast<Shape>(pick / maxStages % 4);
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t newline = input.find('\n');
    const std::string_view boxText =
        newline == std::string_view::npos ? std::string_view{} : input.substr(newline + 1);
    const BoxLines boxes = splitLines(boxText);
    for (const std::string& line : boxes.lines) {
        if (line.size() > longestBox) return 0;
    }
    const TableauTexts texts = tableauTexts(s, shape, boxes);
    const TableauReading reading = readTableau(texts);
    if (!reading.tableau) {
        checkRefusal(texts, reading.why);
        return 0;
    }
    require(reading.why.empty(), "a tableau read with a reason: " + reading.why);
    require(isSquare(texts), "a tableau read from boxes of the wrong shape");
    checkSteps(*reading.tableau);
    checkRoundTrip(reading.tableau->steps);
    checkView(reading.tableau->exact);
    return 0;
}
