// The parts every page of the Method lab has below its plots: notes in words
// and a read-only table under a caption.
#pragma once

class QBoxLayout;
class QLabel;
class QString;
class QTableWidget;

// Wrapped notes that the mouse and the keyboard can select and copy.
QLabel* addNotes(QBoxLayout* layout, const QString& accessibleName);

// A table the user reads but does not edit, under a caption whose
// mnemonic (&) moves the focus to it; Tab leaves it for the next control.
QTableWidget* addCaptionedTable(QBoxLayout* layout, const QString& caption,
                                const QString& accessibleName);

// The caption addCaptionedTable put above `table`, for a page whose caption
// changes with what the table holds.
QLabel* captionOf(const QTableWidget& table);
