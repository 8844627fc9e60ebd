// A plot of the Method lab: QCustomPlot with zoom and pan, Copy image and
// Save as PNG and PDF from its context menu (mouse or keyboard), colours that
// follow the desktop's palette, and one colour and marker per method.
#pragma once

#include "analysis/solution_paths.h"

#include <qcustomplot.h>

#include <cstddef>
#include <optional>

class LabPlot : public QCustomPlot {
    Q_OBJECT

public:
    LabPlot(const QString& accessibleName, const QString& description, QWidget* parent = nullptr);

    // The pen and marker of catalogue row `row`, the same on every tab.
    static QPen methodPen(std::size_t row);
    static QCPScatterStyle methodMarker(std::size_t row);
    // The red of what the eye should find first (the rounding floor, the
    // point z = h·λ, a step's increment), readable on a light or dark ground.
    QColor accent() const;


    // Both axes logarithmic with ticks at the decades.
    void useLogAxes();
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

    // A legend entry with no data: the key of something drawn as an item.
    QCPGraph* addLegendEntry(const QString& name, const QPen& pen);

    // The plot as the files Save as writes: its pixels, or a vector page.
    Q_INVOKABLE QByteArray pngBytes();
    Q_INVOKABLE QByteArray pdfBytes();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void followPalette();
    void followFont();
    void placeLegend();
    void saveAs(bool pdf);

    std::optional<LegendPlace> legendPlace_;
    std::optional<pelorin::SolutionEnd> solutionEnd_;
    QCPLayoutGrid* legendHolder_ = nullptr;  // while the legend has entries

    QAction* copyImage_ = nullptr;
    QAction* savePng_ = nullptr;
    QAction* savePdf_ = nullptr;
};
