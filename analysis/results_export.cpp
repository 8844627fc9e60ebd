#include "analysis/results_export.h"

#include <string_view>

namespace pelorin {

TextTable resultsTable(const std::vector<std::string>& lines) {
    constexpr std::string_view blank = " ";       // the lines around a heading
    constexpr std::string_view between = "    ";  // how a step line joins x and y
    TextTable table{{"method", "x", "y"}, {}};
    std::string method;
    for (const std::string& line : lines) {
        if (line == blank) continue;
        const std::size_t join = line.find(between);
        if (join == std::string::npos) {
            method = line;  // a heading; no heading holds four blanks
            continue;
        }
        table.rows.push_back({method, line.substr(0, join), line.substr(join + between.size())});
    }
    return table;
}

}  // namespace pelorin
