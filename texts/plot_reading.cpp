#include "texts/plot_reading.h"

#include "base/conversions.h"

#include <cmath>

namespace pelorin {

CurveNames curveNames(const Calculation& calculation) {
    if (calculation.failedStage || !calculation.method) return {};
    const auto value = [&](Input box) { return numberToText(*calculation.value(box)); };
    return {"exact solution through (" + value(Input::x0) + ", " + value(Input::y0) + ")",
            std::string(calculation.method->heading) + ", h = " + value(Input::h)};
}

std::vector<std::string> rowSummaries(const TextTable& table) {
    std::vector<std::string> summaries;
    for (const auto& row : table.rows) {
        std::string summary = "step " + row.front() + ":";
        const char* separator = " ";
        for (std::size_t column = 1; column < row.size() && column < table.header.size(); ++column) {
            if (row[column].empty()) continue;
            summary += separator + table.header[column] + " = " + row[column];
            separator = ", ";
        }
        summaries.push_back(summary);
    }
    return summaries;
}

}  // namespace pelorin
