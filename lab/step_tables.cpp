#include "lab/step_tables.h"

#include "lab/page.h"
#include "methods/methods.h"
#include "texts/multistep_view.h"
#include "texts/stage_view.h"

#include <QHeaderView>
#include <QTableWidget>

#include <string>
#include <utility>
#include <vector>

namespace {

// The Tableau table's headings: the nodes, then the slopes of the stages a
// row weighs; and a tableau's rows, "stage 1", ..., then its weights'.
std::vector<std::string> tableauColumns(int stages) {
    std::vector<std::string> columns{"c"};
    for (int j = 1; j <= stages; ++j) columns.push_back("k" + std::to_string(j));
    return columns;
}
QStringList tableauRows(int stages, const QStringList& weights) {
    QStringList rows;
    for (int j = 1; j <= stages; ++j) rows << QString("stage %1").arg(j);
    return rows + weights;
}

// An empty table, for a method without coefficients to show.
void emptyTable(QTableWidget& table) {
    table.setRowCount(0);
    table.setColumnCount(0);
}

}  // namespace

void fillCentred(QTableWidget& table, const pelorin::TextTable& text) {
    fillTable(table, text, Qt::AlignCenter);
    table.horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

void fillTableau(QTableWidget& table, const pelorin::Method* method) {
    const bool estimate = method && tableauOf(*method)->hasErrorEstimate();
    table.setAccessibleName("Tableau");
    captionOf(table)->setText(estimate ? "Ta&bleau: nodes c | matrix a, then the weights b "
                                         "and e, the weights of the error estimate"
                                       : "Ta&bleau: nodes c | matrix a, then the weights b");
    table.clear();
    if (!method) return emptyTable(table);
    const int stages = tableauOf(*method)->stages;
    fillCentred(table, {tableauColumns(stages), pelorin::tableauCells(*tableauOf(*method))});
    table.setVerticalHeaderLabels(
        tableauRows(stages, estimate ? QStringList{"b", "e"} : QStringList{"b"}));
}

void fillTableaus(QTableWidget& table, const pelorin::PartitionedRungeKutta& pair) {
    table.setAccessibleName("Tableau");
    captionOf(table)->setText("Ta&bleaus: the positions' nodes c | matrix a, then the weights "
                              "b; below, the momenta's \u0109 | \u00e2, then their weights b");
    table.clear();
    const int stages = pair.positions->stages;
    const std::pair<const char*, const pelorin::Tableau*> parts[]{{"positions q", pair.positions},
                                                                   {"momenta p", pair.momenta}};
    std::vector<std::vector<std::string>> cells;
    QStringList rows;
    for (const auto& [title, tableau] : parts) {
        cells.emplace_back(static_cast<std::size_t>(stages) + 1);  // the title's row
        const auto coefficients = pelorin::tableauCells(*tableau);
        cells.insert(cells.end(), coefficients.begin(), coefficients.end());
        rows << title << tableauRows(stages, {"b"});
    }
    fillCentred(table, {tableauColumns(stages), cells});
    table.setVerticalHeaderLabels(rows);
}

void fillFormula(QTableWidget& table, const pelorin::Multistep* multistep) {
    // Alt+B, as for the tableau in its place.
    captionOf(table)->setText("Formula: the weights \u03b1 and \u03b2 of the points n \u2026 "
                              "n+k, divided &by \u03b1\u2096");
    table.setAccessibleName("Formula");
    table.clear();
    if (!multistep) return emptyTable(table);
    const pelorin::FormulaCells formula = pelorin::formulaCells(*multistep);
    fillCentred(table, {formula.columns, formula.cells});
    QStringList rows;
    for (const std::string& row : formula.rows) rows << QString::fromStdString(row);
    table.setVerticalHeaderLabels(rows);
}
