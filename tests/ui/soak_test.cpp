// Thousands of CALCULATE presses on the real widgets with random inputs and
// methods. After each press the list must have grown by exactly the lines the
// calculation produces (checked against the same calculation on a recording
// view), an error must have been reported exactly when the calculation fails,
// and the window must still answer. Resident memory is printed every thousand
// presses.
//
//   soak_test [PRESSES] [SEED]     (default 2000 presses, seed 1)
#include "tests/support/fakes.h"
#include "tests/support/pool_threads.h"
#include "tests/support/resident_memory.h"
#include "ui/form1.h"
#include "ui/results_list_model.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <unistd.h>

namespace {

// Texts a student might type: mostly sensible, some not.
const std::vector<std::string> starts{"0", "0", "0", "0", "-1", "1", "0.5", "-0.4", "2", "-800",
                                      "1e300", "", "abc", "1,5", "1e-300", "-1e308"};
const std::vector<std::string> values{"-1", "-1", "-1", "0", "2", "-3.5", "0.1", "1e306",
                                      "x", "1e-5"};
const std::vector<std::string> ends{"0.4", "0.4", "0.4", "1", "1", "2", "0.41", "0", "-0.4",
                                    "1e308", "abc", "-799"};
const std::vector<std::string> steps{"0.4", "0.4", "0.1", "0.1", "0.2", "0.2", "0.05", "1",
                                     "0.13", "0.04", "0", "-0.1", "1e300", "1e-300", "10"};

template <typename T>
const T& pick(std::mt19937& random, const std::vector<T>& from) {
    return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
}

}  // namespace

int soak(int argc, char** argv) {
    QApplication app(argc, argv);
    const long presses = argc > 1 ? std::stol(argv[1]) : 2000;
    std::mt19937 random(argc > 2 ? static_cast<unsigned>(std::stoul(argv[2])) : 1u);

    Form1 form;
    form.show();
    auto* x0 = form.findChild<QLineEdit*>("Text_x0");
    auto* y0 = form.findChild<QLineEdit*>("Text_y0");
    auto* x1 = form.findChild<QLineEdit*>("Text_x1");
    auto* h = form.findChild<QLineEdit*>("Text_h");
    auto* calculate = form.findChild<QPushButton*>("Command1");
    const QList<QRadioButton*> options = form.findChildren<QRadioButton*>();

    pelorin::testing::Press reference;
    long failures = 0, errors = 0;
    std::cout << "presses  list lines  resident kB\n";
    for (long n = 1; n <= presses; ++n) {
        auto& inputs = reference.window;
        inputs.x0 = pick(random, starts);
        inputs.y0 = pick(random, values);
        inputs.x1 = pick(random, ends);
        inputs.h = pick(random, steps);
        inputs.selectedRow = std::uniform_int_distribution<std::size_t>(0, 6)(random);
        const std::size_t errorsBefore = inputs.errors.size();
        const std::vector<std::string> expected = reference.calculate();
        const bool expectError = inputs.errors.size() > errorsBefore;

        x0->setText(QString::fromStdString(inputs.x0));
        y0->setText(QString::fromStdString(inputs.y0));
        x1->setText(QString::fromStdString(inputs.x1));
        h->setText(QString::fromStdString(inputs.h));
        options[static_cast<qsizetype>(inputs.selectedRow)]->setChecked(true);
        const int before = form.results().rowCount();
        QTest::mouseClick(calculate, Qt::LeftButton);
        QApplication::processEvents();

        std::vector<std::string> appended;
        for (int row = before; row < form.results().rowCount(); ++row) {
            appended.emplace_back(form.results().line(row));
        }
        auto* box = form.findChild<QMessageBox*>("CalculationError");
        if (appended != expected || (box != nullptr) != expectError) {
            ++failures;
            std::cout << "press " << n << ": x0 '" << inputs.x0 << "' y0 '" << inputs.y0
                      << "' x1 '" << inputs.x1 << "' h '" << inputs.h << "' method "
                      << inputs.selectedRow << ": " << appended.size() << " lines, expected "
                      << expected.size() << (box ? ", error shown" : "") << "\n";
        }
        if (box) {
            ++errors;
            box->accept();
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        if (n % 1000 == 0) {
            std::cout << n << "  " << form.results().rowCount() << "  " << pelorin::testing::residentKilobytes()
                      << "\n";
        }
    }
    std::cout << presses << " presses, " << errors << " stopped with an error, "
              << form.results().rowCount() << " list lines, " << failures << " mismatches\n";
    std::cout << (presses - failures) << " passed, " << failures << " failed\n";
    return failures == 0 ? 0 : 1;
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const int result = soak(argc, argv);
    pelorin::testing::waitForQtPoolThreadsToEnd();
    return result;
}
