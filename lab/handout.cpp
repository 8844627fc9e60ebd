#include "lab/handout.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QHeaderView>
#include <QLabel>
#include <QPdfWriter>
#include <QPicture>
#include <QPointer>
#include <QTableWidget>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextObjectInterface>
#include <QTextTable>
#include <qcustomplot.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

namespace {

// A plot is laid out as on a screen at least this size, wider where its
// legend needs more to show every name whole, and drawn on the page
// plotWidth wide (in 1/96 inch), scaled as a whole.
constexpr QSize plotLayout(760, 480);
constexpr int plotWidth = 620;

// The size a plot is laid out at for paper: the page's proportions, and
// the width and height its axes and legend need.
QSize paperLayout(const QCustomPlot& plot) {
    const QSize needed = static_cast<const QWidget&>(plot).minimumSizeHint();
    const int width = std::max(plotLayout.width(), needed.width());
    return {width, std::max(width * plotLayout.height() / plotLayout.width(), needed.height())};
}

// How far beyond the view a line on paper reaches, in views: a run that
// blows up reaches values whose pixels a PDF cannot hold (its numbers end
// at 2^32), so on paper a line stops where it leaves a box this many times
// the view around it, far beyond anything a reader sees.
constexpr double paperReach = 1e4;

// A point of a plotted line, and where it stands in the line's order.
struct LinePoint {
    double order;
    QPointF at;
};

// The part of a to b within `box`, as the fractions of the way where it
// enters and leaves (Liang and Barsky's clipping); none if it misses.
std::optional<std::pair<double, double>> partWithin(const QPointF& a, const QPointF& b, const QRectF& box) {
    double enters = 0, leaves = 1;
    const double way[2] = {b.x() - a.x(), b.y() - a.y()};
    const double toLow[2] = {box.left() - a.x(), box.top() - a.y()};
    const double toHigh[2] = {box.right() - a.x(), box.bottom() - a.y()};
    for (int k = 0; k < 2; ++k) {
        if (way[k] == 0) {
            if (toLow[k] > 0 || toHigh[k] < 0) return std::nullopt;
            continue;
        }
        const double first = toLow[k] / way[k], second = toHigh[k] / way[k];
        enters = std::max(enters, std::min(first, second));
        leaves = std::min(leaves, std::max(first, second));
    }
    if (enters > leaves) return std::nullopt;
    return std::pair{enters, leaves};
}

// A line's points with each one beyond `box` replaced by where the line
// leaves the box before it and enters it after it, and a gap (NaN, as
// QCustomPlot draws one) between; empty if every point lies within.
std::vector<LinePoint> withinBox(const std::vector<LinePoint>& points, const QRectF& box) {
    const auto drawn = [](const LinePoint& p) { return std::isfinite(p.at.x()) && std::isfinite(p.at.y()); };
    const auto beyond = [&](const LinePoint& p) { return drawn(p) && !box.contains(p.at); };
    if (std::none_of(points.begin(), points.end(), beyond)) return {};
    const auto along = [](const LinePoint& a, const LinePoint& b, double way) {
        return LinePoint{a.order + way * (b.order - a.order), a.at + way * (b.at - a.at)};
    };
    std::vector<LinePoint> kept;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const LinePoint& point = points[i];
        if (!beyond(point)) {
            kept.push_back(point);
            continue;
        }
        if (i > 0 && drawn(points[i - 1])) {
            if (const auto part = partWithin(points[i - 1].at, point.at, box)) {
                kept.push_back(along(points[i - 1], point, part->second));
            }
        }
        kept.push_back({point.order, QPointF(qQNaN(), qQNaN())});
        if (i + 1 < points.size() && drawn(points[i + 1])) {
            if (const auto part = partWithin(point.at, points[i + 1].at, box)) {
                kept.push_back(along(point, points[i + 1], part->first));
            }
        }
    }
    return kept;
}

// The box a plottable's lines keep within on paper; none on a logarithmic
// axis, whose pixels stay few, or an empty view.
std::optional<QRectF> paperBox(const QCPAbstractPlottable& plottable) {
    const QCPAxis* across = plottable.keyAxis();
    const QCPAxis* up = plottable.valueAxis();
    if (!across || !up) return std::nullopt;
    if (across->scaleType() == QCPAxis::stLogarithmic || up->scaleType() == QCPAxis::stLogarithmic) {
        return std::nullopt;
    }
    const QCPRange x = across->range(), y = up->range();
    if (!(x.size() > 0) || !(y.size() > 0)) return std::nullopt;
    const QSizeF size(paperReach * x.size(), paperReach * y.size());
    return QRectF(QPointF(x.center(), y.center()) - QPointF(size.width() / 2, size.height() / 2), size);
}

// While it lives, the plot's graphs and curves hold their lines within
// paperBox, and then their own data again (those the plot still has: a
// page may draw some anew for the paper's view).
class LinesOnPaper {
public:
    explicit LinesOnPaper(QCustomPlot& plot) {
        for (int i = 0; i < plot.plottableCount(); ++i) {
            QCPAbstractPlottable* plottable = plot.plottable(i);
            const std::optional<QRectF> box = paperBox(*plottable);
            if (!box) continue;
            if (auto* graph = qobject_cast<QCPGraph*>(plottable)) keepWithin(graph, *box);
            if (auto* curve = qobject_cast<QCPCurve*>(plottable)) keepWithin(curve, *box);
        }
    }
    ~LinesOnPaper() {
        for (auto& [graph, data] : graphs_) {
            if (graph) graph->setData(data);
        }
        for (auto& [curve, data] : curves_) {
            if (curve) curve->setData(data);
        }
    }
    LinesOnPaper(const LinesOnPaper&) = delete;
    LinesOnPaper& operator=(const LinesOnPaper&) = delete;

private:
    void keepWithin(QCPGraph* graph, const QRectF& box) {
        std::vector<LinePoint> points;
        for (const QCPGraphData& point : *graph->data()) points.push_back({point.key, {point.key, point.value}});
        const std::vector<LinePoint> kept = withinBox(points, box);
        if (kept.empty()) return;
        auto paper = QSharedPointer<QCPGraphDataContainer>::create();
        for (const LinePoint& point : kept) paper->add(QCPGraphData(point.order, point.at.y()));
        graphs_.emplace_back(graph, graph->data());
        graph->setData(paper);
    }
    void keepWithin(QCPCurve* curve, const QRectF& box) {
        std::vector<LinePoint> points;
        for (const QCPCurveData& point : *curve->data()) points.push_back({point.t, {point.key, point.value}});
        const std::vector<LinePoint> kept = withinBox(points, box);
        if (kept.empty()) return;
        auto paper = QSharedPointer<QCPCurveDataContainer>::create();
        for (const LinePoint& point : kept) paper->add(QCPCurveData(point.order, point.at.x(), point.at.y()));
        curves_.emplace_back(curve, curve->data());
        curve->setData(paper);
    }

    std::vector<std::pair<QPointer<QCPGraph>, QSharedPointer<QCPGraphDataContainer>>> graphs_;
    std::vector<std::pair<QPointer<QCPCurve>, QSharedPointer<QCPCurveDataContainer>>> curves_;
};

// The handout's images are its plots, each drawn on the page from the lines
// and text the plot painted rather than from pixels: sharp at any zoom, and
// its legend and axes are text a reader can search and copy. An image's
// name, "plot2", says which.
class PlotPictures : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    using QObject::QObject;

    // Lays `plot` out at its paper size and records what it paints; the
    // name of its image.
    QString add(QCustomPlot& plot) {
        Picture drawn;
        drawn.laidOut = paperLayout(plot);
        {
            const LinesOnPaper lines(plot);
            QCPPainter painter(&drawn.picture);
            painter.setMode(QCPPainter::pmVectorized);
            painter.setMode(QCPPainter::pmNoCaching);
            plot.toPainter(&painter, drawn.laidOut.width(), drawn.laidOut.height());
        }
        // The screen's layout back, for the mouse and the next repaint.
        plot.replot(QCustomPlot::rpQueuedReplot);
        pictures_.push_back(drawn);
        return QString("plot%1").arg(pictures_.size() - 1);
    }
    // The plot's height on the page for `width`.
    int heightFor(const QString& name, int width) const {
        const QSize laidOut = picture(name).laidOut;
        return width * laidOut.height() / laidOut.width();
    }

    // The size the image's width and height give (in 1/96 inch), in the
    // document's device pixels, as Qt's own images are sized.
    QSizeF intrinsicSize(QTextDocument* document, int, const QTextFormat& format) override {
        const QTextImageFormat image = format.toImageFormat();
        const QPaintDevice* device = document->documentLayout()->paintDevice();
        const double scale = device ? device->logicalDpiY() / 96.0 : 1.0;
        return QSizeF(image.width(), image.height()) * scale;
    }
    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument*, int,
                    const QTextFormat& format) override {
        const Picture& drawn = picture(format.toImageFormat().name());
        // A picture plays at its own resolution's physical size on any
        // device: the device's dots to one of its pixels are taken out.
        const QPaintDevice* device = painter->device();
        const double dotsX = device->logicalDpiX() / double(drawn.picture.logicalDpiX());
        const double dotsY = device->logicalDpiY() / double(drawn.picture.logicalDpiY());
        painter->save();
        painter->translate(rect.topLeft());
        painter->scale(rect.width() / drawn.laidOut.width() / dotsX,
                       rect.height() / drawn.laidOut.height() / dotsY);
        painter->drawPicture(0, 0, drawn.picture);
        painter->restore();
    }

private:
    struct Picture {
        QSize laidOut;
        QPicture picture;
    };
    const Picture& picture(const QString& name) const {
        return pictures_.at(name.mid(4).toUInt());
    }
    std::vector<Picture> pictures_;
};

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

// Columns first to last - 1 of the table, under a row naming them. No cell
// wraps on its own: a header breaks only where its caption has a line
// break ("Adams-", "Bashforth", "2", never "Bashfor", "th"), an order stays
// whole ("(-468.88)", not "(-" over "468.88)") and a row's name too ("N =
// 16384"); the blocks are narrow enough for the paper.
QString columnsHtml(const QTableWidget& table, int first, int last) {
    const QString whole = " style=\"white-space: nowrap\"";
    QString html = "<table width=\"100%\" border=\"1\" cellspacing=\"0\" cellpadding=\"3\"><tr>";
    const bool rowHeaders = table.verticalHeader()->isVisible();
    if (rowHeaders) html += "<th></th>";
    for (int column = first; column < last; ++column) {
        html += "<th" + whole + ">" + cellText(table.horizontalHeaderItem(column)) + "</th>";
    }
    html += "</tr>";
    for (int row = 0; row < table.rowCount(); ++row) {
        html += "<tr>";
        if (rowHeaders) html += "<th" + whole + ">" + cellText(table.verticalHeaderItem(row)) + "</th>";
        for (int column = first; column < last; ++column) {
            html += "<td align=\"right\"" + whole + ">" + cellText(table.item(row, column)) + "</td>";
        }
        html += "</tr>";
    }
    return html + "</table>";
}

// Where each block of a table's columns begins: at each family of columns
// the table's "columnBlocks" property gives (else one family of all), a
// family of more than columnsPerBlock columns in as few blocks as do, as
// even as they come (nine columns in four and five).
QList<int> blockStarts(const QTableWidget& table) {
    const int columns = table.columnCount();
    if (!table.verticalHeader()->isVisible()) return {0};
    QList<int> families = table.property(columnBlocksProperty).value<QList<int>>();
    if (families.isEmpty()) families = {0};
    QList<int> starts;
    for (int family = 0; family < families.size(); ++family) {
        const int first = families[family];
        const int size = (family + 1 < families.size() ? families[family + 1] : columns) - first;
        const int blocks = std::max(1, (size + columnsPerBlock - 1) / columnsPerBlock);
        for (int block = 0; block < blocks; ++block) starts << first + block * size / blocks;
    }
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
    auto* plots = new PlotPictures(&document);
    document.documentLayout()->registerHandler(QTextFormat::ImageObject, plots);
    for (QCustomPlot* plot : handout.plots) {
        const QString name = plots->add(*plot);
        html += QString("<p><img src=\"%1\" width=\"%2\" height=\"%3\"></p>")
                    .arg(name)
                    .arg(plotWidth)
                    .arg(plots->heightFor(name, plotWidth));
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

#include "handout.moc"
