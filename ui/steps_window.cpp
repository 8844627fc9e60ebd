#include "ui/steps_window.h"

#include "numerics/step_errors.h"
#include "texts/input_notes.h"
#include "texts/results_export.h"
#include "ui/accessible_roles.h"
#include "ui/save_file.h"
#include "ui/text.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

#include <string_view>

namespace {

// What each column holds, for the tooltips of its header; the estimate's
// comes from the method.
struct ColumnExplanation {
    std::string_view column;
    const char* text;
};
constexpr ColumnExplanation explanations[]{
    {"exact y", "The exact solution through the start (x0, y0) at this x."},
    {"global error", "y minus the exact value: the error gathered so far."},
    {"local error",
     "The error of this step alone: the method's step taken from the exact value at the "
     "previous x, minus the exact value at this x."},
};

QString columnExplanation(const std::string& column, const pelorin::Method* method) {
    if (column == "estimate") return method ? fromView(method->estimateNote) : QString();
    for (const ColumnExplanation& explanation : explanations) {
        if (explanation.column == column) return QString::fromUtf8(explanation.text);
    }
    return {};
}

QString joinedLines(const std::vector<std::string>& lines) {
    QStringList texts;
    for (const std::string& line : lines) {
        if (!line.empty()) texts << QString::fromStdString(line);
    }
    return texts.join('\n');
}

}  // namespace

StepsWindow::StepsWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    installAccessibleRoles();
    setObjectName("StepsWindow");
    setWindowTitle("Steps and errors");
    setAttribute(Qt::WA_DeleteOnClose);
    // The main window alone decides when the program ends.
    setAttribute(Qt::WA_QuitOnClose, false);

    heading_ = new QLabel(this);
    heading_->setObjectName("Heading");
    heading_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    notes_ = new QLabel(this);
    notes_->setObjectName("Notes");
    notes_->setWordWrap(true);
    notes_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    table_ = new QTableWidget(this);
    table_->setObjectName("Steps");
    table_->setAccessibleName("Steps");
    table_->setAccessibleDescription(
        "Every step of the last calculation with the exact value and the errors.");
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

    auto* copyButton = new QPushButton("&Copy", this);
    copyButton->setObjectName("Copy");
    copyButton->setToolTip("Copy the table, tab-separated with a header row (Ctrl+C)");
    auto* saveButton = new QPushButton("&Save as CSV\u2026", this);
    saveButton->setObjectName("SaveAsCsv");
    saveButton->setToolTip("Save the table as a CSV file (Ctrl+S)");
    connect(copyButton, &QPushButton::clicked, this, &StepsWindow::copy);
    connect(saveButton, &QPushButton::clicked, this, &StepsWindow::saveAsCsv);

    // The window's own shortcuts; Copy wins over the table's copy of one cell.
    auto* copyAction = new QAction("Copy", this);
    copyAction->setShortcut(QKeySequence::Copy);
    connect(copyAction, &QAction::triggered, this, &StepsWindow::copy);
    auto* saveAction = new QAction("Save as CSV", this);
    saveAction->setShortcut(QKeySequence::Save);
    connect(saveAction, &QAction::triggered, this, &StepsWindow::saveAsCsv);
    auto* closeAction = new QAction("Close", this);
    closeAction->setShortcut(Qt::Key_Escape);
    connect(closeAction, &QAction::triggered, this, &QWidget::close);
    addActions({copyAction, saveAction, closeAction});

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copyButton);
    buttons->addWidget(saveButton);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading_);
    layout->addWidget(notes_);
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);
    resize(760, 400);
}

void StepsWindow::showCalculation(const pelorin::Calculation& calculation) {
    const pelorin::StepErrors errors = pelorin::stepErrors(calculation);
    shown_ = pelorin::stepErrorTable(errors);
    saved_ = pelorin::labelledStepErrorTable(shown_, calculation);
    suggestedName_ = QString::fromStdString(pelorin::suggestedFileName(
        calculation.method, calculation.value(pelorin::Input::h), "steps", ".csv"));

    heading_->setText(QString::fromStdString(pelorin::calculationHeading(calculation)));
    std::vector<std::string> notes = pelorin::readingNotes(calculation);
    notes.push_back(pelorin::failureNote(calculation));
    if (calculation.method) notes.push_back(pelorin::coincidenceNote(*calculation.method));
    notes_->setText(joinedLines(notes));
    notes_->setVisible(!notes_->text().isEmpty());

    table_->clear();
    table_->setColumnCount(static_cast<int>(shown_.header.size()));
    table_->setRowCount(static_cast<int>(shown_.rows.size()));
    for (int column = 0; column < table_->columnCount(); ++column) {
        const std::string& name = shown_.header[static_cast<std::size_t>(column)];
        auto* item = new QTableWidgetItem(QString::fromStdString(name));
        item->setToolTip(columnExplanation(name, errors.method));
        table_->setHorizontalHeaderItem(column, item);
    }
    for (int row = 0; row < table_->rowCount(); ++row) {
        const auto& cells = shown_.rows[static_cast<std::size_t>(row)];
        for (int column = 0; column < table_->columnCount(); ++column) {
            auto* item = new QTableWidgetItem(QString::fromStdString(cells[static_cast<std::size_t>(column)]));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(row, column, item);
        }
    }
    // Wide enough for every column, without a scroll bar, if the screen allows.
    const int wanted = table_->horizontalHeader()->length() + 2 * table_->frameWidth() +
                       layout()->contentsMargins().left() + layout()->contentsMargins().right();
    if (width() < wanted) resize(wanted, height());
}

QString StepsWindow::copiedText() const { return QString::fromStdString(pelorin::tabSeparated(shown_)); }

QByteArray StepsWindow::csv() const {
    return QByteArray::fromStdString(pelorin::commaSeparated(saved_));
}

void StepsWindow::copy() { QApplication::clipboard()->setText(copiedText()); }

void StepsWindow::saveAsCsv() {
    const auto target =
        askWhereToSave(this, "Save as CSV", suggestedName_, {{"CSV files", ".csv"}});
    if (target) saveWholeOrWarn(this, target->path, csv());
}
