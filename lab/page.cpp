#include "lab/page.h"

#include <QBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Enough for the widths one layout pass tries.
constexpr std::size_t keptHeights = 8;

}  // namespace

NotesLabel::NotesLabel(QWidget* parent) : QLabel(parent) {
    setWordWrap(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

int NotesLabel::heightForWidth(int width) const {
    if (text() != measuredText_ || font() != measuredFont_) {
        measuredText_ = text();
        measuredFont_ = font();
        heights_.clear();
    }
    const auto kept = std::find_if(heights_.begin(), heights_.end(),
                                   [width](const auto& entry) { return entry.first == width; });
    if (kept != heights_.end()) return kept->second;
    const int height = QLabel::heightForWidth(width);
    if (heights_.size() == keptHeights) heights_.erase(heights_.begin());
    heights_.emplace_back(width, height);
    return height;
}

QVBoxLayout* scrollingContent(QWidget& page) {
    auto* scroller = new QScrollArea(&page);
    scroller->setWidgetResizable(true);
    scroller->setFrameShape(QFrame::NoFrame);
    auto* content = new QWidget(scroller);
    scroller->setWidget(content);
    auto* outer = new QVBoxLayout(&page);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroller);
    return new QVBoxLayout(content);
}

QLabel* addNotes(QBoxLayout* layout, const QString& accessibleName) {
    auto* notes = new NotesLabel(layout->parentWidget());
    notes->setAccessibleName(accessibleName);
    layout->addWidget(notes);
    return notes;
}

QTableWidget* addCaptionedTable(QBoxLayout* layout, const QString& caption,
                                const QString& accessibleName) {
    auto* label = new QLabel(caption, layout->parentWidget());
    layout->addWidget(label);
    auto* table = new QTableWidget(layout->parentWidget());
    table->setAccessibleName(accessibleName);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setTabKeyNavigation(false);
    label->setBuddy(table);
    layout->addWidget(table, 2);
    return table;
}

void fillTable(QTableWidget& table, const pelorin::TextTable& text, Qt::Alignment alignment) {
    table.clear();
    table.setColumnCount(static_cast<int>(text.header.size()));
    table.setRowCount(static_cast<int>(text.rows.size()));
    for (std::size_t column = 0; column < text.header.size(); ++column) {
        table.setHorizontalHeaderItem(static_cast<int>(column),
                                      new QTableWidgetItem(QString::fromStdString(text.header[column])));
    }
    for (std::size_t row = 0; row < text.rows.size(); ++row) {
        for (std::size_t column = 0; column < text.rows[row].size(); ++column) {
            auto* cell = new QTableWidgetItem(QString::fromStdString(text.rows[row][column]));
            cell->setTextAlignment(alignment);
            table.setItem(static_cast<int>(row), static_cast<int>(column), cell);
        }
    }
}

QLabel* captionOf(const QTableWidget& table) {
    for (QLabel* label : table.parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (label->buddy() == &table) return label;
    }
    return nullptr;
}
