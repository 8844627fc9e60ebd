#include "lab/page.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QScrollArea>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Enough for the widths one layout pass tries.
constexpr std::size_t keptHeights = 8;

// Room above and below a line in a compact row.
constexpr int compactRowPadding = 8;

// Fits a table's captions again when its font changes, once the new font
// has reached its headers. Q_OBJECT lets fitCaptions find it among the
// table's children by its type rather than take the first child it meets.
class CaptionFit : public QObject {
    Q_OBJECT

public:
    CaptionFit(QTableWidget* table, Rows rows) : QObject(table), rows_(rows) {
        table->installEventFilter(this);
    }
    Rows rows() const { return rows_; }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FontChange) {
            QMetaObject::invokeMethod(
                this, [table = static_cast<QTableWidget*>(watched)] { fitCaptions(*table); },
                Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    Rows rows_;
};

// The height of a row that shows a line of the header's text whole.
int lineRowHeight(const QHeaderView& header, Rows rows) {
    const int line = header.fontMetrics().height();
    if (rows == Rows::compact) return line + compactRowPadding;
    const QStyle* style = header.style();
    return std::max(line + 2 * style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, &header),
                    style->pixelMetric(QStyle::PM_HeaderDefaultSectionSizeVertical, nullptr, &header));
}

}  // namespace

NotesLabel::NotesLabel(const QString& name, QWidget* parent) : QLabel(parent) {
    setObjectName(name);
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
    // Only the controls within take the focus: the area itself has no name
    // and shows no mark of focus, and scrolls to the control that has it.
    scroller->setFocusPolicy(Qt::NoFocus);
    auto* content = new QWidget(scroller);
    scroller->setWidget(content);
    auto* outer = new QVBoxLayout(&page);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroller);
    return new QVBoxLayout(content);
}

QLabel* addNotes(QBoxLayout* layout, const QString& name) {
    auto* notes = new NotesLabel(name, layout->parentWidget());
    layout->addWidget(notes);
    return notes;
}

QStringList fromNotes(const std::vector<std::string>& notes) {
    QStringList list;
    for (const std::string& note : notes) list << QString::fromStdString(note);
    return list;
}

void setNotes(QLabel* label, const QStringList& notes) {
    label->setText(notes.join("\n"));
    label->setVisible(!notes.isEmpty());
}

QTableWidget* addCaptionedTable(QBoxLayout* layout, const QString& caption,
                                const QString& accessibleName, Rows rows) {
    auto* label = new QLabel(caption, layout->parentWidget());
    layout->addWidget(label);
    auto* table = new QTableWidget(layout->parentWidget());
    table->setAccessibleName(accessibleName);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setTabKeyNavigation(false);
    label->setBuddy(table);
    layout->addWidget(table, 2);
    new CaptionFit(table, rows);
    fitCaptions(*table);
    return table;
}

void fitCaptions(QTableWidget& table) {
    const auto* fit = table.findChild<CaptionFit*>(QString(), Qt::FindDirectChildrenOnly);
    QHeaderView& rows = *table.verticalHeader();
    rows.setDefaultSectionSize(lineRowHeight(rows, fit ? fit->rows() : Rows::styled));
    QHeaderView& columns = *table.horizontalHeader();
    if (columns.count() == 0) return;
    if (columns.sectionResizeMode(0) == QHeaderView::Stretch) {
        int widest = 0;
        for (int column = 0; column < columns.count(); ++column) {
            widest = std::max(widest, columns.sectionSizeHint(column));
        }
        columns.setMinimumSectionSize(widest);
    } else if (columns.sectionResizeMode(0) == QHeaderView::Interactive) {
        table.resizeColumnsToContents();
    }
}

QComboBox* newListBox(QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    // A list box keeps the minimum width of the text it first showed; as
    // wide as it likes, it follows the text size.
    list->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return list;
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

#include "page.moc"
