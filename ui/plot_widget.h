// The plot area: keeps the last calculation's drawing and paints it in the
// user coordinate system that calculation set, on a light-yellow ground. Its
// tooltip names the curves, reads off the coordinates under the pointer and
// sums up a step point near it; nothing is drawn as text into the plot.
#pragma once

#include "run/segment.h"
#include "run/view.h"

#include <QFrame>
#include <QString>

#include <optional>
#include <vector>

class PlotWidget : public QFrame, public pelorin::Canvas {
    Q_OBJECT

public:
    explicit PlotWidget(QWidget* parent = nullptr);

    void clear() override;
    void scale(float left, float top, float right, float bottom) override;
    void line(float x1, float y1, float x2, float y2, pelorin::Pen pen) override;

    // What the tooltip tells about the drawing: the curves' names and the
    // step points in user coordinates with their summaries.
    struct StepMark {
        double x, y;
        QString summary;
    };
    void setReading(const QString& exactCurve, const QString& numericalCurve,
                    std::vector<StepMark> marks);
    // The tooltip's text at a point of the widget; empty where it has none.
    QString toolTipAt(QPoint position) const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct UserScale {
        float left, top, right, bottom;
    };

    QRectF surface() const;
    QPointF toPixels(double x, double y) const;

    std::optional<UserScale> scale_;
    std::vector<pelorin::CanvasLine> lines_;
    QString exactCurve_, numericalCurve_;
    std::vector<StepMark> marks_;
};
