#include "lab/plot.h"

#include "analysis/plot_extent.h"
#include "methods/methods.h"
#include "ui/save_file.h"
#include "ui/widget_image.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPdfWriter>

#include <cmath>
#include <iterator>

namespace {

// Okabe and Ito's colours, told apart also with a colour vision deficiency;
// the markers tell apart the methods whose curves coincide.
constexpr QRgb methodColours[]{0xff0072b2, 0xffe69f00, 0xff009e73, 0xffd55e00,
                               0xffcc79a7, 0xff56b4e9, 0xff7f7f7f};
constexpr QCPScatterStyle::ScatterShape methodShapes[]{
    QCPScatterStyle::ssCircle,   QCPScatterStyle::ssSquare,  QCPScatterStyle::ssTriangle,
    QCPScatterStyle::ssDiamond,  QCPScatterStyle::ssStar,    QCPScatterStyle::ssCross,
    QCPScatterStyle::ssTriangleInverted};
// An eighth method must bring its own colour and marker.
static_assert(std::size(methodColours) == pelorin::methodCatalogue.size());
static_assert(std::size(methodShapes) == pelorin::methodCatalogue.size());

}  // namespace

LabPlot::LabPlot(const QString& accessibleName, const QString& description, QWidget* parent)
    : QCustomPlot(parent) {
    setAccessibleName(accessibleName);
    setAccessibleDescription(description + " Drag to pan, turn the wheel to zoom, "
                                           "the context menu saves the picture.");
    setFocusPolicy(Qt::StrongFocus);
    setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    setMinimumSize(240, 180);

    copyImage_ = new QAction("Copy image", this);
    connect(copyImage_, &QAction::triggered, this,
            [this] { QApplication::clipboard()->setPixmap(toPixmap()); });
    savePng_ = new QAction("Save as PNG\u2026", this);
    savePdf_ = new QAction("Save as PDF\u2026", this);
    connect(savePng_, &QAction::triggered, this, [this] { saveAs(false); });
    connect(savePdf_, &QAction::triggered, this, [this] { saveAs(true); });
    connect(this, &QCustomPlot::beforeReplot, this, &LabPlot::placeLegend);
    followPalette();
}

QPen LabPlot::methodPen(std::size_t row) {
    QPen pen(QColor::fromRgb(methodColours[row]));
    pen.setWidthF(1.5);
    return pen;
}

QCPScatterStyle LabPlot::methodMarker(std::size_t row) {
    return QCPScatterStyle(methodShapes[row], 7);
}

QColor LabPlot::accent() const {
    return palette().color(QPalette::Base).lightness() < 128 ? QColor(0xff, 0x80, 0x80)
                                                             : QColor(0xc0, 0x30, 0x30);
}

void LabPlot::useLogAxes() {
    for (QCPAxis* axis : {xAxis, yAxis}) {
        axis->setScaleType(QCPAxis::stLogarithmic);
        QSharedPointer<QCPAxisTickerLog> ticker(new QCPAxisTickerLog);
        ticker->setLogBase(10);
        axis->setTicker(ticker);
        axis->setNumberFormat("eb");
        axis->setNumberPrecision(0);
    }
}

void LabPlot::showLegend(LegendPlace place) {
    legendPlace_ = place;
    if (place == LegendPlace::below) legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
    legend->setMargins(QMargins(4, 2, 4, 2));
    placeLegend();
}

// A legend without entries would still hold its cell of the layout, and its
// zero height (or width) would cap the axes' row (or column), squashing the
// plot to a strip. So an empty legend goes back, hidden, inside the axes,
// where QCustomPlot keeps it and frees it with the plot. A legend with
// entries sits in a holder of its own: beside the axes at its own height
// (a filler below takes the rest), and inset, so that its border is not cut
// at the plot's edge.
void LabPlot::placeLegend() {
    if (!legendPlace_) return;
    // Below the axes, two entries a row while they fit the plot's width, else
    // one: a legend cut at the edge hides the names it is there to give.
    if (legendPlace_ == LegendPlace::below) {
        // A new wrap moves the entries only when they are filled in again.
        const auto wrap = [this](int columns) {
            legend->setWrap(columns);
            legend->setFillOrder(QCPLayoutGrid::foColumnsFirst, true);
        };
        wrap(2);
        if (legend->minimumOuterSizeHint().width() > width()) wrap(1);
    }
    const bool wanted = legend->itemCount() > 0;
    const bool placed = legendHolder_ != nullptr;
    legend->setVisible(wanted);
    if (wanted == placed) return;
    if (!wanted) {
        legendHolder_->take(legend);
        plotLayout()->remove(legendHolder_);
        plotLayout()->simplify();
        legendHolder_ = nullptr;
        axisRect()->insetLayout()->addElement(legend, Qt::AlignRight | Qt::AlignTop);
        return;
    }
    axisRect()->insetLayout()->take(legend);
    legendHolder_ = new QCPLayoutGrid;
    legendHolder_->setAutoMargins(QCP::msNone);
    legendHolder_->setMargins(QMargins(4, 4, 2, 2));
    legendHolder_->addElement(0, 0, legend);
    if (*legendPlace_ == LegendPlace::beside) {
        plotLayout()->addElement(0, 1, legendHolder_);
        plotLayout()->setColumnStretchFactor(1, 0.001);
        legendHolder_->addElement(1, 0, new QCPLayoutElement(this));
        legendHolder_->setRowStretchFactor(0, 0.001);
    } else {
        plotLayout()->addElement(1, 0, legendHolder_);
        plotLayout()->setRowStretchFactor(1, 0.001);
    }
}

QCPGraph* LabPlot::addLegendEntry(const QString& name, const QPen& pen) {
    QCPGraph* key = addGraph();
    key->setName(name);
    key->setPen(pen);
    return key;
}

void LabPlot::setSolutionEnd(std::optional<pelorin::SolutionEnd> end) { solutionEnd_ = end; }

void LabPlot::fitValuesBefore() {
    if (!solutionEnd_) return;
    pelorin::Extent values;
    for (int i = 0; i < graphCount(); ++i) {
        for (const QCPGraphData& point : *graph(i)->data()) {
            if (!solutionEnd_->past(point.key)) values.include(point.value);
        }
    }
    if (values.empty) return;
    if (!(values.upper > values.lower)) {
        values.lower -= 1;
        values.upper += 1;
    }
    yAxis->setRange(values.lower, values.upper);
}

void LabPlot::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.setAccessibleName("Plot menu");
    menu.addAction(copyImage_);
    menu.addAction(savePng_);
    menu.addAction(savePdf_);
    menu.exec(event->globalPos());
}

void LabPlot::keyPressEvent(QKeyEvent* event) {
    // The keyboard's way to zoom and to get the whole plot back.
    if (event->key() == Qt::Key_Plus || event->key() == Qt::Key_Minus) {
        const double factor = event->key() == Qt::Key_Plus ? 0.8 : 1.25;
        for (QCPAxis* axis : {xAxis, yAxis}) axis->scaleRange(factor, axis->range().center());
        replot();
        return;
    }
    // Shift+F10 opens the context menu, as the Menu key does.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, rect().center(),
                               mapToGlobal(rect().center()));
        contextMenuEvent(&menu);
        return;
    }
    if (event->key() == Qt::Key_Home) {
        rescaleAxes();
        fitValuesBefore();
        replot();
        return;
    }
    QCustomPlot::keyPressEvent(event);
}

void LabPlot::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) followPalette();
    if (event->type() == QEvent::FontChange) followFont();
    QCustomPlot::changeEvent(event);
}

// A dark desktop gets a dark plot: ground, axes, labels and legend take the
// palette's colours.
void LabPlot::followPalette() {
    const QPalette& colours = palette();
    setBackground(colours.color(QPalette::Base));
    const QColor text = colours.color(QPalette::Text);
    for (QCPAxis* axis : {xAxis, yAxis, xAxis2, yAxis2}) {
        axis->setBasePen(QPen(text));
        axis->setTickPen(QPen(text));
        axis->setSubTickPen(QPen(text));
        axis->setTickLabelColor(text);
        axis->setLabelColor(text);
        QPen grid(colours.color(QPalette::Mid), 0, Qt::DotLine);
        axis->grid()->setPen(grid);
        axis->grid()->setSubGridVisible(false);
    }
    legend->setBrush(colours.color(QPalette::Base));
    legend->setBorderPen(QPen(colours.color(QPalette::Mid)));
    legend->setTextColor(text);
    replot();
}

// Larger text for a projector reaches the axes, the legend and the labels
// drawn on the plot, each keeping its own weight.
void LabPlot::followFont() {
    const auto sized = [this](QFont font) {
        font.setPointSizeF(this->font().pointSizeF());
        return font;
    };
    for (QCPAxis* axis : {xAxis, yAxis, xAxis2, yAxis2}) {
        axis->setLabelFont(sized(axis->labelFont()));
        axis->setTickLabelFont(sized(axis->tickLabelFont()));
    }
    legend->setFont(sized(legend->font()));
    for (int i = 0; i < legend->itemCount(); ++i) {
        if (QCPAbstractLegendItem* entry = legend->item(i)) entry->setFont(sized(entry->font()));
    }
    for (int i = 0; i < itemCount(); ++i) {
        if (auto* text = qobject_cast<QCPItemText*>(item(i))) text->setFont(sized(text->font()));
    }
    replot();
}

void LabPlot::saveAs(bool pdf) {
    const FileKind kind = pdf ? FileKind{"PDF document", ".pdf"} : FileKind{"PNG image", ".png"};
    const auto target = askWhereToSave(this, pdf ? "Save plot as PDF" : "Save plot as PNG",
                                       "plot" + kind.suffix, {kind});
    if (target) saveWholeOrWarn(this, target->path, pdf ? pdfBytes() : pngBytes());
}

QByteArray LabPlot::pngBytes() { return pngFile(toPixmap()); }

// QCustomPlot paints the screen from a buffer of pixels; the page is drawn
// afresh as lines and text instead.
QByteArray LabPlot::pdfBytes() {
    return pdfPage(size(), [this](QPdfWriter& writer) {
        QCPPainter painter(&writer);
        painter.setMode(QCPPainter::pmVectorized);
        painter.setMode(QCPPainter::pmNoCaching);
        toPainter(&painter, width(), height());
    });
}
