// A table of texts with a header row, and the two ways it leaves the program:
// tab-separated for the clipboard (a spreadsheet pastes it into cells) and
// CSV for a file.
#pragma once

#include <string>
#include <vector>

namespace pelorin {

struct TextTable {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
};

// One line per row, header first, cells joined by tabs, lines ended by "\n".
std::string tabSeparated(const TextTable& table);

// RFC 4180: cells joined by commas, lines ended by "\r\n"; a cell holding a
// comma, a quote or a line break is quoted, its quotes doubled.
std::string commaSeparated(const TextTable& table);

}  // namespace pelorin
