// A solution as the program keeps it: parallel abscissae and ordinates in a
// table of fixed capacity, filled from index 0 upwards.
#pragma once

#include <stdexcept>
#include <vector>

namespace pelorin {

// Thrown by a store beyond the table's capacity.
struct TableFull : std::out_of_range {
    TableFull() : std::out_of_range("store beyond the capacity of a solution table") {}
};

// Thrown by a store of an infinity or NaN: overflow or an invalid operation
// upstream, which must never reach the list or the plot.
struct NotFinite : std::domain_error {
    NotFinite() : std::domain_error("non-finite value in a solution table") {}
};

class SolutionTable {
public:
    explicit SolutionTable(int capacity);

    // Empties the table; the capacity stays.
    void clear();

    // Stores point i; every store is checked against the capacity and for
    // finite values, and a failed store changes nothing.
    void store(int i, double x, double y);

    int capacity() const { return static_cast<int>(xs_.size()); }
    // The last filled index, -1 while the table is empty.
    int last() const { return last_; }
    double x(int i) const { return xs_.at(static_cast<std::size_t>(i)); }
    double y(int i) const { return ys_.at(static_cast<std::size_t>(i)); }

private:
    std::vector<double> xs_;
    std::vector<double> ys_;
    int last_ = -1;
};

}  // namespace pelorin
