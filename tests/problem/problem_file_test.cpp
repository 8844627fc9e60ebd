// Problem files: the bytes written, the texts read back unchanged, and every
// damaged, truncated, hostile or newer file refused with a sentence.
#include "problem/library.h"
#include "problem/problem_file.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

using namespace pelorin;

namespace {

bool operator==(const ProblemText& a, const ProblemText& b) {
    return a.name == b.name && a.f == b.f && a.exact == b.exact && a.x0 == b.x0 && a.y0 == b.y0 &&
           a.x1 == b.x1;
}

// A version 2 file with one member replaced (or, with an empty value, left
// out); with version "1" and no lesson members, a version 1 file.
std::string fileWith(std::string_view key, std::string_view value) {
    const std::string_view keys[] = {"format", "version", "name", "f", "exact", "x0", "y0", "x1",
                                     "method", "h", "page", "tolerance", "tolerance kind",
                                     "error per unit step", "safety factor", "largest growth",
                                     "smallest shrink"};
    const std::string_view values[] = {"\"pelorin-problem\"", "2", "\"Decay\"", "\"-y\"",
                                       "\"y0*exp(x0 - x)\"", "\"0\"", "\"1\"", "\"2\"",
                                       "\"Euler\"", "\"0.1\"", "\"Field\"", "\"1E-6\"",
                                       "\"absolute only\"", "true", "\"0.9\"", "\"5\"", "\"0.2\""};
    std::string file = "{";
    for (std::size_t i = 0; i < std::size(keys); ++i) {
        const std::string_view written = keys[i] == key ? value : values[i];
        if (written.empty()) continue;
        if (file.size() > 1) file += ", ";
        file += "\"" + std::string(keys[i]) + "\": " + std::string(written);
    }
    return file + "}";
}

}  // namespace

// A lesson as a teacher prepares it: Fehlberg adapting its steps on the
// stiff problem, the tolerance loose and per unit step.
const LessonSettings stiffLesson{"0.10", 4, "Adaptive", "1E-2", ToleranceParts::relativeOnly,
                                 true, "0.8", "4", "0.25"};

TEST(ProblemFile, IsWrittenAsDocumented) {
    EXPECT_EQ(writeProblemFile(problemText(problemLibrary.front()), stiffLesson),
              "{\n"
              "  \"format\": \"pelorin-problem\",\n"
              "  \"version\": 2,\n"
              "  \"name\": \"Lesson: y' = -2x - y\",\n"
              "  \"f\": \"-2*x - y\",\n"
              "  \"exact\": \"2 - 2*x + (y0 - 2 + 2*x0)*exp(-(x - x0))\",\n"
              "  \"x0\": \"0\",\n"
              "  \"y0\": \"-1\",\n"
              "  \"x1\": \"1\",\n"
              "  \"method\": \"Runge-Kutta-Fehlberg\",\n"
              "  \"h\": \"0.10\",\n"
              "  \"page\": \"Adaptive\",\n"
              "  \"tolerance\": \"1E-2\",\n"
              "  \"tolerance kind\": \"relative only\",\n"
              "  \"error per unit step\": true,\n"
              "  \"safety factor\": \"0.8\",\n"
              "  \"largest growth\": \"4\",\n"
              "  \"smallest shrink\": \"0.25\"\n"
              "}\n");
}

TEST(ProblemFile, AVersionOneFileGivesTheProblemAlone) {
    std::string file = fileWith("version", "1");
    file = file.substr(0, file.find(", \"method\"")) + "}";
    const ProblemFileReading read = readProblemFile(file);
    EXPECT_EQ(read.error, "");
    ASSERT_TRUE(read.problem);
    EXPECT_EQ(read.problem->f, "-y");
    EXPECT_EQ(read.problem->x1, "2");
    EXPECT_FALSE(read.lesson);
}

TEST(ProblemFile, ReadsTheLessonAsWritten) {
    const ProblemFileReading read = readProblemFile(fileWith("", ""));
    ASSERT_TRUE(read.lesson);
    const LessonSettings expected{"0.1", 0, "Field", "1E-6", ToleranceParts::absoluteOnly,
                                  true, "0.9", "5", "0.2"};
    EXPECT_EQ(*read.lesson, expected);
}

TEST(ProblemFile, GivesBackTheTextsAsTyped) {
    std::vector<ProblemText> problems;
    for (const LibraryProblem& entry : problemLibrary) problems.push_back(problemText(entry));
    problems.push_back({"\"Quoted\" \\ back\\slash, \u03bb and tab\t", "\u22122*x \u00d7 y", "",
                        " 0.10 ", "\u22121", "1E+00"});
    problems.push_back({"", "", "", "", "", ""});
    problems.push_back({std::string(maxProblemNameCharacters, 'n'),
                        std::string(maxFormulaCharacters, 'x'), std::string(maxFormulaCharacters, 'y'),
                        std::string(maxProblemNumberCharacters, '1'), "0", "1"});
    for (const ProblemText& problem : problems) {
        SCOPED_TRACE(problem.name);
        const ProblemFileReading read = readProblemFile(writeProblemFile(problem, stiffLesson));
        EXPECT_EQ(read.error, "");
        ASSERT_TRUE(read.problem);
        EXPECT_TRUE(*read.problem == problem);
        EXPECT_EQ(read.lesson, stiffLesson);
    }
}

TEST(ProblemFile, ReadsOnlyWhatItWasToldAndIgnoresOtherMembers) {
    const std::string withComment =
        fileWith("x1", "\"2\", \"comment\": {\"nested\": [1, 2, {\"a\": null}]}");
    // Some editors start a UTF-8 file with a byte order mark: it is skipped.
    for (const std::string& bytes : {withComment, "\xef\xbb\xbf" + withComment}) {
        const ProblemFileReading read = readProblemFile(bytes);
        ASSERT_TRUE(read.problem);
        EXPECT_EQ(read.problem->f, "-y");
        EXPECT_EQ(read.problem->x1, "2");
    }
}

TEST(ProblemFile, RefusesEveryDamagedHostileOrNewerFileWithASentence) {
    const std::string written = writeProblemFile(problemText(problemLibrary[1]), stiffLesson);
    const struct {
        std::string_view name;
        std::string bytes;
        std::string_view error;
    } rows[] = {
        {"too large", std::string(maxProblemFileBytes + 1, ' '),
         "The file is too large for a problem file (65537 bytes; a problem file has at most 65536)."},
        {"empty", "", "The file is empty: it holds no problem."},
        {"only blanks", " \n\t ", "The file is empty: it holds no problem."},
        {"truncated", written.substr(0, written.size() / 2),
         "The file ends too early, as if it had been cut off: it is not a whole problem file."},
        {"truncated before the closing brace", written.substr(0, written.size() - 2),
         "The file ends too early, as if it had been cut off: it is not a whole problem file."},
        {"not UTF-8", fileWith("name", "\"caf\xe9\""),
         "The file is not a problem file: it is not UTF-8 text (at line 1, column 57)."},
        {"an overlong UTF-8 form", fileWith("name", "\"\xc0\xaf\""),
         "The file is not a problem file: it is not UTF-8 text (at line 1, column 54)."},
        {"an encoded surrogate", fileWith("name", "\"\xed\xa0\x80\""),
         "The file is not a problem file: it is not UTF-8 text (at line 1, column 54)."},
        {"not JSON", "{format: 1}",
         "The file is not a problem file: it is not valid JSON (at line 1, column 3)."},
        {"trailing text", fileWith("", "") + "\n}",
         "The file is not a problem file: it is not valid JSON (at line 2, column 1)."},
        {"a lone surrogate escape", fileWith("name", "\"\\ud800\""),
         "The file is not a problem file: it is not valid JSON (at line 1, column 60)."},
        {"a number beyond any double", fileWith("x1", "\"2\", \"w\": 1e400"),
         "The file is not a problem file: it holds a number no problem file holds."},
        {"an array", "[1, 2]", "The file is not a problem file: it holds no JSON object."},
        {"a text", "\"pelorin-problem\"", "The file is not a problem file: it holds no JSON object."},
        {"no format", fileWith("format", ""),
         "The file is not a problem file: its \"format\" is not \"pelorin-problem\"."},
        {"another format", fileWith("format", "\"pelorin-results\""),
         "The file is not a problem file: its \"format\" is not \"pelorin-problem\"."},
        {"a newer version", fileWith("version", "3"),
         "This file was written by a newer Pelorin (format version 3); this one reads version 2."},
        {"a far newer version", fileWith("version", "18446744073709551615"),
         "This file was written by a newer Pelorin (format version 18446744073709551615); this one "
         "reads version 2."},
        {"version zero", fileWith("version", "0"),
         "The problem file's version 0 is not one Pelorin writes; this one reads version 2."},
        {"a negative version", fileWith("version", "-1"),
         "The problem file's version -1 is not one Pelorin writes; this one reads version 2."},
        {"a version in quotes", fileWith("version", "\"1\""),
         "The problem file's \"version\" is not a whole number."},
        {"a fractional version", fileWith("version", "1.5"),
         "The problem file's \"version\" is not a whole number."},
        {"a version beyond whole numbers", fileWith("version", "18446744073709551616"),
         "The problem file's \"version\" is not a whole number."},
        {"no version", fileWith("version", ""), "The problem file has no \"version\" member."},
        {"no slope", fileWith("f", ""), "The problem file has no \"f\" member."},
        {"no exact member", fileWith("exact", ""), "The problem file has no \"exact\" member."},
        {"a number as a number", fileWith("x0", "0.5"),
         "The problem file's \"x0\" is not a text in quotes (numbers too are kept as typed, as in "
         "\"x0\": \"0.5\")."},
        {"null", fileWith("name", "null"),
         "The problem file's \"name\" is not a text in quotes (numbers too are kept as typed, as in "
         "\"x0\": \"0.5\")."},
        {"a long name", fileWith("name", "\"" + std::string(201, 'n') + "\""),
         "The problem file's \"name\" has 201 characters; it may have at most 200."},
        {"a long formula counted in characters",
         [] {
             std::string f = "\"";
             for (int i = 0; i < 1001; ++i) f += "\u2212";
             return fileWith("f", f + "\"");
         }(),
         "The problem file's \"f\" has 1001 characters; it may have at most 1000."},
        {"a long number", fileWith("y0", "\"" + std::string(101, '1') + "\""),
         "The problem file's \"y0\" has 101 characters; it may have at most 100."},
        {"an escaped control character", fileWith("f", "\"-y\\u0007\""),
         "The problem file's \"f\" holds a control character (\\x07)."},
        {"an escaped line break", fileWith("name", "\"two\\nlines\""),
         "The problem file's \"name\" holds a control character (\\x0A)."},
        {"an escaped zero byte", fileWith("x1", "\"2\\u0000\""),
         "The problem file's \"x1\" holds a control character (\\x00)."},
        {"a version 2 file without its lesson's h", fileWith("h", ""),
         "The problem file has no \"h\" member."},
        {"a tolerance as a number", fileWith("tolerance", "1e-6"),
         "The problem file's \"tolerance\" is not a text in quotes (numbers too are kept as typed, "
         "as in \"x0\": \"0.5\")."},
        {"a long page name", fileWith("page", "\"" + std::string(101, 'p') + "\""),
         "The problem file's \"page\" has 101 characters; it may have at most 100."},
        {"a method the lab lacks", fileWith("method", "\"Euler Method\""),
         "The problem file's \"method\" \"Euler Method\" is not one of \"Euler\", \"Euler (End "
         "points)\", \"Euler (Mid point)\", \"Runge-Kutta 4\", \"Runge-Kutta-Fehlberg\", "
         "\"Runge-Kutta-Merson\", \"Runge-Kutta-Gill\"."},
        {"a tolerance kind the lab lacks", fileWith("tolerance kind", "\"mixed\""),
         "The problem file's \"tolerance kind\" \"mixed\" is not one of \"absolute and "
         "relative\", \"absolute only\", \"relative only\"."},
        {"no check box", fileWith("error per unit step", ""),
         "The problem file has no \"error per unit step\" member."},
        {"a check box in quotes", fileWith("error per unit step", "\"true\""),
         "The problem file's \"error per unit step\" is not true or false."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const ProblemFileReading read = readProblemFile(row.bytes);
        EXPECT_FALSE(read.problem);
        EXPECT_EQ(read.error, row.error);
    }
}

// Parsers that recurse can be brought down by nesting; the reader copes with
// as deep a nesting as the size limit allows, in a member it then ignores.
TEST(ProblemFile, DeepNestingDoesNoHarm) {
    const std::size_t depth = (maxProblemFileBytes - 400) / 2;
    const std::string nested = std::string(depth, '[') + std::string(depth, ']');
    const ProblemFileReading read = readProblemFile(fileWith("x1", "\"2\", \"deep\": " + nested));
    EXPECT_EQ(read.error, "");
    EXPECT_TRUE(read.problem);

    const ProblemFileReading unclosed = readProblemFile(std::string(maxProblemFileBytes, '{'));
    EXPECT_FALSE(unclosed.problem);
    EXPECT_FALSE(unclosed.error.empty());
}
