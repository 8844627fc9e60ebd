// The parts every page of the Method lab has below its plots: notes in words
// and a read-only table under a caption.
#pragma once

#include "base/text_table.h"

#include <QFont>
#include <QLabel>
#include <QString>
#include <QStringList>

#include <string>
#include <utility>
#include <vector>

class QBoxLayout;
class QComboBox;
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
//
// Its `name` ("Stability notes") is its object name, by which the lab and
// its tests find it; it has no accessible name, so that a screen reader
// reads its text, as it reads every label's.
class NotesLabel : public QLabel {
public:
    NotesLabel(const QString& name, QWidget* parent);
    int heightForWidth(int width) const override;

private:
    mutable QString measuredText_;
    mutable QFont measuredFont_;
    mutable std::vector<std::pair<int, int>> heights_;  // width, height
};

// Notes under a page's plots, in a NotesLabel of that name.
QLabel* addNotes(QBoxLayout* layout, const QString& name);

// The notes a study wrote, one line each.
QStringList fromNotes(const std::vector<std::string>& notes);
// A label's notes, one a line; hidden when there are none.
void setNotes(QLabel* label, const QStringList& notes);

// A table the user reads but does not edit, under a caption whose
// mnemonic (&) moves the focus to it; Tab leaves it for the next control.
// At every text size its captions show whole: its rows are a line of text
// high (or the style's height, if more, unless the rows are `compact`),
// stretched columns are no narrower than their captions, and columns sized
// to their contents are sized again.
enum class Rows { styled, compact };
QTableWidget* addCaptionedTable(QBoxLayout* layout, const QString& caption,
                                const QString& accessibleName, Rows rows = Rows::styled);
// Sizes `table`'s rows and columns to its captions at its font, as it is
// done when the font changes: for a table whose captions were filled anew.
void fitCaptions(QTableWidget& table);

// A list box as wide as its longest item at every text size.
QComboBox* newListBox(QWidget* parent);

// Fills a table with the texts of `text`, its header above; each cell
// aligned as given.
void fillTable(QTableWidget& table, const pelorin::TextTable& text,
               Qt::Alignment alignment = Qt::AlignRight | Qt::AlignVCenter);

// The caption addCaptionedTable put above `table`, for a page whose caption
// changes with what the table holds.
QLabel* captionOf(const QTableWidget& table);
