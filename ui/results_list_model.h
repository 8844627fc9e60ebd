// The lines of the results list, kept compactly: a lesson can append a
// hundred thousand of them, and they are only ever appended. Beside them, per
// block, what the lines do not show: the method and h it was calculated with.
#pragma once

#include "texts/results_export.h"

#include <QAbstractListModel>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class ResultsListModel : public QAbstractListModel {
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    void append(std::string_view line);
    std::string_view line(int row) const;

    // Called once for every block of lines a calculation listed, in list order.
    void appendBlock(const pelorin::ListBlock& block) { blocks_.push_back(block); }
    const std::vector<pelorin::ListBlock>& blocks() const { return blocks_; }

    // The list view asks for the index of every row each time it lays the
    // list out, so this one answers without the base class's virtual calls.
    QModelIndex index(int row, int column = 0, const QModelIndex& parent = {}) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    std::string text_;                // every line, one after another
    std::vector<std::uint32_t> ends_; // where each line ends in text_
    std::vector<pelorin::ListBlock> blocks_;
};
