// The windows on a high-DPI screen: run at QT_SCALE_FACTOR 1 and 2, the main
// window and every control must be exactly twice as large in device pixels at
// 2, in the same places, and the plot must show the same colours.
//
// The scale factor is fixed when a process starts, so the test measures in
// two child processes (this program with --measure) and compares.
#include "tests/support/pool_threads.h"
#include "ui/form1.h"
#include "ui/form_about.h"
#include "ui/layout.h"
#include "ui/text.h"

#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTextStream>
#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

constexpr QRgb red = qRgb(255, 0, 0);

// One run's figures, by name: "dpr", "window", "about", each control, "plot".
using Measurement = std::map<std::string, std::string>;

// A widget's place in the window and its rendered size, both in device pixels.
QString deviceGeometry(QWidget& widget, const QWidget& window, qreal dpr) {
    const QPoint at = widget.mapTo(&window, QPoint(0, 0)) * dpr;
    const QSize rendered = widget.grab().size();
    return QStringLiteral("%1 %2 %3 %4").arg(at.x()).arg(at.y()).arg(rendered.width())
        .arg(rendered.height());
}

QString sizeText(QSize size) { return QStringLiteral("%1 %2").arg(size.width()).arg(size.height()); }

// Child mode: shows the windows, presses CALCULATE with the defaults and
// prints "name figures" lines.
int measure(int argc, char* argv[]) {
    QApplication app(argc, argv);
    Form1 form;
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) return 2;
    const qreal dpr = form.devicePixelRatio();
    QTextStream out(stdout);
    out << "dpr " << dpr << '\n';
    out << "window " << sizeText(form.grab().size()) << '\n';
    out << "menubar " << deviceGeometry(*form.menuBar(), form, dpr) << '\n';
    for (const Placement& control : form1Layout::all) {
        auto* widget = form.findChild<QWidget*>(fromView(control.name));
        out << fromView(control.name) << ' '
            << (widget ? deviceGeometry(*widget, form, dpr) : "missing") << '\n';
    }

    form.findChild<QPushButton*>("Command1")->click();
    const QImage plot = form.findChild<QWidget*>("Picture1")->grab().toImage();
    long yellow = 0, redPixels = 0;
    for (int y = 0; y < plot.height(); ++y) {
        for (int x = 0; x < plot.width(); ++x) {
            const QRgb pixel = plot.pixel(x, y) | 0xff000000u;
            yellow += pixel == lightYellow;
            redPixels += pixel == red;
        }
    }
    out << "plot " << plot.width() * plot.height() << ' ' << yellow << ' ' << redPixels << '\n';

    Form_About about;
    about.show();
    if (!QTest::qWaitForWindowExposed(&about)) return 2;
    out << "about " << sizeText(about.grab().size()) << '\n';
    return 0;
}

Measurement measureAtScale(const char* factor) {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_SCALE_FACTOR", factor);
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {"--measure"});
    child.waitForFinished(-1);
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0);

    Measurement figures;
    for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
        const qsizetype space = line.indexOf(' ');
        if (space > 0) figures[line.left(space).toStdString()] = line.mid(space + 1).toStdString();
    }
    return figures;
}

std::vector<long> numbers(const std::string& text) {
    std::vector<long> values;
    for (const QString& word : QString::fromStdString(text).split(' ', Qt::SkipEmptyParts)) {
        values.push_back(word.toLong());
    }
    return values;
}

std::string doubled(const std::string& text) {
    std::string result;
    for (long value : numbers(text)) result += (result.empty() ? "" : " ") + std::to_string(2 * value);
    return result;
}

class HighDpi : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        normal = new Measurement(measureAtScale("1"));
        doubleScale = new Measurement(measureAtScale("2"));
    }
    static void TearDownTestSuite() {
        delete normal;
        delete doubleScale;
    }
    static Measurement* normal;
    static Measurement* doubleScale;
};
Measurement* HighDpi::normal = nullptr;
Measurement* HighDpi::doubleScale = nullptr;

TEST_F(HighDpi, ScaleFactorTwoDoublesTheDevicePixelRatio) {
    EXPECT_EQ((*normal)["dpr"], "1");
    EXPECT_EQ((*doubleScale)["dpr"], "2");
}

TEST_F(HighDpi, WindowsAreTwiceAsLargeInDevicePixels) {
    for (const char* window : {"window", "about"}) {
        SCOPED_TRACE(window);
        ASSERT_FALSE((*normal)[window].empty());
        EXPECT_EQ((*doubleScale)[window], doubled((*normal)[window]));
    }
}

TEST_F(HighDpi, EveryControlKeepsItsPlaceAndProportion) {
    std::vector<std::string> names;
    for (const Placement& control : form1Layout::all) names.emplace_back(control.name);
    names.push_back("menubar");
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        ASSERT_EQ(numbers((*normal)[name]).size(), 4u) << (*normal)[name];
        EXPECT_EQ((*doubleScale)[name], doubled((*normal)[name]));
    }
}

TEST_F(HighDpi, PlotShowsItsLightYellowGroundAndTheRedSolutionAtBothScales) {
    for (const Measurement* run : {normal, doubleScale}) {
        SCOPED_TRACE("QT_SCALE_FACTOR " + run->at("dpr"));
        const std::vector<long> plot = numbers(run->at("plot"));  // pixels, yellow, red
        ASSERT_EQ(plot.size(), 3u);
        EXPECT_GT(plot[1], plot[0] * 8 / 10) << "light-yellow pixels of " << plot[0];
        EXPECT_GT(plot[2], 0) << "red pixels";
    }
    // The red lines run twice as far in device pixels at scale 2.
    EXPECT_GT(numbers(doubleScale->at("plot"))[2], numbers(normal->at("plot"))[2]);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc > 1 && std::string(argv[1]) == "--measure") {
        const int result = measure(argc, argv);
        pelorin::testing::waitForQtPoolThreadsToEnd();
        return result;
    }
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
