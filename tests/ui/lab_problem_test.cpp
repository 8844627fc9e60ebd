// The problem the Method lab studies: its boxes read strictly, the last good
// problem kept and the reason given; a problem of the library studied on its
// own equation; problem and lesson files opened, refused with the reason, and
// saved and read back; a system's boxes, the order Tab walks them in, and
// switching the form. The lab is the program's loaded plugin, seen through
// Qt's and QCustomPlot's classes and the names a screen reader reads.
#include "tests/support/lab_window.h"
#include "problem/problem_file.h"
#include "problem/system_library.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <cstdlib>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using pelorin::testing::Lab;
using pelorin::testing::type;
using pelorin::testing::settleStudies;
using pelorin::testing::labBox;
using pelorin::testing::named;
using pelorin::testing::methodBox;
using pelorin::testing::label;
using pelorin::testing::typeStep;
using pelorin::testing::table;

// Writes `bytes` as a problem file in a folder of its own and opens it in
// the lab as Open does: why it could not, or "" when it did.
QString openFileHolding(QWidget* lab, const QByteArray& bytes) {
    QTemporaryDir folder;
    QFile file(folder.filePath("problem.pelorin"));
    if (!folder.isValid() || !file.open(QIODevice::WriteOnly)) return "no file written";
    file.write(bytes);
    file.close();
    QString failure = "not opened";
    QMetaObject::invokeMethod(lab, "openProblemFile", Q_RETURN_ARG(QString, failure),
                              Q_ARG(QString, file.fileName()));
    return failure;
}

// The lab reads its boxes strictly: "0,5" and "abc" are not taken as 0.
// The last good values stay in force, the notes beside the boxes say why,
// and the pages go on with those values.
TEST_F(Lab, BoxesKeepTheirLastGoodValueAndSayWhyATextWasNotUsed) {
    enter("0", "-1", "1", "0.4");
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QLabel* notes = label(*lab, "Box notes");
    ASSERT_NE(notes, nullptr);
    EXPECT_FALSE(notes->isVisible());
    QTableWidget* orders = table(*lab, "Orders");
    const QString before = orders->item(5, 0)->text();
    for (QLineEdit* edit : lab->findChildren<QLineEdit*>()) {
        const QString name = edit->accessibleName();
        if (name != "x0" && name != "y0") continue;
        type(edit, name == "x0" ? "0,5" : "abc");
        QTest::keyClick(edit, Qt::Key_Return);
    }
    settleStudies();
    EXPECT_TRUE(notes->isVisible());
    EXPECT_EQ(notes->text(),
              "x0: \"0,5\" is not a number: use a point, not a comma, for decimals; x0 stays 0.\n"
              "y0: \"abc\" is not a number; y0 stays -1.");
    EXPECT_EQ(orders->item(5, 0)->text(), before);
}

// A problem from the library is studied on its own equation, off the
// window's thread: on the textbook's y' = y - x^2 + 1 the end-point and
// mid-point methods part ways. A text that is no formula leaves the last
// good equation in force, says why, and makes the problem the user's own.
TEST_F(Lab, AProblemFromTheLibraryIsStudiedOnItsOwnEquation) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QComboBox* problem = named<QComboBox>(*lab, "Problem");
    ASSERT_NE(problem, nullptr);
    problem->setCurrentIndex(1);
    emit problem->activated(1);
    EXPECT_EQ(labBox(*lab, "f(x, y)"), "y - x^2 + 1");
    EXPECT_EQ(labBox(*lab, "x1"), "2");
    QTableWidget* orders = table(*lab, "Orders");
    ASSERT_TRUE(QTest::qWaitFor([&] { return orders->rowCount() == 16; }, 60000));
    EXPECT_NE(orders->item(5, 1)->text(), orders->item(5, 2)->text());
    const char* settled[] = {"1", "2", "2", "4", "5", "4", "4"};
    for (int column = 0; column < 7; ++column) {
        SCOPED_TRACE(column);
        EXPECT_NEAR(orders->item(5, column)->text().toDouble(), std::atof(settled[column]), 0.1);
    }

    for (QLineEdit* edit : lab->findChildren<QLineEdit*>()) {
        if (edit->accessibleName() != "f(x, y)") continue;
        type(edit, "y - x^2 +");
        QTest::keyClick(edit, Qt::Key_Return);
    }
    QLabel* notes = label(*lab, "Box notes");
    ASSERT_NE(notes, nullptr);
    EXPECT_TRUE(notes->text().startsWith("f(x, y): ")) << notes->text().toStdString();
    EXPECT_TRUE(notes->text().endsWith("the lab goes on with f(x, y) = y - x^2 + 1."))
        << notes->text().toStdString();
    EXPECT_EQ(problem->currentText(), "Your own");
}

// A problem file named when the program starts opens the lab with that
// problem; a damaged or newer file says why and changes nothing.
TEST_F(Lab, AProblemFileOpensTheLabWithItsProblemOrSaysWhyNot) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const auto write = [&](const char* name, const QByteArray& bytes) {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    };
    const QString good = write("logistic.pelorin", R"json({"format": "pelorin-problem", "version": 1,
        "name": "Mine", "f": "y*(1 - y)", "exact": "", "x0": "0", "y0": "0.25", "x1": "3"})json");
    form.openProblemFile(good);
    const auto open = labs();
    ASSERT_EQ(open.size(), 1);
    QWidget* lab = open.front();
    EXPECT_EQ(labBox(*lab, "f(x, y)"), "y*(1 - y)");
    EXPECT_EQ(labBox(*lab, "exact y(x)"), "");
    EXPECT_EQ(labBox(*lab, "y0"), "0.25");
    EXPECT_EQ(labBox(*lab, "x1"), "3");

    // A file the lab's boxes cannot hold is refused, not opened as an empty
    // equation: a single equation with parameters. Systems and y'' = f open.
    const QByteArray version3 = R"json({"format": "pelorin-problem", "version": 3, "name": "", )json";
    const QByteArray lesson = R"json(, "x0": "0", "x1": "2", "invariant": "",
        "method": "Runge-Kutta 4", "h": "0.1", "page": "Field", "tolerance": "1E-6",
        "tolerance kind": "absolute and relative", "error per unit step": false,
        "safety factor": "0.9", "largest growth": "5", "smallest shrink": "0.2"})json";
    const struct {
        const char* name;
        QByteArray bytes;
    } bad[] = {
        {"newer.pelorin", R"json({"format": "pelorin-problem", "version": 4, "name": "", "f": "y",
            "exact": "", "x0": "0", "y0": "1", "x1": "1"})json"},
        {"parameter.pelorin", version3 + R"json("form": "equation", "f": "-k*y", "exact": "",
            "y0": "1", "parameters": "k = 3")json" + lesson},
        {"truncated.pelorin", R"json({"format": "pelorin-problem", "version": 1, "na)json"},
        {"not json.pelorin", "\x89PNG\r\n"},
        // Files that read as files but whose equation the lab cannot use,
        // named after a library entry and asking for another page, method
        // and form: opened, they would show their boxes while the lab went
        // on with the last good equation.
        {"broken f.pelorin", R"json({"format": "pelorin-problem", "version": 1, "name": "",
            "f": "y*(1 - ", "exact": "", "x0": "0", "y0": "1", "x1": "1"})json"},
        {"parameter twice.pelorin", R"json({"format": "pelorin-problem", "version": 3,
            "name": "Harmonic oscillator: y'' = -y", "form": "system", "parameters": "a = 1, a = 2",
            "components": [{"slope": "a*y2", "start": "1", "exact": ""},
                           {"slope": "-y1", "start": "0", "exact": ""}])json" + lesson},
        {"y3 of two.pelorin", R"json({"format": "pelorin-problem", "version": 3,
            "name": "Harmonic oscillator: y'' = -y", "form": "system", "parameters": "",
            "components": [{"slope": "y3", "start": "1", "exact": ""},
                           {"slope": "-y1", "start": "0", "exact": ""}])json" + lesson},
    };
    QComboBox* method = named<QComboBox>(*lab, "Method");
    const QString methodBefore = method->currentText();
    const QString problemBefore = named<QComboBox>(*lab, "Problem")->currentText();
    for (const auto& row : bad) {
        SCOPED_TRACE(row.name);
        QString failure;
        ASSERT_TRUE(QMetaObject::invokeMethod(lab, "openProblemFile", Q_RETURN_ARG(QString, failure),
                                              Q_ARG(QString, write(row.name, row.bytes))));
        EXPECT_TRUE(failure.startsWith("Could not open")) << failure.toStdString();
        EXPECT_TRUE(failure.endsWith("Nothing was changed.")) << failure.toStdString();
        EXPECT_EQ(labBox(*lab, "f(x, y)"), "y*(1 - y)");
        EXPECT_EQ(labBox(*lab, "x1"), "3");
        EXPECT_EQ(named<QComboBox>(*lab, "Form")->currentText(), "one equation y' = f(x, y)");
        EXPECT_EQ(named<QComboBox>(*lab, "Problem")->currentText(), problemBefore);
        EXPECT_EQ(method->currentText(), methodBefore);
    }

    const struct {
        const char* name;
        QByteArray bytes;
        const char* form;
        std::vector<std::pair<const char*, const char*>> boxes;
    } systems[] = {
        {"system.pelorin", version3 + R"json("form": "system", "parameters": "a = 2/3",
            "components": [{"slope": "a*y1 - y1*y2", "start": "1", "exact": ""},
                           {"slope": "y1*y2 - y2", "start": "0.5", "exact": ""}])json" + lesson,
         "a system y1' \u2026 yn'",
         {{"y1'", "a*y1 - y1*y2"}, {"y2'", "y1*y2 - y2"}, {"y1(x0)", "1"}, {"y2(x0)", "0.5"},
          {"Parameters", "a = 2/3"}, {"x1", "2"}}},
        {"second order.pelorin", version3 + R"json("form": "second order", "y''": "-y",
            "y(x0)": "1", "y'(x0)": "0", "exact": "", "parameters": "")json" + lesson,
         "y'' = f(x, y, y')", {{"y''", "-y"}, {"y(x0)", "1"}, {"y'(x0)", "0"}}},
    };
    for (const auto& row : systems) {
        SCOPED_TRACE(row.name);
        QString failure;
        ASSERT_TRUE(QMetaObject::invokeMethod(lab, "openProblemFile", Q_RETURN_ARG(QString, failure),
                                              Q_ARG(QString, write(row.name, row.bytes))));
        EXPECT_EQ(failure, "");
        EXPECT_EQ(named<QComboBox>(*lab, "Form")->currentText(), QString::fromUtf8(row.form));
        for (const auto& [box, text] : row.boxes) EXPECT_EQ(labBox(*lab, box), text) << box;
    }
}

// A teacher prepares a lesson (Fehlberg adapting its steps on the stiff
// problem, the controller set, the implicit methods compared and side by
// side) and saves it; a student's lab opens it as it was, and its save
// dialogs suggest names that say what they hold.
TEST_F(Lab, ALessonFileRestoresTheLesson) {
    QWidget* teacher = openWithCtrlL();
    ASSERT_NE(teacher, nullptr);
    QComboBox* problem = named<QComboBox>(*teacher, "Problem");
    problem->setCurrentIndex(5);
    QMetaObject::invokeMethod(problem, "activated", Q_ARG(int, 5));
    ASSERT_EQ(problem->currentText().toStdString(), "Stiff: y' = -50(y - cos x)");
    methodBox(*teacher)->setCurrentIndex(4);
    typeStep(*teacher, "0.10");
    QTest::keyClick(teacher, Qt::Key_A, Qt::AltModifier);
    type(named<QLineEdit>(*teacher, "Tolerance"), "1E-2");
    named<QComboBox>(*teacher, "Tolerance kind")->setCurrentIndex(2);
    named<QCheckBox>(*teacher, "Error per unit step")->setChecked(true);
    type(named<QLineEdit>(*teacher, "Safety factor"), "0.8");
    QComboBox* compared = named<QComboBox>(*teacher, "Methods");
    compared->setCurrentIndex(compared->findText("Implicit Runge-Kutta methods"));
    named<QCheckBox>(*teacher, "Implicit methods")->setChecked(true);

    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QByteArray bytes;
    ASSERT_TRUE(QMetaObject::invokeMethod(teacher, "problemFileBytes", Q_RETURN_ARG(QByteArray, bytes)));
    QFile file(folder.filePath("stiff.pelorin"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    delete teacher;

    form.openProblemFile(file.fileName());
    ASSERT_EQ(labs().size(), 1);
    const QWidget& student = *labs().front();
    EXPECT_EQ(named<QComboBox>(student, "Problem")->currentText().toStdString(),
              "Stiff: y' = -50(y - cos x)");
    EXPECT_EQ(methodBox(student)->currentText().toStdString(), "Runge-Kutta-Fehlberg");
    EXPECT_EQ(labBox(student, "h"), "0.10");
    const auto* pages = student.findChild<QTabWidget*>();
    EXPECT_EQ(pages->tabText(pages->currentIndex()).toStdString(), "&Adaptive");
    EXPECT_EQ(labBox(student, "Tolerance"), "1E-2");
    EXPECT_EQ(named<QComboBox>(student, "Tolerance kind")->currentIndex(), 2);
    EXPECT_TRUE(named<QCheckBox>(student, "Error per unit step")->isChecked());
    EXPECT_EQ(labBox(student, "Safety factor"), "0.8");
    EXPECT_EQ(labBox(student, "Largest growth"), "5");
    EXPECT_EQ(named<QComboBox>(student, "Methods")->currentText(), "Implicit Runge-Kutta methods");
    EXPECT_TRUE(named<QCheckBox>(student, "Implicit methods")->isChecked());
    EXPECT_FALSE(named<QCheckBox>(student, "All seven methods")->isChecked());

    const struct {
        const char* plot;
        const char* name;
    } plots[] = {
        {"Step size plot", "stiff-adaptive-runge-kutta-fehlberg-h0.1-step-size-plot"},
        {"Stability region", "stiff-stability-runge-kutta-fehlberg-h0.1-stability-region"},
        {"Convergence plot", "stiff-convergence-convergence-plot"},
    };
    for (const auto& row : plots) {
        SCOPED_TRACE(row.plot);
        const auto* plot = named<QCustomPlot>(student, row.plot);
        ASSERT_NE(plot, nullptr);
        EXPECT_EQ(plot->property("fileStem").toString().toStdString(), row.name);
    }
}

TEST_F(Lab, ALessonFileNamingNoPageOfTheLabChangesNothing) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QByteArray bytes;
    ASSERT_TRUE(QMetaObject::invokeMethod(lab, "problemFileBytes", Q_RETURN_ARG(QByteArray, bytes)));
    bytes.replace("\"page\": \"Convergence\"", "\"page\": \"Sliders\"");
    bytes.replace("\"f\": \"-2*x - y\"", "\"f\": \"y\"");
    const QString failure = openFileHolding(lab, bytes);
    EXPECT_TRUE(failure.endsWith(": its \"page\" \"Sliders\" is not a page of the lab (Convergence, "
                                 "Stability, One step, Field, Adaptive, Phase plane, Tableau). "
                                 "Nothing was changed."))
        << failure.toStdString();
    EXPECT_EQ(labBox(*lab, "f(x, y)"), "-2*x - y");
}

// Every system of the Problem list is saved as it stands in the boxes and
// read back as the same texts: a lesson on a system survives its file.
TEST_F(Lab, ASystemIsSavedAndReadBackAsItsBoxesHoldIt) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QComboBox* problem = named<QComboBox>(*lab, "Problem");
    for (const pelorin::LibrarySystem& entry : pelorin::systemLibrary) {
        SCOPED_TRACE(entry.name);
        const int row = problem->findText(QString::fromUtf8(entry.name.data(),
                                                             static_cast<qsizetype>(entry.name.size())));
        ASSERT_GE(row, 0);
        problem->setCurrentIndex(row);
        emit problem->activated(row);
        QByteArray bytes;
        ASSERT_TRUE(QMetaObject::invokeMethod(lab, "problemFileBytes", Q_RETURN_ARG(QByteArray, bytes)));
        const pelorin::ProblemFileReading read =
            pelorin::readProblemFile(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        ASSERT_TRUE(read.problem) << read.error;
        EXPECT_EQ(read.problem->name, entry.name);
        // The lab opens on the Convergence page, where a stiff entry has a
        // range of its own.
        EXPECT_EQ(read.problem->x1, entry.pageRange.page == "Convergence" ? entry.pageRange.x1 : entry.x1);
        pelorin::ProblemText saved = pelorin::problemText(entry);
        saved.x1 = read.problem->x1;
        EXPECT_EQ(*read.problem, saved);
    }
}

// A system's boxes read strictly: what cannot be used is named with its box
// and character, and the last good problem stays in force, on every page.
TEST_F(Lab, ASystemsBoxesSayWhatCannotBeUsedAndKeepTheLastGoodProblem) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QComboBox* problem = named<QComboBox>(*lab, "Problem");
    const int row = problem->findText("Lotka-Volterra: predators and prey");
    problem->setCurrentIndex(row);
    emit problem->activated(row);
    QLabel* notes = label(*lab, "Box notes");
    const QString goingOn =
        "; the lab goes on with y1' = a*y1 - b*y1*y2; y2' = c*y1*y2 - d*y2.";
    const struct {
        const char* box;
        QString typed;
        QString note;
    } rows[] = {
        {"y1'", "y3*y1",
         "y1': \"y3\" at character 1 is not known here: a system of 2 components has y1 and y2" +
             goingOn},
        {"y2'", "", "y2': the box is empty: type a formula such as x*y1 - y2" + goingOn},
        {"Parameters", "a = 2/3, a = 1",
         "Parameters: \"a\" at character 10 is given twice: it is given first at character 1" +
             goingOn},
        {"y2(x0)", "1,5",
         "y2(x0): \"1,5\" is not a number: use a point, not a comma, for decimals; y2(x0) stays 1."},
        {"y1'", QString(1000, 'y'),
         "y1': \"" + QString(1000, 'y').left(0)},  // checked by its start below
    };
    for (const auto& typed : rows) {
        SCOPED_TRACE(typed.box);
        QLineEdit* box = nullptr;
        for (QLineEdit* edit : lab->findChildren<QLineEdit*>()) {
            if (edit->accessibleName() == typed.box && edit->isVisible()) box = edit;
        }
        ASSERT_NE(box, nullptr);
        const QString before = box->text();
        box->setText(typed.typed);
        emit box->editingFinished();
        EXPECT_TRUE(notes->text().startsWith(typed.note)) << notes->text().toStdString();
        EXPECT_EQ(problem->currentText(), "Your own");
        box->setText(before);
        emit box->editingFinished();
        EXPECT_EQ(notes->text(), "");
    }

    // Six components of the longest formulas the boxes take: read, run and
    // listed, a column each. The predators' invariant, which these slopes
    // do not keep, is cleared.
    named<QSpinBox>(*lab, "Components")->setValue(6);
    named<QLineEdit>(*lab, "Invariant")->setText("");
    QString longest = "y1";
    while (longest.size() + 5 <= 1000) longest += " + y1";
    for (QLineEdit* edit : lab->findChildren<QLineEdit*>()) {
        const QString name = edit->accessibleName();
        if (name.size() == 3 && name.startsWith('y') && name.endsWith('\'')) edit->setText(longest);
        if (name.endsWith("(x0)") && name.startsWith('y')) edit->setText("1E-3");
    }
    named<QLineEdit>(*lab, "x1")->setText("0.1");
    emit named<QLineEdit>(*lab, "x1")->editingFinished();
    EXPECT_EQ(notes->text(), "");
    EXPECT_EQ(longest.size(), 997);

    // A refusal quotes the problem the lab goes on with by its start and
    // length, not its six thousand characters, so the plots stay in sight.
    QLineEdit* sixth = nullptr;
    for (QLineEdit* edit : lab->findChildren<QLineEdit*>()) {
        if (edit->accessibleName() == "y6'") sixth = edit;
    }
    ASSERT_NE(sixth, nullptr);
    sixth->setText("y7");
    emit sixth->editingFinished();
    // Six "yk' = " and 997 characters each, joined by "; ": 6028 characters.
    const QString quoted = "; the lab goes on with y1' = " + longest.left(114) + " \u2026 (6028 characters).";
    EXPECT_TRUE(notes->text().endsWith(quoted)) << notes->text().toStdString();
    EXPECT_LT(notes->text().size(), 400);
}

// Switching the form leaves a library entry's parameters and invariant
// behind with it; a student's own stay.
TEST_F(Lab, SwitchingTheFormLeavesALibraryEntrysParametersBehind) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QComboBox* problem = named<QComboBox>(*lab, "Problem");
    QComboBox* form = named<QComboBox>(*lab, "Form");
    const int stiff = problem->findText("Van der Pol, stiff", Qt::MatchStartsWith);
    problem->setCurrentIndex(stiff);
    emit problem->activated(stiff);
    ASSERT_EQ(labBox(*lab, "Parameters"), "mu = 1000");
    const int system = form->findText("a system", Qt::MatchStartsWith);
    form->setCurrentIndex(system);
    emit form->activated(system);
    EXPECT_EQ(labBox(*lab, "Parameters"), "");
    EXPECT_EQ(labBox(*lab, "Invariant"), "");
    EXPECT_EQ(problem->currentText(), "Your own");

    named<QLineEdit>(*lab, "Parameters")->setText("c = 0.5");
    const int secondOrder = form->findText("y'' = ", Qt::MatchStartsWith);
    form->setCurrentIndex(secondOrder);
    emit form->activated(secondOrder);
    EXPECT_EQ(labBox(*lab, "Parameters"), "c = 0.5");
}

// One equation's invariant has a box of its own: the lesson's equation
// keeps (y + 2x - 2)·e^x, its solutions being 2 - 2x + C·e^(-x), and takes
// it without a note; typed, it makes the problem the student's own, goes
// into the problem file and comes back from it. Choosing a problem of the
// library clears it.
TEST_F(Lab, OneEquationsInvariantIsSavedReadBackAndClearedByTheLibrary) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QComboBox* problem = named<QComboBox>(*lab, "Problem");
    ASSERT_EQ(problem->currentIndex(), 0);
    QLineEdit* invariant = nullptr;
    for (QLineEdit* edit : lab->findChildren<QLineEdit*>()) {
        if (edit->accessibleName() == "Invariant" && edit->isVisible()) invariant = edit;
    }
    ASSERT_NE(invariant, nullptr);
    EXPECT_EQ(invariant->placeholderText(), "none");
    invariant->setText("(y + 2*x - 2)*exp(x)");
    emit invariant->editingFinished();
    EXPECT_EQ(label(*lab, "Box notes")->text(), "");
    EXPECT_EQ(problem->currentText(), "Your own");

    QByteArray bytes;
    ASSERT_TRUE(
        QMetaObject::invokeMethod(lab, "problemFileBytes", Q_RETURN_ARG(QByteArray, bytes)));
    const pelorin::ProblemFileReading read = pelorin::readProblemFile(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    ASSERT_TRUE(read.problem) << read.error;
    EXPECT_EQ(read.problem->form, pelorin::ProblemForm::equation);
    EXPECT_EQ(read.problem->f, "-2*x - y");
    EXPECT_EQ(read.problem->invariant, "(y + 2*x - 2)*exp(x)");

    problem->setCurrentIndex(1);
    emit problem->activated(1);
    EXPECT_EQ(invariant->text(), "");
    EXPECT_EQ(problem->currentText().toStdString(), "Textbook: y' = y - x\u00b2 + 1");

    EXPECT_EQ(openFileHolding(lab, bytes), "");
    EXPECT_EQ(invariant->text(), "(y + 2*x - 2)*exp(x)");
    EXPECT_EQ(labBox(*lab, "f(x, y)"), "-2*x - y");
    EXPECT_EQ(problem->currentText(), "Your own");
}

// Tab walks the boxes as they read, line by line: one equation's f and
// exact solution, then its Invariant under them; a system's Components and
// Parameters, each component's row, the Invariant under the rows; and on to
// x0 in the row below.
TEST_F(Lab, TabReachesASystemsBoxesInTheOrderTheyRead) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QComboBox* form = named<QComboBox>(*lab, "Form");
    const struct {
        const char* form;
        QStringList order;  // from the Form box on
    } rows[] = {
        {"one equation", {"Form", "f(x, y)", "exact y(x)", "Invariant", "x0"}},
        {"a system",
         {"Form", "Components", "Parameters", "y1'", "y1(x0)", "exact y1(x)", "y2'", "y2(x0)",
          "exact y2(x)", "Invariant", "x0"}},
        {"y'' = ",
         {"Form", "Parameters", "y''", "y(x0)", "exact y(x)", "y'(x0)", "Invariant", "x0"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.form);
        const int index = form->findText(row.form, Qt::MatchStartsWith);
        form->setCurrentIndex(index);
        emit form->activated(index);
        form->setFocus();
        QStringList order{QApplication::focusWidget()->accessibleName()};
        while (order.size() < row.order.size()) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << QApplication::focusWidget()->accessibleName();
        }
        EXPECT_EQ(order.join(", ").toStdString(), row.order.join(", ").toStdString());
    }
}

// Every stop of Tab on every page is a control a screen reader names and
// the eye sees take the focus: no scroll area takes it unnamed and unmarked.
TEST_F(Lab, EveryTabStopOnEveryPageIsNamed) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    settleStudies();
    auto* tabs = lab->findChild<QTabWidget*>();
    for (int page = 0; page < tabs->count(); ++page) {
        SCOPED_TRACE(tabs->tabText(page).toStdString());
        tabs->setCurrentIndex(page);
        settleStudies();
        tabs->tabBar()->setFocus();
        QWidget* first = QApplication::focusWidget();
        for (int stop = 0; stop < 400; ++stop) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* focus = QApplication::focusWidget();
            if (focus == first) break;
            const auto* button = qobject_cast<QAbstractButton*>(focus);
            const QString name = focus->accessibleName().isEmpty() && button
                                     ? button->text()
                                     : focus->accessibleName();
            EXPECT_FALSE(name.isEmpty()) << focus->metaObject()->className() << " at "
                                         << focus->mapTo(lab, QPoint()).x() << ", "
                                         << focus->mapTo(lab, QPoint()).y();
        }
    }
}

// Closing the lab takes the focus from the box it is in, which then reports
// its edit while the lab is being taken apart: a system's box, as x0 does,
// must reach nothing of it.
TEST_F(Lab, ClosingWithTheFocusInASystemsBoxReadsNothing) {
    QWidget* lab = pelorin::testing::labOnSystem(openWithCtrlL(), "Lotka-Volterra: predators and prey");
    ASSERT_NE(lab, nullptr);
    settleStudies();
    QLineEdit* slope = named<QLineEdit>(*lab, "y1'");
    slope->setFocus();
    type(slope, "a*y1 - b*y1*y2 + 0");
    delete lab;
    settleStudies();
    EXPECT_TRUE(labs().isEmpty());
}

}  // namespace
