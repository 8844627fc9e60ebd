#include "lab/handout.h"

#include <QBuffer>
#include <QHeaderView>
#include <QLabel>
#include <QPdfWriter>
#include <QTableWidget>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <qcustomplot.h>

#include <algorithm>

namespace {

// A plot is laid out as on a screen of this size, so that its legend has
// the room it has there, and drawn on the page at plotWidth (in 1/96 inch),
// from three times the pixels so that it stays sharp on paper.
constexpr QSize plotLayout(760, 480);
constexpr int plotWidth = 620;
constexpr double plotSharpness = 3;

// A cell's text, in italics where the table has it so: the italics may
// carry a meaning the text under the table explains.
QString cellText(const QTableWidgetItem* item) {
    if (!item) return {};
    const QString text = item->text().toHtmlEscaped().replace("\n", "<br>");
    return item->font().italic() ? "<i>" + text + "</i>" : text;
}

// A table with rows' headers and more columns than fit the paper readably
// prints in blocks of at most this many, one under the other, each with the
// rows' headers; a table without them stays whole, for a block's rows could
// not be told apart.
constexpr int columnsPerBlock = 7;

// Columns first to last - 1 of the table, under a row naming them.
QString columnsHtml(const QTableWidget& table, int first, int last) {
    QString html = "<table width=\"100%\" border=\"1\" cellspacing=\"0\" cellpadding=\"3\"><tr>";
    const bool rowHeaders = table.verticalHeader()->isVisible();
    if (rowHeaders) html += "<th></th>";
    for (int column = first; column < last; ++column) {
        html += "<th>" + cellText(table.horizontalHeaderItem(column)) + "</th>";
    }
    html += "</tr>";
    for (int row = 0; row < table.rowCount(); ++row) {
        html += "<tr>";
        // A row's name whole on its line: "N = 16384", not "N =" over "16384".
        if (rowHeaders) {
            html += "<th style=\"white-space: nowrap\">" + cellText(table.verticalHeaderItem(row)) +
                    "</th>";
        }
        for (int column = first; column < last; ++column) {
            html += "<td align=\"right\">" + cellText(table.item(row, column)) + "</td>";
        }
        html += "</tr>";
    }
    return html + "</table>";
}

// Where each block of a table's columns begins: where the table's
// "columnBlocks" property says (the columns of one family of methods
// together), else every columnsPerBlock columns.
QList<int> blockStarts(const QTableWidget& table) {
    const int columns = table.columnCount();
    if (!table.verticalHeader()->isVisible()) return {0};
    QList<int> starts = table.property(columnBlocksProperty).value<QList<int>>();
    if (!starts.isEmpty()) return starts;
    for (int first = 0; first == 0 || first < columns; first += columnsPerBlock) starts << first;
    return starts;
}

QString tableHtml(const QTableWidget& table) {
    QString html = "<h3>" + table.accessibleName().toHtmlEscaped() + "</h3>";
    const QList<int> starts = blockStarts(table);
    for (int block = 0; block < starts.size(); ++block) {
        if (block > 0) html += "<p></p>";
        const int last = block + 1 < starts.size() ? starts[block + 1] : table.columnCount();
        html += columnsHtml(table, starts[block], std::min(last, table.columnCount()));
    }
    if (!table.whatsThis().isEmpty()) html += "<p>" + table.whatsThis().toHtmlEscaped() + "</p>";
    return html;
}

void buildDocument(const Handout& handout, QTextDocument& document) {
    QStringList problem;
    for (const QString& line : handout.problem) problem << line.toHtmlEscaped();
    QString html = "<h2>" + handout.title.toHtmlEscaped() + "</h2><p>" + problem.join("<br>") + "</p>";
    for (int i = 0; i < handout.plots.size(); ++i) {
        QCustomPlot* plot = handout.plots[i];
        const int height = plotWidth * plotLayout.height() / plotLayout.width();
        const QUrl name(QString("plot%1").arg(i));
        document.addResource(
            QTextDocument::ImageResource, name,
            plot->toPixmap(plotLayout.width(), plotLayout.height(), plotSharpness).toImage());
        html += QString("<p><img src=\"%1\" width=\"%2\" height=\"%3\"></p>")
                    .arg(name.toString())
                    .arg(plotWidth)
                    .arg(height);
    }
    for (const QString& note : handout.notes) html += "<p>" + note.toHtmlEscaped() + "</p>";
    for (const QTableWidget* table : handout.tables) html += tableHtml(*table);
    document.setHtml(html);
    // Each table's first row names its columns: it heads every page the
    // table runs onto.
    for (QTextFrame* frame : document.rootFrame()->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(frame)) {
            QTextTableFormat format = table->format();
            format.setHeaderRowCount(1);
            table->setFormat(format);
        }
    }
}

}  // namespace

void addPage(Handout& handout, const PageHandout& page) {
    handout.problem << page.lines;
    handout.plots << page.plots;
    for (const QLabel* notes : page.notes) {
        if (!notes->text().isEmpty()) handout.notes << notes->text().split('\n');
    }
    for (const QTableWidget* table : page.tables) {
        handout.tables << table;
        if (!table->whatsThis().isEmpty()) handout.notes.removeAll(table->whatsThis());
    }
}

QString handoutDocumentName(const Handout& handout) {
    return QString(handoutCreator) + " " + handout.title + ", " + handout.problem.value(0);
}

void printHandout(const Handout& handout, QPagedPaintDevice& device) {
    QTextDocument document;
    buildDocument(handout, document);
    document.print(&device);
}

QByteArray handoutPdf(const Handout& handout, const QPageSize& size) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageSize(size);
    writer.setTitle(handoutDocumentName(handout));
    writer.setCreator(handoutCreator);
    printHandout(handout, writer);
    buffer.close();
    return bytes;
}
