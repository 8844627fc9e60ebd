#include "texts/results_export.h"

#include "base/conversions.h"

namespace pelorin {

namespace {

bool isLowerOrDigit(char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// "Euler (End points)" gives "euler-end-points".
std::string captionWords(std::string_view caption) {
    std::string words;
    bool gap = false;
    for (char c : caption) {
        c = lower(c);
        if (!isLowerOrDigit(c)) {
            gap = true;
            continue;
        }
        if (gap && !words.empty()) words += '-';
        gap = false;
        words += c;
    }
    return words;
}

// h as the list writes it, in file-name characters: "1E-05" gives "1e-05",
// "1.5E+20" gives "1.5e20".
std::string stepWords(double h) {
    std::string words;
    for (char c : numberToText(h)) {
        if (c != '+') words += lower(c);
    }
    return words;
}

}  // namespace

TextTable resultsTable(const std::vector<std::string>& lines,
                       const std::vector<ListBlock>& blocks) {
    constexpr std::string_view blank = " ";       // the lines around a heading
    constexpr std::string_view between = "    ";  // how a step line joins x and y
    TextTable table{{"run", "method", "h", "x", "y"}, {}};
    std::size_t run = 0;
    std::string method, h;
    for (const std::string& line : lines) {
        if (line == blank) continue;
        const std::size_t join = line.find(between);
        if (join == std::string::npos) {
            // A heading opens the next block; no heading holds four blanks.
            method = line;
            ++run;
            const bool known = run <= blocks.size() && blocks[run - 1].h;
            h = known ? numberToText(*blocks[run - 1].h) : std::string();
            continue;
        }
        table.rows.push_back({std::to_string(run), method, h, line.substr(0, join),
                              line.substr(join + between.size())});
    }
    return table;
}

std::string suggestedFileName(const Method* method, std::optional<double> h,
                              std::string_view contents, std::string_view suffix) {
    std::string name;
    if (method) {
        name = captionWords(method->caption) + '-';
        if (h) name += 'h' + stepWords(*h) + '-';
    }
    return name + std::string(contents) + std::string(suffix);
}

std::string suggestedLabFileName(std::string_view problem, std::string_view page,
                                 const Method* method, std::optional<double> h,
                                 std::string_view contents, std::string_view suffix) {
    const std::string_view shortName = problem.substr(0, problem.find(':'));
    std::string name;
    for (std::string_view part : {shortName, page}) {
        const std::string words = captionWords(part);
        if (!words.empty()) name += words + '-';
    }
    return name + suggestedFileName(method, h, captionWords(contents), suffix);
}

}  // namespace pelorin
