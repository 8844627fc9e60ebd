// What the Method lab reads and writes: problem files, which keep the lesson
// around the problem, and handouts, printed or saved as a PDF.
#pragma once

#include "lab/handout.h"
#include "problem/problem.h"
#include "problem/problem_file.h"
#include "ui/save_file.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class QPageSize;
class QWidget;

inline const FileKind problemFileKind{"Pelorin problem", ".pelorin"};
inline const QString problemFileFilter = "Pelorin problem (*.pelorin);;All files (*)";

// A problem file as the lab opens it: what it holds and, for a lesson, the
// page it was saved on; or why the lab cannot use it.
struct LabProblemFile {
    pelorin::ProblemFileReading reading;
    int page = -1;    // the lesson's page, by its place among the lab's pages
    QString failure;  // "Could not open "…": … Nothing was changed."; empty if usable
};
// Reads the file at `path` and checks, before anything changes, that the lab
// can show all it holds: its equation, and its lesson's page among `pages`.
LabProblemFile readLabProblemFile(const QString& path, const QStringList& pages);

// The bytes of the problem file that keeps these.
QByteArray problemFileBytes(const pelorin::ProblemText& problem,
                            const pelorin::LessonSettings& lesson);

// The problem as a handout prints it, above what its page adds: the
// equation, the exact solution, x0, y0, x1, and how the problem was
// rewritten as a system.
QStringList handoutProblemLines(const pelorin::Problem& problem);

// Print handout…: the print dialog over `parent`, suggesting a PDF named
// `fileName`, then the handout on the printer chosen.
void printWithDialog(QWidget* parent, const Handout& handout, const QString& fileName);
// The paper the printer would take: A4 or Letter, as the locale has it.
QPageSize localePaper();
