#include "lab/lab_files.h"

#include "base/conversions.h"
#include "problem/library.h"
#include "ui/text.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

// What a problem file holds that the lab's boxes cannot, in words: a single
// equation's boxes have room for an invariant but not for parameters. Empty
// for anything else.
QString beyondOneEquation(const pelorin::ProblemText& problem) {
    if (problem.form != pelorin::ProblemForm::equation) return {};
    if (!problem.parameters.empty()) return "parameters";
    return {};
}

// Why the lab cannot show what a problem file holds, in words; none when
// it can. Checked before anything changes: a file whose equation the lab
// could not use would leave the boxes showing it while the pages go on with
// the last good one.
std::optional<QString> unusable(const pelorin::ProblemFileReading& reading) {
    if (!reading.problem) return QString::fromStdString(reading.error);
    if (const QString beyond = beyondOneEquation(*reading.problem); !beyond.isEmpty()) {
        return QString("it holds %1 beside one equation y' = f(x, y), whose boxes have no room "
                       "for them; a system's have.")
            .arg(beyond);
    }
    const std::vector<std::string> faults = pelorin::equationFaults(*reading.problem);
    if (faults.empty()) return std::nullopt;
    QStringList why;
    for (const std::string& fault : faults) why << QString::fromStdString(fault);
    return why.join(" ");
}

// The start as a handout prints it: y0, or (y1, …, yn) for a system.
std::string startText(const pelorin::StateVector& y0) {
    if (y0.size() == 1) return pelorin::numberToText(y0[0]);
    std::string text = "(";
    for (std::size_t k = 0; k < y0.size(); ++k) text += (k ? ", " : "") + pelorin::numberToText(y0[k]);
    return text + ")";
}

// The equation as a handout prints it and names its PDF: a system's with
// its parameters as the Parameters box holds them, for the same slopes with
// other values are another problem.
QString equationLine(const pelorin::Problem& problem) {
    const QString equation = QString::fromStdString(problem.equation.f);
    if (!problem.isSystem()) return "dy/dx = " + equation;
    const auto& slope = problem.equation.slope;
    const QString parameters =
        slope ? QString::fromStdString(slope->parameters().text).simplified() : QString();
    return parameters.isEmpty() ? equation : equation + ", with " + parameters;
}

// The exact solution the lab compares with, as a handout prints it.
QString exactSolutionLine(const pelorin::Equation& equation) {
    if (equation.lesson()) return "exact y(x) = " + fromView(pelorin::problemLibrary.front().exact);
    if (equation.exact) {
        const auto& texts = equation.exact->texts();
        if (texts.size() == 1) return "exact y(x) = " + QString::fromStdString(texts.front());
        QStringList parts;
        for (std::size_t k = 0; k < texts.size(); ++k) {
            parts << QString("y%1(x) = %2").arg(k + 1).arg(QString::fromStdString(texts[k]));
        }
        return "exact " + parts.join(", ");
    }
    return "exact y(x): none; errors are measured against a reference solution";
}

}  // namespace

LabProblemFile readLabProblemFile(const QString& path, const QStringList& pages) {
    LabProblemFile file;
    const QString shownPath = QDir::toNativeSeparators(path);
    QFile opened(path);
    if (!opened.open(QIODevice::ReadOnly)) {
        file.failure = QString("Could not open \"%1\": %2.").arg(shownPath, opened.errorString());
        return file;
    }
    // One byte past the limit is enough to know the file is too large.
    const QByteArray bytes = opened.read(static_cast<qint64>(pelorin::maxProblemFileBytes) + 1);
    file.reading =
        pelorin::readProblemFile(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (const std::optional<QString> why = unusable(file.reading)) {
        file.failure = QString("Could not open \"%1\": %2 Nothing was changed.").arg(shownPath, *why);
        return file;
    }
    if (file.reading.lesson) {
        const QString wanted = QString::fromStdString(file.reading.lesson->page);
        file.page = static_cast<int>(pages.indexOf(wanted));
        if (file.page < 0) {
            file.failure = QString("Could not open \"%1\": its \"page\" \"%2\" is not a page of the lab "
                                   "(%3). Nothing was changed.")
                               .arg(shownPath, wanted, pages.join(", "));
        }
    }
    return file;
}

QByteArray problemFileBytes(const pelorin::ProblemText& problem,
                            const pelorin::LessonSettings& lesson) {
    const std::string bytes = pelorin::writeProblemFile(problem, lesson);
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QStringList handoutProblemLines(const pelorin::Problem& problem) {
    QStringList lines;
    lines << equationLine(problem) << exactSolutionLine(problem.equation)
          << QString(problem.isSystem() ? "x0 = %1, y(x0) = %2, x1 = %3" : "x0 = %1, y0 = %2, x1 = %3")
                 .arg(fromView(pelorin::numberToText(problem.x0)),
                      QString::fromStdString(startText(problem.y0)),
                      fromView(pelorin::numberToText(problem.x1)));
    if (!problem.equation.rewriting.empty()) lines << QString::fromStdString(problem.equation.rewriting);
    return lines;
}

void printWithDialog(QWidget* parent, const Handout& handout, const QString& fileName) {
    QPrinter printer(QPrinter::HighResolution);
    // The dialog suggests a file after the document's name; the job, and a
    // PDF printed to that file, then take the handout's title.
    printer.setDocName(fileName);
    printer.setCreator(handoutCreator);
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle("Print handout");
    if (dialog.exec() != QDialog::Accepted) return;
    printer.setDocName(handoutDocumentName(handout));
    printHandout(handout, printer);
}

QPageSize localePaper() { return QPrinter().pageLayout().pageSize(); }
