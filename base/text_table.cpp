#include "base/text_table.h"

#include <string_view>

namespace pelorin {

namespace {

using QuoteCell = std::string (*)(const std::string&);

std::string asIs(const std::string& cell) { return cell; }

std::string csvCell(const std::string& cell) {
    if (cell.find_first_of(",\"\r\n") == std::string::npos) return cell;
    std::string quoted = "\"";
    for (char c : cell) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string joined(const TextTable& table, std::string_view separator,
                   std::string_view lineEnd, QuoteCell quote) {
    std::string text;
    const auto addLine = [&](const std::vector<std::string>& cells) {
        for (std::size_t column = 0; column < cells.size(); ++column) {
            if (column > 0) text += separator;
            text += quote(cells[column]);
        }
        text += lineEnd;
    };
    addLine(table.header);
    for (const auto& row : table.rows) addLine(row);
    return text;
}

}  // namespace

std::string tabSeparated(const TextTable& table) { return joined(table, "\t", "\n", asIs); }

std::string commaSeparated(const TextTable& table) {
    return joined(table, ",", "\r\n", csvCell);
}

}  // namespace pelorin
