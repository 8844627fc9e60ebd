// Coefficients as their authors published them: Dormand and Prince (1980),
// Bogacki and Shampine (1989), Cash and Karp (1990); the implicit ones as
// Hairer and Wanner print them (Solving Ordinary Differential Equations II,
// Sections IV.5 and IV.6).
#include "methods/known_tableaus.h"

#include "methods/implicit_tableaus.h"
#include "methods/methods.h"

#include <limits>
#include <numeric>
#include <stdexcept>
#include <vector>

namespace pelorin {
namespace {

// x - y of two fractions, reduced. The books print an embedded pair's two
// weight rows b and b̂; a tableau keeps b and the estimate's weights b - b̂.
// A difference whose terms do not fit a Coefficient stops the compilation.
constexpr Coefficient difference(Coefficient x, Coefficient y) {
    if (x.surd != 0 || y.surd != 0) throw std::invalid_argument("fractions only");
    const long long numerator = static_cast<long long>(x.rational) * y.denominator -
                                static_cast<long long>(y.rational) * x.denominator;
    const long long denominator = static_cast<long long>(x.denominator) * y.denominator;
    const long long common = std::gcd(numerator, denominator);  // gcd(0, d) = d
    const long long p = numerator / common, d = denominator / common;
    if (d > std::numeric_limits<int>::max() || p > std::numeric_limits<int>::max() ||
        p < std::numeric_limits<int>::min()) {
        throw std::overflow_error("b - b\u0302 does not fit a Coefficient");
    }
    return frac(static_cast<int>(p), static_cast<int>(d));
}

constexpr Coefficients difference(const Coefficients& b, const Coefficients& bHat) {
    Coefficients e{};
    for (std::size_t j = 0; j < b.size(); ++j) e[j] = difference(b[j], bHat[j]);
    return e;
}

// Dormand and Prince's pair: fifth-order b, fourth-order b̂. The last stage
// is taken where the step ends, with b as its row, so that it is the next
// step's first (FSAL).
constexpr Coefficients dormandPrince5Weights{
    frac(35, 384), frac(0), frac(500, 1113), frac(125, 192), frac(-2187, 6784), frac(11, 84),
    frac(0)};
constexpr Coefficients dormandPrince4Weights{
    frac(5179, 57600), frac(0), frac(7571, 16695), frac(393, 640), frac(-92097, 339200),
    frac(187, 2100), frac(1, 40)};
constexpr Tableau dormandPrinceTableau{
    7,
    {frac(0), frac(1, 5), frac(3, 10), frac(4, 5), frac(8, 9), frac(1), frac(1)},
    {{{},
      {frac(1, 5)},
      {frac(3, 40), frac(9, 40)},
      {frac(44, 45), frac(-56, 15), frac(32, 9)},
      {frac(19372, 6561), frac(-25360, 2187), frac(64448, 6561), frac(-212, 729)},
      {frac(9017, 3168), frac(-355, 33), frac(46732, 5247), frac(49, 176), frac(-5103, 18656)},
      dormandPrince5Weights}},
    dormandPrince5Weights,
    difference(dormandPrince5Weights, dormandPrince4Weights)};

// Bogacki and Shampine's pair: third-order b, second-order b̂, FSAL as above.
constexpr Coefficients bogackiShampine3Weights{frac(2, 9), frac(1, 3), frac(4, 9), frac(0)};
constexpr Coefficients bogackiShampine2Weights{frac(7, 24), frac(1, 4), frac(1, 3), frac(1, 8)};
constexpr Tableau bogackiShampineTableau{
    4,
    {frac(0), frac(1, 2), frac(3, 4), frac(1)},
    {{{}, {frac(1, 2)}, {frac(0), frac(3, 4)}, bogackiShampine3Weights}},
    bogackiShampine3Weights,
    difference(bogackiShampine3Weights, bogackiShampine2Weights)};

// Cash and Karp's pair: fifth-order b, fourth-order b̂.
constexpr Coefficients cashKarp5Weights{
    frac(37, 378), frac(0), frac(250, 621), frac(125, 594), frac(0), frac(512, 1771)};
constexpr Coefficients cashKarp4Weights{
    frac(2825, 27648), frac(0), frac(18575, 48384), frac(13525, 55296), frac(277, 14336),
    frac(1, 4)};
constexpr Tableau cashKarpTableau{
    6,
    {frac(0), frac(1, 5), frac(3, 10), frac(3, 5), frac(1), frac(7, 8)},
    {{{},
      {frac(1, 5)},
      {frac(3, 40), frac(9, 40)},
      {frac(3, 10), frac(-9, 10), frac(6, 5)},
      {frac(-11, 54), frac(5, 2), frac(-70, 27), frac(35, 27)},
      {frac(1631, 55296), frac(175, 512), frac(575, 13824), frac(44275, 110592),
       frac(253, 4096)}}},
    cashKarp5Weights,
    difference(cashKarp5Weights, cashKarp4Weights)};

// Lobatto IIIA with three stages at 0, 1/2, 1: the first stage needs none
// (its row is zero), the others all three; Simpson's weights.
constexpr Tableau lobattoIIIA3Tableau{
    3,
    {frac(0), frac(1, 2), frac(1)},
    {{{}, {frac(5, 24), frac(1, 3), frac(-1, 24)}, {frac(1, 6), frac(2, 3), frac(1, 6)}}},
    {frac(1, 6), frac(2, 3), frac(1, 6)},
    {}};

// Lobatto IIIC: the same nodes and weights, every a_i1 = b_1 and the last
// row b; L-stable.
constexpr Tableau lobattoIIIC2Tableau{
    2,
    {frac(0), frac(1)},
    {{{frac(1, 2), frac(-1, 2)}, {frac(1, 2), frac(1, 2)}}},
    {frac(1, 2), frac(1, 2)},
    {}};
constexpr Tableau lobattoIIIC3Tableau{
    3,
    {frac(0), frac(1, 2), frac(1)},
    {{{frac(1, 6), frac(-1, 3), frac(1, 6)},
      {frac(1, 6), frac(5, 12), frac(-1, 12)},
      {frac(1, 6), frac(2, 3), frac(1, 6)}}},
    {frac(1, 6), frac(2, 3), frac(1, 6)},
    {}};

// Radau IA with two stages at the left Radau points 0 and 2/3: order 3.
constexpr Tableau radauIA3Tableau{
    2,
    {frac(0), frac(2, 3)},
    {{{frac(1, 4), frac(-1, 4)}, {frac(1, 4), frac(5, 12)}}},
    {frac(1, 4), frac(3, 4)},
    {}};

// The two-stage SDIRK method of order 3: γ = (3 + √3)/6 is the root of the
// third-order condition γ² - γ + 1/6 = 0 that makes it A-stable (the other,
// (3 - √3)/6, does not). The three-stage L-stable one is left out: its
// γ = 0.4358665… is a root of a cubic, which no (p + s√r)/d holds.
constexpr Tableau sdirk3Tableau{
    2,
    {withRoot3(3, 1, 6), withRoot3(3, -1, 6)},
    {{{withRoot3(3, 1, 6), frac(0)}, {withRoot3(0, -1, 3), withRoot3(3, 1, 6)}}},
    {frac(1, 2), frac(1, 2)},
    {}};

// Lobatto IIIA with two stages is the trapezoid rule, the catalogue's own.
constexpr KnownTableau further[] = {
    {"Dormand-Prince 5(4)", &dormandPrinceTableau},
    {"Bogacki-Shampine 3(2)", &bogackiShampineTableau},
    {"Cash-Karp 5(4)", &cashKarpTableau},
    {"Lobatto IIIA 2", &trapezoidTableau},
    {"Lobatto IIIA 3", &lobattoIIIA3Tableau},
    {"Lobatto IIIC 2", &lobattoIIIC2Tableau},
    {"Lobatto IIIC 3", &lobattoIIIC3Tableau},
    {"Radau IA 3", &radauIA3Tableau},
    {"SDIRK 3", &sdirk3Tableau},
};

// The own Runge-Kutta entry's tableau only stands in for the one typed.
std::vector<KnownTableau> gathered() {
    std::vector<KnownTableau> known;
    for (const Method& method : labCatalogue()) {
        const Tableau* tableau = tableauOf(method);
        if (tableau && !isOwnRungeKutta(method)) known.push_back({method.caption, tableau});
    }
    known.insert(known.end(), std::begin(further), std::end(further));
    return known;
}

}  // namespace

std::span<const KnownTableau> knownTableaus() {
    static const std::vector<KnownTableau> known = gathered();
    return known;
}

}  // namespace pelorin
