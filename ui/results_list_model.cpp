#include "ui/results_list_model.h"

void ResultsListModel::append(std::string_view line) {
    const int row = rowCount();
    beginInsertRows({}, row, row);
    text_.append(line);
    ends_.push_back(static_cast<std::uint32_t>(text_.size()));
    endInsertRows();
}

std::string_view ResultsListModel::line(int row) const {
    const auto index = static_cast<std::size_t>(row);
    const std::size_t begin = index == 0 ? 0 : ends_[index - 1];
    return std::string_view(text_).substr(begin, ends_[index] - begin);
}

QModelIndex ResultsListModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column != 0 || parent.isValid() || static_cast<std::size_t>(row) >= ends_.size()) {
        return {};
    }
    return createIndex(row, column);
}

int ResultsListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(ends_.size());
}

QVariant ResultsListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return {};
    const std::string_view text = line(index.row());
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}
