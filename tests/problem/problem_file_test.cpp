// Problem files: the bytes written, the texts read back unchanged, and every
// damaged, truncated, hostile or newer file refused with a sentence.
#include "problem/library.h"
#include "problem/problem_file.h"
#include "problem/system_library.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

using namespace pelorin;

namespace {

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

// A version 3 file of a system with two components, one member replaced
// or (with an empty value) left out, as fileWith does.
std::string systemFileWith(std::string_view key, std::string_view value) {
    const std::string_view keys[] = {"format", "version", "name", "form", "components", "x0",
                                     "x1", "parameters", "invariant"};
    const std::string_view values[] = {
        "\"pelorin-problem\"", "3", "\"Oscillator\"", "\"system\"",
        "[{\"slope\": \"w*y2\", \"start\": \"1\", \"exact\": \"cos(w*x)\"}, "
        "{\"slope\": \"-w*y1\", \"start\": \"0\", \"exact\": \"\"}]",
        "\"0\"", "\"10\"", "\"w = 2\"", "\"y1^2 + y2^2\""};
    std::string file;
    for (std::size_t i = 0; i < std::size(keys); ++i) {
        const std::string_view written = keys[i] == key ? value : values[i];
        if (!written.empty()) file += ", \"" + std::string(keys[i]) + "\": " + std::string(written);
    }
    // The lesson's members as the version 2 file has them.
    const std::string lesson = fileWith("", "");
    return "{" + file.substr(2) + lesson.substr(lesson.find(", \"method\""));
}

// The texts of a library system as the lab's boxes hold them; y'' = f's
// exact y(x) is the first component's.
ProblemText textsOf(const LibrarySystem& entry) {
    ProblemText texts{std::string(entry.name), "", "", std::string(entry.x0), "",
                      std::string(entry.x1)};
    texts.parameters = entry.parameters;
    texts.invariant = entry.invariant;
    if (entry.form == ProblemForm::secondOrder) {
        texts.form = ProblemForm::secondOrder;
        texts.secondOrder = {std::string(entry.slopes[0]), std::string(entry.starts[0]),
                             std::string(entry.starts[1]), std::string(entry.exact[0])};
        return texts;
    }
    texts.form = ProblemForm::system;
    for (std::size_t k = 0; k < entry.n; ++k) {
        texts.components.push_back({std::string(entry.slopes[k]), std::string(entry.starts[k]),
                                    std::string(entry.exact[k])});
    }
    return texts;
}

const LessonSettings rungeKuttaLesson{"0.1", 3, "Field", "1E-6",
                                      ToleranceParts::absoluteAndRelative, false, "0.9", "5", "0.2",
                                      3, "", "", MethodSet::every, std::nullopt, std::nullopt};

}  // namespace

// A lesson as a teacher prepares it: Fehlberg adapting its steps on the
// stiff problem, the tolerance loose and per unit step.
const LessonSettings stiffLesson{"0.10", 4, "Adaptive", "1E-2", ToleranceParts::relativeOnly,
                                 true, "0.8", "4", "0.25", 3, "", "", MethodSet::every,
                                 std::nullopt, std::nullopt};

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
                                  true, "0.9", "5", "0.2", 3, "", "", MethodSet::every,
                                  std::nullopt, std::nullopt};
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
        {"a newer version", fileWith("version", "4"),
         "This file was written by a newer Pelorin (format version 4); this one reads version 3."},
        {"a far newer version", fileWith("version", "18446744073709551615"),
         "This file was written by a newer Pelorin (format version 18446744073709551615); this one "
         "reads version 3."},
        {"version zero", fileWith("version", "0"),
         "The problem file's version 0 is not one Pelorin writes; this one reads version 3."},
        {"a negative version", fileWith("version", "-1"),
         "The problem file's version -1 is not one Pelorin writes; this one reads version 3."},
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
         "\"Runge-Kutta-Merson\", \"Runge-Kutta-Gill\", \"Ralston 2\", \"Heun 3\", "
         "\"SSP Runge-Kutta 3\", \"Kutta 3/8\", \"Backward Euler\", \"Trapezoid\", "
         "\"Implicit mid point\", \"SDIRK 2\", \"Radau IIA 3\", \"Gauss-Legendre 4\", "
         "\"Symplectic Euler\", \"St\u00f6rmer-Verlet\", \"Adams-Bashforth 2\", "
         "\"Adams-Bashforth 3\", \"Adams-Bashforth 4\", \"Adams-Moulton 3\", \"Adams "
         "predictor-corrector 4\", \"BDF 2\", \"BDF 3\", \"BDF 4\", \"Own Runge-Kutta method\", "
         "\"Own multistep method\"."},
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

// The bytes of docs/problem-file.md's example, written out by hand.
TEST(ProblemFile, ASystemIsWrittenAsVersionThreeAsDocumented) {
    const ProblemText lotkaVolterra = textsOf(systemLibrary[3]);
    ASSERT_EQ(lotkaVolterra.name, "Lotka-Volterra: predators and prey");
    EXPECT_EQ(writeProblemFile(lotkaVolterra, rungeKuttaLesson),
              "{\n"
              "  \"format\": \"pelorin-problem\",\n"
              "  \"version\": 3,\n"
              "  \"name\": \"Lotka-Volterra: predators and prey\",\n"
              "  \"form\": \"system\",\n"
              "  \"components\": [\n"
              "    {\n"
              "      \"slope\": \"a*y1 - b*y1*y2\",\n"
              "      \"start\": \"1\",\n"
              "      \"exact\": \"\"\n"
              "    },\n"
              "    {\n"
              "      \"slope\": \"c*y1*y2 - d*y2\",\n"
              "      \"start\": \"1\",\n"
              "      \"exact\": \"\"\n"
              "    }\n"
              "  ],\n"
              "  \"x0\": \"0\",\n"
              "  \"x1\": \"30\",\n"
              "  \"parameters\": \"a = 2/3, b = 4/3, c = 1, d = 1\",\n"
              "  \"invariant\": \"c*y1 - d*ln(y1) + b*y2 - a*ln(y2)\",\n"
              "  \"method\": \"Runge-Kutta 4\",\n"
              "  \"h\": \"0.1\",\n"
              "  \"page\": \"Field\",\n"
              "  \"tolerance\": \"1E-6\",\n"
              "  \"tolerance kind\": \"absolute and relative\",\n"
              "  \"error per unit step\": false,\n"
              "  \"safety factor\": \"0.9\",\n"
              "  \"largest growth\": \"5\",\n"
              "  \"smallest shrink\": \"0.2\"\n"
              "}\n");
}

TEST(ProblemFile, SecondOrderAndAnEquationWithParametersAreWrittenAsVersionThree) {
    const ProblemText pendulum = textsOf(systemLibrary[2]);
    const std::string secondOrder = writeProblemFile(pendulum, rungeKuttaLesson);
    EXPECT_EQ(secondOrder.substr(0, secondOrder.find("  \"method\"")),
              "{\n"
              "  \"format\": \"pelorin-problem\",\n"
              "  \"version\": 3,\n"
              "  \"name\": \"Pendulum: y'' = -sin y\",\n"
              "  \"form\": \"second order\",\n"
              "  \"y''\": \"-sin(y)\",\n"
              "  \"y(x0)\": \"2\",\n"
              "  \"y'(x0)\": \"0\",\n"
              "  \"exact\": \"\",\n"
              "  \"x0\": \"0\",\n"
              "  \"x1\": \"20\",\n"
              "  \"parameters\": \"\",\n"
              "  \"invariant\": \"y2^2/2 - cos(y1)\",\n");

    ProblemText decay{"Decay", "-k*y", "y0*exp(-k*(x - x0))", "0", "1", "2"};
    decay.parameters = "k = 3";
    const std::string equation = writeProblemFile(decay, rungeKuttaLesson);
    EXPECT_EQ(equation.substr(0, equation.find("  \"method\"")),
              "{\n"
              "  \"format\": \"pelorin-problem\",\n"
              "  \"version\": 3,\n"
              "  \"name\": \"Decay\",\n"
              "  \"form\": \"equation\",\n"
              "  \"f\": \"-k*y\",\n"
              "  \"exact\": \"y0*exp(-k*(x - x0))\",\n"
              "  \"x0\": \"0\",\n"
              "  \"y0\": \"1\",\n"
              "  \"x1\": \"2\",\n"
              "  \"parameters\": \"k = 3\",\n"
              "  \"invariant\": \"\",\n");
    const ProblemFileReading read = readProblemFile(equation);
    ASSERT_TRUE(read.problem);
    EXPECT_EQ(*read.problem, decay);
}

// A single equation's invariant is more than version 2 holds: it is
// written as version 3 and reads back as typed, with the lesson.
TEST(ProblemFile, AnEquationWithAnInvariantIsWrittenAsVersionThreeAndReadsBack) {
    ProblemText growth{"Growth", "y", "", "0", "1", "2"};
    growth.invariant = "y*exp(-x)";
    const std::string file = writeProblemFile(growth, rungeKuttaLesson);
    EXPECT_EQ(file.substr(0, file.find("  \"method\"")),
              "{\n"
              "  \"format\": \"pelorin-problem\",\n"
              "  \"version\": 3,\n"
              "  \"name\": \"Growth\",\n"
              "  \"form\": \"equation\",\n"
              "  \"f\": \"y\",\n"
              "  \"exact\": \"\",\n"
              "  \"x0\": \"0\",\n"
              "  \"y0\": \"1\",\n"
              "  \"x1\": \"2\",\n"
              "  \"parameters\": \"\",\n"
              "  \"invariant\": \"y*exp(-x)\",\n");
    const ProblemFileReading read = readProblemFile(file);
    EXPECT_EQ(read.error, "");
    ASSERT_TRUE(read.problem);
    EXPECT_EQ(*read.problem, growth);
    EXPECT_EQ(read.lesson, rungeKuttaLesson);
}

TEST(ProblemFile, EverySystemOfTheLibraryReadsBackAsWritten) {
    std::vector<ProblemText> systems;
    for (const LibrarySystem& entry : systemLibrary) systems.push_back(textsOf(entry));
    ProblemText six = textsOf(systemLibrary[6]);
    six.name = "Six, with \"quotes\", \u03bb and a tab\t";
    six.components.resize(maxComponents, {"\u2212y1", " 0.10 ", "exp(-x)"});
    systems.push_back(six);
    for (const ProblemText& texts : systems) {
        SCOPED_TRACE(texts.name);
        const ProblemFileReading read = readProblemFile(writeProblemFile(texts, stiffLesson));
        EXPECT_EQ(read.error, "");
        ASSERT_TRUE(read.problem);
        EXPECT_EQ(*read.problem, texts);
        EXPECT_EQ(read.lesson, stiffLesson);
    }
}

// A single equation is written as before, and a version 2 file reads as a
// single equation with neither parameters nor invariant.
TEST(ProblemFile, AVersionTwoFileStaysAsItWas) {
    const std::string file = fileWith("", "");
    const ProblemFileReading read = readProblemFile(file);
    ASSERT_TRUE(read.problem);
    EXPECT_EQ(*read.problem, (ProblemText{"Decay", "-y", "y0*exp(x0 - x)", "0", "1", "2"}));
    EXPECT_EQ(writeProblemFile(*read.problem, *read.lesson),
              "{\n  \"format\": \"pelorin-problem\",\n  \"version\": 2,\n  \"name\": \"Decay\",\n"
              "  \"f\": \"-y\",\n  \"exact\": \"y0*exp(x0 - x)\",\n  \"x0\": \"0\",\n"
              "  \"y0\": \"1\",\n  \"x1\": \"2\",\n  \"method\": \"Euler\",\n  \"h\": \"0.1\",\n"
              "  \"page\": \"Field\",\n  \"tolerance\": \"1E-6\",\n"
              "  \"tolerance kind\": \"absolute only\",\n  \"error per unit step\": true,\n"
              "  \"safety factor\": \"0.9\",\n  \"largest growth\": \"5\",\n"
              "  \"smallest shrink\": \"0.2\"\n}\n");
}

TEST(ProblemFile, ReadsAVersionThreeSystemStrictly) {
    const ProblemFileReading read = readProblemFile(systemFileWith("", ""));
    EXPECT_EQ(read.error, "");
    ASSERT_TRUE(read.problem);
    const ProblemText expected{"Oscillator",
                               "",
                               "",
                               "0",
                               "",
                               "10",
                               ProblemForm::system,
                               {{"w*y2", "1", "cos(w*x)"}, {"-w*y1", "0", ""}},
                               {},
                               "w = 2",
                               "y1^2 + y2^2"};
    EXPECT_EQ(*read.problem, expected);

    const std::string component = R"({"slope": "y1", "start": "0", "exact": ""})";
    const auto components = [&](std::size_t count) {
        std::string list = "[" + component;
        for (std::size_t k = 1; k < count; ++k) list += ", " + component;
        return list + "]";
    };
    const std::string notText =
        " is not a text in quotes (numbers too are kept as typed, as in \"x0\": \"0.5\").";
    const struct {
        std::string_view name;
        std::string bytes;
        std::string error;
    } rows[] = {
        {"no form", systemFileWith("form", ""), "The problem file has no \"form\" member."},
        {"a form the lab lacks", systemFileWith("form", "\"chain\""),
         "The problem file's \"form\" \"chain\" is not one of \"equation\", \"system\", \"second "
         "order\"."},
        {"a form as a number", systemFileWith("form", "2"), "The problem file's \"form\"" + notText},
        {"no components", systemFileWith("components", ""),
         "The problem file has no \"components\" member."},
        {"components in braces", systemFileWith("components", component),
         "The problem file's \"components\" is not a list of components in [ ]."},
        {"no component", systemFileWith("components", "[]"),
         "The problem file's \"components\" holds 0 components; a system has from 2 to 6."},
        {"one component", systemFileWith("components", components(1)),
         "The problem file's \"components\" holds 1 component; a system has from 2 to 6."},
        {"seven components", systemFileWith("components", components(7)),
         "The problem file's \"components\" holds 7 components; a system has from 2 to 6."},
        {"a component as a text", systemFileWith("components", "[" + component + ", \"y1\"]"),
         "The problem file's component 2 is not a group of members in { }."},
        {"a component without its slope",
         systemFileWith("components", "[" + component + R"(, {"start": "0", "exact": ""}])"),
         "The problem file's component 2 has no \"slope\" member."},
        {"a start as a number",
         systemFileWith("components", R"([{"slope": "y2", "start": 1, "exact": ""}, )" +
                                          component + "]"),
         "The problem file's \"start\" of component 1" + notText},
        {"a long exact solution",
         systemFileWith("components", "[" + component + R"(, {"slope": "y1", "start": "0", )" +
                                          "\"exact\": \"" + std::string(1001, 'x') + "\"}]"),
         "The problem file's \"exact\" of component 2 has 1001 characters; it may have at most "
         "1000."},
        {"a line break in a slope",
         systemFileWith("components",
                        R"([{"slope": "y2\n", "start": "1", "exact": ""}, )" + component + "]"),
         "The problem file's \"slope\" of component 1 holds a control character (\\x0A)."},
        {"no parameters", systemFileWith("parameters", ""),
         "The problem file has no \"parameters\" member."},
        {"parameters as null", systemFileWith("parameters", "null"),
         "The problem file's \"parameters\"" + notText},
        {"a long invariant", systemFileWith("invariant", "\"" + std::string(1001, 'y') + "\""),
         "The problem file's \"invariant\" has 1001 characters; it may have at most 1000."},
        {"a bell in the invariant", systemFileWith("invariant", "\"y1\\u0007\""),
         "The problem file's \"invariant\" holds a control character (\\x07)."},
        {"no x1", systemFileWith("x1", ""), "The problem file has no \"x1\" member."},
        {"second order without y''", systemFileWith("form", "\"second order\""),
         "The problem file has no \"y''\" member."},
        {"an equation without f", systemFileWith("form", "\"equation\""),
         "The problem file has no \"f\" member."},
        {"a system without its lesson's h",
         [] {
             std::string file = systemFileWith("", "");
             return file.replace(file.find("\"h\""), 1, "\"H");
         }(),
         "The problem file has no \"h\" member."},
        {"a version 2 file with a form", fileWith("version", "2, \"form\": \"system\""), ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const ProblemFileReading read = readProblemFile(row.bytes);
        EXPECT_EQ(read.problem.has_value(), row.error.empty());
        EXPECT_EQ(read.error, row.error);
    }
}

// A multistep method's lesson keeps how it starts and the own method's
// coefficients as typed; a start the lab does not offer is refused.
TEST(ProblemFile, AMultistepLessonKeepsItsStartAndCoefficients) {
    LessonSettings own = rungeKuttaLesson;
    own.method = catalogueRow(ownMultistepEntry());
    own.start = std::nullopt;
    own.alpha = "1, -4/3, 1/3";
    own.beta = "2/3, 0, 0";
    const std::string bytes = writeProblemFile(problemText(problemLibrary.front()), own);
    EXPECT_NE(bytes.find("  \"start with\": \"exact or reference solution\",\n"
                         "  \"alpha\": \"1, -4/3, 1/3\",\n  \"beta\": \"2/3, 0, 0\"\n}"),
              std::string::npos)
        << bytes;
    const ProblemFileReading read = readProblemFile(bytes);
    ASSERT_TRUE(read.lesson) << read.error;
    EXPECT_EQ(*read.lesson, own);
    std::string euler = bytes;
    euler.replace(euler.find("exact or reference solution"), 27, "Adams-Bashforth 2");
    EXPECT_EQ(readProblemFile(euler).error,
              "The problem file's \"start with\" \"Adams-Bashforth 2\" is not one of \"Euler\", "
              "\"Euler (End points)\", \"Euler (Mid point)\", \"Runge-Kutta 4\", "
              "\"Runge-Kutta-Fehlberg\", \"Runge-Kutta-Merson\", \"Runge-Kutta-Gill\", \"Ralston "
              "2\", \"Heun 3\", \"SSP Runge-Kutta 3\", \"Kutta 3/8\", \"Backward Euler\", "
              "\"Trapezoid\", \"Implicit mid point\", \"SDIRK 2\", \"Radau IIA 3\", \"Gauss-Legendre 4\", "
              "\"Own Runge-Kutta method\", \"exact or reference solution\".");
}

// The sets of methods the pages compare come last, only where a page does
// not show its default (every method on Convergence, h, h/2 and h/4 on
// Field); a set a page does not offer is refused.
TEST(ProblemFile, ALessonKeepsTheSetsOfMethodsItsPagesCompare) {
    LessonSettings sets = rungeKuttaLesson;
    sets.comparedMethods = MethodSet::multistep;
    sets.sideBySide = MethodSet::symplectic;
    const std::string bytes = writeProblemFile(problemText(problemLibrary.front()), sets);
    EXPECT_NE(bytes.find("  \"smallest shrink\": \"0.2\",\n"
                         "  \"compared methods\": \"Multistep methods\",\n"
                         "  \"side by side with h\": \"Symplectic methods\"\n}"),
              std::string::npos)
        << bytes;
    const ProblemFileReading read = readProblemFile(bytes);
    ASSERT_TRUE(read.lesson) << read.error;
    EXPECT_EQ(*read.lesson, sets);

    const struct {
        const char* from;
        const char* to;
        const char* error;
    } refused[] = {
        {"\"Symplectic methods\"", "\"Every method\"",
         "The problem file's \"side by side with h\" \"Every method\" is not one of \"The "
         "window's seven methods\", \"Implicit Runge-Kutta methods\", \"Multistep methods\", "
         "\"Symplectic methods\"."},
        {"\"Multistep methods\"", "\"multistep methods\"",
         "The problem file's \"compared methods\" \"multistep methods\" is not one of \"The "
         "window's seven methods\", \"Explicit Runge-Kutta methods\", \"Implicit Runge-Kutta "
         "methods\", \"Multistep methods\", \"Symplectic methods\", \"Every method\"."},
    };
    for (const auto& row : refused) {
        SCOPED_TRACE(row.to);
        std::string changed = bytes;
        changed.replace(changed.find(row.from), std::string(row.from).size(), row.to);
        EXPECT_EQ(readProblemFile(changed).error, row.error);
    }
}

// The own Runge-Kutta method's boxes as typed, where a teacher typed a
// tableau; a file whose tableau is not square, or not texts, is refused.
TEST(ProblemFile, ALessonKeepsTheTypedTableauAndRefusesOneThatIsNotSquare) {
    LessonSettings own = rungeKuttaLesson;
    own.tableau = TableauTexts{{"(3 - √3)/6", "(3 + √3)/6"},
                               {{"1/4", "(3 - 2√3)/12"}, {"(3 + 2√3)/12", "1/4"}},
                               {"1/2", "1/2"},
                               {}};
    const std::string bytes = writeProblemFile(problemText(problemLibrary.front()), own);
    EXPECT_NE(bytes.find("  \"own tableau\": {\n    \"c\": [\n      \"(3 - √3)/6\",\n"),
              std::string::npos)
        << bytes;
    const ProblemFileReading read = readProblemFile(bytes);
    ASSERT_TRUE(read.lesson) << read.error;
    EXPECT_EQ(*read.lesson, own);

    const std::string member = "\"own tableau\": ";
    const auto withTableau = [&](const std::string& tableau) {
        return fileWith("", "").insert(1, member + tableau + ", ");
    };
    const struct {
        const char* name;
        std::string tableau;
        const char* error;
    } rows[] = {
        {"a short row", R"({"c": ["0", "1"], "a": [["", ""], ["1"]], "b": ["1/2", "1/2"]})",
         "The problem file's \"own tableau\" \"a\" row 2 has 1 entries for 2 stages: a tableau is "
         "square."},
        {"too few weights", R"({"c": ["0", "1"], "a": [["", ""], ["1", ""]], "b": ["1"]})",
         "The problem file's \"own tableau\" \"b\" has 1 entries for 2 stages: a tableau is "
         "square."},
        {"nine stages",
         R"({"c": ["0","0","0","0","0","0","0","0","0"], "a": [], "b": []})",
         "The problem file's \"own tableau\" \"c\" is not a list of 1 to 8 texts."},
        {"a number, not a text", R"({"c": [0], "a": [[""]], "b": ["1"]})",
         "The problem file's \"own tableau\" \"c\" entry 1 is not a text in quotes."},
        {"no weights", R"({"c": ["0"], "a": [[""]]})",
         "The problem file's \"own tableau\" is not an object with the lists \"c\", \"a\" and "
         "\"b\"."},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(readProblemFile(withTableau(row.tableau)).error, row.error) << row.name;
    }
}
