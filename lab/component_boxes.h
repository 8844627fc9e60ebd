// The boxes of a system y1' … yn' or of y'' = f(x, y, y'): how many
// components, each one's slope, start and exact solution, the parameters
// and the invariant. They hold texts only; the lab reads them.
#pragma once

#include "problem/problem.h"

#include <QWidget>

#include <array>
#include <optional>
#include <vector>

class QGridLayout;
class QLabel;
class QLineEdit;
class QSpinBox;

class ComponentBoxes : public QWidget {
    Q_OBJECT

public:
    explicit ComponentBoxes(QWidget* parent = nullptr);

    // A system's or y'' = f's boxes; an equation's form shows none.
    void setForm(pelorin::ProblemForm form);
    pelorin::ProblemForm form() const { return form_; }
    // The texts of the boxes shown; the name, x0 and x1, which are not
    // among them, are "" in text() and not read by setText().
    pelorin::ProblemText text() const;
    void setText(const pelorin::ProblemText& text);
    // Empties the Parameters and Invariant boxes: what a library entry
    // brought belongs to it, not to a problem typed in another form.
    void clearParametersAndInvariant();
    // The starts read strictly, each box keeping its last good value, and
    // why a text was not used; none while a start has never had one.
    std::optional<pelorin::StateVector> readStarts(std::vector<std::string>& notes);

signals:
    void edited();

private:
    struct Row {
        QLabel* slopeCaption;
        QLineEdit* slope;
        QLabel* startCaption;
        QLineEdit* start;
        QLabel* exactCaption;
        QLineEdit* exact;
    };
    void addComponentsAndParameters(QGridLayout& grid);
    void addRow(QGridLayout& grid, std::size_t k);
    void addInvariant(QGridLayout& grid);
    void connectBoxes();
    void showRows();
    std::size_t components() const;

    pelorin::ProblemForm form_ = pelorin::ProblemForm::equation;
    QLabel* componentsCaption_ = nullptr;
    QSpinBox* components_ = nullptr;
    QLineEdit* parameters_ = nullptr;
    QLineEdit* invariant_ = nullptr;
    std::array<Row, pelorin::maxComponents> rows_{};
    std::array<std::optional<double>, pelorin::maxComponents> lastGood_{};
};
