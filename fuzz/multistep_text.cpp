// Fuzz target: a multistep method typed as its coefficients. Whatever the
// texts, reading gives either a formula or a sentence in valid UTF-8 that
// names its box; a formula's coefficients, written back, read as the same
// formula; its order, root condition, characteristic roots, region and A(α)
// angle come out without a non-number in any sentence or picture, alone and
// as the corrector of a predictor-corrector pair.
//
// Input: the alpha text on the first line, the beta text after it.
#include "fuzz/check.h"
#include "methods/multistep_formulas.h"
#include "numerics/linear_multistep.h"

#include <cmath>
#include <complex>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using namespace pelorin;
using pelorin::fuzz::record;
using pelorin::fuzz::require;

namespace {

bool isFinite(std::complex<double> z) { return std::isfinite(z.real()) && std::isfinite(z.imag()); }

// A sentence in valid UTF-8 whose own words, all of it or all but what it
// quotes, spell no non-number.
void requireSentence(const std::string& sentence, std::string_view ownWords) {
    record("sentence", sentence);
    require(!sentence.empty() && pelorin::fuzz::isUtf8(sentence), "an empty sentence, or not UTF-8");
    require(!pelorin::fuzz::spellsNonNumber(ownWords), "a sentence spells a non-number: " + sentence);
}

void requireSentence(const std::string& sentence) { requireSentence(sentence, sentence); }

// A few samples: the fuzzer tries many inputs, the properties are the same.
constexpr int locusSamples = 37;

void checkMethod(const Multistep& method) {
    for (const std::complex<double> z : {std::complex<double>(0), {-1, 0}, {0, 1}, {-0.5, 0.5}, {-50, 0}}) {
        const CharacteristicRoots found = characteristicRoots(method, z);
        require(found.roots.empty() || found.principal < found.roots.size(),
                "the principal root is not a root");
        for (std::complex<double> root : found.roots) {
            require(isFinite(root), "a characteristic root is not finite");
        }
        absolutelyStable(method, z);
    }
    for (const auto& branch : boundaryLocus(method, locusSamples)) {
        require(branch.size() == static_cast<std::size_t>(locusSamples), "a branch of the locus is short");
        for (std::complex<double> z : branch) {
            require(isFinite(z) || (std::isnan(z.real()) && std::isnan(z.imag())),
                    "a point of the locus is infinite, or half a number");
        }
    }
    if (const std::optional<double> angle = aAlphaAngle(method)) {
        record("A(α)", *angle);
        require(*angle > 0 && *angle <= 90, "an A(α) angle outside (0°, 90°]");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t newline = input.find('\n');
    const std::string_view alpha = input.substr(0, newline);
    const std::string_view beta =
        newline == std::string_view::npos ? std::string_view{} : input.substr(newline + 1);

    const auto read = readMultistep(alpha, beta);
    if (const auto* why = std::get_if<std::string>(&read)) {
        // It quotes the coefficient it could not read, and what was typed may be "inf".
        requireSentence(*why, pelorin::fuzz::withoutQuotedText(*why));
        require(why->starts_with("alpha") || why->starts_with("beta"),
                "a refusal that names no box: " + *why);
        return 0;
    }
    const MultistepFormula& formula = std::get<MultistepFormula>(read);
    const auto again = readMultistep(alphaText(formula), betaText(formula));
    const auto* same = std::get_if<MultistepFormula>(&again);
    require(same && same->steps == formula.steps && same->a == formula.a && same->b == formula.b,
            "the coefficients written back read as another formula: " + alphaText(formula) + " | " +
                betaText(formula));

    requireSentence(consistencyText(formula));
    const ZeroStability stability = zeroStabilityOf(formula);
    requireSentence(stability.verdict);
    require(stability.roots.size() == static_cast<std::size_t>(formula.steps), "ρ has not k roots");
    for (std::complex<double> root : stability.roots) require(isFinite(root), "a root of ρ is not finite");

    checkMethod(Multistep{&formula});
    checkMethod(Multistep{&formula, &adamsBashforth4});
    return 0;
}
