// What the saved files hold and are called: the results list as CSV with the
// run and h of every block, and the names suggested for saving.
#include "base/text_table.h"
#include "texts/results_export.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

using namespace pelorin;

namespace {


}  // namespace

TEST(ResultsExport, EveryStepLineBecomesARowUnderItsRunMethodAndH) {
    struct Row {
        const char* name;
        std::vector<std::string> lines;
        std::vector<ListBlock> blocks;
        std::string csv;
    };
    const Method* euler = &methodByCaption("Euler");
    const Method* rk4 = &methodByCaption("Runge-Kutta 4");
    const std::vector<Row> rows{
        {"two Euler runs told apart by run and h",
         {" ", "Euler Method", " ", "0.4    -0.6", " ", "Euler Method", " ", "0.2    -0.8",
          "0.4    -0.72"},
         {{euler, 0.4}, {euler, 0.2}},
         "run,method,h,x,y\r\n"
         "1,Euler Method,0.4,0.4,-0.6\r\n"
         "2,Euler Method,0.2,0.2,-0.8\r\n"
         "2,Euler Method,0.2,0.4,-0.72\r\n"},
        // A block without steps (x1 below x0) still takes its number.
        {"a block without steps keeps its number",
         {" ", "Euler Method", " ", " ", "Runge-Kutta-4 Method", " ", "0.1    -0.9145125"},
         {{euler, 0.5}, {rk4, 0.1}},
         "run,method,h,x,y\r\n"
         "2,Runge-Kutta-4 Method,0.1,0.1,-0.9145125\r\n"},
        {"h as the list writes numbers",
         {" ", "Euler Method", " ", "1E-05    -0.99999", " ", "Euler Method", " ",
          "0.333333333333333    -0.666666666666667"},
         {{euler, 1e-05}, {euler, 1.0 / 3}},
         "run,method,h,x,y\r\n"
         "1,Euler Method,1E-05,1E-05,-0.99999\r\n"
         "2,Euler Method,0.333333333333333,0.333333333333333,-0.666666666666667\r\n"},
        {"an empty heading and an unknown h leave their cells empty",
         {" ", "Euler Method", " ", "0.4    -0.6", " ", "", " ", "0    -1"},
         {{euler, std::nullopt}},
         "run,method,h,x,y\r\n"
         "1,Euler Method,,0.4,-0.6\r\n"
         "2,,,0,-1\r\n"},
        {"a cell with a comma or a quote is quoted",
         {" ", "Euler, \"plain\"", " ", "0.4    -0.6"},
         {{euler, 0.4}},
         "run,method,h,x,y\r\n"
         "1,\"Euler, \"\"plain\"\"\",0.4,0.4,-0.6\r\n"},
        {"an empty list", {}, {}, "run,method,h,x,y\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(commaSeparated(resultsTable(row.lines, row.blocks)), row.csv);
    }
}

TEST(SuggestedFileName, NamesTheMethodAndHWithSafeCharactersOnly) {
    struct Row {
        std::string_view method;  // caption; empty for none
        std::optional<double> h;
        std::string_view contents, suffix;
        std::string name;
    };
    const std::vector<Row> rows{
        {"Euler", 0.1, "steps", ".csv", "euler-h0.1-steps.csv"},
        {"Euler (End points)", 0.4, "results", ".txt", "euler-end-points-h0.4-results.txt"},
        {"Euler (Mid point)", 0.25, "plot", ".png", "euler-mid-point-h0.25-plot.png"},
        {"Runge-Kutta 4", 0.1 + 0.2, "steps", ".csv", "runge-kutta-4-h0.3-steps.csv"},
        {"Runge-Kutta-Fehlberg", 1e-05, "steps", ".csv", "runge-kutta-fehlberg-h1e-05-steps.csv"},
        {"Runge-Kutta-Merson", 1.5e20, "plot", ".png", "runge-kutta-merson-h1.5e20-plot.png"},
        {"Runge-Kutta-Gill", -0.5, "results", ".txt", "runge-kutta-gill-h-0.5-results.txt"},
        {"Euler", 1.0 / 3, "steps", ".csv", "euler-h0.333333333333333-steps.csv"},
        {"Euler", 0.0, "steps", ".csv", "euler-h0-steps.csv"},
        {"Euler", std::nullopt, "steps", ".csv", "euler-steps.csv"},
        {"", 0.1, "steps", ".csv", "steps.csv"},
        {"", std::nullopt, "plot", ".png", "plot.png"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Method* chosen = row.method.empty() ? nullptr : &methodByCaption(row.method);
        EXPECT_EQ(suggestedFileName(chosen, row.h, row.contents, row.suffix), row.name);
    }
}

TEST(SuggestedLabFileName, NamesTheProblemAndPageBeforeTheMethod) {
    struct Row {
        std::string_view problem, page, method;  // method: caption, empty for none
        std::optional<double> h;
        std::string_view contents, suffix;
        std::string name;
    };
    const std::vector<Row> rows{
        {"Stiff: y' = -50(y - cos x)", "Stability", "Euler", 0.04, "Stability region", ".png",
         "stiff-stability-euler-h0.04-stability-region.png"},
        {"Textbook: y' = y - x\u00b2 + 1", "Convergence", "", std::nullopt, "handout", ".pdf",
         "textbook-convergence-handout.pdf"},
        {"Your own", "One step", "Runge-Kutta 4", 0.25, "handout", ".pdf",
         "your-own-one-step-runge-kutta-4-h0.25-handout.pdf"},
        {"Lesson: y' = -2x - y", "Adaptive", "Runge-Kutta-Fehlberg", 0.1, "lesson", ".pelorin",
         "lesson-adaptive-runge-kutta-fehlberg-h0.1-lesson.pelorin"},
        {"", "", "", std::nullopt, "Convergence plot", ".pdf", "convergence-plot.pdf"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Method* chosen = row.method.empty() ? nullptr : &methodByCaption(row.method);
        EXPECT_EQ(suggestedLabFileName(row.problem, row.page, chosen, row.h, row.contents,
                                       row.suffix),
                  row.name);
    }
}
