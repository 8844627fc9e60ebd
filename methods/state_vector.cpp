// The checks of a system's state, kept out of line: they only build messages.
#include "methods/state_vector.h"

#include <stdexcept>
#include <string>

namespace pelorin {

namespace {

std::size_t checkedSize(std::size_t n) {
    if (n > StateVector::maxComponents) {
        throw std::length_error("a state holds at most " +
                                std::to_string(StateVector::maxComponents) + " components, not " +
                                std::to_string(n));
    }
    return n;
}

}  // namespace

StateVector::StateVector(std::size_t n) : size_(checkedSize(n)) {}

StateVector::StateVector(std::initializer_list<double> components)
    : size_(checkedSize(components.size())) {
    std::size_t i = 0;
    for (double component : components) components_[i++] = component;
}

void throwSizesDiffer(std::size_t left, std::size_t right) {
    throw std::invalid_argument("states of " + std::to_string(left) + " and " +
                                std::to_string(right) + " components met in one formula");
}

}  // namespace pelorin
