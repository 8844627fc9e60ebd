#include "lab/component_boxes.h"

#include "base/lab_reading.h"
#include "ui/text.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>

namespace {

// A row's captions and accessible names: the system's "y2'", "y2(x0)",
// "exact y2(x)", or y'' = f's "y''", "y(x0)", "exact y(x)" and, in its
// second row, "y'(x0)" alone.
struct RowNames {
    QString slope, start, exact;
};

RowNames rowNames(pelorin::ProblemForm form, std::size_t k) {
    if (form == pelorin::ProblemForm::secondOrder) {
        if (k == 0) return {"y''", "y(x0)", "exact y(x)"};
        return {{}, "y'(x0)", {}};
    }
    const QString y = QString("y%1").arg(k + 1);
    return {y + "'", y + "(x0)", "exact " + y + "(x)"};
}

QLineEdit* newBox(QWidget* parent, QLabel*& caption, const QString& tip) {
    caption = new QLabel(parent);
    auto* box = new QLineEdit(parent);
    box->setToolTip(tip);
    caption->setBuddy(box);
    return box;
}

}  // namespace

ComponentBoxes::ComponentBoxes(QWidget* parent) : QWidget(parent) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    // Tab follows the order the boxes are made in, so they are made in the
    // order read: the problem's Components and Parameters above the
    // components' rows, the Invariant of them all below. The letters of these
    // three captions all take the focus elsewhere on some page already, so
    // they have no Alt key.
    addComponentsAndParameters(*grid);
    for (std::size_t k = 0; k < rows_.size(); ++k) addRow(*grid, k);
    addInvariant(*grid);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(3, 1);
    grid->setColumnStretch(5, 3);
    connectBoxes();
    showRows();
}

// The grid's first line.
void ComponentBoxes::addComponentsAndParameters(QGridLayout& grid) {
    componentsCaption_ = new QLabel("Components:", this);
    components_ = new QSpinBox(this);
    components_->setRange(2, static_cast<int>(pelorin::maxComponents));
    components_->setAccessibleName("Components");
    componentsCaption_->setBuddy(components_);
    auto* parametersCaption = new QLabel("Parameters:", this);
    parameters_ = new QLineEdit(this);
    parameters_->setAccessibleName(fromView(pelorin::parametersBoxName));
    parameters_->setPlaceholderText("none, or a = 2/3, b = 4/3");
    parameters_->setToolTip("Named numbers every formula may use, each a formula of numbers and "
                            "the parameters before it.");
    parametersCaption->setBuddy(parameters_);
    grid.addWidget(componentsCaption_, 0, 0);
    grid.addWidget(components_, 0, 1, Qt::AlignLeft);
    grid.addWidget(parametersCaption, 0, 2);
    grid.addWidget(parameters_, 0, 3, 1, 3);
}

// The grid's line under the rows.
void ComponentBoxes::addInvariant(QGridLayout& grid) {
    auto* invariantCaption = new QLabel("Invariant:", this);
    invariant_ = new QLineEdit(this);
    invariant_->setAccessibleName(fromView(pelorin::invariantBoxName));
    invariant_->setPlaceholderText("none");
    invariant_->setToolTip("A quantity the solutions keep constant, in x and y1 … yn, such as an "
                           "energy: the lab plots how far each run drifts from it.");
    invariantCaption->setBuddy(invariant_);
    const int invariantLine = static_cast<int>(rows_.size()) + 1;
    grid.addWidget(invariantCaption, invariantLine, 0);
    grid.addWidget(invariant_, invariantLine, 1, 1, 5);
}

// Component k's slope, start and exact solution, each after its caption, on
// the grid's line k + 1.
void ComponentBoxes::addRow(QGridLayout& grid, std::size_t k) {
    Row& row = rows_[k];
    row.slope = newBox(this, row.slopeCaption,
                       "The slope of this component, in x, y1 … yn and the parameters.");
    row.start = newBox(this, row.startCaption, "The component's value at x0.");
    row.exact = newBox(this, row.exactCaption,
                       "Its exact solution, in x, x0 and the starts y1_0 … yn_0; empty when "
                       "none is known.");
    row.exact->setPlaceholderText("none");
    const std::array<QWidget*, 6> cells{row.slopeCaption, row.slope, row.startCaption,
                                        row.start, row.exactCaption, row.exact};
    for (std::size_t column = 0; column < cells.size(); ++column) {
        grid.addWidget(cells[column], static_cast<int>(k) + 1, static_cast<int>(column));
    }
}

// Every box's edit, and a new number of components, is the system edited.
void ComponentBoxes::connectBoxes() {
    for (const Row& row : rows_) {
        for (QLineEdit* box : {row.slope, row.start, row.exact}) {
            connect(box, &QLineEdit::editingFinished, this, &ComponentBoxes::edited);
        }
    }
    for (QLineEdit* box : {parameters_, invariant_}) {
        connect(box, &QLineEdit::editingFinished, this, &ComponentBoxes::edited);
    }
    connect(components_, &QSpinBox::valueChanged, this, [this] {
        showRows();
        emit edited();
    });
}

std::size_t ComponentBoxes::components() const {
    if (form_ == pelorin::ProblemForm::secondOrder) return 2;
    return static_cast<std::size_t>(components_->value());
}

void ComponentBoxes::setForm(pelorin::ProblemForm form) {
    form_ = form;
    showRows();
}

void ComponentBoxes::showRows() {
    const bool system = form_ == pelorin::ProblemForm::system;
    componentsCaption_->setVisible(system);
    components_->setVisible(system);
    for (std::size_t k = 0; k < rows_.size(); ++k) {
        const Row& row = rows_[k];
        const RowNames names = rowNames(form_, k);
        const bool shown = k < components();
        const std::array<std::pair<QLabel*, QLineEdit*>, 3> parts{{{row.slopeCaption, row.slope},
                                                                   {row.startCaption, row.start},
                                                                   {row.exactCaption, row.exact}}};
        const std::array<QString, 3> partNames{names.slope, names.start, names.exact};
        for (std::size_t p = 0; p < parts.size(); ++p) {
            const auto [caption, box] = parts[p];
            caption->setText(partNames[p].isEmpty() ? QString() : partNames[p] + " =");
            box->setAccessibleName(partNames[p]);
            caption->setVisible(shown && !partNames[p].isEmpty());
            box->setVisible(shown && !partNames[p].isEmpty());
        }
    }
}

pelorin::ProblemText ComponentBoxes::text() const {
    pelorin::ProblemText text;
    text.form = form_;
    text.parameters = parameters_->text().toStdString();
    text.invariant = invariant_->text().toStdString();
    if (form_ == pelorin::ProblemForm::secondOrder) {
        text.secondOrder = {
            rows_[0].slope->text().toStdString(), rows_[0].start->text().toStdString(),
            rows_[1].start->text().toStdString(), rows_[0].exact->text().toStdString()};
        return text;
    }
    for (std::size_t k = 0; k < components(); ++k) {
        text.components.push_back({rows_[k].slope->text().toStdString(),
                                   rows_[k].start->text().toStdString(),
                                   rows_[k].exact->text().toStdString()});
    }
    return text;
}

void ComponentBoxes::setText(const pelorin::ProblemText& text) {
    form_ = text.form;
    parameters_->setText(QString::fromStdString(text.parameters));
    invariant_->setText(QString::fromStdString(text.invariant));
    for (Row& row : rows_) {
        for (QLineEdit* box : {row.slope, row.start, row.exact}) box->clear();
    }
    if (text.form == pelorin::ProblemForm::secondOrder) {
        rows_[0].slope->setText(QString::fromStdString(text.secondOrder.f));
        rows_[0].start->setText(QString::fromStdString(text.secondOrder.y0));
        rows_[1].start->setText(QString::fromStdString(text.secondOrder.slope0));
        rows_[0].exact->setText(QString::fromStdString(text.secondOrder.exact));
    } else {
        {
            const QSignalBlocker quiet(components_);
            components_->setValue(static_cast<int>(text.components.size()));
        }
        for (std::size_t k = 0; k < text.components.size() && k < rows_.size(); ++k) {
            rows_[k].slope->setText(QString::fromStdString(text.components[k].slope));
            rows_[k].start->setText(QString::fromStdString(text.components[k].start));
            rows_[k].exact->setText(QString::fromStdString(text.components[k].exact));
        }
    }
    const std::vector<std::string> starts = pelorin::startTexts(text);
    for (std::size_t k = 0; k < starts.size() && k < lastGood_.size(); ++k) {
        lastGood_[k] = pelorin::readLabNumber(starts[k]).value;
    }
    showRows();
}

void ComponentBoxes::clearParametersAndInvariant() {
    parameters_->clear();
    invariant_->clear();
}

std::optional<pelorin::StateVector> ComponentBoxes::readStarts(std::vector<std::string>& notes) {
    const pelorin::ProblemText typed = text();
    const std::vector<std::string> texts = pelorin::startTexts(typed);
    const std::vector<std::string> names = pelorin::startBoxNames(typed);
    pelorin::StateVector starts(texts.size());
    bool complete = true;
    for (std::size_t k = 0; k < texts.size(); ++k) {
        const pelorin::LabBox box = pelorin::readLabBox(names[k], texts[k], lastGood_[k]);
        lastGood_[k] = box.value;
        rows_[k].start->setToolTip(QString::fromStdString(box.note));
        if (!box.note.empty()) notes.push_back(box.note);
        if (box.value) {
            starts[k] = *box.value;
        } else {
            complete = false;
        }
    }
    if (!complete) return std::nullopt;
    return starts;
}

