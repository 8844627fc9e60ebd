// The Method lab's method: the Method box, and under the boxes, for a
// multistep method, "Start with", and for the own one its "alpha" and "beta"
// boxes with what the lab makes of them. Its widgets stand in the lab's
// layouts, beside the lab's own controls.
#pragma once

#include "methods/methods.h"
#include "problem/problem_file.h"
#include "studies/known_solution.h"

#include <QObject>
#include <QString>

#include <cstddef>
#include <optional>

class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QWidget;

class MethodChooser : public QObject {
    Q_OBJECT

public:
    // Starts on `method`. The Method box goes into `row`; the widgets are
    // made in `window`.
    MethodChooser(const pelorin::Method& method, QHBoxLayout& row, QWidget* window);

    // The row of "Start with" and the own method's boxes, for the lab to
    // place under the boxes.
    QWidget* multistepRow() const { return multistepRow_; }
    // The catalogue row chosen, and how its multistep methods start and
    // which own method the boxes last made.
    std::size_t row() const;
    pelorin::MethodSettings multistep() const;
    // Reads the alpha and beta boxes strictly: texts that make no method
    // keep the last method they made, and the notes say why.
    void readOwnMethod();

    // The method, its start and the own method's texts, as a lesson file
    // keeps them; restoring sets the boxes as if chosen and typed, without
    // a signal.
    void keepSettings(pelorin::LessonSettings& lesson) const;
    void restoreSettings(const pelorin::LessonSettings& lesson);

    // The method of this catalogue row, as if chosen in the Method box.
    void choose(int row);

signals:
    // The Method box chose another method.
    void methodChanged();
    // "Start with" or the own method's boxes changed.
    void changed();

private:
    QHBoxLayout* createMethodBox(const pelorin::Method& method);
    QWidget* createMultistepRow();
    void addOwnBoxes(QHBoxLayout& row);
    void showMultistepRow();
    // Shows in "Start with" the one-step method of this catalogue row, or
    // the solution itself for none.
    void showStart(std::optional<std::size_t> row);

    QWidget* window_;
    QComboBox* method_ = nullptr;
    QWidget* multistepRow_ = nullptr;
    QComboBox* startWith_ = nullptr;
    QWidget* ownBoxes_ = nullptr;
    QLineEdit* alpha_ = nullptr;
    QLineEdit* beta_ = nullptr;
    QLabel* ownNotes_ = nullptr;
    const pelorin::OwnMultistep* own_ = nullptr;
    QString ownRefusal_;  // why the boxes' last texts made no method
};
