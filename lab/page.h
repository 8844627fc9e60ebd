// The parts every page of the Method lab has below its plots: notes in words
// and a read-only table under a caption.
#pragma once

#include "analysis/text_table.h"

#include <QFont>
#include <QLabel>
#include <QString>

#include <utility>
#include <vector>

class QBoxLayout;
class QTableWidget;
class QVBoxLayout;

// A page that holds more than the lab's height gives scrolls within itself:
// a tab widget asks every page for the height it wants, so that one page
// wanting more would make the lab scroll on every page. The layout to fill.
QVBoxLayout* scrollingContent(QWidget& page);

// Wrapped text that the mouse and the keyboard can select and copy. Such a
// label lays its text out as a document for every height it is asked for,
// and the lab's layouts ask for the heights of every note on every page,
// at several widths, at each change: so the heights are kept until the text
// or the font changes.
class NotesLabel : public QLabel {
public:
    explicit NotesLabel(QWidget* parent = nullptr);
    int heightForWidth(int width) const override;

private:
    mutable QString measuredText_;
    mutable QFont measuredFont_;
    mutable std::vector<std::pair<int, int>> heights_;  // width, height
};

// Notes under a page's plots, in a NotesLabel.
QLabel* addNotes(QBoxLayout* layout, const QString& accessibleName);

// A table the user reads but does not edit, under a caption whose
// mnemonic (&) moves the focus to it; Tab leaves it for the next control.
QTableWidget* addCaptionedTable(QBoxLayout* layout, const QString& caption,
                                const QString& accessibleName);

// Fills a table with the texts of `text`, its header above; each cell
// aligned as given.
void fillTable(QTableWidget& table, const pelorin::TextTable& text,
               Qt::Alignment alignment = Qt::AlignRight | Qt::AlignVCenter);

// The caption addCaptionedTable put above `table`, for a page whose caption
// changes with what the table holds.
QLabel* captionOf(const QTableWidget& table);
