// Reading typed formulas into muparser, and saying in words what is wrong
// with one that does not compile.
#include "problem/expression.h"
#include "problem/formula.h"

#include "base/conversions.h"
#include "base/utf8.h"

#include <numbers>
#include <vector>

namespace pelorin {

namespace {

constexpr std::size_t nowhere = std::string::npos;

// Characters as typed that a formula reads as another: pasted minus and
// multiplication signs.
char asciiFor(std::string_view character) {
    if (character.size() == 1) {
        const char c = character[0];
        if (c == '\t') return ' ';
        const auto byte = static_cast<unsigned char>(c);
        return byte >= 0x20 && byte < 0x7F ? c : '\0';
    }
    if (character == "\u2212") return '-';
    if (character == "\u00d7" || character == "\u00b7") return '*';
    return '\0';
}

std::string escaped(std::string_view character) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string text;
    for (char c : character) {
        const auto byte = static_cast<unsigned char>(c);
        text += "\\x";
        text += hex[byte >> 4];
        text += hex[byte & 0xF];
    }
    return text;
}

// The end of the token that starts at `at`: a name, a number (with its
// exponent, however malformed), or one character.
std::size_t tokenEnd(std::string_view text, std::size_t at) {
    std::size_t end = at;
    if (isNameStart(text[at])) {
        while (end < text.size() && isNamePart(text[end])) ++end;
    } else if (isDigit(text[at]) || text[at] == '.') {
        while (end < text.size() && (isDigit(text[end]) || text[end] == '.')) ++end;
        if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
            ++end;
            if (end < text.size() && (text[end] == '+' || text[end] == '-')) ++end;
            while (end < text.size() && isNamePart(text[end])) ++end;
        }
    } else {
        ++end;
    }
    return end;
}

std::size_t skipBlanks(std::string_view text, std::size_t at) {
    while (at < text.size() && text[at] == ' ') ++at;
    return at;
}

// The first ")" that closes nothing, and the first "(" left open.
std::size_t unmatchedClose(std::string_view text) {
    int depth = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '(') ++depth;
        if (text[i] == ')' && --depth < 0) return i;
    }
    return nowhere;
}

std::size_t unmatchedOpen(std::string_view text) {
    std::vector<std::size_t> open;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '(') open.push_back(i);
        if (text[i] == ')' && !open.empty()) open.pop_back();
    }
    return open.empty() ? nowhere : open.front();
}

// Where the parenthesis that closes just before `at` opens.
std::size_t openingBefore(std::string_view text, std::size_t at) {
    int depth = 0;
    for (std::size_t i = std::min(at, text.size()); i-- > 0;) {
        if (text[i] == ')') ++depth;
        if (text[i] == '(' && --depth == 0) return i;
    }
    return nowhere;
}

// The last place before `before` where `name` is called: name, blanks, "(".
std::size_t callOf(std::string_view text, std::string_view name, std::size_t before) {
    std::size_t found = nowhere;
    for (std::size_t at = text.find(name); at != std::string_view::npos && at < before;
         at = text.find(name, at + 1)) {
        const bool wholeName = (at == 0 || !isNamePart(text[at - 1]));
        const std::size_t after = skipBlanks(text, at + name.size());
        if (wholeName && after < text.size() && text[after] == '(') found = at;
    }
    return found;
}

// What an error says and where.
struct Described {
    std::string words;
    std::size_t at = nowhere;
};

struct ErrorContext {
    const ReadText& text;
    const FormulaBox& box;
    const mu::Parser& parser;
    std::size_t at;     // muparser's position, within the text; nowhere when it gives none
    std::string token;  // muparser's token
};

Described comesWhereAValueShould(const ErrorContext& e) {
    if (e.at == nowhere) return {"a value is missing", nowhere};
    return {quoted(e.text, e.at, tokenEnd(e.text.parsed, e.at)) + atCharacter(e.at) +
                " comes where a value should be",
            e.at};
}

Described notANumber(const ErrorContext& e, std::size_t begin);

Described missingOperator(const ErrorContext& e) {
    if (e.at == nowhere) return {"an operator such as \"*\" is missing between two values", nowhere};
    // A second point inside a number ("1.2.3") reads as a value after a value.
    const std::string_view text = e.text.parsed;
    if (text[e.at] == '.' && e.at > 0 && (isDigit(text[e.at - 1]) || text[e.at - 1] == '.')) {
        std::size_t begin = e.at;
        while (begin > 0 && (isDigit(text[begin - 1]) || text[begin - 1] == '.')) --begin;
        return notANumber(e, begin);
    }
    return {quoted(e.text, e.at, tokenEnd(e.text.parsed, e.at)) + atCharacter(e.at) +
                " follows a value: an operator such as \"*\" is missing before it",
            e.at};
}

Described unknownToken(const ErrorContext& e) {
    if (e.at == nowhere) return {"the formula holds something this program cannot read", nowhere};
    const std::string_view text = e.text.parsed;
    const std::size_t end = tokenEnd(text, e.at);
    const std::string token = quoted(e.text, e.at, end) + atCharacter(e.at);
    const std::string name(text.substr(e.at, end - e.at));
    if (isNameStart(text[e.at])) {
        const std::size_t after = skipBlanks(text, end);
        if (e.parser.GetFunDef().count(name) > 0) {
            return {token + " is a function: write its value in parentheses, as in " + name + "(x)",
                    e.at};
        }
        if (after < text.size() && text[after] == '(') {
            return {token + " is not a function this program knows", e.at};
        }
        return {token + " is not known here: " + (e.box.notKnown ? e.box.notKnown(name) : e.box.variables),
                e.at};
    }
    if (isDigit(text[e.at]) || text[e.at] == '.') return notANumber(e, e.at);
    return {token + " is not part of a formula", e.at};
}

Described notANumber(const ErrorContext& e, std::size_t begin) {
    const std::string_view text = e.text.parsed;
    const std::size_t end = tokenEnd(text, begin);
    const std::string token = quoted(e.text, begin, end) + atCharacter(begin);
    const NumberReading reading = readNumber(text.substr(begin, end - begin));
    if (reading.used == end - begin && !reading.value) {
        return {token + " is too large for a number", begin};
    }
    return {token + " is not a number", begin};
}

Described endsTooEarly(const ErrorContext& e) {
    const std::string_view text = e.text.parsed;
    const std::size_t last = text.find_last_not_of(' ');
    if (last == std::string_view::npos) return {"the formula is empty", nowhere};
    return {"the formula ends too early: a value should follow " + quoted(e.text, last, last + 1) +
                atCharacter(last),
            last};
}

Described separatorOutOfPlace(const ErrorContext& e) {
    const std::size_t at = e.text.parsed.find(',', e.at == nowhere ? 0 : e.at);
    if (at == nowhere) return {"a \",\" is out of place", nowhere};
    return {"\",\"" + atCharacter(at) +
                " is out of place: only a function such as max(x, y) takes several values",
            at};
}

Described valuesWithoutFunction(const ErrorContext& e) {
    const std::size_t open = openingBefore(e.text.parsed, e.at == nowhere ? e.text.parsed.size() : e.at);
    if (open == nowhere) return {"several values stand where one should be", nowhere};
    return {"the parentheses" + atCharacter(open) +
                " hold several values: only a function such as max(x, y) takes several",
            open};
}

Described parenthesisOutOfPlace(const ErrorContext& e) {
    const std::string_view text = e.text.parsed;
    const std::size_t close = unmatchedClose(text);
    if (close != nowhere && (e.at == nowhere || close <= e.at)) {
        return {"\")\"" + atCharacter(close) + " has no \"(\" before it", close};
    }
    if (e.at != nowhere && text[e.at] == '(') return missingOperator(e);
    return comesWhereAValueShould(e);
}

Described parenthesisLeftOpen(const ErrorContext& e) {
    const std::size_t open = unmatchedOpen(e.text.parsed);
    if (open == nowhere) return comesWhereAValueShould(e);
    return {"\"(\"" + atCharacter(open) + " has no \")\" after it", open};
}

Described quotesInFormula(const ErrorContext& e) {
    const std::size_t at = e.text.parsed.find('"');
    return {"a formula holds numbers, not texts in quotes" +
                (at == nowhere ? std::string() : " (see character " + std::to_string(at + 1) + ")"),
            at};
}

Described valueCount(const ErrorContext& e, std::string_view howMany) {
    const std::size_t at = e.token.empty() ? nowhere
                           : callOf(e.text.parsed, e.token,
                                    e.at == nowhere ? e.text.parsed.size() : e.at);
    if (at == nowhere) return {"a function is given " + std::string(howMany) + " values", nowhere};
    return {quoted(e.text, at, at + e.token.size()) + atCharacter(at) + " is given " +
                std::string(howMany) + " values",
            at};
}

Described tooManyValues(const ErrorContext& e) { return valueCount(e, "too many"); }
Described tooFewValues(const ErrorContext& e) { return valueCount(e, "too few"); }

Described conditionWithoutElse(const ErrorContext& e) {
    const std::size_t at = e.text.parsed.find('?');
    if (at == nowhere) return {"a condition has no \":\" part", nowhere};
    return {"\"?\"" + atCharacter(at) +
                " has no \":\" part: write condition ? value : other value",
            at};
}

Described colonWithoutCondition(const ErrorContext& e) {
    const std::size_t at = e.text.parsed.find(':');
    if (at == nowhere) return {"a \":\" has no \"?\" before it", nowhere};
    return {"\":\"" + atCharacter(at) + " has no \"?\" before it", at};
}

Described nameTooLong(const ErrorContext& e) {
    return {"a name" + (e.at == nowhere ? std::string() : atCharacter(e.at)) +
                " is longer than a name may be",
            e.at};
}

using Describe = Described (*)(const ErrorContext&);

// muparser's error codes, each with the sentence that explains it. Codes
// not listed (those the checks before parsing rule out, and any a later
// muparser adds) get the general sentence below.
struct ErrorRow {
    mu::EErrorCodes code;
    Describe describe;
};
constexpr ErrorRow errorRows[] = {
    {mu::ecUNEXPECTED_OPERATOR, comesWhereAValueShould},
    {mu::ecUNASSIGNABLE_TOKEN, unknownToken},
    {mu::ecUNEXPECTED_EOF, endsTooEarly},
    {mu::ecUNEXPECTED_ARG_SEP, separatorOutOfPlace},
    {mu::ecUNEXPECTED_ARG, valuesWithoutFunction},
    {mu::ecUNEXPECTED_VAL, missingOperator},
    {mu::ecUNEXPECTED_VAR, missingOperator},
    {mu::ecUNEXPECTED_PARENS, parenthesisOutOfPlace},
    {mu::ecUNEXPECTED_STR, quotesInFormula},
    {mu::ecSTRING_EXPECTED, quotesInFormula},
    {mu::ecVAL_EXPECTED, quotesInFormula},
    {mu::ecMISSING_PARENS, parenthesisLeftOpen},
    {mu::ecUNEXPECTED_FUN, missingOperator},
    {mu::ecUNTERMINATED_STRING, quotesInFormula},
    {mu::ecTOO_MANY_PARAMS, tooManyValues},
    {mu::ecTOO_FEW_PARAMS, tooFewValues},
    {mu::ecOPRT_TYPE_CONFLICT, quotesInFormula},
    {mu::ecSTR_RESULT, quotesInFormula},
    {mu::ecUNEXPECTED_CONDITIONAL, comesWhereAValueShould},
    {mu::ecMISSING_ELSE_CLAUSE, conditionWithoutElse},
    {mu::ecMISPLACED_COLON, colonWithoutCondition},
    {mu::ecIDENTIFIER_TOO_LONG, nameTooLong},
};

Described describe(const mu::ParserError& error, const ReadText& text, const FormulaBox& box,
                   const mu::Parser& parser) {
    const int position = error.GetPos();
    const std::size_t at =
        position >= 0 && static_cast<std::size_t>(position) < text.parsed.size()
            ? static_cast<std::size_t>(position) : nowhere;
    const ErrorContext context{text, box, parser, at, error.GetToken()};
    for (const ErrorRow& row : errorRows) {
        if (row.code == error.GetCode()) return row.describe(context);
    }
    return {"this is not a formula this program can read" +
                (at == nowhere ? std::string() : " (see character " + std::to_string(at + 1) + ")"),
            at};
}

FormulaError formulaError(const FormulaBox& box, const Described& described) {
    return {box.box + ": " + described.words,
            described.at == nowhere ? 0 : described.at + 1};
}

// Reads the typed text into muparser's alphabet, or says which character
// has no place in a formula.
std::optional<Described> readText(std::string_view typed, ReadText& text) {
    for (std::size_t at = 0; at < typed.size();) {
        const std::size_t wellFormed = wellFormedLength(typed, at);
        const std::size_t length = wellFormed == 0 ? 1 : wellFormed;
        const std::string_view character = typed.substr(at, length);
        const char ascii = asciiFor(character);
        const std::size_t index = text.typed.size();
        if (ascii == '\0') {
            const auto byte = static_cast<unsigned char>(character[0]);
            if (length == 1 && (byte < 0x20 || byte == 0x7F)) {
                return Described{"character " + std::to_string(index + 1) + " is a control character (" +
                                     escaped(character) + "), which a formula cannot hold",
                                 index};
            }
            if (wellFormed == 0) {
                return Described{"character " + std::to_string(index + 1) + " is not text (the byte " +
                                     escaped(character) + ")",
                                 index};
            }
            return Described{"\"" + std::string(character) + "\"" + atCharacter(index) +
                                 " is not part of a formula",
                             index};
        }
        text.typed.emplace_back(character);
        text.parsed += ascii;
        at += length;
    }
    return std::nullopt;
}

// muparser reads "=", "+=", "-=" ... as assigning to a variable, which
// would change the values the formula is evaluated with. Only the
// comparisons "==", "<=", ">=" and "!=" hold an "=".
std::optional<Described> assignment(const ReadText& text) {
    const std::size_t at = assignmentAt(text.parsed);
    if (at == nowhere) return std::nullopt;
    return Described{"\"=\"" + atCharacter(at) +
                         " would change a variable: a formula only computes a value "
                         "(to compare, write \"==\")",
                     at};
}

// muparser reads "a, b" outside a function as two formulas and gives the last.
std::size_t separatorOutsideFunction(std::string_view text) {
    int depth = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '(') ++depth;
        if (text[i] == ')') --depth;
        if (text[i] == ',' && depth == 0) return i;
    }
    return nowhere;
}

// Whether the "y" at `at` is a name of its own: not the end of a longer
// name, though it may follow a number ("2y").
bool isNameY(std::string_view text, std::size_t at) {
    if (text[at] != 'y') return false;
    std::size_t begin = at;
    while (begin > 0 && isNamePart(text[begin - 1])) --begin;
    return begin == at || isDigit(text[begin]);
}

// muparser reads "y'" as y followed by a quote; where the box takes y' for
// yp, the parsed text holds "yp" in the same two places.
void readPrimeAsP(std::string& parsed) {
    for (std::size_t i = 1; i < parsed.size(); ++i) {
        if (parsed[i] == '\'' && isNameY(parsed, i - 1)) parsed[i] = 'p';
    }
}

}  // namespace

std::string atCharacter(std::size_t at) { return " at character " + std::to_string(at + 1); }

std::size_t assignmentAt(std::string_view parsed) {
    for (std::size_t i = 0; i < parsed.size(); ++i) {
        if (parsed[i] != '=') continue;
        const bool comparison = (i + 1 < parsed.size() && parsed[i + 1] == '=') ||
                                (i > 0 && std::string_view("=<>!").find(parsed[i - 1]) != nowhere);
        if (!comparison) return i;
    }
    return nowhere;
}

std::string quoted(const ReadText& text, std::size_t begin, std::size_t end) {
    std::string quote = "\"";
    for (std::size_t i = begin; i < end && i < text.typed.size(); ++i) quote += text.typed[i];
    return quote + "\"";
}

std::optional<FormulaError> readFormulaText(std::string_view typed, const FormulaBox& box,
                                            ReadText& text) {
    if (auto refused = readText(typed, text)) return formulaError(box, *refused);
    if (box.primeReadsAsP) readPrimeAsP(text.parsed);
    return std::nullopt;
}

std::optional<FormulaError> parseFormula(mu::Parser& parser, const ReadText& text,
                                         const FormulaBox& box,
                                         std::span<const BoundVariable> variables,
                                         std::span<const Parameter> parameters) {
    if (auto refused = assignment(text)) return formulaError(box, *refused);
    try {
        // Folding constants or merging a product into a sum would change the
        // last bits: every operation is done as written.
        parser.EnableOptimizer(false);
        parser.ClearConst();
        parser.DefineConst("pi", std::numbers::pi);
        parser.DefineConst("e", std::numbers::e);
        for (const Parameter& parameter : parameters) parser.DefineConst(parameter.name, parameter.value);
        for (const BoundVariable& variable : variables) {
            parser.DefineVar(std::string(variable.name), variable.value);
        }
        parser.SetExpr(text.parsed);
        // muparser parses on the first evaluation.
        parser.Eval();
    } catch (const mu::Parser::exception_type& error) {
        return formulaError(box, describe(error, text, box, parser));
    }
    if (parser.GetNumResults() > 1) {
        const std::size_t at = separatorOutsideFunction(text.parsed);
        return formulaError(box, {"\",\"" + (at == nowhere ? std::string() : atCharacter(at)) +
                                      " separates two formulas: a box holds one",
                                  at});
    }
    return std::nullopt;
}

std::optional<FormulaError> compileFormula(mu::Parser& parser, std::string_view typed,
                                           const FormulaBox& box,
                                           std::span<const BoundVariable> variables,
                                           std::span<const Parameter> parameters) {
    const std::size_t characters = characterCount(typed);
    if (characters > maxFormulaCharacters) {
        return FormulaError{box.box + ": the formula has " + std::to_string(characters) +
                                " characters; a formula may have at most " +
                                std::to_string(maxFormulaCharacters),
                            0};
    }
    if (typed.find_first_not_of(" \t") == std::string_view::npos) {
        return FormulaError{box.box + ": the box is empty: type a formula such as " + box.example, 0};
    }
    ReadText text;
    if (auto refused = readFormulaText(typed, box, text)) return refused;
    return parseFormula(parser, text, box, variables, parameters);
}

}  // namespace pelorin
