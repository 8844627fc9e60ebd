// The Method lab's problem: the problem list, the Form box, the equation's
// boxes or a system's, and x0, y0, x1. It reads them strictly, keeping the
// last good problem, and says why a text was not used; its widgets stand in
// the lab's layouts, where the lab puts its own controls beside them.
#pragma once

#include "problem/problem.h"
#include "problem/problem_file.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <string>

namespace pelorin {
struct LibrarySystem;
}
class ComponentBoxes;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QVBoxLayout;
class QWidget;

class ProblemEditor : public QObject {
    Q_OBJECT

public:
    // x0, y0, x1 as the main window's boxes hold them. The problem's row and
    // the system's boxes go into `column`, x0, y0 and x1 with their captions
    // into `startRow`; the widgets are made in `window`.
    ProblemEditor(const std::array<QString, 3>& start, QVBoxLayout& column, QHBoxLayout& startRow,
                  QWidget* window);

    // Reads the boxes strictly: a text that is not wholly a number keeps the
    // last good value, an equation that cannot be used the last good one,
    // and readNotes() say why.
    void read();
    QStringList readNotes() const { return readNotes_; }
    // The problem the boxes last gave, and why it cannot be studied when a
    // box holds a number beyond a double; empty when it can.
    pelorin::Problem problem() const;
    std::string unreadable() const;

    // The boxes of the form chosen show; a system's or y'' = f's start in
    // their own boxes, in place of y0.
    void showForm(pelorin::ProblemForm form);
    // The problem as its boxes hold it, its name in the problem list, and a
    // problem file's problem put into the boxes (read by the next read()).
    pelorin::ProblemText problemText() const;
    QString problemName() const;
    void setProblem(const pelorin::ProblemText& text);

    // The page the lab shows, by its name: a library entry may name a range
    // of its own for one page.
    void setPageShown(const QString& page);
    // A library problem whose whole range shows nothing on the page shown
    // takes the range its entry names for that page, and its own again on
    // the others; an x1 the student typed stays. Whether x1 changed.
    bool followPageRange();
    // Why x1 is the page's own, while it is; empty otherwise.
    QString pageRangeNote() const;

    // Room for about fourteen digits in x0, y0 and x1, `digitWidth` wide.
    void fitNumberBoxes(int digitWidth);

    // A page picked a new start: the boxes follow.
    void startAt(const QString& x0, const QString& y0);

signals:
    // The student changed the problem: it is to be read and studied anew.
    void changed();
    // What readNotes() or pageRangeNote() say may have changed.
    void notesChanged();

private:
    QHBoxLayout* createProblemRow();
    QComboBox* createProblemList();
    void createEquationBoxes();
    QWidget* createInvariantRow();
    QComboBox* createFormBox();
    void createStartBoxes(const std::array<QString, 3>& start, QHBoxLayout& row);
    void problemChosen(int index);
    // The Form box chose one equation, a system or y'' = f: its boxes show.
    void formChosen(int index);
    pelorin::ProblemForm form() const;
    QStringList readEquation();
    QStringList readSystem();
    // An equation edited away from the chosen library entry makes the
    // problem the user's own.
    void followProblemList();
    // The library system the problem list shows; none for any other problem.
    const pelorin::LibrarySystem* shownLibrarySystem() const;

    QWidget* window_;
    QComboBox* problem_ = nullptr;
    QComboBox* form_ = nullptr;
    QLabel* fCaption_ = nullptr;
    QLineEdit* f_ = nullptr;
    QLabel* exactCaption_ = nullptr;
    QLineEdit* exact_ = nullptr;
    QWidget* invariantRow_ = nullptr;  // the single equation's invariant, under the problem row
    QLineEdit* invariant_ = nullptr;
    ComponentBoxes* system_ = nullptr;
    QLabel* y0Caption_ = nullptr;
    std::array<QLineEdit*, 3> boxes_{};  // x0, y0, x1
    std::array<std::optional<double>, 3> lastGood_{};
    QStringList readNotes_;  // on x0, y0, x1 and the equation, from the last reading
    pelorin::Equation equation_;  // the last equation that could be used
    // Its start, when it is a system; a single equation's is the y0 box's.
    std::optional<pelorin::StateVector> systemStart_;
    QString pageShown_;
};
