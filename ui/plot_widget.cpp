#include "ui/plot_widget.h"

#include "ui/layout.h"

#include <QAccessibleWidget>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// Clips the segment p + t(q - p), 0 <= t <= 1, to the rectangle (Liang-Barsky),
// so that painting never meets a coordinate far outside the widget.
std::optional<QLineF> clipped(QPointF p, QPointF q, const QRectF& rect) {
    if (!std::isfinite(p.x() + p.y() + q.x() + q.y())) return std::nullopt;
    double t0 = 0, t1 = 1;
    const double dx = q.x() - p.x(), dy = q.y() - p.y();
    const double edges[4][2] = {{-dx, p.x() - rect.left()},
                                {dx, rect.right() - p.x()},
                                {-dy, p.y() - rect.top()},
                                {dy, rect.bottom() - p.y()}};
    for (const auto& [direction, distance] : edges) {
        if (direction == 0) {
            if (distance < 0) return std::nullopt;
            continue;
        }
        const double t = distance / direction;
        if (direction < 0) t0 = std::max(t0, t);
        else t1 = std::min(t1, t);
        if (t0 > t1) return std::nullopt;
    }
    return QLineF(p.x() + t0 * dx, p.y() + t0 * dy, p.x() + t1 * dx, p.y() + t1 * dy);
}

// Screen readers announce the plot as a picture, not as a frame (the role of
// a window).
QAccessibleInterface* accessiblePlot(const QString& className, QObject* object) {
    if (className == QLatin1String("PlotWidget") && object && object->isWidgetType()) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Graphic);
    }
    return nullptr;
}

}  // namespace

PlotWidget::PlotWidget(QWidget* parent) : QFrame(parent) {
    static const bool accessibleAsPicture = (QAccessible::installFactory(accessiblePlot), true);
    Q_UNUSED(accessibleAsPicture);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    fillWithLightYellow(this);
}

void PlotWidget::clear() {
    scale_.reset();
    segments_.clear();
    update();
}

void PlotWidget::scale(float left, float top, float right, float bottom) {
    scale_ = UserScale{left, top, right, bottom};
    update();
}

void PlotWidget::line(float x1, float y1, float x2, float y2, pelorin::Pen pen) {
    segments_.push_back({x1, y1, x2, y2, pen});
    update();
}

void PlotWidget::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (!scale_ || segments_.empty()) return;
    const UserScale s = *scale_;
    const double width = double(s.right) - s.left;
    const double height = double(s.bottom) - s.top;
    if (width == 0 || height == 0 || !std::isfinite(width) || !std::isfinite(height)) return;

    // Pixel centres of the drawing surface inside the frame.
    const QRectF surface = QRectF(contentsRect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const auto toPixels = [&](float x, float y) {
        return QPointF(surface.left() + (double(x) - s.left) / width * surface.width(),
                       surface.top() + (double(y) - s.top) / height * surface.height());
    };

    QPainter painter(this);
    painter.setClipRect(contentsRect());
    const QPen foreground(palette().color(QPalette::WindowText), 0);
    const QPen red(QColor(255, 0, 0), 0);
    for (const Segment& segment : segments_) {
        const auto visible = clipped(toPixels(segment.x1, segment.y1),
                                     toPixels(segment.x2, segment.y2), surface);
        if (!visible) continue;
        painter.setPen(segment.pen == pelorin::Pen::red ? red : foreground);
        painter.drawLine(*visible);
    }
}
