#include "lab/page.h"

#include <QBoxLayout>
#include <QLabel>
#include <QTableWidget>

QLabel* addNotes(QBoxLayout* layout, const QString& accessibleName) {
    auto* notes = new QLabel(layout->parentWidget());
    notes->setWordWrap(true);
    notes->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
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

QLabel* captionOf(const QTableWidget& table) {
    for (QLabel* label : table.parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (label->buddy() == &table) return label;
    }
    return nullptr;
}
