// The Method lab: how fast each method converges and where rounding stops
// it, when a method turns unstable, and what it does inside one step, on the
// lesson's equation or any other. A separate window beside the main one; it
// starts from the main window's boxes and method, then keeps its own.
// The problem's boxes and the method's are parts of their own; the lab
// composes them with its step box and its pages, and holds the menus, the
// lesson a file keeps and the text size.
#pragma once

#include "lab/handout.h"
#include "lab/inputs.h"
#include "problem/problem.h"
#include "problem/problem_file.h"

#include <QMainWindow>

#include <array>
#include <vector>

class LabPage;
class MethodChooser;
class ProblemEditor;
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
    // them, the problem's rows, the row of x0, y0, x1, h and the method, the
    // multistep row, the notes and the pages.
    QVBoxLayout* createClient();
    void createInputs(const std::array<QString, 3>& start, const pelorin::Method& method,
                      QVBoxLayout& layout);
    QTabWidget* createPages();
    // The boxes changed: every page.
    void recalculate();
    // Why a box's text was not used, beside the boxes.
    void showBoxNotes();
    // The step box: a typed h, or one the Stability page's slider chose.
    QHBoxLayout* createStepBox();
    void stepTyped();
    // Reads the step box strictly; whether its text gave the h in force.
    bool readStepBox();
    void setStep(double h, const QString& text);
    // h or the method changed: each page follows as far as it shows them.
    void showRunPages();
    void methodTyped(int row);
    // What changed: the inputs, or only the method or h.
    enum class Pages { every, methodAndStep };
    void showPages(Pages which);
    // Another page shows: a library problem's range may follow it.
    void pageShown();
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

    ProblemEditor* problem_ = nullptr;
    MethodChooser* method_ = nullptr;
    QLabel* boxNotes_ = nullptr;
    QLineEdit* step_ = nullptr;
    double h_ = LabInputs{}.h;
    QString hText_ = QString::fromStdString(LabInputs{}.hText);
    QString stepNote_;  // why the step box's last text was not used
    int textScale_ = 0;
    QTabWidget* tabs_ = nullptr;
    std::vector<LabPage*> pages_;  // in the order of their tabs
};
