// The Method lab: how fast each method converges and where rounding stops
// it, when a method turns unstable, and what it does inside one step, on the
// lesson's equation or any other. A separate window beside the main one; it
// starts from the main window's boxes and method, then keeps its own.
#pragma once

#include "lab/handout.h"
#include "lab/inputs.h"
#include "problem/problem.h"
#include "problem/problem_file.h"

#include <QMainWindow>

#include <array>
#include <optional>
#include <vector>

namespace pelorin {
struct LibrarySystem;
}
class LabPage;
class SystemBoxes;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QTabWidget;
class QVBoxLayout;

class MethodLab : public QMainWindow {
    Q_OBJECT

public:
    // x0, y0, x1 as the main window's boxes hold them, and its method.
    MethodLab(const std::array<QString, 3>& start, const pelorin::Method& method,
              QWidget* parent = nullptr);
    ~MethodLab() override;

    LabInputs inputs() const;
    // The page shown, as a teacher hands it out, and as a PDF on paper of
    // that QPageSize::PageSizeId.
    Handout handout() const;
    Q_INVOKABLE QByteArray handoutPdf(int paper) const;
    // The problem as its boxes hold it, the lesson around it (h, method,
    // page, the controller's settings), and as a problem file gives them:
    // empty, or why the file was not used (then nothing changed).
    pelorin::ProblemText problemText() const;
    pelorin::SystemText systemText() const;
    pelorin::LessonSettings lessonSettings() const;
    // The problem file Save problem writes, and opening one.
    Q_INVOKABLE QByteArray problemFileBytes() const;
    Q_INVOKABLE QString openProblemFile(const QString& path);
    // The name a save dialog suggests for what `page` shows: the problem,
    // the page, its method and h, then `contents` and `suffix`.
    QString suggestedFileName(const LabPage& page, const QString& contents,
                              const QString& suffix) const;

private:
    // The window's parts, top to bottom: the scrolling client that holds
    // them, the problem's row, the row of x0, y0, x1, h and the method, and
    // the pages.
    QVBoxLayout* createClient();
    QHBoxLayout* createInputRow(const std::array<QString, 3>& start, const pelorin::Method& method);
    QHBoxLayout* createMethodBox(const pelorin::Method& method);
    // Under the boxes, for a multistep method: "Start with", and for the own
    // one its "alpha" and "beta" boxes with what the lab makes of them.
    QWidget* createMultistepRow();
    void showMultistepRow();
    // Reads the alpha and beta boxes strictly: texts that make no method
    // keep the last method they made, and the notes say why.
    void readOwnMethod();
    QTabWidget* createPages();
    // The boxes changed: every page.
    void recalculate();
    // Shows in "Start with" the one-step method of this catalogue row, or
    // the solution itself for none.
    void showStart(std::optional<std::size_t> row);
    // Reads the boxes strictly: a text that is not wholly a number keeps the
    // last good value and is explained in the notes beside the boxes.
    void readBoxes();
    void showBoxNotes();
    // The step box: a typed h, or one the Stability page's slider chose.
    QHBoxLayout* createStepBox();
    void stepTyped();
    // Reads the step box strictly; whether its text gave the h in force.
    bool readStepBox();
    void setStep(double h, const QString& text);
    // h or the method changed: the pages that run the lab's method with its
    // h (the convergence study holds every method already).
    void showRunPages();
    enum class Pages { every, runningLabMethod };
    void showPages(Pages which);
    // A page picked a new start: the boxes follow.
    void startAt(const QString& x0, const QString& y0);
    QHBoxLayout* createProblemRow();
    QComboBox* createFormBox();
    void problemChosen(int index);
    // The Form box chose one equation, a system or y'' = f: its boxes show.
    void formChosen(int index);
    void showForm(pelorin::ProblemForm form);
    pelorin::ProblemForm form() const;
    QStringList readSystem();
    void followProblemList();
    // A library problem whose whole range shows nothing on the page shown
    // takes the range its entry names for that page, and its own again on
    // the others; an x1 the student typed stays. Whether x1 changed.
    bool followPageRange();
    // The library system the problem list shows; none for any other problem.
    const pelorin::LibrarySystem* shownLibrarySystem() const;
    // Why x1 is the page's own, while it is; empty otherwise.
    QString pageRangeNote() const;
    QStringList readEquation();
    // Every plot's Save as suggests a name after what it shows now.
    void nameFiles();
    QString pageName(const LabPage& page) const;
    const LabPage& currentPage() const;
    void restoreLesson(const pelorin::LessonSettings& lesson);
    void createMenus();
    // One of the text sizes, from 0 (smallest); the lab's text and its
    // plots' text follow.
    void setTextScale(int step);
    void openProblem();
    void saveProblem();
    void printHandout();
    void saveHandoutAsPdf();

    std::array<QLineEdit*, 3> boxes_{};  // x0, y0, x1
    std::array<std::optional<double>, 3> lastGood_{};
    QLabel* boxNotes_ = nullptr;
    QStringList readNotes_;  // on x0, y0, x1 and the equation, from the last reading
    QLineEdit* step_ = nullptr;
    double h_ = LabInputs{}.h;
    QString hText_ = QString::fromStdString(LabInputs{}.hText);
    QString stepNote_;  // why the step box's last text was not used
    QComboBox* problem_ = nullptr;
    QLineEdit* f_ = nullptr;
    QLineEdit* exact_ = nullptr;
    QComboBox* form_ = nullptr;
    SystemBoxes* system_ = nullptr;
    QLabel* fCaption_ = nullptr;
    QLabel* exactCaption_ = nullptr;
    QLabel* y0Caption_ = nullptr;
    pelorin::Equation equation_;  // the last equation that could be used
    // Its start, when it is a system; a single equation's is the y0 box's.
    std::optional<pelorin::StateVector> systemStart_;
    int textScale_ = 0;
    QComboBox* method_ = nullptr;
    QWidget* multistepRow_ = nullptr;
    QComboBox* startWith_ = nullptr;
    QLineEdit* alpha_ = nullptr;
    QLineEdit* beta_ = nullptr;
    QWidget* ownBoxes_ = nullptr;
    QLabel* ownNotes_ = nullptr;
    const pelorin::OwnMultistep* own_ = nullptr;
    QString ownRefusal_;  // why the boxes' last texts made no method
    QTabWidget* tabs_ = nullptr;
    std::vector<LabPage*> pages_;  // in the order of their tabs
};
