// A tableau entry as a student types it, read exactly: whole numbers,
// fractions, decimals (0.1 is 1/10, not the double nearest it), sums,
// products and quotients of these, and square roots, as in
// "(3 - sqrt(3))/6" or "(3 - √3)/6". GiNaC keeps the value exact.
#pragma once

#include <ginac/ginac.h>

#include <optional>
#include <string>
#include <string_view>

namespace pelorin {

struct ExactReading {
    std::optional<GiNaC::ex> value;
    std::string why;  // where there is no value: what is wrong, in words
};

ExactReading readExactEntry(std::string_view text);

// The root of a non-negative rational as every entry takes it: split into
// roots of primes, √12 as 2√3 and √6 as √2·√3, so that equal values expand
// to the same form.
GiNaC::ex exactSquareRoot(const GiNaC::numeric& radicand);

// The entry as a textbook prints it: "1/2", "-7200/2197", "1/2-1/6*sqrt(3)".
std::string exactText(const GiNaC::ex& value);

}  // namespace pelorin
