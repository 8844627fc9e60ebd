// The methods' runs on a system: the Lab steps rows of the harmonic
// oscillator, the errors in the maximum norm, the orders a nonlinear system
// shows, and a system of one component giving one equation's bits. The
// oscillator's texts come from tests/support/system_values.py (y in exact
// arithmetic; the errors from cos and sin in mpmath subtracted as the
// program subtracts them), not from the code under test.
#include "base/conversions.h"
#include "base/number_text.h"
#include "base/text_table.h"
#include "numerics/method_properties.h"
#include "numerics/convergence.h"
#include "numerics/reference.h"
#include "numerics/solution_paths.h"
#include "numerics/stage_step.h"
#include "numerics/state_operations.h"
#include "numerics/step_errors.h"

#include <gtest/gtest.h>

#include "tests/support/oscillators.h"

#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace pelorin;

namespace {

using pelorin::testing::oscillator;
// The lesson's equation as a system of one component.
StateVector lessonSystem(double x, const StateVector& y) { return {f1(x, y[0])}; }
StateVector overflowing(double, const StateVector& y) { return {1, y[1] * y[1]}; }
// Two equations that do not meet: the lesson's and y' = y.
StateVector uncoupled(double x, const StateVector& y) { return {f1(x, y[0]), y[1]}; }

std::vector<StateVector> oscillatorExact(const std::vector<double>& abscissae) {
    std::vector<StateVector> values;
    for (double x : abscissae) values.push_back({std::cos(x), -std::sin(x)});
    return values;
}

const Method& byCaption(std::string_view caption) { return methodByCaption(caption); }

std::size_t column(const TextTable& table, std::string_view heading) {
    for (std::size_t k = 0; k < table.header.size(); ++k) {
        if (table.header[k] == heading) return k;
    }
    ADD_FAILURE() << "no column " << heading;
    return 0;
}

// The cells of the columns y1, y2, error, error y1 and error y2, row by row.
using Rows = std::vector<std::vector<std::string>>;

Rows checkedColumns(const TextTable& table) {
    const std::vector<std::size_t> columns{column(table, "y1"), column(table, "y2"),
                                           column(table, "error"), column(table, "error y1"),
                                           column(table, "error y2")};
    Rows rows;
    for (const auto& cells : table.rows) {
        std::vector<std::string> picked;
        for (std::size_t k : columns) picked.push_back(cells[k]);
        rows.push_back(picked);
    }
    return rows;
}

}  // namespace

TEST(ComponentRuns, LabStepsOfTheOscillatorGiveTheWorkedTexts) {
    struct Example {
        std::string_view method;
        Rows rows;  // y1, y2, error (the norm), error y1, error y2, for i = 0 ... 10
    };
    const std::vector<Example> examples{
        {"Euler",
         {{"1", "0", "0", "0", "0"},
          {"1", "-0.1", "4.99583472197418E-03", "4.99583472197418E-03", "-1.66583353171851E-04"},
          {"0.99", "-0.2", "9.93342215875836E-03", "9.93342215875836E-03",
           "-1.33066920493879E-03"},
          {"0.97", "-0.299", "1.46635108743940E-02", "1.46635108743940E-02",
           "-3.47979333866044E-03"},
          {"0.9401", "-0.396", "1.90390059971148E-02", "1.90390059971148E-02",
           "-6.58165769134950E-03"},
          {"0.9005", "-0.49001", "2.29174381096272E-02", "2.29174381096272E-02",
           "-1.05844613957970E-02"},
          {"0.851499", "-0.58006", "2.61633850903218E-02", "2.61633850903218E-02",
           "-1.54175266049645E-02"},
          {"0.793493", "-0.6652099", "2.86508127155116E-02", "2.86508127155116E-02",
           "-2.09922127623089E-02"},
          {"0.72697201", "-0.7445592", "3.02653006528346E-02", "3.02653006528346E-02",
           "-2.72031091004773E-02"},
          // From here y2's error is the larger: the norm follows it.
          {"0.65251609", "-0.817256401", "3.39294913725167E-02", "3.09061217293356E-02",
           "-3.39294913725167E-02"},
          {"0.5707904499", "-0.88250801", "4.10370251921036E-02", "3.04881440318602E-02",
           "-4.10370251921036E-02"}}},
        {"Runge-Kutta 4",
         {{"1", "0", "0", "0", "0"},
          {"0.995004166666667", "-0.0998333333333333", "8.33134948113878E-08",
           "1.38864086896007E-09", "8.33134948113878E-08"},
          {"0.980066597239583", "-0.198669165277778", "1.65517283434724E-07",
           "1.93983417107191E-08", "1.65517283434724E-07"},
          {"0.955336542863976", "-0.295519962530663", "2.44130676951837E-07",
           "5.37383697540861E-08", "2.44130676951837E-07"},
          {"0.921061097792607", "-0.38941802558044", "3.16728210381090E-07",
           "1.03789721483949E-07", "3.16728210381090E-07"},
          {"0.877582730504437", "-0.47942515762394", "3.80980263225972E-07",
           "1.68614064266492E-07", "3.80980263225972E-07"},
          {"0.825335861877169", "-0.56464203870267", "4.34692365658407E-07",
           "2.46967490458161E-07", "4.34692365658407E-07"},
          {"0.764842524603391", "-0.644217211395055", "4.75842636071810E-07",
           "3.37318902365880E-07", "4.75842636071810E-07"},
          {"0.696707147219953", "-0.717355588282699", "5.02616823716551E-07",
           "4.37872787917293E-07", "5.02616823716551E-07"},
          // y1's error overtakes y2's between x = 0.8 and 0.9.
          {"0.621610514866744", "-0.783326396187029", "5.46596079731287E-07",
           "5.46596079731287E-07", "5.13440454708025E-07"},
          {"0.540302967116884", "-0.841470477800274", "6.61248744204812E-07",
           "6.61248744204812E-07", "5.07007622219113E-07"}}},
    };
    for (const Example& example : examples) {
        SCOPED_TRACE(example.method);
        const TextTable table = stepErrorTable(labStepErrors(byCaption(example.method), oscillator,
                                                             0, {1, 0}, 1, 0.1, oscillatorExact));
        const std::vector<std::string> header{"i",       "x",        "y1",      "y2",
                                              "exact y1", "exact y2", "error",   "error y1",
                                              "error y2"};
        EXPECT_EQ(table.header, header);
        EXPECT_EQ(checkedColumns(table), example.rows);
        ASSERT_EQ(table.rows.size(), 11u);
        EXPECT_EQ(table.rows.back()[1], "1");
        // cos 1 and -sin 1, as the list writes them (mpmath).
        EXPECT_EQ(table.rows.back()[4], "0.54030230586814");
        EXPECT_EQ(table.rows.back()[5], "-0.841470984807897");
        // The Global error plot draws the same norms.
        const ErrorPath plotted =
            globalErrors(solutionPath(byCaption(example.method), oscillator, 0, {1, 0}, 1, 0.1),
                         oscillatorExact);
        ASSERT_EQ(plotted.error.size(), example.rows.size());
        for (std::size_t i = 0; i < plotted.error.size(); ++i) {
            EXPECT_EQ(fullErrorText(plotted.error[i]), example.rows[i][2]) << "i = " << i;
        }
    }
}

TEST(ComponentRuns, TheHeadingsSayWhatTheErrorsAreMeasuredAgainst) {
    struct Example {
        const char* name;
        std::string_view method;
        SolutionSamplesOf<StateVector> solution;
        Comparison comparison;
        std::vector<std::string> header;
    };
    const std::vector<Example> examples{
        {"a reference, with an estimate",
         "Runge-Kutta-Merson",
         oscillatorExact,
         Comparison::reference,
         {"i", "x", "y1", "y2", "reference y1", "reference y2", "error", "error y1", "error y2",
          "estimate"}},
        {"nothing to compare with",
         "Runge-Kutta-Fehlberg",
         {},
         Comparison::exact,
         {"i", "x", "y1", "y2", "estimate"}},
        {"nothing, no estimate",
         "Euler (Mid point)",
         {},
         Comparison::exact,
         {"i", "x", "y1", "y2"}},
    };
    for (const Example& example : examples) {
        SCOPED_TRACE(example.name);
        const TextTable table = stepErrorTable(labStepErrors(
            byCaption(example.method), oscillator, 0, {1, 0}, 1, 0.5, example.solution,
            example.comparison));
        EXPECT_EQ(table.header, example.header);
        ASSERT_EQ(table.rows.size(), 3u);
        EXPECT_EQ(table.rows.front().size(), example.header.size());
    }
}

// The oscillator's reference as the Field page asks for it after it stopped
// before x = 0.5: NaN in every component from there on.
namespace {
std::vector<StateVector> stoppedBeforeHalf(const std::vector<double>& abscissae) {
    std::vector<StateVector> values = oscillatorExact(abscissae);
    for (std::size_t i = 0; i < abscissae.size(); ++i) {
        if (abscissae[i] >= 0.5) values[i] = {std::nan(""), std::nan("")};
    }
    return values;
}
}  // namespace

// Rows at or past where the solution ends, where its reference is no
// longer trusted, or past where the reference stopped, have nothing to
// compare with, in every component's cells.
TEST(ComponentRuns, RowsPastTheSolutionSayWhyTheyHaveNoError) {
    enum class Stop { solutionEnds, untrusted, referenceStopped };
    struct Example {
        const char* name;
        Stop stop;
        std::string words;
    };
    for (const Example& example :
         {Example{"the solution ends", Stop::solutionEnds, "no solution here"},
          Example{"the reference is not trusted", Stop::untrusted, "not trusted"},
          Example{"the reference stopped", Stop::referenceStopped, "no reference here"}}) {
        SCOPED_TRACE(example.name);
        StepErrorsOf<StateVector> errors = labStepErrors(
            byCaption("Euler"), oscillator, 0, {1, 0}, 1, 0.5,
            example.stop == Stop::referenceStopped ? stoppedBeforeHalf : oscillatorExact,
            Comparison::reference);
        if (example.stop == Stop::solutionEnds) errors.end = SolutionEnd{0, 0.5};
        if (example.stop == Stop::untrusted) errors.trustEnds = SolutionEnd{0, 0.5};
        const TextTable table = stepErrorTable(errors);
        ASSERT_EQ(table.rows.size(), 3u);
        EXPECT_EQ(table.rows[0][6], "0");
        for (std::size_t i = 1; i < table.rows.size(); ++i) {
            const std::vector<std::string> shown(table.rows[i].begin() + 4, table.rows[i].end());
            EXPECT_EQ(shown, std::vector<std::string>(5, example.words));
            // y is the method's own and stays.
            EXPECT_EQ(table.rows[i][2], i == 1 ? "1" : "0.75");
        }
    }
}

// On two equations that do not meet, each component's estimate is that
// equation's own, and the row's is the larger in size: the norm of the
// pair's estimate taken per component from its stages. From y2 = 0.1 the
// lesson's component has the larger estimate at every step, from y2 = 10
// the growing one.
TEST(ComponentRuns, AnEmbeddedPairsEstimateIsTheNormOfTheComponentsEstimates) {
    struct Example {
        double growthStart;
        bool growthLarger;
    };
    const Slope growth = [](double, double y) { return y; };
    for (const Example& example : {Example{0.1, false}, Example{10, true}}) {
        for (std::string_view caption : {"Runge-Kutta-Fehlberg", "Runge-Kutta-Merson"}) {
            SCOPED_TRACE(std::string(caption) + " from y2 = " + numberToText(example.growthStart));
            const Method& method = byCaption(caption);
            const StepErrorsOf<StateVector> errors =
                labStepErrors(method, uncoupled, 0, {-1, example.growthStart}, 2, 0.5, {});
            ASSERT_EQ(errors.rows.size(), 5u);
            EXPECT_FALSE(errors.rows[0].estimate);
            for (std::size_t i = 1; i < errors.rows.size(); ++i) {
                const StepErrorOf<StateVector>& before = errors.rows[i - 1];
                const double lesson = std::fabs(
                    stepByStages(*tableauOf(method), before.x, before.y[0], 0.5, f1).estimate);
                const double grown = std::fabs(
                    stepByStages(*tableauOf(method), before.x, before.y[1], 0.5, growth).estimate);
                ASSERT_TRUE(errors.rows[i].estimate);
                EXPECT_EQ(*errors.rows[i].estimate, example.growthLarger ? grown : lesson);
                EXPECT_EQ(grown > lesson, example.growthLarger);
            }
        }
    }
}

TEST(ComponentRuns, ARunStopsBeforeAStepWithAComponentNotFinite) {
    const PathOf<StateVector> path =
        solutionPath(byCaption("Euler"), overflowing, 0, {0, 1e200}, 1, 0.25);
    EXPECT_EQ(path.end, PathEnd::notFinite);
    ASSERT_EQ(path.x.size(), 1u);
    EXPECT_EQ(pathNote(path),
              "Euler, h = 0.25: step 1 from (0, 0, 1E+200) gives no finite value (f is not finite "
              "on the step, or the numbers grew too large to calculate with); the run stops "
              "there.");
    // The table says so, and has no row past the start.
    const StepErrorsOf<StateVector> errors =
        labStepErrors(byCaption("Euler"), overflowing, 0, {0, 1e200}, 1, 0.25, {});
    EXPECT_EQ(errors.notes, std::vector<std::string>{pathNote(path)});
    EXPECT_EQ(errors.rows.size(), 1u);
}

TEST(ComponentRuns, ASystemOfOneComponentGivesTheEquationsBits) {
    const double x0 = 0, y0 = -1, x1 = 1, h = 0.3;
    const auto scalar = everyMethodPath(f1, x0, y0, x1, h);
    const auto system = everyMethodPath(lessonSystem, x0, {y0}, x1, h);
    for (std::size_t row = 0; row < methodCatalogue.size(); ++row) {
        SCOPED_TRACE(methodCatalogue[row].caption);
        EXPECT_EQ(system[row].x, scalar[row].x);
        ASSERT_EQ(system[row].y.size(), scalar[row].y.size());
        for (std::size_t i = 0; i < scalar[row].y.size(); ++i) {
            EXPECT_EQ(system[row].y[i][0], scalar[row].y[i]);
        }
        EXPECT_EQ(system[row].stepsToEnd, scalar[row].stepsToEnd);
    }
    const auto halvedScalar = halvedPaths(byCaption("Runge-Kutta-Gill"), f1, x0, y0, x1, h);
    const auto halvedSystem =
        halvedPaths(byCaption("Runge-Kutta-Gill"), lessonSystem, x0, {y0}, x1, h);
    for (std::size_t k = 0; k < halvedScalar.size(); ++k) {
        ASSERT_EQ(halvedSystem[k].y.size(), halvedScalar[k].y.size());
        EXPECT_EQ(halvedSystem[k].y.back()[0], halvedScalar[k].y.back());
    }

    const ConvergenceStudy one = studyConvergence(lessonProblem(0, -1, 1), 12);
    const ConvergenceStudy oneAsSystem = studyConvergence(
        ConvergenceProblemOf<StateVector>{
            0, {-1}, 1, lessonSystem, {lessonProblem(0, -1, 1).exactAtEnd}, 0},
        12);
    for (std::size_t row = 0; row < methodCatalogue.size(); ++row) {
        SCOPED_TRACE(methodCatalogue[row].caption);
        const auto& a = one.series[row];
        const auto& b = oneAsSystem.series[row];
        ASSERT_EQ(a.points.size(), b.points.size());
        for (std::size_t i = 0; i < a.points.size(); ++i) {
            EXPECT_EQ(a.points[i].error, b.points[i].error);
            EXPECT_EQ(a.points[i].order, b.points[i].order);
            EXPECT_EQ(a.points[i].reading, b.points[i].reading);
        }
        EXPECT_EQ(a.floor, b.floor);
        EXPECT_EQ(a.coveredBy, b.coveredBy);
    }
    EXPECT_EQ(one.notes, oneAsSystem.notes);
}

// Read on one component alone, a system's study is that component's own:
// beside y' = -2x - y the second component y2' = 0 from 0 is exact, so
// component 1's orders, readings, floors and hidden curves are the single
// equation's, and component 2 has errors of 0 and no order at all.
TEST(ComponentRuns, AComponentReadAloneGivesItsOwnOrders) {
    const SlopeOf<StateVector> lessonBesideRest = [](double x, const StateVector& y) {
        return StateVector{f1(x, y[0]), 0.0};
    };
    const ConvergenceStudy one = studyConvergence(lessonProblem(0, -1, 1), 12);
    const ConvergenceStudy system = studyConvergence(
        ConvergenceProblemOf<StateVector>{0, {-1, 0}, 1, lessonBesideRest,
                                 {lessonProblem(0, -1, 1).exactAtEnd, 0}, 0},
        12);
    const ConvergenceStudy first = componentConvergence(system, 0);
    const ConvergenceStudy second = componentConvergence(system, 1);
    for (std::size_t row = 0; row < methodCatalogue.size(); ++row) {
        SCOPED_TRACE(methodCatalogue[row].caption);
        const auto& a = one.series[row];
        const auto& b = first.series[row];
        ASSERT_EQ(a.points.size(), b.points.size());
        for (std::size_t i = 0; i < a.points.size(); ++i) {
            EXPECT_EQ(a.points[i].error, b.points[i].error);
            EXPECT_EQ(a.points[i].order, b.points[i].order);
            EXPECT_EQ(a.points[i].reading, b.points[i].reading);
            EXPECT_EQ(second.series[row].points[i].error, 0.0);
            EXPECT_FALSE(second.series[row].points[i].order);
        }
        EXPECT_EQ(a.floor, b.floor);
        EXPECT_EQ(a.coveredBy, b.coveredBy);
    }
    EXPECT_EQ(first.notes, one.notes);
}

// Where the error of a system is the largest component's, one step of
// Euler with h = 1 from (1, 0) reaches (1, -1): errors 1 - cos 1 and
// 1 - sin 1 (mpmath: 0.459697694131860..., 0.158529015192103...).
TEST(ComponentRuns, ConvergenceMeasuresTheLargestComponentsError) {
    const ConvergenceProblemOf<StateVector> problem{
        0, {1, 0}, 1, oscillator, {std::cos(1.0), -std::sin(1.0)}, 0};
    const ConvergenceStudy study = studyConvergence(problem, 2);
    const ConvergencePoint& first = study.series[0].points[0];
    ASSERT_TRUE(first.error);
    EXPECT_EQ(fullErrorText(*first.error), "4.59697694131860E-01");
    ASSERT_EQ(first.componentErrors.size(), 2u);
    EXPECT_EQ(fullErrorText(first.componentErrors[0]), "4.59697694131860E-01");
    EXPECT_EQ(fullErrorText(first.componentErrors[1]), "1.58529015192103E-01");
}

// On a nonlinear system the look-alike pairs, which give the same numbers on
// a linear one, part ways; the orders the study reads as settled on the
// pendulum round to the methods' own (up to N = 2^12 its reference decides
// the last orders of the higher-order methods).
TEST(ComponentRuns, OrdersOnANonlinearSystemSettleAndTheLookAlikesPartWays) {
    struct Example {
        const char* name;
        SlopeOf<StateVector> F;
        bool linear;
    };
    // Split into positions and momenta, so the partitioned methods run too.
    const std::vector<Example> examples{
        {"the oscillator", pelorin::testing::splitOscillator(), true},
        {"the pendulum", pelorin::testing::splitPendulum(), false}};
    for (const Example& example : examples) {
        SCOPED_TRACE(example.name);
        const ReferenceSolutionOf<StateVector> reference =
            referenceSolution(example.F, 0, {1, 0}, {1});
        ASSERT_EQ(reference.y.size(), 1u);
        const StateVector atEnd = reference.y.back();
        const double measurable = reference.relativeAccuracy * std::max(1.0, stateNorm(atEnd));
        const ConvergenceStudy study = studyConvergence(
            ConvergenceProblemOf<StateVector>{0, {1, 0}, 1, example.F, atEnd, measurable}, 12);
        // On the oscillator the two-stage methods of order 2 and the four-stage
        // ones of order 4 give the same numbers; the last of each covers the others.
        const std::vector<std::pair<std::string_view, std::string_view>> covered{
            {"Euler (End points)", "Ralston 2"}, {"Euler (Mid point)", "Ralston 2"},
            {"Runge-Kutta 4", "Kutta 3/8"},      {"Runge-Kutta-Gill", "Kutta 3/8"}};
        for (const auto& [method, by] : covered) {
            const std::optional<std::size_t> coveredBy =
                study.series[catalogueRow(methodByCaption(method))].coveredBy;
            EXPECT_EQ(coveredBy ? labCatalogue()[*coveredBy].caption : "", example.linear ? by : "")
                << method;
        }
        if (example.linear) continue;
        for (const ConvergenceSeries& series : study.series) {
            SCOPED_TRACE(series.method->caption);
            // Not zero-stable: its errors grow as h shrinks, with no order to settle on.
            if (series.method == &ownMultistepEntry()) continue;
            std::optional<double> lastSettled;
            for (const ConvergencePoint& point : series.points) {
                if (point.order && point.reading == OrderReading::settled)
                    lastSettled = point.order;
            }
            ASSERT_TRUE(lastSettled);
            EXPECT_EQ(std::lround(*lastSettled), orderOf(*series.method));
        }
    }
}
