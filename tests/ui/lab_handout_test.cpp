// The Method lab's handouts as the paper shows them: every page's problem,
// lines, plots, notes and tables on A4 and on Letter; the Orders table in a
// block per family of methods, its methods' names on every page; a system's
// parameters in the handout and its title; and every legend entry whole, with
// its key, at the normal and the largest text. The PDFs are read with
// poppler's pdfinfo, pdftotext and pdftoppm; a test skips where they are not
// installed.
#include "tests/support/lab_window.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPageSize>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

namespace {

using pelorin::testing::Lab;
using pelorin::testing::named;
using pelorin::testing::typeStep;
using pelorin::testing::legendNames;
using pelorin::testing::labOnLibraryProblem;
using pelorin::testing::logisticProblem;
using pelorin::testing::labOnSystem;

// A program of poppler's, run on a PDF: its output as text.
QString popplerText(const char* program, const QByteArray& pdf) {
    QTemporaryFile file;
    if (!file.open()) return {};
    file.write(pdf);
    file.flush();
    QProcess process;
    process.start(program, QStringList{file.fileName(), "-"}.mid(0, QString(program) == "pdfinfo" ? 1 : 2));
    process.waitForFinished(-1);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Every page printed as a handout, on A4 and on Letter: the problem, the
// page's table with its values, on pages of that paper.
TEST_F(Lab, HandoutsHoldTheProblemAndThePagesTableOnThePrintersPaper) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "pdftotext is not installed";
    enter("0", "-1", "1", "0.25");
    form.findChild<QRadioButton*>("Option_RK4")->setChecked(true);
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    typeStep(*lab, "0.25");
    const struct {
        Qt::Key page;
        const char* title;
        QStringList texts;
    } pages[] = {
        {Qt::Key_C,
         "Method lab: Convergence",
         {"x0 = 0, y0 = -1, x1 = 1", "Every method, with h = (x1 - x0)/N", "Orders", "N = 64", "5.02",
          "(5.66)"}},
        {Qt::Key_S,
         "Method lab: Stability",
         {"x0 = 0, y0 = -1, x1 = 1", "Method: Runge-Kutta 4, h = 0.25", "Stability intervals", "2.785",
          "Runge-Kutta 4: |R(z)e^(-z)| > 1"}},
        {Qt::Key_T,
         "Method lab: One step",
         {"x0 = 0, y0 = -1, x1 = 1", "Method: Runge-Kutta 4, h = 0.25",
          "Runge-Kutta 4: step 1 of 4", "Stages", "Tableau", "1/6"}},
        // Runge-Kutta 4's first step of h = 0.4 from (0, -1), worked out in
        // python3: y1 = -0.8112.
        {Qt::Key_F,
         "Method lab: Field",
         {"x0 = 0, y0 = -1, x1 = 1", "Method: Runge-Kutta 4, h = 0.25", "Lab steps", "-0.83642578125"}},
    };
    const struct {
        QPageSize::PageSizeId id;
        const char* size;
    } papers[] = {{QPageSize::A4, "(A4)"}, {QPageSize::Letter, "(letter)"}};
    for (const auto& page : pages) {
        QTest::keyClick(lab, page.page, Qt::AltModifier);
        for (const auto& paper : papers) {
            SCOPED_TRACE(std::string(page.title) + " " + paper.size);
            QByteArray pdf;
            ASSERT_TRUE(QMetaObject::invokeMethod(lab, "handoutPdf", Q_RETURN_ARG(QByteArray, pdf),
                                                  Q_ARG(int, paper.id)));
            const QString info = popplerText("pdfinfo", pdf);
            EXPECT_TRUE(info.contains(paper.size)) << info.toStdString();
            EXPECT_TRUE(info.contains(QRegularExpression(
                QString("Title: +Pelorin %1, dy/dx = -2\\*x - y\n").arg(page.title))))
                << info.toStdString();
            EXPECT_TRUE(info.contains(QRegularExpression("Creator: +Pelorin\n"))) << info.toStdString();
            EXPECT_TRUE(info.contains(QRegularExpression("Pages: +[1-5]\n"))) << info.toStdString();
            const QString text = popplerText("pdftotext", pdf);
            const QStringList problem{page.title, "dy/dx = -2*x - y",
                                      "exact y(x) = 2 - 2*x + (y0 - 2 + 2*x0)*exp(-(x - x0))"};
            for (const QString& expected : problem + page.texts) {
                EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << " in\n" << text.toStdString();
            }
        }
    }
}

// Twenty-seven columns of orders do not fit the paper's width readably: the
// handout prints them in a block per family, the eleven explicit ones in
// two, the six implicit ones, the eight multistep ones in two and the two
// a teacher types, each with the rows' headers whole and its methods' names
// on every page it reaches.
TEST_F(Lab, AHandoutPrintsTheOrdersInABlockPerFamilyOfMethods) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "pdftotext is not installed";
    enter("0", "-1", "1", "0.25");
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QByteArray pdf;
    ASSERT_TRUE(QMetaObject::invokeMethod(lab, "handoutPdf", Q_RETURN_ARG(QByteArray, pdf),
                                          Q_ARG(int, QPageSize::A4)));
    const QString text = popplerText("pdftotext", pdf);
    EXPECT_EQ(text.count("N = 64"), 6) << text.toStdString();
    EXPECT_EQ(text.count("N = 65536"), 6) << text.toStdString();
    for (const char* caption : {"Kutta-", "Gill", "Backward", "Legendre 4"}) {
        EXPECT_TRUE(text.contains(caption)) << caption << " in\n" << text.toStdString();
    }
    // The plot's legend names them too: the table comes after it.
    const QString orders = text.mid(text.indexOf("\nOrders\n"));
    EXPECT_LT(orders.indexOf("Gill"), orders.indexOf("Backward"));
    // Every page that holds rows of the table opens them with its block's
    // methods' names.
    const QRegularExpression rowHeader("^N ?= ?\\d+$", QRegularExpression::MultilineOption);
    int pagesWithRows = 0;
    for (const QString& page : text.split('\f', Qt::SkipEmptyParts)) {
        const int firstRow = static_cast<int>(rowHeader.match(page).capturedStart());
        if (firstRow < 0) continue;
        ++pagesWithRows;
        // Captions break at their blanks and hyphens.
        const auto squeezed = [](QString text) { return text.simplified().remove(' ').remove('-'); };
        const QString before = squeezed(page.left(firstRow));
        const bool headed = std::any_of(pelorin::labCatalogue().begin(), pelorin::labCatalogue().end(),
                                        [&](const pelorin::Method& method) {
                                            return before.contains(squeezed(QString::fromUtf8(method.caption.data(), static_cast<qsizetype>(method.caption.size()))));
                                        });
        EXPECT_TRUE(headed) << page.toStdString();
    }
    EXPECT_GE(pagesWithRows, 1) << text.toStdString();
}

// A text as a PDF's text compares with it: no white space, and ligatures
// (ﬁ, as pdftotext gives it) as their letters.
QString compact(const QString& text) {
    return text.normalized(QString::NormalizationForm_KC).simplified().remove(' ');
}

// Every page the lab lists, handed out: under the problem the lines that say
// what that page runs and no other page's, every plot of the page, every
// line of its notes and each of its tables under its name. A page the table
// below does not know fails here until its lines are added.
TEST_F(Lab, EveryPageHandsOutItsOwnLinesPlotsNotesAndTables) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "pdftotext is not installed";
    enter("0", "-1", "1", "0.25");
    form.findChild<QRadioButton*>("Option_RKF")->setChecked(true);
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    typeStep(*lab, "0.25");
    const QMap<QString, QStringList> pageLines{
        {"Convergence", {"Every method, with h = (x1 - x0)/N for N = 1, 2, 4, \u2026, 65536"}},
        {"Stability", {"Method: Runge-Kutta-Fehlberg, h = 0.25"}},
        {"One step", {"Method: Runge-Kutta-Fehlberg, h = 0.25", "Runge-Kutta-Fehlberg: step 1 of 4"}},
        {"Field", {"Method: Runge-Kutta-Fehlberg, h = 0.25"}},
        {"Phase plane", {"Method: Runge-Kutta-Fehlberg, h = 0.25"}},
        {"Tableau", {"The own Runge-Kutta method's tableau:", "c: 0, 1/2, 1"}},
        {"Adaptive",
         {"Method: Runge-Kutta-Fehlberg adapting its steps, tolerance 1.00E-06 (absolute and relative: "
          "tol\u00b7(1 + |y|)), first step h = 0.25"}},
    };
    QStringList everyLine;
    for (const QStringList& lines : pageLines) everyLine << lines;
    auto* pages = named<QTabWidget>(*lab, "Lab pages");
    ASSERT_NE(pages, nullptr);
    for (int index = 0; index < pages->count(); ++index) {
        const QString caption = pages->tabText(index).remove('&');
        SCOPED_TRACE(caption.toStdString());
        ASSERT_TRUE(pageLines.contains(caption)) << "a page this test does not know";
        pages->setCurrentIndex(index);
        QByteArray pdf;
        ASSERT_TRUE(QMetaObject::invokeMethod(lab, "handoutPdf", Q_RETURN_ARG(QByteArray, pdf),
                                              Q_ARG(int, QPageSize::A4)));
        // Long lines wrap on paper, after a space or a hyphen, and a page's
        // number closes each page, within a paragraph that runs on.
        QStringList pdfPages = popplerText("pdftotext", pdf).split('\f');
        for (QString& pdfPage : pdfPages) pdfPage.remove(QRegularExpression("\\n\\d+\\s*$"));
        const QString text = compact(pdfPages.join(' '));
        EXPECT_TRUE(text.startsWith(compact("Method lab: " + caption + " dy/dx = -2*x - y")))
            << text.toStdString();
        for (const QString& line : everyLine) {
            EXPECT_EQ(text.contains(compact(line)), pageLines[caption].contains(line)) << line.toStdString();
        }
        const QWidget* page = pages->widget(index);
        // Every plot the page shows, drawn as lines and text: its axes'
        // captions are read. A single equation's invariant drift and a
        // one-step method's roots are hidden here, and left out.
        const auto plots = page->findChildren<QCustomPlot*>();
        QStringList shownCaptions;
        for (const QCustomPlot* plot : plots) {
            if (!plot->isHidden()) shownCaptions << plot->xAxis->label() << plot->yAxis->label();
        }
        for (const QCustomPlot* plot : plots) {
            for (const QString& caption : {plot->xAxis->label(), plot->yAxis->label()}) {
                if (caption.isEmpty() || (plot->isHidden() && shownCaptions.contains(caption))) continue;
                EXPECT_EQ(text.contains(compact(caption)), !plot->isHidden())
                    << plot->accessibleName().toStdString() << ": " << caption.toStdString();
            }
        }
        for (const QLabel* notes : page->findChildren<QLabel*>()) {
            if (!notes->objectName().endsWith(" notes")) continue;
            for (const QString& line : notes->text().split('\n', Qt::SkipEmptyParts)) {
                EXPECT_TRUE(text.contains(compact(line)))
                    << notes->objectName().toStdString() << ": " << line.toStdString();
            }
        }
        // Every table it shows; One step hides its Newton iterations for an
        // explicit method.
        for (const QTableWidget* table : page->findChildren<QTableWidget*>()) {
            if (table->isHidden()) continue;
            EXPECT_TRUE(text.contains(compact(table->accessibleName())))
                << table->accessibleName().toStdString();
        }
    }
}

// The Orders table of sixteen rows, in blocks of columns, stands under
// the plot and the notes; every page of it, on A4 and on Letter, opens with
// the names of its block's methods, and the rule of the brackets stands under
// it, once. The PDF is named for the page and the equation.
TEST_F(Lab, AHandoutRepeatsTheOrdersHeaderOnEveryPageAndExplainsTheBrackets) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "pdftotext is not installed";
    QWidget* lab = labOnLibraryProblem(openWithCtrlL(), logisticProblem);
    ASSERT_NE(lab, nullptr);
    for (const auto paper : {QPageSize::A4, QPageSize::Letter}) {
        SCOPED_TRACE(paper == QPageSize::A4 ? "A4" : "Letter");
        QByteArray pdf;
        ASSERT_TRUE(QMetaObject::invokeMethod(lab, "handoutPdf", Q_RETURN_ARG(QByteArray, pdf),
                                              Q_ARG(int, paper)));
        const QString info = popplerText("pdfinfo", pdf);
        EXPECT_TRUE(info.contains(QRegularExpression(
            "Title: +Pelorin Method lab: Convergence, dy/dx = y\\*\\(1 - y\\)\n")))
            << info.toStdString();
        EXPECT_TRUE(info.contains(QRegularExpression("Creator: +Pelorin\n"))) << info.toStdString();

        const QString text = popplerText("pdftotext", pdf);
        for (const char* line : {"dy/dx = y*(1 - y)", "exact y(x) = y0/(y0 + (1 - y0)*exp(-(x - x0)))",
                                 "x0 = 0, y0 = 0.1, x1 = 6"}) {
            EXPECT_TRUE(text.contains(line)) << line << " in\n" << text.toStdString();
        }
        // Headers wrap within their cells, so a page is searched with its
        // white space taken out; no note names these two methods.
        const QRegularExpression rowHeader("^N ?= ?\\d+$", QRegularExpression::MultilineOption);
        const QStringList pages = text.split('\f', Qt::SkipEmptyParts);
        int pagesWithRows = 0;
        for (int page = 0; page < pages.size(); ++page) {
            if (!pages[page].contains(rowHeader)) continue;
            SCOPED_TRACE("page " + std::to_string(page + 1));
            ++pagesWithRows;
            const QString compact = pages[page].simplified().remove(' ');
            const bool explicitBlock = compact.contains("Euler(Endpoints)") &&
                                       compact.contains("Euler(Midpoint)");
            const bool implicitBlock = compact.contains("BackwardEuler") &&
                                       compact.contains("Implicitmidpoint");
            const bool adamsBlock = compact.contains("Bashforth") && compact.contains("Moulton");
            const bool multistepBlock = compact.contains("BDF2") && compact.contains("BDF4");
            // A hyphen that ends a header's line is not in the text.
            const bool ownBlock = QString(compact).remove('-').contains("OwnRungeKuttamethod") &&
                                  compact.contains("Ownmultistepmethod");
            EXPECT_TRUE(explicitBlock || implicitBlock || adamsBlock || multistepBlock || ownBlock)
                << pages[page].toStdString();
        }
        EXPECT_GE(pagesWithRows, 1) << text.toStdString();
        const QString rule = text.simplified();
        const int at = rule.indexOf("An order in brackets, in italics, is not the method's own");
        EXPECT_GT(at, rule.indexOf("N = 65536"));
        EXPECT_EQ(rule.count("is not the method's own"), 1);
    }
}

// A word of a PDF as pdftotext -bbox places it, in points from its page's
// top left corner.
struct PdfWord {
    QString text;
    QRectF box;
    int page = 0;
};

QList<PdfWord> pdfWords(const QByteArray& pdf) {
    QTemporaryFile file;
    if (!file.open()) return {};
    file.write(pdf);
    file.flush();
    QProcess process;
    process.start("pdftotext", {"-bbox", file.fileName(), "-"});
    process.waitForFinished(-1);
    const QString xhtml = QString::fromUtf8(process.readAllStandardOutput());
    static const QRegularExpression tag(
        "<page |<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>");
    QList<PdfWord> words;
    int page = -1;
    for (const QRegularExpressionMatch& match : tag.globalMatch(xhtml)) {
        if (match.captured(0) == "<page ") {
            ++page;
            continue;
        }
        QString text = match.captured(5);
        for (const auto& [entity, character] : {std::pair{"&apos;", "'"}, {"&quot;", "\""},
                                                {"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}}) {
            text.replace(entity, character);
        }
        words.push_back({text, QRectF(QPointF(match.captured(1).toDouble(), match.captured(2).toDouble()),
                                      QPointF(match.captured(3).toDouble(), match.captured(4).toDouble())),
                         page});
    }
    return words;
}

// The first word of `words` that begins the words of `text`, in order.
std::optional<PdfWord> findWords(const QList<PdfWord>& words, const QString& text) {
    const QStringList wanted = text.split(' ');
    for (qsizetype i = 0; i + wanted.size() <= words.size(); ++i) {
        bool all = true;
        for (qsizetype k = 0; all && k < wanted.size(); ++k) all = words[i + k].text == wanted[k];
        if (all) return words[i];
    }
    return std::nullopt;
}

// Every word whole on its page and clear of every other: a legend column
// too narrow runs its names into the next column's, and a table too wide
// runs off the paper.
void expectNothingCutOrOverlapping(const QList<PdfWord>& words, const QSizeF& page) {
    for (qsizetype i = 0; i < words.size(); ++i) {
        const PdfWord& word = words[i];
        EXPECT_TRUE(QRectF(QPointF(0, 0), page).contains(word.box)) << word.text.toStdString();
        for (qsizetype j = i + 1; j < words.size(); ++j) {
            const PdfWord& other = words[j];
            if (other.page != word.page) continue;
            const QRectF both = word.box.intersected(other.box);
            EXPECT_FALSE(both.width() > 1 &&
                         both.height() > std::min(word.box.height(), other.box.height()) / 2)
                << word.text.toStdString() << " over " << other.text.toStdString();
        }
    }
}

constexpr QSizeF a4Points(595.28, 841.89);

// The first page of a PDF as an image of two pixels to the point.
QImage firstPdfPage(const QByteArray& pdf) {
    QTemporaryDir dir;
    QFile file(dir.filePath("handout.pdf"));
    if (!file.open(QIODevice::WriteOnly)) return {};
    file.write(pdf);
    file.close();
    QProcess process;
    process.start("pdftoppm", {"-png", "-r", "144", "-singlefile", file.fileName(), dir.filePath("page")});
    process.waitForFinished(-1);
    return QImage(dir.filePath("page.png"));
}

// How close the colour nearest `colour` within `area` of `image` comes to
// it, summed over red, green and blue.
int nearest(const QImage& image, const QRect& area, const QColor& colour) {
    int best = 3 * 255;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            best = std::min(best, std::abs(pixel.red() - colour.red()) +
                                      std::abs(pixel.green() - colour.green()) +
                                      std::abs(pixel.blue() - colour.blue()));
        }
    }
    return best;
}

void typeParameters(const QWidget& lab, const QString& text) {
    for (QLineEdit* edit : lab.findChildren<QLineEdit*>()) {
        if (edit->accessibleName() != "Parameters") continue;
        edit->setText(text);
        emit edit->editingFinished();
    }
}

// A system's handout and its PDF's title give the equation with the
// parameters the lab's Parameters box holds: the same slopes with other
// values are another problem.
TEST_F(Lab, ASystemsHandoutAndItsTitleGiveItsParameters) {
    for (const char* program : {"pdftotext", "pdfinfo"}) {
        if (QStandardPaths::findExecutable(program).isEmpty()) GTEST_SKIP() << program << " is not installed";
    }
    const struct {
        const char* problem;
        const char* typed;  // into the Parameters box, if anything
        const char* equation;
    } rows[] = {
        {"Harmonic oscillator: y'' = -y", nullptr, "y1' = y2; y2' = -y1"},
        {"Lotka-Volterra: predators and prey", nullptr,
         "y1' = a*y1 - b*y1*y2; y2' = c*y1*y2 - d*y2, with a = 2/3, b = 4/3, c = 1, d = 1"},
        {"Lotka-Volterra: predators and prey", "a = 1,  b = 1/2, c = 1, d = 2",
         "y1' = a*y1 - b*y1*y2; y2' = c*y1*y2 - d*y2, with a = 1, b = 1/2, c = 1, d = 2"},
        {"Van der Pol: y'' = \u03bc(1 - y\u00b2)y' - y", nullptr, "y'' = mu*(1 - y^2)*y' - y, with mu = 1"},
    };
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QTest::keyClick(lab, Qt::Key_P, Qt::AltModifier);
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.problem) + (row.typed ? ", typed" : ""));
        ASSERT_NE(labOnSystem(lab, QString::fromUtf8(row.problem)), nullptr);
        if (row.typed) typeParameters(*lab, row.typed);
        QByteArray pdf;
        ASSERT_TRUE(QMetaObject::invokeMethod(lab, "handoutPdf", Q_RETURN_ARG(QByteArray, pdf),
                                              Q_ARG(int, QPageSize::A4)));
        const QString info = popplerText("pdfinfo", pdf);
        EXPECT_TRUE(info.contains(QRegularExpression(
                        "Title: +" + QRegularExpression::escape(QString("Pelorin Method lab: Phase plane, ") +
                                                                row.equation) + "\n")))
            << info.toStdString();
        const QString text = compact(popplerText("pdftotext", pdf));
        EXPECT_TRUE(text.startsWith(compact(QString("Method lab: Phase plane ") + row.equation)))
            << text.toStdString();
    }
}

// On paper as on the screen, the Phase plane's legend names the nullclines
// and the equilibria, each beside its key in its own colour: sea green
// dashes for y1' = 0, amber for y2' = 0, a circle in the text's colour for
// the equilibria. They are keys of things drawn for the view, added once
// the plot is laid out.
TEST_F(Lab, APhasePlaneHandoutShowsEveryLegendEntryWithItsKey) {
    for (const char* program : {"pdftotext", "pdftoppm"}) {
        if (QStandardPaths::findExecutable(program).isEmpty()) GTEST_SKIP() << program << " is not installed";
    }
    QWidget* lab = labOnSystem(openWithCtrlL(), "Lotka-Volterra: predators and prey");
    ASSERT_NE(lab, nullptr);
    QTest::keyClick(lab, Qt::Key_P, Qt::AltModifier);
    QCustomPlot* plane = named<QCustomPlot>(*lab, "Phase plane");
    ASSERT_NE(plane, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return legendNames(*plane).contains("reference"); }, 60000));
    QApplication::processEvents();
    QByteArray pdf;
    ASSERT_TRUE(QMetaObject::invokeMethod(lab, "handoutPdf", Q_RETURN_ARG(QByteArray, pdf),
                                          Q_ARG(int, QPageSize::A4)));
    const QList<PdfWord> words = pdfWords(pdf);
    const QImage page = firstPdfPage(pdf);
    ASSERT_FALSE(page.isNull());
    const struct {
        const char* entry;
        QColor key;
    } entries[] = {
        {"y1' = 0", QColor(0x2e, 0x8b, 0x57)},
        {"y2' = 0", QColor(0xd0, 0x80, 0x00)},
        {"equilibria", QColor(0, 0, 0)},
    };
    for (const auto& entry : entries) {
        SCOPED_TRACE(entry.entry);
        const std::optional<PdfWord> found = findWords(words, entry.entry);
        ASSERT_TRUE(found.has_value());
        EXPECT_EQ(found->page, 0);
        // The key stands just left of the name, within the name's height.
        const QRectF key(found->box.left() - 22, found->box.top(), 20, found->box.height());
        const QRect pixels(key.left() * 2, key.top() * 2, key.width() * 2, key.height() * 2);
        EXPECT_LT(nearest(page, pixels, entry.key), 60);
    }
    // Every name the screen's legend gives, whole.
    const QString text = popplerText("pdftotext", pdf);
    for (const QString& name : legendNames(*plane)) {
        EXPECT_TRUE(text.contains(name)) << name.toStdString() << " in\n" << text.toStdString();
    }
    expectNothingCutOrOverlapping(words, a4Points);
}

// The Convergence handout's legend gives every name whole, as the screen
// does, in columns that keep clear of each other, at the lab's normal text
// size and at its largest, for a projector, whose names need more than a
// page's width at the screen's scale. Its Orders table prints the multistep
// methods in two blocks narrow enough for the paper, each header broken
// only where its caption is, each order whole on its line: from (0, -1) to
// 1 the own multistep method, not zero-stable, has the widest, -293.21
// between N = 128 and 256.
TEST_F(Lab, AConvergenceHandoutGivesWholeNamesAndWholeOrders) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "pdftotext is not installed";
    enter("0", "-1", "1", "0.4");
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QCustomPlot* plot = named<QCustomPlot>(*lab, "Convergence plot");
    ASSERT_NE(plot, nullptr);
    const struct {
        const char* text;
        int presses;  // of Ctrl++ from the size before
    } sizes[] = {{"normal text", 0}, {"the largest text", 4}};
    const struct {
        QPageSize::PageSizeId id;
        const char* name;
        QSizeF points;
    } papers[] = {{QPageSize::A4, "A4", a4Points}, {QPageSize::Letter, "Letter", QSizeF(612, 792)}};
    for (const auto& size : sizes) {
        for (int i = 0; i < size.presses; ++i) QTest::keyClick(lab, Qt::Key_Plus, Qt::ControlModifier);
        for (const auto& paper : papers) {
            SCOPED_TRACE(std::string(size.text) + " on " + paper.name);
            QByteArray pdf;
            ASSERT_TRUE(QMetaObject::invokeMethod(lab, "handoutPdf", Q_RETURN_ARG(QByteArray, pdf),
                                                  Q_ARG(int, paper.id)));
            // Ligatures (ﬂ, as pdftotext gives it) as their letters.
            const QString text = popplerText("pdftotext", pdf).normalized(QString::NormalizationForm_KC);
            const QStringList lines = text.split('\n');
            for (const char* line : {"Runge-Kutta-Fehlberg", "Gauss-Legendre 4", "Adams-Bashforth 2",
                                     "Adams-Bashforth 3"}) {
                EXPECT_TRUE(lines.contains(line)) << line << " in\n" << text.toStdString();
            }
            for (const QString& name : legendNames(*plot)) {
                for (const QString& line : name.normalized(QString::NormalizationForm_KC).split('\n')) {
                    EXPECT_TRUE(lines.contains(line)) << line.toStdString() << " in\n" << text.toStdString();
                }
            }
            const QList<PdfWord> words = pdfWords(pdf);
            for (const char* word : {"Bashforth", "Moulton", "predictor-", "corrector", "multistep",
                                     "(-293.21)", "N = 16384"}) {
                EXPECT_TRUE(findWords(words, word)) << word;
            }
            expectNothingCutOrOverlapping(words, paper.points);
        }
    }
}

}  // namespace
