#include "symbolic/exact_entry.h"

#include "base/number_text.h"

#include <cctype>
#include <sstream>
#include <stdexcept>

namespace pelorin {

namespace {

using GiNaC::ex;

// Deeper nesting than any tableau needs is refused before it exhausts the
// stack.
constexpr int maxDepth = 64;
// Higher powers than a tableau needs would take long and fill memory.
constexpr int maxPower = 16;

// Why a text is no entry; thrown inside the reader only.
struct Unreadable : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// expression = term {("+" | "-") term}
// term       = factor {("*" | "/") factor | "√" primary}
// factor     = ("+" | "-") factor | power
// power      = primary ["^" factor]
// primary    = number | "(" expression ")" | "sqrt" "(" expression ")" | "√" primary
class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    ex whole() {
        const ex value = expression();
        skipSpaces();
        if (at_ < text_.size()) throw Unreadable(unexpected());
        return value.expand();
    }

private:
    ex expression() {
        ex value = term();
        while (true) {
            if (take('+')) value = value + term();
            else if (take('-')) value = value - term();
            else return value;
        }
    }

    ex term() {
        ex value = factor();
        while (true) {
            if (take('*')) {
                value = value * factor();
            } else if (rootFollows()) {
                value = value * factor();  // 2√3, as a textbook writes a multiple of a root
            } else if (take('/')) {
                const ex divisor = factor().expand();
                if (divisor.is_zero()) throw Unreadable("divides by zero");
                value = value / divisor;
            } else {
                return value;
            }
        }
    }

    ex factor() {
        if (++depth_ > maxDepth) throw Unreadable("is nested too deeply");
        ex value = take('+') ? factor() : take('-') ? -factor() : power();
        --depth_;
        return value;
    }

    // Whole powers, and halves of them as roots: 3^(-1/2) is 1/sqrt(3), as
    // an entry is also written.
    ex power() {
        const ex base = primary();
        if (!take('^')) return base;
        const ex exponent = factor().expand();
        const bool whole = GiNaC::is_a<GiNaC::numeric>(exponent) &&
                           GiNaC::ex_to<GiNaC::numeric>(exponent).is_integer();
        const bool half = GiNaC::is_a<GiNaC::numeric>(exponent) &&
                          (2 * GiNaC::ex_to<GiNaC::numeric>(exponent)).is_integer();
        if (!whole && !half) {
            throw Unreadable("has a power that is neither a whole number nor half of one");
        }
        const GiNaC::numeric& k = GiNaC::ex_to<GiNaC::numeric>(exponent);
        if (GiNaC::abs(k) > maxPower) throw Unreadable("has a power beyond 16");
        if (base.expand().is_zero() && !k.is_positive()) {
            throw Unreadable(k.is_zero() ? "raises 0 to the power 0" : "divides by zero");
        }
        if (whole) return GiNaC::pow(base, exponent);
        return GiNaC::pow(squareRoot(base.expand()), 2 * exponent);
    }

    ex primary() {
        skipSpaces();
        if (take('(')) return closed(expression());
        if (text_.substr(at_, 4) == "sqrt") {
            at_ += 4;
            if (!take('(')) throw Unreadable("needs brackets after sqrt, as in sqrt(3)");
            return squareRoot(closed(expression()).expand());
        }
        // √ as a textbook prints it: "(3 - √3)/6" roots the 3 alone.
        if (text_.substr(at_, root.size()) == root) {
            at_ += root.size();
            if (++depth_ > maxDepth) throw Unreadable("is nested too deeply");
            const ex radicand = primary().expand();
            --depth_;
            return squareRoot(radicand);
        }
        if (at_ < text_.size() && (std::isdigit(static_cast<unsigned char>(text_[at_])) ||
                                   text_[at_] == '.')) {
            return number();
        }
        throw Unreadable(at_ < text_.size() ? unexpected() : "ends too soon");
    }

    ex closed(const ex& inside) {
        if (!take(')')) throw Unreadable("misses a closing bracket");
        return inside;
    }

    // Digits with an optional decimal point, read exactly: 0.125 is 1/8.
    ex number() {
        GiNaC::numeric value = 0, scale = 1;
        bool digits = false, point = false;
        for (; at_ < text_.size(); ++at_) {
            const char c = text_[at_];
            if (c == '.' && !point) {
                point = true;
            } else if (std::isdigit(static_cast<unsigned char>(c))) {
                value = value * 10 + (c - '0');
                if (point) scale = scale * 10;
                digits = true;
            } else {
                break;
            }
        }
        if (!digits) throw Unreadable("has a point without digits");
        return value / scale;
    }

    bool rootFollows() {
        skipSpaces();
        return text_.substr(at_, root.size()) == root;
    }

    bool take(char c) {
        skipSpaces();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }

    void skipSpaces() {
        while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
    }

    std::string unexpected() const {
        return "cannot be read at " + quotedForNote(text_.substr(at_)) +
               ": an entry is a number, a fraction or a square root";
    }

    // Only a number or a fraction has a root here: a root of a root would
    // leave the field of the entries.
    static ex squareRoot(const ex& radicand) {
        if (isNegative(radicand)) throw Unreadable("takes the square root of a negative number");
        if (!GiNaC::is_a<GiNaC::numeric>(radicand) ||
            !GiNaC::ex_to<GiNaC::numeric>(radicand).is_rational()) {
            throw Unreadable("takes the square root of a root: roots are of numbers and fractions");
        }
        return exactSquareRoot(GiNaC::ex_to<GiNaC::numeric>(radicand));
    }

    static bool isNegative(const ex& value) {
        const ex approximate = GiNaC::evalf(value);
        return GiNaC::is_a<GiNaC::numeric>(approximate) &&
               GiNaC::ex_to<GiNaC::numeric>(approximate).is_negative();
    }

    static constexpr std::string_view root = "\u221a";

    std::string_view text_;
    std::size_t at_ = 0;
    int depth_ = 0;
};

}  // namespace

// √(p/q) as (k/q)·√p1·√p2·…, p·q = k²·p1·p2·… with distinct primes, so
// that a value has one form and a difference of equal values expands to
// 0 (√6 - √2·√3 too). Primes are looked for below a bound; a larger factor
// keeps its own root.
GiNaC::ex exactSquareRoot(const GiNaC::numeric& r) {
    GiNaC::numeric rest = r.numer() * r.denom();
    ex root = 1 / r.denom();
    for (GiNaC::numeric p = 2; p * p <= rest && p < 100000; p = p + 1) {
        for (; GiNaC::irem(rest, p * p).is_zero(); rest = rest / (p * p)) root = root * p;
        if (GiNaC::irem(rest, p).is_zero()) {
            rest = rest / p;
            root = root * GiNaC::sqrt(ex(p));  // ex: a numeric argument gives a float
        }
    }
    return rest == 1 ? root : root * GiNaC::sqrt(ex(rest));
}

ExactReading readExactEntry(std::string_view text) {
    Reader reader(text);
    bool blank = true;
    for (char c : text) blank = blank && std::isspace(static_cast<unsigned char>(c));
    if (blank) return {std::nullopt, "is empty"};
    try {
        return {reader.whole(), {}};
    } catch (const Unreadable& why) {
        return {std::nullopt, why.what()};
    } catch (const std::exception&) {
        // What GiNaC refuses to work out (none known): no entry, but no crash.
        return {std::nullopt, "cannot be worked out exactly"};
    }
}

std::string exactText(const GiNaC::ex& value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

}  // namespace pelorin
