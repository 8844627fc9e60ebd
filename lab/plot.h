// A plot of the Method lab: QCustomPlot with zoom and pan, Copy image and
// Save as PNG and PDF from its context menu (mouse or keyboard), colours that
// follow the desktop's palette, and one colour and marker per method.
#pragma once

#include "numerics/direction_field.h"
#include "numerics/solution_paths.h"

#include <qcustomplot.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace pelorin {
struct FloorLevel;
}

class LabPlot : public QCustomPlot {
    Q_OBJECT
    Q_PROPERTY(QString fileStem READ fileStem)

public:
    LabPlot(const QString& accessibleName, const QString& description, QWidget* parent = nullptr);
    // What a screen reader says the plot shows, for a page whose plot
    // changes what it shows; how to move the view is added.
    void describe(const QString& description);

    // The pen and marker of catalogue row `row`, the same on every tab.
    static QPen methodPen(std::size_t row);
    // A system's component k (0-based) of the exact or reference solution: a
    // broad pale band in the colour its runs take (methodPen(k)), so that
    // the eye pairs them and sees a run leave its band.
    static QPen componentBand(std::size_t k);
    static QCPScatterStyle methodMarker(std::size_t row);
    // The red of what the eye should find first (the rounding floor, the
    // point z = h·λ, a step's increment), readable on a light or dark ground.
    QColor accent() const;
    // Puts the markers of points over everything else drawn on the axes:
    // the curves and arrows that start at them and the labels beside them.
    void drawOnTop(QCPLayerable& points);
    // The colour of a field drawn under the curves: halfway between the
    // text and its ground, so that the curves stand out over it, on a light
    // or a dark palette.
    static QColor fieldColour(const QPalette& palette);
    // What the axes show, and the size in pixels of the rect that shows it.
    pelorin::VisibleRange visibleRange() const;
    // A font of the plot's text size, in `font`'s family and weight: for
    // labels drawn on the plot.
    QFont textSized(QFont font) const;


    // Both axes, or one, logarithmic with ticks at the decades.
    void useLogAxes();
    static void useLogAxis(QCPAxis* axis);

    // The whole plot, as Home shows it: what the page's own view holds (see
    // setWholeView), else every graph (before the solution's end), with room
    // at the edges so that the markers there show whole. The caller replots.
    void showWhole();
    void setWholeView(std::function<void()> setRanges);
    // The axes span every graph's points (QCustomPlot::rescaleAxes), and x
    // the problem's range [min(x0, x1), max(x0, x1)] as well, as the plots
    // of the runs beside it do: a logarithmic plot of errors has no point at
    // x0, where they are 0, nor anywhere where every run is exact.
    void rescaleAxesOver(double x0, double x1);
    // Whether no graph has a point: the axes then have nothing to fit.
    bool drawsNothing() const;
    // The problem's range, which showWhole gives x where no graph has a point.
    void setProblemRange(double x0, double x1) { problemRange_ = {x0, x1}; }
    // Whether the view is still the one showWhole gave last: the student has
    // not zoomed or panned since.
    bool showsWhole() const;
    // Where the solution drawn ends: points past it follow no solution, and
    // fitting the value axis (fitValuesBefore, and Home) leaves them out,
    // for they would flatten the rest. Empty: every point counts.
    void setSolutionEnd(std::optional<pelorin::SolutionEnd> end);
    // The value axis spans the graphs' points before the solution's end; no
    // change without an end.
    void fitValuesBefore();
    // The legend outside the data, so that it hides no point: beside the
    // axes, or below them in a row for a narrow plot. It takes its place
    // only while it has entries.
    enum class LegendPlace { beside, below };
    void showLegend(LegendPlace place);
    // The legend in columns of this many entries, each read downwards, so
    // that a long legend keeps to a few rows.
    void setLegendRows(int rows) { legendRows_ = rows; }

    // One unit equally long on both axes, at every size and after every zoom
    // and pan: the view is the range last asked for (by the program, the
    // wheel, a drag or Home), widened on one axis so that all of it shows.
    void keepEqualScale();

    // A graph as QCustomPlot::addGraph gives it, whose line is cut to a box
    // a little larger than the axes before it is painted (partsInBox): a
    // painter loses or turns round a line towards a point far outside the
    // view, such as 1E+249 in a view of a few units. Its data stay whole.
    // (QCustomPlot's own addGraph is not virtual; this one hides it.)
    QCPGraph* addGraph(QCPAxis* keyAxis = nullptr, QCPAxis* valueAxis = nullptr);

    // A legend entry with no data: the key of something drawn as an item.
    QCPGraph* addLegendEntry(const QString& name, const QPen& pen);
    // Leaves a graph without points out of the legend, which names only
    // what is drawn.
    static void nameOnlyIfDrawn(QCPGraph& graph);
    // A floor below which errors do not measure the method: a dotted line
    // across the axes in the accent colour, named in the legend.
    void addFloorLine(const pelorin::FloorLevel& floor);

    // The plot as the files Save as writes: its pixels, or a vector page.
    Q_INVOKABLE QByteArray pngBytes();
    Q_INVOKABLE QByteArray pdfBytes();
    // The name Save as suggests, without its suffix: what the plot shows.
    void setFileStem(const QString& stem) { fileStem_ = stem; }
    QString fileStem() const { return fileStem_; }

    // Axes a few lines of tick labels high and a legend of whole entries,
    // at any text size: a page too small for them scrolls instead.
    QSize minimumSizeHint() const override;
    // A height the plot keeps even where its axes and legend would need less;
    // unlike QWidget::setMinimumHeight it never cuts what they need.
    void setSmallestHeight(int pixels) {
        smallestHeight_ = pixels;
        updateGeometry();
    }

protected:
    void updateLayout() override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void followPalette();
    void followFont();
    void placeLegend();
    bool legendHasUnplacedEntry() const;
    void followLayout();
    void saveAs(bool pdf);

    bool fitScale();

    std::optional<LegendPlace> legendPlace_;
    std::optional<int> legendRows_;  // entries a column, where the page sets them
    QString fileStem_ = "plot";
    int smallestHeight_ = 0;
    // With an equal scale: the ranges asked for, and whether fitScale is
    // changing them itself.
    bool equalScale_ = false, fitting_ = false;
    QCPRange wantedX_, wantedY_;
    std::function<void()> wholeView_;
    std::optional<std::pair<QCPRange, QCPRange>> wholeRanges_;  // x and y, as showWhole left them
    std::optional<pelorin::SolutionEnd> solutionEnd_;
    std::optional<std::pair<double, double>> problemRange_;  // x0 and x1
    QCPLayoutGrid* legendHolder_ = nullptr;  // while the legend has entries
    QSize laidOutMinimum_;  // the minimum size the widget's layout was last told of

    QAction* copyImage_ = nullptr;
    QAction* savePng_ = nullptr;
    QAction* savePdf_ = nullptr;
};

// The label of a values axis for a problem of n components: a single
// equation's y, a system's components.
inline QString componentsLabel(std::size_t n) {
    if (n == 1) return "y";
    return n == 2 ? "y1, y2" : QString("y1 \u2026 y%1").arg(n);
}

// The core's values as QCustomPlot's setData takes them.
inline QVector<double> toQVector(const std::vector<double>& values) {
    return QVector<double>(values.begin(), values.end());
}

// Segments in the plot's coordinates drawn as one batch of lines, plain or
// as arrows with a head at their second end: a plottable per segment, or a
// curve with gaps, costs more than a whole field at once.
class PlotSegments : public QCPAbstractItem {
public:
    enum class Ends { plain, arrowHeads };
    PlotSegments(QCustomPlot* plot, Ends ends);

    void setSegments(std::vector<pelorin::Segment> segments) { segments_ = std::move(segments); }
    void setPen(const QPen& pen) { pen_ = pen; }

    double selectTest(const QPointF&, bool, QVariant*) const override { return -1; }

protected:
    void draw(QCPPainter* painter) override;

private:
    Ends ends_;
    std::vector<pelorin::Segment> segments_;
    QVector<QLineF> lines_;
    QPen pen_;
};
