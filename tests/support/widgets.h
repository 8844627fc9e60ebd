// What the window tests share: finding a control by its object name, failing
// the test when it is missing, and a table's texts.
#pragma once

#include <QString>
#include <QTableWidget>
#include <QWidget>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelorin::testing {

template <typename Widget = QWidget>
Widget* child(const QWidget& parent, const char* name) {
    auto* widget = parent.findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

// A table's cells as they read, row by row, without its header.
using Cells = std::vector<std::vector<std::string>>;
inline Cells tableCells(const QTableWidget& table) {
    Cells rows;
    for (int row = 0; row < table.rowCount(); ++row) {
        rows.emplace_back();
        for (int column = 0; column < table.columnCount(); ++column) {
            rows.back().push_back(table.item(row, column)->text().toStdString());
        }
    }
    return rows;
}

}  // namespace pelorin::testing
