// The state of a system of equations y' = F(x, y): its n components, held by
// value so that a step allocates nothing, with the component-wise arithmetic
// the step formulas are written in.
#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>

namespace pelorin {

class StateVector {
public:
    static constexpr std::size_t maxComponents = 6;

    StateVector() = default;  // no components
    // n components, all zero; more than maxComponents throws std::length_error.
    explicit StateVector(std::size_t n);
    // More than maxComponents throws std::length_error.
    StateVector(std::initializer_list<double> components);

    std::size_t size() const { return size_; }
    double& operator[](std::size_t i) { return components_[i]; }
    double operator[](std::size_t i) const { return components_[i]; }
    const double* begin() const { return components_.data(); }
    const double* end() const { return components_.data() + size_; }

    // Equal sizes and equal components, each compared as a double is.
    friend bool operator==(const StateVector& a, const StateVector& b) {
        if (a.size_ != b.size_) return false;
        for (std::size_t i = 0; i < a.size_; ++i) {
            if (a[i] != b[i]) return false;
        }
        return true;
    }

private:
    std::array<double, maxComponents> components_{};
    std::size_t size_ = 0;
};

// Throws std::invalid_argument: states of different sizes met in a formula,
// as when a slope gives more or fewer components than the state it was given.
[[noreturn]] void throwSizesDiffer(std::size_t left, std::size_t right);

inline void requireSameSize(const StateVector& a, const StateVector& b) {
    if (a.size() != b.size()) throwSizesDiffer(a.size(), b.size());
}

// Each component with the one operation a scalar formula does there, so
// that a state of one component gives the scalar formula's bits.
inline StateVector operator+(const StateVector& a, const StateVector& b) {
    requireSameSize(a, b);
    StateVector sum = a;
    for (std::size_t i = 0; i < a.size(); ++i) sum[i] = a[i] + b[i];
    return sum;
}

inline StateVector operator-(const StateVector& a, const StateVector& b) {
    requireSameSize(a, b);
    StateVector difference = a;
    for (std::size_t i = 0; i < a.size(); ++i) difference[i] = a[i] - b[i];
    return difference;
}

inline StateVector operator*(double c, const StateVector& y) {
    StateVector product = y;
    for (std::size_t i = 0; i < y.size(); ++i) product[i] = c * y[i];
    return product;
}

inline StateVector operator/(const StateVector& y, double c) {
    StateVector quotient = y;
    for (std::size_t i = 0; i < y.size(); ++i) quotient[i] = y[i] / c;
    return quotient;
}

}  // namespace pelorin
