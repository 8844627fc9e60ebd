// Writing and reading problem files, checking every part of what is read.
#include "problem/problem_file.h"

#include "base/utf8.h"
#include "base/words.h"
#include "problem/system.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <variant>
#include <vector>

namespace pelorin {

namespace {

using Json = nlohmann::json;

// A member that holds a text of `Texts`, and the most characters it may have.
template <typename Texts>
struct TextMember {
    std::string_view key;
    std::string Texts::*text;
    std::size_t maxCharacters;
};

// The members that hold the problem's texts, in the order they are written.
constexpr std::array<TextMember<ProblemText>, 6> textMembers{{
    {"name", &ProblemText::name, maxProblemNameCharacters},
    {"f", &ProblemText::f, maxFormulaCharacters},
    {"exact", &ProblemText::exact, maxFormulaCharacters},
    {"x0", &ProblemText::x0, maxProblemNumberCharacters},
    {"y0", &ProblemText::y0, maxProblemNumberCharacters},
    {"x1", &ProblemText::x1, maxProblemNumberCharacters},
}};
// A system's or y'' = f's: its place, the rest being the form's own.
constexpr std::array<TextMember<ProblemText>, 3> nameAndInterval{{
    textMembers[0], textMembers[3], textMembers[5]}};

// The lesson's texts, written after the problem's and its method, in this
// order.
struct LessonText {
    std::string_view key;
    std::string LessonSettings::*text;
};
constexpr std::string_view methodKey = "method", kindKey = "tolerance kind",
                           perUnitStepKey = "error per unit step";
// The multistep methods' members, which files written before them lack.
constexpr std::string_view startKey = "start with", solutionStart = "exact or reference solution";
constexpr std::array<LessonText, 2> coefficientTexts{{
    {"alpha", &LessonSettings::alpha},
    {"beta", &LessonSettings::beta},
}};
// The own Runge-Kutta method's boxes, which a file holds where a teacher
// typed a tableau: "own tableau": {"c": [...], "a": [[...], ...], "b": [...],
// "embedded b": [...]}, every entry a text as typed.
constexpr std::string_view tableauKey = "own tableau";
// The sets of methods the pages compare, which a file holds only where
// they are not the defaults.
constexpr std::string_view comparedKey = "compared methods", sideBySideKey = "side by side with h";
constexpr std::array<LessonText, 6> lessonTexts{{
    {"h", &LessonSettings::h},
    {"page", &LessonSettings::page},
    {"tolerance", &LessonSettings::tolerance},
    {"safety factor", &LessonSettings::safetyFactor},
    {"largest growth", &LessonSettings::largestGrowth},
    {"smallest shrink", &LessonSettings::smallestShrink},
}};

// Version 3's members beyond a single equation's. A system's components
// are a list of objects, each with these members in this order; y'' = f's
// texts take the place of the equation's f, exact and y0.
constexpr std::string_view formKey = "form", componentsKey = "components",
                           parametersKey = "parameters", invariantKey = "invariant";
constexpr std::array<std::pair<ProblemForm, std::string_view>, 3> formNames{{
    {ProblemForm::equation, "equation"},
    {ProblemForm::system, "system"},
    {ProblemForm::secondOrder, "second order"},
}};
constexpr std::array<TextMember<ComponentText>, 3> componentMembers{{
    {"slope", &ComponentText::slope, maxFormulaCharacters},
    {"start", &ComponentText::start, maxProblemNumberCharacters},
    {"exact", &ComponentText::exact, maxFormulaCharacters},
}};
constexpr std::array<TextMember<SecondOrderText>, 4> secondOrderMembers{{
    {"y''", &SecondOrderText::f, maxFormulaCharacters},
    {"y(x0)", &SecondOrderText::y0, maxProblemNumberCharacters},
    {"y'(x0)", &SecondOrderText::slope0, maxProblemNumberCharacters},
    {"exact", &SecondOrderText::exact, maxFormulaCharacters},
}};
constexpr std::size_t minComponents = 2;

constexpr std::array<std::pair<ToleranceParts, std::string_view>, 3> toleranceKinds{{
    {ToleranceParts::absoluteAndRelative, "absolute and relative"},
    {ToleranceParts::absoluteOnly, "absolute only"},
    {ToleranceParts::relativeOnly, "relative only"},
}};

// A control character other than the tab a box may hold, as a message
// shows it ("\x07"); none when there is none.
std::optional<std::string> controlCharacter(std::string_view text) {
    static constexpr char hex[] = "0123456789ABCDEF";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7F) {
            return std::string("\\x") + hex[byte >> 4] + hex[byte & 0xF];
        }
    }
    return std::nullopt;
}

std::string lineAndColumn(std::string_view bytes, std::size_t offset) {
    std::size_t line = 1, column = 1;
    for (std::size_t i = 0; i < offset && i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ++line;
            column = 1;
        } else if ((static_cast<unsigned char>(bytes[i]) & 0xC0) != 0x80) {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

ProblemFileReading refused(std::string why) {
    return {std::nullopt, std::nullopt, std::move(why)};
}

std::string quotedKey(std::string_view key) { return "\"" + std::string(key) + "\""; }

// The text of member `key` of the file, or of its component (counted from
// 1; 0 for the file itself), checked for its type, length and characters;
// or the sentence that refuses the file.
struct TextReading {
    std::string text;
    std::string error;
};
TextReading readText(const Json& file, std::string_view key, std::size_t maxCharacters,
                     std::size_t component = 0) {
    const std::string ofComponent =
        component == 0 ? "" : " of component " + std::to_string(component);
    const std::string quoted = quotedKey(key) + ofComponent;
    const auto value = file.find(std::string(key));
    if (value == file.end()) {
        const std::string owner =
            component == 0 ? "The problem file" : "The problem file's component " +
                                                      std::to_string(component);
        return {{}, owner + " has no " + quotedKey(key) + " member."};
    }
    if (!value->is_string()) {
        return {{}, "The problem file's " + quoted +
                        " is not a text in quotes (numbers too are kept as typed, as in "
                        "\"x0\": \"0.5\")."};
    }
    const std::string& text = value->get_ref<const std::string&>();
    const std::size_t characters = characterCount(text);
    if (characters > maxCharacters) {
        return {{}, "The problem file's " + quoted + " has " + std::to_string(characters) +
                        " characters; it may have at most " + std::to_string(maxCharacters) + "."};
    }
    if (const auto control = controlCharacter(text)) {
        return {{}, "The problem file's " + quoted + " holds a control character (" + *control +
                        ")."};
    }
    return {text, {}};
}

// The texts of `members` into `texts`; the sentence that refuses the file
// when one fails.
template <typename Texts, std::size_t count>
std::optional<std::string> readTexts(const Json& object,
                                     const std::array<TextMember<Texts>, count>& members,
                                     Texts& texts, std::size_t component = 0) {
    for (const TextMember<Texts>& member : members) {
        TextReading read = readText(object, member.key, member.maxCharacters, component);
        if (!read.error.empty()) return std::move(read.error);
        texts.*member.text = std::move(read.text);
    }
    return std::nullopt;
}

// A member whose text must be one of `names`: its index there, or the
// sentence that refuses the file and lists them.
std::variant<std::size_t, std::string> readChoice(const Json& file, std::string_view key,
                                                  const std::vector<std::string_view>& names) {
    const TextReading read = readText(file, key, maxProblemNumberCharacters);
    if (!read.error.empty()) return read.error;
    const auto found = std::find(names.begin(), names.end(), read.text);
    if (found != names.end()) return static_cast<std::size_t>(found - names.begin());
    std::string listed;
    for (std::string_view name : names) {
        listed += (listed.empty() ? "\"" : ", \"") + std::string(name) + "\"";
    }
    return "The problem file's " + quotedKey(key) + " \"" + read.text + "\" is not one of " + listed +
           ".";
}

std::vector<std::string_view> methodCaptions() {
    std::vector<std::string_view> captions;
    for (const Method& method : labCatalogue()) captions.push_back(method.caption);
    return captions;
}

template <typename Choice, std::size_t count>
std::vector<std::string_view> choiceNames(
    const std::array<std::pair<Choice, std::string_view>, count>& choices) {
    std::vector<std::string_view> names;
    for (const auto& [choice, name] : choices) names.push_back(name);
    return names;
}

// The sets' members, where the file has them; a sentence when one fails.
std::string readMethodSets(const Json& file, LessonSettings& lesson) {
    if (file.contains(std::string(comparedKey))) {
        std::vector<std::string_view> captions;
        for (const MethodSetEntry& entry : methodSets()) captions.push_back(entry.caption);
        const auto compared = readChoice(file, comparedKey, captions);
        if (const auto* error = std::get_if<std::string>(&compared)) return *error;
        lesson.comparedMethods = methodSets()[std::get<std::size_t>(compared)].set;
    }
    if (file.contains(std::string(sideBySideKey))) {
        std::vector<std::string_view> captions;
        for (MethodSet set : sideBySideMethodSets) captions.push_back(methodSetEntry(set).caption);
        const auto shown = readChoice(file, sideBySideKey, captions);
        if (const auto* error = std::get_if<std::string>(&shown)) return *error;
        lesson.sideBySide = sideBySideMethodSets[std::get<std::size_t>(shown)];
    }
    return {};
}

// One entry of the own tableau, as readText reads a member.
std::optional<std::string> readEntry(const Json& value, const std::string& where,
                                     std::string& text) {
    const std::string quoted = "The problem file's " + quotedKey(tableauKey) + " " + where;
    if (!value.is_string()) return quoted + " is not a text in quotes.";
    text = value.get<std::string>();
    if (const std::size_t characters = characterCount(text);
        characters > maxProblemNumberCharacters) {
        return quoted + " has " + std::to_string(characters) + " characters; it may have at most " +
               std::to_string(maxProblemNumberCharacters) + ".";
    }
    if (const auto control = controlCharacter(text)) {
        return quoted + " holds a control character (" + *control + ").";
    }
    return std::nullopt;
}

// A list of `count` entries of the own tableau, one for each stage.
std::optional<std::string> readEntries(const Json& list, const std::string& where,
                                       std::size_t count, std::vector<std::string>& texts) {
    const std::string quoted = "The problem file's " + quotedKey(tableauKey) + " " + where;
    if (!list.is_array()) return quoted + " is not a list of texts.";
    if (list.size() != count) {
        return quoted + " has " + std::to_string(list.size()) + " entries for " +
               std::to_string(count) + " stages: a tableau is square.";
    }
    for (std::size_t i = 0; i < count; ++i) {
        texts.emplace_back();
        const std::string entry = where + " entry " + std::to_string(i + 1);
        if (auto error = readEntry(list[i], entry, texts.back())) return error;
    }
    return std::nullopt;
}

std::variant<TableauTexts, std::string> readTableauTexts(const Json& tableau) {
    const std::string quoted = "The problem file's " + quotedKey(tableauKey);
    if (!tableau.is_object() || !tableau.contains("c") || !tableau.contains("a") ||
        !tableau.contains("b")) {
        return quoted + " is not an object with the lists \"c\", \"a\" and \"b\".";
    }
    const Json& c = tableau["c"];
    const std::size_t stages = c.is_array() ? c.size() : 0;
    if (stages < 1 || stages > static_cast<std::size_t>(maxStages)) {
        return quoted + " \"c\" is not a list of 1 to " + std::to_string(maxStages) + " texts.";
    }
    TableauTexts texts;
    if (auto error = readEntries(c, "\"c\"", stages, texts.c)) return *error;
    if (auto error = readEntries(tableau["b"], "\"b\"", stages, texts.b)) return *error;
    const Json& a = tableau["a"];
    if (!a.is_array() || a.size() != stages) {
        return quoted + " \"a\" is not a list of " + std::to_string(stages) +
               " rows: a tableau is square.";
    }
    for (std::size_t i = 0; i < stages; ++i) {
        texts.a.emplace_back();
        const std::string row = "\"a\" row " + std::to_string(i + 1);
        if (auto error = readEntries(a[i], row, stages, texts.a.back())) return *error;
    }
    if (tableau.contains("embedded b")) {
        if (auto error = readEntries(tableau["embedded b"], "\"embedded b\"", stages,
                                     texts.embedded)) {
            return *error;
        }
    }
    return texts;
}

// The lesson's members of a version 2 file; a sentence when one fails.
std::variant<LessonSettings, std::string> readLesson(const Json& file) {
    LessonSettings lesson;
    for (const LessonText& member : lessonTexts) {
        TextReading read = readText(file, member.key, maxProblemNumberCharacters);
        if (!read.error.empty()) return read.error;
        lesson.*member.text = std::move(read.text);
    }
    const auto method = readChoice(file, methodKey, methodCaptions());
    if (const auto* error = std::get_if<std::string>(&method)) return *error;
    lesson.method = std::get<std::size_t>(method);
    const auto kind = readChoice(file, kindKey, choiceNames(toleranceKinds));
    if (const auto* error = std::get_if<std::string>(&kind)) return *error;
    lesson.toleranceKind = toleranceKinds[std::get<std::size_t>(kind)].first;
    const auto perUnitStep = file.find(std::string(perUnitStepKey));
    if (perUnitStep == file.end()) return "The problem file has no \"error per unit step\" member.";
    if (!perUnitStep->is_boolean()) {
        return std::string("The problem file's \"error per unit step\" is not true or false.");
    }
    lesson.errorPerUnitStep = perUnitStep->get<bool>();
    if (file.contains(std::string(startKey))) {
        std::vector<std::string_view> starts;
        for (std::size_t row : oneStepRows()) starts.push_back(labCatalogue()[row].caption);
        starts.push_back(solutionStart);
        const auto start = readChoice(file, startKey, starts);
        if (const auto* error = std::get_if<std::string>(&start)) return *error;
        const std::size_t chosen = std::get<std::size_t>(start);
        lesson.start = chosen < oneStepRows().size() ? std::optional(oneStepRows()[chosen]) : std::nullopt;
    }
    for (const LessonText& member : coefficientTexts) {
        if (!file.contains(std::string(member.key))) continue;
        TextReading read = readText(file, member.key, maxProblemNumberCharacters);
        if (!read.error.empty()) return read.error;
        lesson.*member.text = std::move(read.text);
    }
    if (file.contains(std::string(tableauKey))) {
        auto tableau = readTableauTexts(file[std::string(tableauKey)]);
        if (const auto* error = std::get_if<std::string>(&tableau)) return *error;
        lesson.tableau = std::move(std::get<TableauTexts>(tableau));
    }
    if (const std::string error = readMethodSets(file, lesson); !error.empty()) return error;
    return lesson;
}

}  // namespace

std::string_view toleranceKindName(ToleranceParts kind) {
    for (const auto& [each, name] : toleranceKinds) {
        if (each == kind) return name;
    }
    return toleranceKinds.front().second;
}

namespace {

using OrderedJson = nlohmann::ordered_json;

template <typename Texts, std::size_t count>
void writeTexts(OrderedJson& object, const std::array<TextMember<Texts>, count>& members,
                const Texts& texts) {
    for (const TextMember<Texts>& member : members) {
        object[std::string(member.key)] = texts.*member.text;
    }
}

// A single equation with neither parameters nor invariant is what version 2
// holds, and it is written as before; anything more needs version 3.
bool needsVersion3(const ProblemText& problem) {
    return problem.form != ProblemForm::equation || !problem.parameters.empty() ||
           !problem.invariant.empty();
}

// Version 3's problem: the name, the form, the form's texts, the interval,
// the parameters and the invariant.
void writeProblem(OrderedJson& file, const ProblemText& problem) {
    file["name"] = problem.name;
    for (const auto& [form, name] : formNames) {
        if (form == problem.form) file[std::string(formKey)] = name;
    }
    if (problem.form == ProblemForm::equation) {
        writeTexts(file, textMembers, problem);  // the name, written again, keeps its place
    } else if (problem.form == ProblemForm::system) {
        OrderedJson& components = file[std::string(componentsKey)] = OrderedJson::array();
        for (const ComponentText& component : problem.components) {
            OrderedJson& written = components.emplace_back(OrderedJson::object());
            writeTexts(written, componentMembers, component);
        }
        writeTexts(file, nameAndInterval, problem);
    } else {
        writeTexts(file, secondOrderMembers, problem.secondOrder);
        writeTexts(file, nameAndInterval, problem);
    }
    file[std::string(parametersKey)] = problem.parameters;
    file[std::string(invariantKey)] = problem.invariant;
}

}  // namespace

std::string writeProblemFile(const ProblemText& problem, const LessonSettings& lesson) {
    OrderedJson file;
    file["format"] = problemFileFormat;
    if (needsVersion3(problem)) {
        file["version"] = problemFileVersion;
        writeProblem(file, problem);
    } else {
        file["version"] = equationFileVersion;
        writeTexts(file, textMembers, problem);
    }
    file[std::string(methodKey)] = labCatalogue()[lesson.method].caption;
    for (const LessonText& member : lessonTexts) {
        file[std::string(member.key)] = lesson.*member.text;
        // The kind and the check box right after the tolerance they qualify.
        if (member.text == &LessonSettings::tolerance) {
            file[std::string(kindKey)] = toleranceKindName(lesson.toleranceKind);
            file[std::string(perUnitStepKey)] = lesson.errorPerUnitStep;
        }
    }
    // A lesson of a multistep method says how it starts and, for the own
    // one, its coefficients; the others' files stay as they were.
    if (isMultistep(labCatalogue()[lesson.method])) {
        file[std::string(startKey)] =
            lesson.start ? labCatalogue()[*lesson.start].caption : solutionStart;
        for (const LessonText& member : coefficientTexts) {
            file[std::string(member.key)] = lesson.*member.text;
        }
    }
    if (lesson.tableau) {
        OrderedJson& tableau = file[std::string(tableauKey)];
        tableau["c"] = lesson.tableau->c;
        tableau["a"] = lesson.tableau->a;
        tableau["b"] = lesson.tableau->b;
        if (!lesson.tableau->embedded.empty()) tableau["embedded b"] = lesson.tableau->embedded;
    }
    if (lesson.comparedMethods != MethodSet::every) {
        file[std::string(comparedKey)] = methodSetEntry(lesson.comparedMethods).caption;
    }
    if (lesson.sideBySide) {
        file[std::string(sideBySideKey)] = methodSetEntry(*lesson.sideBySide).caption;
    }
    // Readable in any editor: two-space indents, UTF-8 kept as it is.
    return file.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

namespace {

// Why the bytes cannot be a problem file before they are parsed: too many,
// only blanks, or not UTF-8 text. None when they may be one.
std::optional<std::string> bytesRefusal(std::string_view bytes) {
    if (bytes.size() > maxProblemFileBytes) {
        return "The file is too large for a problem file (" + std::to_string(bytes.size()) +
               " bytes; a problem file has at most " + std::to_string(maxProblemFileBytes) + ").";
    }
    if (bytes.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        return "The file is empty: it holds no problem.";
    }
    if (const auto bad = firstIllFormedByte(bytes)) {
        return "The file is not a problem file: it is not UTF-8 text (at " +
               lineAndColumn(bytes, *bad) + ").";
    }
    return std::nullopt;
}

// The bytes parsed as one JSON object, or why they are not one.
std::variant<Json, std::string> parseObject(std::string_view bytes) {
    Json file;
    try {
        file = Json::parse(bytes);
    } catch (const Json::parse_error& error) {
        if (error.byte > bytes.size()) {
            return std::string("The file ends too early, as if it had been cut off: it is not "
                               "a whole problem file.");
        }
        return "The file is not a problem file: it is not valid JSON (at " +
               lineAndColumn(bytes, error.byte == 0 ? 0 : error.byte - 1) + ").";
    } catch (const Json::exception&) {
        // A number too large for the parser's types.
        return std::string(
            "The file is not a problem file: it holds a number no problem file holds.");
    }
    if (!file.is_object()) {
        return std::string("The file is not a problem file: it holds no JSON object.");
    }
    return file;
}

// The format's name and the version, from 1 to the one this program writes,
// or why the file is not one this program reads.
std::variant<std::uint64_t, std::string> readVersion(const Json& file) {
    const auto format = file.find("format");
    if (format == file.end() || !format->is_string() ||
        format->get_ref<const std::string&>() != problemFileFormat) {
        return "The file is not a problem file: its \"format\" is not \"" +
               std::string(problemFileFormat) + "\".";
    }
    const std::string thisVersion = std::to_string(problemFileVersion);
    const auto version = file.find("version");
    if (version == file.end()) return "The problem file has no \"version\" member.";
    if (!version->is_number_integer()) {
        return "The problem file's \"version\" is not a whole number.";
    }
    if (version->is_number_unsigned() && version->get<std::uint64_t>() > problemFileVersion) {
        return "This file was written by a newer Pelorin (format version " +
               std::to_string(version->get<std::uint64_t>()) + "); this one reads version " +
               thisVersion + ".";
    }
    if (!version->is_number_unsigned() || version->get<std::uint64_t>() < 1) {
        return "The problem file's version " + version->dump() +
               " is not one Pelorin writes; this one reads version " + thisVersion + ".";
    }
    return version->get<std::uint64_t>();
}

std::string componentCount(std::size_t count) {
    return countText(static_cast<long>(count), "component", "components");
}

// A system's components, each an object of texts; or why they are not.
std::variant<std::vector<ComponentText>, std::string> readComponents(const Json& file) {
    const std::string quoted = quotedKey(componentsKey);
    const auto list = file.find(std::string(componentsKey));
    if (list == file.end()) return "The problem file has no " + quoted + " member.";
    if (!list->is_array()) {
        return "The problem file's " + quoted + " is not a list of components in [ ].";
    }
    if (list->size() < minComponents || list->size() > maxComponents) {
        return "The problem file's " + quoted + " holds " + componentCount(list->size()) +
               "; a system has from " + std::to_string(minComponents) + " to " +
               std::to_string(maxComponents) + ".";
    }
    std::vector<ComponentText> components(list->size());
    for (std::size_t k = 1; k <= components.size(); ++k) {
        const Json& component = (*list)[k - 1];
        if (!component.is_object()) {
            return "The problem file's component " + std::to_string(k) +
                   " is not a group of members in { }.";
        }
        if (auto error = readTexts(component, componentMembers, components[k - 1], k)) {
            return std::move(*error);
        }
    }
    return components;
}

// A version 3 file's problem: its form and the form's texts, the interval,
// the parameters and the invariant; the sentence that refuses the file when
// one fails.
std::optional<std::string> readProblem(const Json& file, ProblemText& problem) {
    const auto form = readChoice(file, formKey, choiceNames(formNames));
    if (const auto* error = std::get_if<std::string>(&form)) return *error;
    problem.form = formNames[std::get<std::size_t>(form)].first;
    if (problem.form == ProblemForm::equation) {
        if (auto error = readTexts(file, textMembers, problem)) return error;
    } else {
        if (auto error = readTexts(file, nameAndInterval, problem)) return error;
    }
    if (problem.form == ProblemForm::system) {
        auto components = readComponents(file);
        if (auto* error = std::get_if<std::string>(&components)) return std::move(*error);
        problem.components = std::get<std::vector<ComponentText>>(std::move(components));
    } else if (problem.form == ProblemForm::secondOrder) {
        if (auto error = readTexts(file, secondOrderMembers, problem.secondOrder)) return error;
    }
    for (const auto& [key, text] : {std::pair{parametersKey, &problem.parameters},
                                    std::pair{invariantKey, &problem.invariant}}) {
        TextReading read = readText(file, key, maxFormulaCharacters);
        if (!read.error.empty()) return std::move(read.error);
        *text = std::move(read.text);
    }
    return std::nullopt;
}

}  // namespace

ProblemFileReading readProblemFile(std::string_view bytes) {
    if (auto why = bytesRefusal(bytes)) return refused(std::move(*why));
    auto parsed = parseObject(bytes);
    if (auto* error = std::get_if<std::string>(&parsed)) return refused(std::move(*error));
    const Json& file = std::get<Json>(parsed);
    auto version = readVersion(file);
    if (auto* error = std::get_if<std::string>(&version)) return refused(std::move(*error));

    ProblemText problem;
    if (std::get<std::uint64_t>(version) < 3) {
        if (auto error = readTexts(file, textMembers, problem)) return refused(std::move(*error));
    } else if (auto error = readProblem(file, problem)) {
        return refused(std::move(*error));
    }
    if (std::get<std::uint64_t>(version) == 1) {
        return {std::move(problem), std::nullopt, {}};
    }
    auto lesson = readLesson(file);
    if (auto* error = std::get_if<std::string>(&lesson)) return refused(std::move(*error));
    return {std::move(problem), std::get<LessonSettings>(std::move(lesson)), {}};
}

}  // namespace pelorin
