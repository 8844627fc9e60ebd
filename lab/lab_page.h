// What a page of the Method lab is to the lab: it takes the lab's inputs,
// says what a handout of it holds, and may ask the lab for other inputs (a
// step, a start, a method). The lab lists its pages in one table and knows
// them through this alone.
#pragma once

#include "lab/handout.h"
#include "lab/inputs.h"
#include "problem/problem_file.h"

#include <QString>
#include <QWidget>

class LabPage : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;

    // The lab's boxes, its h or its method changed: the page studies them.
    virtual void setInputs(const LabInputs& inputs) = 0;
    // Whether the page runs the lab's one method with its h: it then follows
    // the step box and the method, and its files are named after them.
    virtual bool runsLabMethod() const { return true; }
    // The lab's method or its h changed, and nothing else: a page that runs
    // the lab's method studies anew.
    virtual void setMethodAndStep(const LabInputs& inputs) {
        if (runsLabMethod()) setInputs(inputs);
    }
    // What a handout of the page holds below the problem, on `inputs`.
    virtual PageHandout handout(const LabInputs& inputs) const = 0;
    // Settings of the page's own that a lesson file keeps, as typed.
    // Restoring sets the boxes; the next setInputs reads them.
    virtual void keepSettings(pelorin::LessonSettings&) const {}
    virtual void restoreSettings(const pelorin::LessonSettings&) {}
    // A method the page's own boxes made, which the lab's inputs carry to
    // every page.
    virtual void addTypedMethods(pelorin::MethodSettings&) const {}

signals:
    // The page chose h; `text` is h as the lab's box should show it.
    void stepChosen(double h, const QString& text);
    // A new start, written to the digits the page resolves.
    void startPicked(const QString& x0, const QString& y0);
    // The lab's method should become this catalogue row.
    void methodChosen(int row);
    // The page's boxes made another method (addTypedMethods): the lab
    // chooses it and every page studies it.
    void methodTyped(int row);
};

// "Method: Runge-Kutta 4, h = 0.25": the handout's line of a page that runs
// the lab's method with its h; "Method: BDF 3, started by Runge-Kutta 4,
// h = 0.4" for a multistep method.
QString methodLine(const LabInputs& inputs);
