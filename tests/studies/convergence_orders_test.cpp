// The convergence study on library problems as the lab types them: which
// orders stand in brackets. One rule reads every column: a column's own order
// is its last that rounding does not decide, once the one before agrees with
// it within 0.1; an order within 0.1 of it, as shown, is settled, and every
// other order is bracketed.
#include "base/number_text.h"
#include "problem/library.h"
#include "studies/convergence_study.h"
#include "numerics/method_sets.h"

#include "tests/support/typed_problems.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

using namespace pelorin;

namespace {

using pelorin::testing::compiledProblem;
using pelorin::testing::libraryProblem;

// A column's orders for N = 2 ... 64 as the Orders table shows them: in
// brackets where the method has not settled.
std::string shownOrders(const ConvergenceSeries& series) {
    std::string shown;
    for (std::size_t i = 1; i <= 6; ++i) {
        const ConvergencePoint& point = series.points[i];
        const std::string order = point.order ? fixedText(*point.order, 2) : "-";
        if (!shown.empty()) shown += ' ';
        shown += point.reading == OrderReading::settled ? order : "(" + order + ")";
    }
    return shown;
}

void expectColumns(const ConvergenceStudy& study, const std::string_view (&columns)[7]) {
    for (std::size_t column = 0; column < 7; ++column) {
        SCOPED_TRACE(study.series[column].method->caption);
        EXPECT_EQ(shownOrders(study.series[column]), columns[column]);
    }
}

}  // namespace

// y' = -2xy, y(0) = 1, to 1.5. The orders, worked out independently in
// 40-digit arithmetic (mpmath), for N = 2 ... 512:
//   Euler       1.9571 2.0338 1.5556 1.2018 1.0874 1.0408 ... 1.0048 ... 1.00
//   end points  3.1996 1.7952 2.3668 2.2054 2.0987 2.0477 ... 2.00
//   mid point   7.2182 -0.3197 2.1121 2.1531 2.0883 2.0460 ... 2.00
//   RK4, Gill   4.6870 3.9499 4.3381 4.2126 4.1139 4.0585 4.0296 4.0149 4.0075
//   Fehlberg    11.5633 -0.3434 5.0794 5.1354 5.0837 5.0452 5.0233
//   Merson      1.6363 4.8528 4.7917 4.4811 4.2628 4.1373 4.0702 ...
// Euler's 1.96 and 2.03 agree with each other, but not with its order 1.00:
// they stand in brackets, as do 1.56 and 1.20. Runge-Kutta 4's last order
// before rounding is 4.01 at N = 512 (at N = 1024 the error, about 2.5E-13,
// lies within 64·√1024 rounding units): its 3.95 lies within 0.1 of it, and
// so does 4.11 as shown, though 4.1139 - 4.0075 is more than 0.1; 4.34 and
// 4.21 do not. Fehlberg's orders fall on towards 5.01, so 5.08 is its own
// and 5.14 is not.
//
// y' = y(1 - y), y(0) = 0.1, to 6, independently in 40-digit arithmetic:
//   Euler       1.8919 0.5963 2.0951 1.1608 1.0692 1.0321 ...
//   end points  -2.9602 3.0394 2.9371 2.3748 2.1351 2.0535 ...
//   mid point   0.8183 2.8876 2.6950 2.3289 2.1394 2.0622 ...
//   RK4         -1.4808 5.2185 4.7019 4.2811 4.1234 4.0573 ... 4.0033 (N = 1024)
//   Fehlberg    9.7103 7.9397 6.5593 5.7368 5.3656 5.1869 5.0954, then an
//               error of 1.60E-13 at N = 256, which rounding decides
//   Merson      3.1030 5.8783 5.8518 5.3064 4.7754 4.3957 4.1888 4.0897 ...
//   Gill        1.3025 5.7421 4.7581 4.2991 4.1305 4.0604 ...
// Merson's 5.88, 5.85 and 5.31 are not yet its order 4; Runge-Kutta 4's
// 4.28 and 4.12 lie more than 0.1 from its last order 4.00.
TEST(StudyOrders, OnTheBellCurveAndTheLogisticEquationEveryColumnReadsByTheSameRule) {
    const struct {
        std::string_view problem;
        std::string_view x1;  // empty: the library's own
        std::string_view columns[7];
    } rows[] = {
        {"Bell",
         "1.5",
         {"(1.96) (2.03) (1.56) (1.20) 1.09 1.04", "(3.20) (1.80) (2.37) (2.21) 2.10 2.05",
          "(7.22) (-0.32) (2.11) (2.15) 2.09 2.05", "(4.69) 3.95 (4.34) (4.21) 4.11 4.06",
          "(11.56) (-0.34) 5.08 (5.14) 5.08 5.05", "(1.64) (4.85) (4.79) (4.48) (4.26) (4.14)",
          "(4.69) 3.95 (4.34) (4.21) 4.11 4.06"}},
        {"Logistic",
         "",
         {"(1.89) (0.60) (2.10) (1.16) 1.07 1.03", "(-2.96) (3.04) (2.94) (2.37) (2.14) 2.05",
          "(0.82) (2.89) (2.70) (2.33) (2.14) 2.06", "(-1.48) (5.22) (4.70) (4.28) (4.12) 4.06",
          "(9.71) (7.94) (6.56) (5.74) (5.37) 5.19", "(3.10) (5.88) (5.85) (5.31) (4.78) (4.40)",
          "(1.30) (5.74) (4.76) (4.30) (4.13) 4.06"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.problem);
        ProblemText text = problemText(libraryProblem(row.problem));
        if (!row.x1.empty()) text.x1 = row.x1;
        const Problem problem = compiledProblem(text);
        const ConvergenceStudy study = studyProblem(problem, 16);
        expectColumns(study, row.columns);
        EXPECT_EQ(study.notes.back(), orderBracketsNote());
    }
}

// y' = -50(y - cos x), y(0) = 0, to 1, as the library types it. The implicit
// methods' orders for N = 2 ... 1024, worked out independently in 50-digit
// arithmetic (tests/support/implicit_orders.py stiff 10):
//   Backward Euler  2.4633 1.6051 1.0981 1.0390 1.0202 1.0103 ... 1.0007
//   Trapezoid       0.3501 1.3997 5.7986 9.8543 2.0004 2.0001 ... 2.0000
//   mid point       0.6305 1.4221 6.1430 3.7975 2.0005 2.0001 ... 2.0000
//   Radau IIA 3     3.4407 8.4437 -0.5983 2.5587 2.7243 2.8417 2.9144 2.9554
//                   2.9772 2.9885
//   Gauss-Legendre  1.0510 4.1374 9.9268 3.9646 3.9876 3.9970 ... 3.9999
// Until h·50 is small the stiff transient decides the error, not the order.
// Radau IIA 3 approaches its order 3 only slowly: its last order, 2.99 at
// N = 1024, is not yet within 0.1 of any order up to N = 64. Gauss-Legendre's
// error at N = 1024, 8.7E-14, lies within 64·√1024 rounding units, so its
// last own order is 4.00 at N = 512. The explicit methods leave the stable
// steps behind: Euler's one step of h = 1 gives 0 + 1·(-50·(0 - 1)) = 50
// against y(1) = 0.560869, two give -578.06, errors that no implicit method
// comes near; yet none grows too large to calculate with on [0, 1].
TEST(StudyOrders, OnTheStiffEquationTheImplicitMethodsShowTheirOrdersWhereTheExplicitOnesGrow) {
    const Problem problem = compiledProblem(problemText(libraryProblem("Stiff")));
    const ConvergenceStudy study = studyProblem(problem, 10);
    const struct {
        std::string_view method, orders;
    } columns[] = {
        {"Backward Euler", "(2.46) (1.61) 1.10 1.04 1.02 1.01"},
        {"Trapezoid", "(0.35) (1.40) (5.80) (9.85) 2.00 2.00"},
        {"Implicit mid point", "(0.63) (1.42) (6.14) (3.80) 2.00 2.00"},
        {"Radau IIA 3", "(3.44) (8.44) (-0.60) (2.56) (2.72) (2.84)"},
        {"Gauss-Legendre 4", "(1.05) (4.14) (9.93) 3.96 3.99 4.00"},
    };
    for (const auto& column : columns) {
        SCOPED_TRACE(column.method);
        const ConvergenceSeries& series = study.series[catalogueRow(methodByCaption(column.method))];
        EXPECT_EQ(shownOrders(series), column.orders);
    }
    const ConvergenceSeries& euler = study.series[0];
    EXPECT_EQ(errorText(*euler.points[0].error), "4.94E+01");
    EXPECT_EQ(errorText(*euler.points[1].error), "5.79E+02");
    // Only the own multistep method, not zero-stable, grows past what a double holds.
    for (const std::string& note : study.notes) {
        if (note.starts_with("Own multistep method")) continue;
        EXPECT_EQ(note.find("too large to calculate with"), std::string::npos) << note;
        EXPECT_EQ(note.find("without a value"), std::string::npos) << note;
    }
}

// A page that compares a set of methods studies that set and the lab's
// method beside it, here Euler, on the stiff equation to N = 2^13: the
// others' series stay empty, the runs are those of the study of every
// method, and the note on where the implicit runs stop comes only with an
// implicit method. The partitioned methods are studied, and do not apply.
TEST(StudyOrders, ASetOfMethodsIsStudiedAloneAndItsNotesSpeakOfItAlone) {
    const Problem problem = compiledProblem(problemText(libraryProblem("Stiff")));
    const std::string implicitNote =
        "The implicit methods' runs stop at N = 2^12 (4096 steps): each of their steps solves "
        "its stage equations by Newton's method, and their orders show well before.";
    const struct {
        MethodSet set;
        std::vector<std::string_view> methods;
        bool implicitNoted;
    } rows[] = {
        {MethodSet::implicitOneStep,
         {"Euler", "Backward Euler", "Trapezoid", "Implicit mid point", "SDIRK 2", "Radau IIA 3",
          "Gauss-Legendre 4"},
         true},
        {MethodSet::windowMethods,
         {"Euler", "Euler (End points)", "Euler (Mid point)", "Runge-Kutta 4",
          "Runge-Kutta-Fehlberg", "Runge-Kutta-Merson", "Runge-Kutta-Gill"},
         false},
        {MethodSet::symplectic,
         {"Euler", "Implicit mid point", "Gauss-Legendre 4", "Symplectic Euler",
          "St\u00f6rmer-Verlet"},
         true},
    };
    const std::size_t euler = catalogueRow(methodByCaption("Euler"));
    for (const auto& row : rows) {
        SCOPED_TRACE(methodSetEntry(row.set).caption);
        const ConvergenceStudy study =
            studyProblem(problem, 13, {}, {}, ReferenceAccuracy::standard, methodsIn(row.set, euler));
        std::vector<std::string_view> studied;
        for (const ConvergenceSeries& series : study.series) {
            if (series.method) {
                studied.push_back(series.method->caption);
            } else {
                EXPECT_TRUE(series.points.empty());
            }
        }
        EXPECT_EQ(studied, row.methods);
        EXPECT_EQ(std::count(study.notes.begin(), study.notes.end(), implicitNote),
                  row.implicitNoted ? 1 : 0);
    }
    const ConvergenceStudy implicitOnes = studyProblem(
        problem, 10, {}, {}, ReferenceAccuracy::standard, methodsIn(MethodSet::implicitOneStep, euler));
    const ConvergenceSeries& trapezoid =
        implicitOnes.series[catalogueRow(methodByCaption("Trapezoid"))];
    EXPECT_EQ(shownOrders(trapezoid), "(0.35) (1.40) (5.80) (9.85) 2.00 2.00");
}
