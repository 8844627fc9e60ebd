// Reading the parameters box, "a = 2/3, b = 4/3", strictly: each item a
// name, "=" and a formula of numbers and the parameters before it.
#include "problem/formula.h"
#include "problem/system.h"

#include "base/utf8.h"
#include "base/words.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace pelorin {

namespace {

constexpr std::size_t nowhere = std::string::npos;
constexpr std::string_view writeItems = ": write name = value, as in a = 2/3";

// One item of the box: [begin, end) in the text, between commas.
struct Item {
    std::size_t begin, end;
};

// The items between the commas outside parentheses, so that a value may
// hold max(a, 1).
std::vector<Item> itemsOf(std::string_view text) {
    std::vector<Item> items;
    int depth = 0;
    std::size_t begin = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '(') ++depth;
        if (text[i] == ')') --depth;
        if (text[i] == ',' && depth <= 0) {
            items.push_back({begin, i});
            begin = i + 1;
        }
    }
    items.push_back({begin, text.size()});
    return items;
}

// Names the formulas of a problem give another meaning, and what it is.
struct ReservedName {
    bool (*matches)(std::string_view name);
    std::string_view is;
};
constexpr ReservedName reservedNames[] = {
    {[](std::string_view n) { return n == "x"; }, " is the abscissa"},
    {isStartName, " is a start of the solution"},
    {isComponentName, " is a component of the solution"},
    {[](std::string_view n) { return n == "yp"; }, " is y' in a second-order equation"},
    {[](std::string_view n) { return n == "pi" || n == "e"; }, " is a constant"},
};

// The longest name muparser reads.
constexpr std::size_t longestName = 100;

struct ParameterReader {
    const ReadText& text;
    const std::vector<Item>& items;
    const mu::Parser& functions;  // a parser, for the names of its functions
    std::vector<Parameter> values;
    std::vector<std::size_t> places;  // where each parameter's name stands

    FormulaError refused(const std::string& words, std::size_t at) const {
        return {std::string(parametersBoxName) + ": " + words, at == nowhere ? 0 : at + 1};
    }

    std::string quote(std::size_t begin, std::size_t end) const { return quoted(text, begin, end); }

    std::size_t firstNonBlank(std::size_t begin, std::size_t end) const {
        while (begin < end && text.parsed[begin] == ' ') ++begin;
        return begin;
    }
    std::size_t lastNonBlankEnd(std::size_t begin, std::size_t end) const {
        while (end > begin && text.parsed[end - 1] == ' ') --end;
        return end;
    }

    std::optional<FormulaError> emptyItem(std::size_t index) const {
        const Item& item = items[index];
        if (index + 1 < items.size()) {
            return refused("\",\"" + atCharacter(item.end) + " has no item before it" +
                               std::string(writeItems),
                           item.end);
        }
        return refused("\",\"" + atCharacter(item.begin - 1) + " has no item after it" +
                           std::string(writeItems),
                       item.begin - 1);
    }

    std::optional<FormulaError> nameRefused(std::size_t begin, std::size_t end) const {
        const std::string_view name = std::string_view(text.parsed).substr(begin, end - begin);
        const bool isName = isNameStart(name[0]) && std::all_of(name.begin(), name.end(), isNamePart);
        const std::string said = quote(begin, end) + atCharacter(begin);
        if (!isName) {
            return refused(said + " is not a name: a name is a letter followed by letters, digits "
                                  "or \"_\"",
                           begin);
        }
        if (name.size() > longestName) {
            return refused("the name" + atCharacter(begin) + " has " + std::to_string(name.size()) +
                               " characters; a name may have at most " + std::to_string(longestName),
                           begin);
        }
        const std::string named(name);
        for (const ReservedName& reserved : reservedNames) {
            if (reserved.matches(name)) {
                return refused(said + " cannot name a parameter: " + named + std::string(reserved.is),
                               begin);
            }
        }
        if (functions.GetFunDef().count(named) > 0) {
            return refused(said + " cannot name a parameter: " + named + " is a function", begin);
        }
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (values[i].name == named) {
                return refused(said + " is given twice: it is given first" + atCharacter(places[i]),
                               begin);
            }
        }
        return std::nullopt;
    }

    // What a value may use: numbers and the parameters before it; a name
    // given after it is told so.
    FormulaBox valueBox(const std::string& name, std::size_t index) const {
        std::vector<std::string> earlier;
        for (const Parameter& parameter : values) earlier.push_back(parameter.name);
        std::vector<std::string> uses{"numbers", "pi", "e"};
        if (!earlier.empty()) {
            uses.push_back((earlier.size() == 1 ? "the parameter " : "the parameters ") +
                           listedInWords(earlier));
        }
        std::vector<std::string> later;
        for (std::size_t i = index + 1; i < items.size(); ++i) later.push_back(nameOf(items[i]));
        FormulaBox box{std::string(parametersBoxName),
                       "the value of " + name + " may use " + listedInWords(uses), "a = 2/3"};
        box.notKnown = [later, variables = box.variables](std::string_view unknown) {
            const bool givenLater = std::find(later.begin(), later.end(), unknown) != later.end();
            return givenLater ? std::string(unknown) + " is given after this value: give it first"
                              : variables;
        };
        return box;
    }

    // The name an item gives, or nothing where it gives none.
    std::string nameOf(const Item& item) const {
        const std::size_t equals = text.parsed.find('=', item.begin);
        if (equals >= item.end) return {};
        const std::size_t begin = firstNonBlank(item.begin, equals);
        return text.parsed.substr(begin, lastNonBlankEnd(begin, equals) - begin);
    }

    // The text with everything but [begin, end) blanked, so that the value
    // is parsed where it stands and every place is a place in the box.
    ReadText onlyValue(std::size_t begin, std::size_t end) const {
        ReadText value = text;
        for (std::size_t i = 0; i < value.parsed.size(); ++i) {
            if (i >= begin && i < end) continue;
            value.parsed[i] = ' ';
            value.typed[i] = " ";
        }
        return value;
    }

    std::optional<FormulaError> read(std::size_t index) {
        const Item& item = items[index];
        const std::size_t first = firstNonBlank(item.begin, item.end);
        if (first == item.end) return emptyItem(index);
        const std::size_t equals = text.parsed.find('=', first);
        if (equals >= item.end) {
            std::size_t headEnd = first + 1;
            while (isNameStart(text.parsed[first]) && headEnd < item.end &&
                   isNamePart(text.parsed[headEnd])) {
                ++headEnd;
            }
            return refused(quote(first, headEnd) + atCharacter(first) + " has no \"=\" after it" +
                               std::string(writeItems),
                           first);
        }
        if (equals == first) {
            return refused("\"=\"" + atCharacter(equals) + " has no name before it" +
                               std::string(writeItems),
                           equals);
        }
        const std::size_t nameEnd = lastNonBlankEnd(first, equals);
        if (auto error = nameRefused(first, nameEnd)) return error;
        const std::string name = text.parsed.substr(first, nameEnd - first);
        const std::size_t valueBegin = firstNonBlank(equals + 1, item.end);
        if (valueBegin == item.end) {
            return refused(quote(first, nameEnd) + atCharacter(first) + " has no value after \"=\"" +
                               std::string(writeItems),
                           first);
        }
        if (text.parsed[equals + 1] == '=') {
            return refused("\"==\"" + atCharacter(equals) + " compares two values: a parameter is "
                           "given with one \"=\"" + std::string(writeItems),
                           equals);
        }
        const ReadText value = onlyValue(equals + 1, item.end);
        if (const std::size_t second = assignmentAt(value.parsed); second != nowhere) {
            return refused("\"=\"" + atCharacter(second) + " begins another parameter: separate "
                           "parameters with \",\", as in a = 2/3, b = 4/3",
                           second);
        }
        mu::Parser parser;
        if (auto error = parseFormula(parser, value, valueBox(name, index), {}, values)) return error;
        const double number = parser.Eval();
        if (!std::isfinite(number)) {
            return refused("the value of " + quote(first, nameEnd) + atCharacter(valueBegin) +
                               " is not a finite number",
                           valueBegin);
        }
        values.push_back({name, number});
        places.push_back(first);
        return std::nullopt;
    }
};

}  // namespace

ParametersReading readParameters(std::string_view typed) {
    const std::size_t characters = characterCount(typed);
    if (characters > maxFormulaCharacters) {
        return {std::nullopt,
                {std::string(parametersBoxName) + ": the text has " + std::to_string(characters) +
                     " characters; the box may hold at most " + std::to_string(maxFormulaCharacters),
                 0}};
    }
    if (typed.find_first_not_of(" \t") == std::string_view::npos) {
        return {Parameters{std::string(typed), {}}, {}};
    }
    const FormulaBox box{std::string(parametersBoxName), "", ""};
    ReadText text;
    if (auto error = readFormulaText(typed, box, text)) return {std::nullopt, std::move(*error)};
    const std::vector<Item> items = itemsOf(text.parsed);
    const mu::Parser functions;
    ParameterReader reader{text, items, functions, {}, {}};
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (auto error = reader.read(i)) return {std::nullopt, std::move(*error)};
    }
    return {Parameters{std::string(typed), std::move(reader.values)}, {}};
}

}  // namespace pelorin
