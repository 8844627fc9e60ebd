// Writing and reading problem files, checking every part of what is read.
#include "problem/problem_file.h"

#include "problem/utf8.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cstdint>
#include <utility>

namespace pelorin {

namespace {

using Json = nlohmann::json;

// The members that hold the texts, in the order they are written.
struct TextMember {
    std::string_view key;
    std::string ProblemText::*text;
    std::size_t maxCharacters;
};
constexpr std::array<TextMember, 6> textMembers{{
    {"name", &ProblemText::name, maxProblemNameCharacters},
    {"f", &ProblemText::f, maxFormulaCharacters},
    {"exact", &ProblemText::exact, maxFormulaCharacters},
    {"x0", &ProblemText::x0, maxProblemNumberCharacters},
    {"y0", &ProblemText::y0, maxProblemNumberCharacters},
    {"x1", &ProblemText::x1, maxProblemNumberCharacters},
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

ProblemFileReading refused(std::string why) { return {std::nullopt, std::move(why)}; }

std::string quotedKey(std::string_view key) { return "\"" + std::string(key) + "\""; }

}  // namespace

std::string writeProblemFile(const ProblemText& problem) {
    nlohmann::ordered_json file;
    file["format"] = problemFileFormat;
    file["version"] = problemFileVersion;
    for (const TextMember& member : textMembers) file[std::string(member.key)] = problem.*member.text;
    // Readable in any editor: two-space indents, UTF-8 kept as it is.
    return file.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

ProblemFileReading readProblemFile(std::string_view bytes) {
    if (bytes.size() > maxProblemFileBytes) {
        return refused("The file is too large for a problem file (" + std::to_string(bytes.size()) +
                       " bytes; a problem file has at most " + std::to_string(maxProblemFileBytes) +
                       ").");
    }
    if (bytes.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        return refused("The file is empty: it holds no problem.");
    }
    if (const auto bad = firstIllFormedByte(bytes)) {
        return refused("The file is not a problem file: it is not UTF-8 text (at " +
                       lineAndColumn(bytes, *bad) + ").");
    }
    Json file;
    try {
        file = Json::parse(bytes);
    } catch (const Json::parse_error& error) {
        if (error.byte > bytes.size()) {
            return refused("The file ends too early, as if it had been cut off: it is not a whole "
                           "problem file.");
        }
        return refused("The file is not a problem file: it is not valid JSON (at " +
                       lineAndColumn(bytes, error.byte == 0 ? 0 : error.byte - 1) + ").");
    } catch (const Json::exception&) {
        // A number too large for the parser's types.
        return refused("The file is not a problem file: it holds a number no problem file holds.");
    }
    if (!file.is_object()) return refused("The file is not a problem file: it holds no JSON object.");

    const auto format = file.find("format");
    if (format == file.end() || !format->is_string() ||
        format->get_ref<const std::string&>() != problemFileFormat) {
        return refused("The file is not a problem file: its \"format\" is not \"" +
                       std::string(problemFileFormat) + "\".");
    }
    const std::string thisVersion = std::to_string(problemFileVersion);
    const auto version = file.find("version");
    if (version == file.end()) return refused("The problem file has no \"version\" member.");
    if (!version->is_number_integer()) {
        return refused("The problem file's \"version\" is not a whole number.");
    }
    if (version->is_number_unsigned() && version->get<std::uint64_t>() > problemFileVersion) {
        return refused("This file was written by a newer Pelorin (format version " +
                       std::to_string(version->get<std::uint64_t>()) + "); this one reads version " +
                       thisVersion + ".");
    }
    if (!version->is_number_unsigned() || version->get<std::uint64_t>() < 1) {
        return refused("The problem file's version " + version->dump() +
                       " is not one Pelorin writes; this one reads version " + thisVersion + ".");
    }

    ProblemText problem;
    for (const TextMember& member : textMembers) {
        const std::string key = quotedKey(member.key);
        const auto value = file.find(std::string(member.key));
        if (value == file.end()) return refused("The problem file has no " + key + " member.");
        if (!value->is_string()) {
            return refused("The problem file's " + key +
                           " is not a text in quotes (numbers too are kept as typed, as in "
                           "\"x0\": \"0.5\").");
        }
        const std::string& text = value->get_ref<const std::string&>();
        const std::size_t characters = characterCount(text);
        if (characters > member.maxCharacters) {
            return refused("The problem file's " + key + " has " + std::to_string(characters) +
                           " characters; it may have at most " +
                           std::to_string(member.maxCharacters) + ".");
        }
        if (const auto control = controlCharacter(text)) {
            return refused("The problem file's " + key + " holds a control character (" + *control +
                           ").");
        }
        problem.*member.text = text;
    }
    return {std::move(problem), {}};
}

}  // namespace pelorin
