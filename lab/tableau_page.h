// The Method lab's Tableau page: the own Runge-Kutta method's boxes, a
// Butcher tableau of 1 to 8 stages typed exactly or loaded from a known
// method, and what its entries make of it: a verdict and the order
// conditions, decided without rounding. The method the boxes last made is
// the catalogue's own Runge-Kutta entry on every page.
#pragma once

#include "lab/lab_page.h"
#include "methods/methods.h"

#include <QString>

#include <array>

class QComboBox;
class QFrame;
class QGridLayout;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTableWidget;
class QVBoxLayout;

class TableauPage : public LabPage {
    Q_OBJECT

public:
    explicit TableauPage(QWidget* parent);

    void setInputs(const LabInputs& inputs) override;
    bool runsLabMethod() const override { return false; }
    PageHandout handout(const LabInputs& inputs) const override;
    void addTypedMethods(pelorin::MethodSettings& settings) const override;
    void keepSettings(pelorin::LessonSettings& lesson) const override;
    void restoreSettings(const pelorin::LessonSettings& lesson) override;

private:
    void createControls(QVBoxLayout& layout);
    void createGrid(QVBoxLayout& layout);
    void addZeroStages(int stages);
    void showStages(int stages);
    void load();
    // Reads the boxes strictly: texts that make no tableau keep the method
    // the boxes last made, and the notes say why.
    bool read();
    void boxesEdited();
    pelorin::TableauTexts texts() const;
    void setTexts(const pelorin::TableauTexts& texts);

    static constexpr int maxStages = pelorin::maxStages;
    QSpinBox* stages_ = nullptr;
    QComboBox* known_ = nullptr;
    QGridLayout* grid_ = nullptr;
    QFrame* nodeRule_ = nullptr;
    std::array<QLineEdit*, maxStages> c_{}, b_{}, embedded_{};
    std::array<std::array<QLineEdit*, maxStages>, maxStages> a_{};
    QLabel* bCaption_ = nullptr;
    QLabel* embeddedCaption_ = nullptr;
    QLabel* verdict_ = nullptr;
    QTableWidget* conditions_ = nullptr;
    const pelorin::OwnRungeKutta* own_ = nullptr;
    pelorin::TableauTexts made_;  // the texts that made own_
    QString madeVerdict_;         // and what the page says of it
    QString refusal_;             // why the boxes' last texts made no method
};
