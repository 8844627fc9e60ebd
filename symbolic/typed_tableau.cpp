#include "symbolic/typed_tableau.h"

#include "symbolic/exact_entry.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace pelorin {

namespace {

using GiNaC::ex;
using GiNaC::numeric;

// A double holds every whole number up to 2^53 exactly.
const numeric largestExact = numeric(2).power(53);

// One term of an expanded entry: factor·√radicand, radicand 1 for a
// rational term. Roots come as powers b^(n/2) of whole numbers b.
struct RootTerm {
    numeric factor = 1;
    numeric radicand = 1;
};

bool takeFactor(const ex& f, RootTerm& term) {
    if (GiNaC::is_a<numeric>(f)) {
        term.factor *= GiNaC::ex_to<numeric>(f);
        return true;
    }
    if (!GiNaC::is_a<GiNaC::power>(f) || !GiNaC::is_a<numeric>(f.op(0)) ||
        !GiNaC::is_a<numeric>(f.op(1))) {
        return false;
    }
    const numeric& base = GiNaC::ex_to<numeric>(f.op(0));
    const numeric twice = 2 * GiNaC::ex_to<numeric>(f.op(1));
    if (!base.is_pos_integer() || !twice.is_integer()) return false;
    if (twice.is_even()) {
        term.factor *= base.power(twice / 2);
    } else {
        term.factor *= base.power((twice - 1) / 2);
        term.radicand *= base;
    }
    return true;
}

std::optional<RootTerm> rootTerm(const ex& term) {
    RootTerm root;
    if (!GiNaC::is_a<GiNaC::mul>(term)) {
        return takeFactor(term, root) ? std::optional(root) : std::nullopt;
    }
    for (const ex& factor : term) {
        if (!takeFactor(factor, root)) return std::nullopt;
    }
    return root;
}

// An expanded value's terms, one for each radicand, in increasing order of
// it, the rational part first; none where a term is not factor·√radicand.
std::optional<std::vector<RootTerm>> rootTermsOf(const ex& value) {
    const ex expanded = value.expand();
    std::vector<RootTerm> terms;
    const auto add = [&terms](const ex& term) {
        const std::optional<RootTerm> root = rootTerm(term);
        if (!root) return false;
        const auto same = std::find_if(terms.begin(), terms.end(), [&](const RootTerm& t) {
            return t.radicand == root->radicand;
        });
        if (same == terms.end()) terms.push_back(*root);
        else same->factor += root->factor;
        return true;
    };
    const bool readable = GiNaC::is_a<GiNaC::add>(expanded)
                              ? std::all_of(expanded.begin(), expanded.end(), add)
                              : add(expanded);
    if (!readable) return std::nullopt;
    std::erase_if(terms, [](const RootTerm& t) { return t.factor.is_zero(); });
    std::sort(terms.begin(), terms.end(),
              [](const RootTerm& a, const RootTerm& b) { return a.radicand < b.radicand; });
    return terms;
}

std::string wholeText(const numeric& n) {
    std::ostringstream text;
    text << n;
    return text.str();
}

// "3/4", "√6/8", "5√3": a term's size, its sign left to the sum.
std::string termText(const RootTerm& term) {
    const numeric size = GiNaC::abs(term.factor);
    const bool root = term.radicand != 1;
    std::string text = root && size.numer() == 1 ? "" : wholeText(size.numer());
    if (root) text += "\u221a" + wholeText(term.radicand);
    return size.denom() == 1 ? text : text + "/" + wholeText(size.denom());
}

// The terms in increasing order of their radicands: "1/4 + √3/2 - √6/8".
std::string sumText(const std::vector<RootTerm>& terms) {
    if (terms.empty()) return "0";
    std::string text = terms.front().factor.is_negative() ? "-" : "";
    for (std::size_t i = 0; i < terms.size(); ++i) {
        if (i > 0) text += terms[i].factor.is_negative() ? " - " : " + ";
        text += termText(terms[i]);
    }
    return text;
}

bool fitsExactly(const numeric& n) { return GiNaC::abs(n) <= largestExact; }

// "1 stage", "3 stages".
std::string counted(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string boxName(const char* prefix, std::size_t i) { return prefix + std::to_string(i + 1); }

// Reads one box; an empty a box is 0.
std::optional<ex> readBox(const std::string& text, const std::string& box, bool emptyIsZero,
                          std::string& why) {
    const bool blank = std::all_of(text.begin(), text.end(), [](unsigned char c) {
        return std::isspace(c) != 0;
    });
    if (blank && emptyIsZero) return ex(0);
    const ExactReading reading = readExactEntry(text);
    if (!reading.value) why = box + " " + reading.why + ".";
    return reading.value;
}

// Where some box is refused, the first one's why.
class TableauReader {
public:
    explicit TableauReader(const TableauTexts& texts) : texts_(texts) {}

    TableauReading read() {
        const std::size_t s = texts_.stages();
        if (s < 1 || s > static_cast<std::size_t>(maxStages)) {
            return refused("A tableau has 1 to " + std::to_string(maxStages) + " stages.");
        }
        if (const std::string shape = shapeFault(); !shape.empty()) return refused(shape);
        TypedTableau typed;
        typed.steps.stages = static_cast<int>(s);
        for (std::size_t i = 0; i < s; ++i) {
            typed.exact.c.push_back(entry(texts_.c[i], nodeBox(i), false, typed.steps.c[i]));
            typed.exact.b.push_back(entry(texts_.b[i], weightBox(i), false, typed.steps.b[i]));
            typed.exact.a.emplace_back();
            for (std::size_t j = 0; j < s; ++j) {
                typed.exact.a[i].push_back(
                    entry(texts_.a[i][j], matrixBox(i, j), true, typed.steps.a[i][j]));
            }
        }
        readEmbedded(typed);
        if (!why_.empty()) return refused(why_);
        return {std::move(typed), {}};
    }

private:
    static TableauReading refused(std::string why) { return {std::nullopt, std::move(why)}; }

    std::string shapeFault() const {
        const std::size_t s = texts_.stages();
        const auto entries = [s](const std::string& row, std::size_t count) {
            return "The tableau is not square: " + row + " has " +
                   counted(count, "entry", "entries") + " for " + counted(s, "stage", "stages") +
                   ".";
        };
        if (texts_.b.size() != s) return entries("b", texts_.b.size());
        if (!texts_.embedded.empty() && texts_.embedded.size() != s) {
            return entries("embedded b", texts_.embedded.size());
        }
        if (texts_.a.size() != s) {
            return "The tableau is not square: A has " + counted(texts_.a.size(), "row", "rows") +
                   " for " + counted(s, "stage", "stages") + ".";
        }
        for (std::size_t i = 0; i < s; ++i) {
            if (texts_.a[i].size() != s) {
                return entries("row " + std::to_string(i + 1) + " of A", texts_.a[i].size());
            }
        }
        return {};
    }

    // The box's exact value, and as a step's coefficient; 0 where refused.
    ex entry(const std::string& text, const std::string& box, bool emptyIsZero, Coefficient& step) {
        std::string why;
        const std::optional<ex> value = readBox(text, box, emptyIsZero, why);
        if (!value) return refuse(why);
        const CoefficientReading coefficient = coefficientOf(*value);
        if (!coefficient.coefficient) return refuse(box + " " + coefficient.why + ".");
        step = *coefficient.coefficient;
        return *value;
    }

    ex refuse(const std::string& why) {
        if (why_.empty()) why_ = why;
        return 0;
    }

    void readEmbedded(TypedTableau& typed) {
        const auto filled =
            std::count_if(texts_.embedded.begin(), texts_.embedded.end(),
                          [](const std::string& t) { return t.find_first_not_of(" \t") != t.npos; });
        if (filled == 0) return;
        std::vector<ex> embedded;
        for (std::size_t i = 0; i < texts_.stages(); ++i) {
            Coefficient unused;
            embedded.push_back(entry(texts_.embedded[i], embeddedBox(i), false, unused));
            // The steps estimate by e = b - b̂, as the catalogue's pairs do.
            const CoefficientReading e = coefficientOf((typed.exact.b[i] - embedded[i]).expand());
            if (e.coefficient) typed.steps.e[i] = *e.coefficient;
            else if (why_.empty()) why_ = embeddedBox(i) + " " + e.why + ".";
        }
        typed.exact.embedded = std::move(embedded);
    }

    const TableauTexts& texts_;
    std::string why_;
};

}  // namespace

std::string nodeBox(std::size_t i) { return boxName("c", i); }
std::string weightBox(std::size_t i) { return boxName("b", i); }
std::string embeddedBox(std::size_t i) { return boxName("embedded b", i); }
std::string matrixBox(std::size_t i, std::size_t j) {
    return boxName("a", i) + std::to_string(j + 1);
}

CoefficientReading coefficientOf(const GiNaC::ex& value) {
    std::optional<std::vector<RootTerm>> byRadicand = rootTermsOf(value);
    if (!byRadicand) return {std::nullopt, "is not a number with at most one square root"};
    numeric rational = 0;
    if (!byRadicand->empty() && byRadicand->front().radicand == 1) {
        rational = byRadicand->front().factor;
        byRadicand->erase(byRadicand->begin());
    }
    if (byRadicand->size() > 1) {
        return {std::nullopt, "takes square roots of two different numbers: a step's coefficient "
                              "takes one, as in (3 - sqrt(3))/6"};
    }
    const numeric radicand = byRadicand->empty() ? numeric(2) : byRadicand->front().radicand;
    const numeric surd = byRadicand->empty() ? numeric(0) : byRadicand->front().factor;
    const numeric denominator = GiNaC::lcm(rational.denom(), surd.denom());
    const numeric p = rational * denominator, s = surd * denominator;
    if (!fitsExactly(p) || !fitsExactly(s) || !fitsExactly(denominator) ||
        !fitsExactly(radicand)) {
        return {std::nullopt, "has more digits than a step computes with (at most 15 above and "
                              "below the fraction bar): write it as a fraction, such as 1/3"};
    }
    return {Coefficient{p.to_long(), s.to_long(), denominator.to_long(), radicand.to_long()}, {}};
}

std::string entryText(const GiNaC::ex& value) {
    const CoefficientReading coefficient = coefficientOf(value);
    if (coefficient.coefficient) return coefficient.coefficient->text();
    const std::optional<std::vector<RootTerm>> terms = rootTermsOf(value);
    return terms ? sumText(*terms) : exactText(value.expand());
}

TableauReading readTableau(const TableauTexts& texts) { return TableauReader(texts).read(); }

TableauTexts textsOf(const Tableau& tableau) {
    const auto s = static_cast<std::size_t>(tableau.stages);
    const ExactTableau exact = exactTableau(tableau);
    TableauTexts texts;
    for (std::size_t i = 0; i < s; ++i) {
        texts.c.push_back(tableau.c[i].text());
        texts.b.push_back(tableau.b[i].text());
        texts.a.emplace_back();
        for (std::size_t j = 0; j < s; ++j) {
            const Coefficient& entry = tableau.a[i][j];
            texts.a[i].push_back(entry.isZero() ? std::string() : entry.text());
        }
        if (exact.embedded) {
            texts.embedded.push_back(entryText((*exact.embedded)[i]));
        }
    }
    return texts;
}

}  // namespace pelorin
