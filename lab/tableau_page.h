// The Method lab's Tableau page: the own Runge-Kutta method's boxes, a
// Butcher tableau of 1 to 8 stages typed exactly or loaded from a known
// method, and what its entries make of it: a verdict and the order
// conditions, decided without rounding. The method the boxes last made is
// the catalogue's own Runge-Kutta entry on every page.
#pragma once

#include "lab/lab_page.h"
#include "methods/methods.h"
#include "methods/tableau.h"

#include <QString>

#include <array>
#include <vector>

class QComboBox;
class QFrame;
class QGridLayout;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTableWidget;
class QVBoxLayout;
class TableauWorker;
struct TableauReply;

class TableauPage : public LabPage {
    Q_OBJECT

public:
    explicit TableauPage(QWidget* parent);
    // Ends the worker's thread before the boxes and notes go.
    ~TableauPage() override;

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
    // Reads the boxes on the worker's thread; the reply comes to replied.
    void boxesEdited();
    void replied(const TableauReply& reply);
    // Reads the boxes at once, waiting for the worker: a lesson opens with
    // its method ready.
    void readNow();
    // Shows what the worker made of `typed`, strictly: texts that make no
    // tableau keep the method the boxes last made, and the notes say why.
    // True where they made a method.
    bool showReading(const pelorin::TableauTexts& typed, const TableauReply& reply);
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
    TableauWorker* worker_ = nullptr;
    // The boxes' texts of the catalogue's own entry and of the known
    // tableaus, in the list's order, as the worker wrote them.
    pelorin::TableauTexts ownEntryTexts_;
    std::vector<pelorin::TableauTexts> knownTexts_;
    pelorin::TableauTexts requested_;  // the texts the worker reads
    const pelorin::OwnRungeKutta* own_ = nullptr;
    pelorin::TableauTexts made_;  // the texts that made own_
    QString madeVerdict_;         // and what the page says of it
    QString refusal_;             // why the boxes' last texts made no method
};
