// Compiling a problem's formulas, one a component, and a second-order
// equation, each formula with the names its box may use.
#include "problem/system.h"

#include "base/conversions.h"
#include "base/words.h"
#include "problem/formula.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace pelorin {

// The parsers own their names' values by address, so parsers and values
// live together on the heap and a moved expression keeps its binding.
struct CompiledFormulas {
    std::vector<std::unique_ptr<mu::Parser>> parsers;  // one a component
    double x = 0, x0 = 0;
    std::array<double, maxComponents> y{}, y0{};
    std::vector<std::string> texts;  // as typed
    Parameters parameters;
    bool secondOrder = false;  // texts are "y2" and f of y'' = f
    bool singleBox = false;    // the single equation's box f(x, y): y, not y1
    bool usesX = false;        // some formula reads x
    SplitReading split;        // of a slope's components
};

namespace {

bool allDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), isDigit);
}

std::string component(std::size_t k) { return "y" + std::to_string(k); }
std::string start(std::size_t k) { return component(k) + "_0"; }

// "f may use x, y and the parameters a and b".
std::string mayUse(const std::string& who, std::vector<std::string> names,
                   const Parameters& parameters) {
    std::vector<std::string> parameterNames;
    for (const Parameter& parameter : parameters.values) parameterNames.push_back(parameter.name);
    if (!parameterNames.empty()) {
        names.push_back((parameterNames.size() == 1 ? "the parameter " : "the parameters ") +
                        listedInWords(parameterNames));
    }
    return who + " may use " + listedInWords(names);
}

// A box whose formula `who` reads x and the n components; a component the
// system does not have is told which it has.
FormulaBox componentsBox(std::string box, const std::string& who, std::string example,
                         std::size_t n, const Parameters& parameters) {
    if (n == 1) return {std::move(box), mayUse(who, {"x", "y"}, parameters), std::move(example)};
    std::vector<std::string> names{"x"};
    for (std::size_t j = 1; j <= n; ++j) names.push_back(component(j));
    const std::string has = "a system of " + std::to_string(n) + " components has " +
                            listedInWords(std::span(names).subspan(1));
    FormulaBox formula{std::move(box), mayUse(who, names, parameters), std::move(example)};
    formula.notKnown = [has, variables = formula.variables](std::string_view name) {
        return isComponentName(name) ? has : variables;
    };
    return formula;
}

FormulaBox slopeBox(std::size_t k, std::size_t n, const Parameters& parameters) {
    if (n == 1) return componentsBox(std::string(slopeBoxName), "f", "-2*x - y", n, parameters);
    const std::string box = componentSlopeBoxName(k, n);
    return componentsBox(box, box, "x*y1 - y2", n, parameters);
}

FormulaBox invariantBox(std::size_t n, const Parameters& parameters) {
    return componentsBox(std::string(invariantBoxName), "the invariant",
                         n == 1 ? "y*exp(-x)" : "y1^2 + y2^2", n, parameters);
}

FormulaBox solutionBox(std::size_t k, std::size_t n, const Parameters& parameters) {
    if (n == 1) {
        return {std::string(solutionBoxName), mayUse("y(x)", {"x", "x0", "y0"}, parameters),
                "y0*exp(x - x0)"};
    }
    std::vector<std::string> names{"x", "x0"};
    for (std::size_t j = 1; j <= n; ++j) names.push_back(start(j));
    return {componentSolutionBoxName(k, n), mayUse(component(k) + "(x)", names, parameters),
            start(k) + "*exp(x - x0)"};
}

FormulaBox secondOrderBox(const Parameters& parameters) {
    FormulaBox box{std::string(secondOrderBoxName),
                   mayUse("y''", {"x", "y", "yp (or y')"}, parameters), "-y"};
    box.primeReadsAsP = true;
    return box;
}

std::vector<BoundVariable> slopeVariables(CompiledFormulas& formulas, std::size_t n) {
    std::vector<BoundVariable> bound{{"x", &formulas.x}};
    if (n == 1) bound.push_back({"y", &formulas.y[0]});
    static const std::array<std::string, maxComponents> names{"y1", "y2", "y3", "y4", "y5", "y6"};
    for (std::size_t j = 0; j < n; ++j) bound.push_back({names[j], &formulas.y[j]});
    return bound;
}

std::vector<BoundVariable> solutionVariables(CompiledFormulas& formulas, std::size_t n) {
    std::vector<BoundVariable> bound{{"x", &formulas.x}, {"x0", &formulas.x0}};
    if (n == 1) {
        bound.push_back({"y0", &formulas.y0[0]});
        return bound;
    }
    static const std::array<std::string, maxComponents> names{"y1_0", "y2_0", "y3_0",
                                                              "y4_0", "y5_0", "y6_0"};
    for (std::size_t j = 0; j < n; ++j) bound.push_back({names[j], &formulas.y0[j]});
    return bound;
}

std::optional<FormulaError> componentsRefused(std::size_t n) {
    if (n >= 1 && n <= maxComponents) return std::nullopt;
    return FormulaError{std::string(systemBoxName) + ": a system has 1 to " +
                            std::to_string(maxComponents) + " components, not " + std::to_string(n),
                        0};
}

std::unique_ptr<CompiledFormulas> formulasFor(std::span<const std::string> texts,
                                              const Parameters& parameters) {
    auto formulas = std::make_unique<CompiledFormulas>();
    formulas->texts.assign(texts.begin(), texts.end());
    formulas->parameters = parameters;
    return formulas;
}

// Compiles one more component's formula; the parser is kept either way.
std::optional<FormulaError> addFormula(CompiledFormulas& formulas, std::string_view text,
                                       const FormulaBox& box, std::span<const BoundVariable> bound) {
    formulas.parsers.push_back(std::make_unique<mu::Parser>());
    return compileFormula(*formulas.parsers.back(), text, box, bound, formulas.parameters.values);
}

}  // namespace

bool isComponentName(std::string_view name) {
    return name == "y" || (name.starts_with('y') && allDigits(name.substr(1)));
}

bool isStartName(std::string_view name) {
    return name == "x0" || name == "y0" ||
           (name.starts_with('y') && name.ends_with("_0") && allDigits(name.substr(1, name.size() - 3)));
}

std::string componentSlopeBoxName(std::size_t k, std::size_t n) {
    return n == 1 ? std::string(slopeBoxName) : component(k) + "'";
}

std::string componentSolutionBoxName(std::size_t k, std::size_t n) {
    return n == 1 ? std::string(solutionBoxName) : "exact " + component(k) + "(x)";
}

// The formulas of the n components, each in its box with the names `bound`
// gives it, and the messages of those refused.
struct ComponentsReading {
    std::unique_ptr<CompiledFormulas> formulas;
    std::vector<FormulaError> errors;
};
using BoxOf = FormulaBox (*)(std::size_t k, std::size_t n, const Parameters& parameters);
using NamesOf = std::vector<BoundVariable> (*)(CompiledFormulas& formulas, std::size_t n);

ComponentsReading readComponents(std::span<const std::string> texts, const Parameters& parameters,
                                 BoxOf boxOf, NamesOf namesOf) {
    const std::size_t n = texts.size();
    if (auto refused = componentsRefused(n)) return {nullptr, {*refused}};
    ComponentsReading reading{formulasFor(texts, parameters), {}};
    const std::vector<BoundVariable> bound = namesOf(*reading.formulas, n);
    for (std::size_t k = 1; k <= n; ++k) {
        if (auto error = addFormula(*reading.formulas, texts[k - 1], boxOf(k, n, parameters), bound)) {
            reading.errors.push_back(std::move(*error));
        }
    }
    return reading;
}

// Builds the compiled objects, which only it may construct.
struct FormulaCompiler {
    // The single equation's box, whose f reads x and y and has no parameters.
    static SlopeCompilation singleSlope(std::string_view text) {
        const std::array<std::string, 1> texts{std::string(text)};
        auto formulas = formulasFor(texts, {});
        formulas->singleBox = true;
        const std::array<BoundVariable, 2> bound{{{"x", &formulas->x}, {"y", &formulas->y[0]}}};
        if (auto error = addFormula(*formulas, text, slopeBox(1, 1, formulas->parameters), bound)) {
            return {std::nullopt, {std::move(*error)}};
        }
        return {SlopeExpression(std::move(formulas)), {}};
    }

    static SlopeCompilation slope(std::span<const std::string> texts,
                                  const Parameters& parameters) {
        ComponentsReading read = readComponents(texts, parameters, slopeBox, slopeVariables);
        if (!read.errors.empty()) return {std::nullopt, std::move(read.errors)};
        return {SlopeExpression(std::move(read.formulas)), {}};
    }

    static SolutionCompilation solution(std::span<const std::string> texts,
                                        const Parameters& parameters, double x0,
                                        std::span<const double> y0) {
        ComponentsReading read = readComponents(texts, parameters, solutionBox, solutionVariables);
        if (!read.errors.empty()) return {std::nullopt, std::move(read.errors)};
        SolutionExpression solution(std::move(read.formulas));
        solution.setStart(x0, y0);
        return {std::move(solution), {}};
    }

    static SecondOrderCompilation secondOrder(std::string_view f, const Parameters& parameters) {
        const std::array<std::string, 2> texts{"y2", std::string(f)};
        auto formulas = formulasFor(texts, parameters);
        formulas->secondOrder = true;
        const std::vector<BoundVariable> components = slopeVariables(*formulas, 2);
        // y1' = y2 is the program's own text and always compiles.
        addFormula(*formulas, texts[0], slopeBox(1, 2, parameters), components);
        const std::array<BoundVariable, 3> ofF{
            {{"x", &formulas->x}, {"y", &formulas->y[0]}, {"yp", &formulas->y[1]}}};
        if (auto error = addFormula(*formulas, f, secondOrderBox(parameters), ofF)) {
            return {std::nullopt, std::move(*error), {}};
        }
        const std::string typed(f.substr(std::min(f.find_first_not_of(" \t"), f.size())));
        const std::string formula = typed.substr(0, typed.find_last_not_of(" \t") + 1);
        std::string rewriting = "y'' = " + formula +
                                " was rewritten as a system of two first-order equations: with y1 = y "
                                "and y2 = y', y1' = y2 and y2' = f(x, y1, y2), where f(x, y, y') = " +
                                formula + ".";
        return {SlopeExpression(std::move(formulas)), {}, std::move(rewriting)};
    }

    static InvariantCompilation invariant(std::string_view text, std::size_t n,
                                          const Parameters& parameters) {
        if (auto refused = componentsRefused(n)) return {std::nullopt, std::move(*refused)};
        const std::array<std::string, 1> texts{std::string(text)};
        auto formulas = formulasFor(texts, parameters);
        const std::vector<BoundVariable> bound = slopeVariables(*formulas, n);
        if (auto error = addFormula(*formulas, text, invariantBox(n, parameters), bound)) {
            return {std::nullopt, std::move(*error)};
        }
        return {InvariantExpression(std::move(formulas), n), {}};
    }
};

namespace {
// Which names a formula reads is asked once, as it is built: muparser
// parses the text again to tell, and the next evaluation parses it anew.
bool readsX(const mu::Parser& parser) {
    const mu::Parser asked = parser;  // so that this one keeps its bytecode
    return asked.GetUsedVar().count("x") > 0;
}

// reads[k][j]: whether component k's formula reads component j's value.
std::vector<std::vector<bool>> componentReads(const CompiledFormulas& formulas) {
    const std::size_t n = formulas.parsers.size();
    std::vector<std::vector<bool>> reads(n, std::vector<bool>(n, false));
    for (std::size_t k = 0; k < n; ++k) {
        const mu::Parser asked = *formulas.parsers[k];
        for (const auto& [name, address] : asked.GetUsedVar()) {
            for (std::size_t j = 0; j < n; ++j) {
                if (address == &formulas.y[j]) reads[k][j] = true;
            }
        }
    }
    return reads;
}
}  // namespace

SplitReading splitComponents(const std::vector<std::vector<bool>>& reads) {
    const std::size_t n = reads.size();
    for (std::size_t k = 0; k < n; ++k) {
        if (reads[k][k]) {
            const std::string name = n == 1 ? "y" : component(k + 1);
            return {std::nullopt, name + "' reads " + name};
        }
    }
    // Two-colours the graph of the components that read each other, each
    // part from its first component, which is a position.
    std::vector<int> part(n, -1);
    for (std::size_t first = 0; first < n; ++first) {
        if (part[first] >= 0) continue;
        part[first] = 0;
        std::vector<std::size_t> reached{first};
        while (!reached.empty()) {
            const std::size_t k = reached.back();
            reached.pop_back();
            for (std::size_t j = 0; j < n; ++j) {
                if (!reads[k][j] && !reads[j][k]) continue;
                if (part[j] == part[k]) {
                    return {std::nullopt, "the slopes that read each other form a ring of odd length, "
                                          "so two neighbours in it would be of the same part"};
                }
                if (part[j] < 0) {
                    part[j] = 1 - part[k];
                    reached.push_back(j);
                }
            }
        }
    }
    ComponentSplit split;
    for (int p : part) split.momentum.push_back(p == 1);
    return {std::move(split), {}};
}

std::string splitText(const ComponentSplit& split) {
    if (split.momentum.size() == 1) return "y is a position";
    std::vector<std::string> positions, momenta;
    for (std::size_t k = 0; k < split.momentum.size(); ++k) {
        (split.momentum[k] ? momenta : positions).push_back(component(k + 1));
    }
    const std::string are = positions.size() == 1 ? "the position is " : "the positions are ";
    if (momenta.empty()) return are + listedInWords(positions) + ", with no momenta";
    return are + listedInWords(positions) + (momenta.size() == 1 ? " and the momentum " : " and the momenta ") +
           listedInWords(momenta);
}

SlopeExpression::SlopeExpression(std::unique_ptr<CompiledFormulas> formulas)
    : formulas_(std::move(formulas)) {
    formulas_->usesX = std::any_of(formulas_->parsers.begin(), formulas_->parsers.end(),
                                   [](const auto& parser) { return readsX(*parser); });
    formulas_->split = splitComponents(componentReads(*formulas_));
}
SlopeExpression::SlopeExpression(SlopeExpression&&) noexcept = default;
SlopeExpression& SlopeExpression::operator=(SlopeExpression&&) noexcept = default;
SlopeExpression::~SlopeExpression() = default;

std::size_t SlopeExpression::size() const { return formulas_->parsers.size(); }

double SlopeExpression::operator()(double x, double y) const {
    formulas_->x = x;
    formulas_->y[0] = y;
    return formulas_->parsers.front()->Eval();
}

void SlopeExpression::operator()(double x, std::span<const double> y,
                                 std::span<double> slope) const {
    // Every input is read before the first output is written, so y and
    // slope may be one array.
    formulas_->x = x;
    std::copy_n(y.begin(), size(), formulas_->y.begin());
    for (std::size_t k = 0; k < size(); ++k) slope[k] = formulas_->parsers[k]->Eval();
}

SlopeExpression SlopeExpression::clone() const {
    if (formulas_->secondOrder) return std::move(*compileSecondOrder(texts()[1], parameters()).slope);
    if (formulas_->singleBox) return std::move(*compileSlope(texts().front()).slope);
    return std::move(*compileSlope(texts(), parameters()).slope);
}

const std::vector<std::string>& SlopeExpression::texts() const { return formulas_->texts; }
const Parameters& SlopeExpression::parameters() const { return formulas_->parameters; }
bool SlopeExpression::usesX() const { return formulas_->usesX; }
const SplitReading* SlopeExpression::splitReading() const { return &formulas_->split; }

StateVector SlopeExpression::operator()(double x, const StateVector& y) const {
    StateVector slope(size());
    requireSameSize(y, slope);
    (*this)(x, std::span<const double>(y.begin(), y.size()), std::span<double>(&slope[0], size()));
    return slope;
}

SlopeCompilation compileSlope(std::string_view text) { return FormulaCompiler::singleSlope(text); }

SlopeCompilation compileSlope(std::span<const std::string> texts, const Parameters& parameters) {
    return FormulaCompiler::slope(texts, parameters);
}

SecondOrderCompilation compileSecondOrder(std::string_view f, const Parameters& parameters) {
    return FormulaCompiler::secondOrder(f, parameters);
}

SolutionExpression::SolutionExpression(std::unique_ptr<CompiledFormulas> formulas)
    : formulas_(std::move(formulas)) {}
SolutionExpression::SolutionExpression(SolutionExpression&&) noexcept = default;
SolutionExpression& SolutionExpression::operator=(SolutionExpression&&) noexcept = default;
SolutionExpression::~SolutionExpression() = default;

std::size_t SolutionExpression::size() const { return formulas_->parsers.size(); }

double SolutionExpression::operator()(double x) const {
    formulas_->x = x;
    return formulas_->parsers.front()->Eval();
}

void SolutionExpression::operator()(double x, std::span<double> y) const {
    formulas_->x = x;
    for (std::size_t k = 0; k < size(); ++k) y[k] = formulas_->parsers[k]->Eval();
}

double SolutionExpression::x0() const { return formulas_->x0; }
std::span<const double> SolutionExpression::y0() const {
    return std::span(formulas_->y0).first(size());
}

void SolutionExpression::setStart(double x0, std::span<const double> y0) {
    formulas_->x0 = x0;
    std::copy_n(y0.begin(), size(), formulas_->y0.begin());
}

SolutionExpression SolutionExpression::clone() const {
    return std::move(*compileSolution(texts(), formulas_->parameters, x0(), y0()).solution);
}

const std::vector<std::string>& SolutionExpression::texts() const { return formulas_->texts; }

SolutionCompilation compileSolution(std::string_view text, double x0, double y0) {
    const std::array<std::string, 1> texts{std::string(text)};
    const std::array<double, 1> start{y0};
    return FormulaCompiler::solution(texts, {}, x0, start);
}

SolutionCompilation compileSolution(std::span<const std::string> texts,
                                    const Parameters& parameters, double x0,
                                    std::span<const double> y0) {
    return FormulaCompiler::solution(texts, parameters, x0, y0);
}

InvariantExpression::InvariantExpression(std::unique_ptr<CompiledFormulas> formulas, std::size_t n)
    : formulas_(std::move(formulas)), n_(n) {}
InvariantExpression::InvariantExpression(InvariantExpression&&) noexcept = default;
InvariantExpression& InvariantExpression::operator=(InvariantExpression&&) noexcept = default;
InvariantExpression::~InvariantExpression() = default;

std::size_t InvariantExpression::size() const { return n_; }

double InvariantExpression::operator()(double x, std::span<const double> y) const {
    formulas_->x = x;
    std::copy_n(y.begin(), size(), formulas_->y.begin());
    return formulas_->parsers.front()->Eval();
}

InvariantExpression InvariantExpression::clone() const {
    return std::move(*compileInvariant(text(), size(), parameters()).invariant);
}

const std::string& InvariantExpression::text() const { return formulas_->texts.front(); }
const Parameters& InvariantExpression::parameters() const { return formulas_->parameters; }

InvariantCompilation compileInvariant(std::string_view text, std::size_t n,
                                      const Parameters& parameters) {
    return FormulaCompiler::invariant(text, n, parameters);
}

std::optional<std::string> nonFiniteSlope(const SlopeExpression& slope, double x,
                                          std::span<const double> y) {
    const std::size_t n = slope.size();
    std::array<double, maxComponents> values{};
    slope(x, y, std::span(values).first(n));
    const auto k = static_cast<std::size_t>(
        std::find_if(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(n),
                     [](double v) { return !std::isfinite(v); }) - values.begin());
    if (k == n) return std::nullopt;
    std::string names = "x", numbers = numberToText(x);
    for (std::size_t j = 0; j < n; ++j) {
        names += ", " + (n == 1 ? std::string("y") : component(j + 1));
        numbers += ", " + numberToText(y[j]);
    }
    return componentSlopeBoxName(k + 1, n) + " is not a finite number at (" + names + ") = (" +
           numbers + ")";
}

}  // namespace pelorin
