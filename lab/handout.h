// A page of the Method lab as a teacher hands it out: the problem, the
// page's plots with their axes and legends, its notes and its tables, laid
// out on the printer's paper by Qt's text layout.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QCustomPlot;
class QPageSize;
class QPagedPaintDevice;
class QTableWidget;

struct Handout {
    QString title;        // "Method lab: Convergence"
    QStringList problem;  // the equation, x0, y0, x1, the method, h
    QList<QCustomPlot*> plots;
    QStringList notes;
    QList<const QTableWidget*> tables;  // each under its accessible name
};

// Lays the handout out on `device`'s pages.
void printHandout(const Handout& handout, QPagedPaintDevice& device);

// The handout as a PDF file on pages of `size`.
QByteArray handoutPdf(const Handout& handout, const QPageSize& size);
