// A page of the Method lab as a teacher hands it out: the problem, the
// page's plots with their axes and legends, its notes and its tables, laid
// out on the printer's paper by Qt's text layout.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QCustomPlot;
class QLabel;
class QPageSize;
class QPagedPaintDevice;
class QTableWidget;

struct Handout {
    QString title;        // "Method lab: Convergence"
    // The equation first, then its exact solution (or that there is none),
    // x0, y0, x1, the method and h.
    QStringList problem;
    QList<QCustomPlot*> plots;
    QStringList notes;
    // Each under its accessible name, with its What's This text, which says
    // how to read it, underneath.
    QList<const QTableWidget*> tables;
};

// What a page adds to its handout: lines under the problem that say what
// it runs (the method and h), its plots, its notes as it shows them and its
// tables.
struct PageHandout {
    QStringList lines;
    QList<QCustomPlot*> plots;
    QList<const QLabel*> notes;
    QList<const QTableWidget*> tables;
};

// Adds `page` to `handout`, after the lab's own problem lines and notes:
// each line of a note a paragraph, and a table's What's This text, which is
// printed under the table, not among the notes too.
void addPage(Handout& handout, const PageHandout& page);

// A table's property, a QList<int> of the columns where its families begin
// (the first 0), for a table whose columns fall into families: its handout's
// blocks of columns never mix two, and split a family too wide for paper.
inline constexpr char columnBlocksProperty[] = "columnBlocks";

// The program that makes handouts, as a PDF's properties and a print queue
// name it, and the handout's name there: "Pelorin Method lab: Convergence,
// dy/dx = -2*x - y".
inline constexpr char handoutCreator[] = "Pelorin";
QString handoutDocumentName(const Handout& handout);

// Lays the handout out on `device`'s pages.
void printHandout(const Handout& handout, QPagedPaintDevice& device);

// The handout as a PDF file on pages of `size`.
QByteArray handoutPdf(const Handout& handout, const QPageSize& size);
