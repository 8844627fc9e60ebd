#include "ui/plot_widget.h"

#include "base/number_text.h"
#include "texts/plot_reading.h"
#include "ui/accessible_roles.h"
#include "ui/layout.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

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

}  // namespace

PlotWidget::PlotWidget(QWidget* parent) : QFrame(parent) {
    installAccessibleRoles();
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    fillWithLightYellow(this);
}

void PlotWidget::clear() {
    scale_.reset();
    lines_.clear();
    exactCurve_.clear();
    numericalCurve_.clear();
    marks_.clear();
    update();
}

void PlotWidget::setReading(const QString& exactCurve, const QString& numericalCurve,
                            std::vector<StepMark> marks) {
    exactCurve_ = exactCurve;
    numericalCurve_ = numericalCurve;
    marks_ = std::move(marks);
}

QRectF PlotWidget::surface() const {
    // Pixel centres of the drawing surface inside the frame.
    return QRectF(contentsRect()).adjusted(0.5, 0.5, -0.5, -0.5);
}

QPointF PlotWidget::toPixels(double x, double y) const {
    const UserScale s = *scale_;
    const QRectF area = surface();
    return QPointF(area.left() + (x - s.left) / (double(s.right) - s.left) * area.width(),
                   area.top() + (y - s.top) / (double(s.bottom) - s.top) * area.height());
}

QString PlotWidget::toolTipAt(QPoint position) const {
    if (!scale_ || lines_.empty() || exactCurve_.isEmpty()) return {};
    const UserScale s = *scale_;
    const QRectF area = surface();
    const double width = double(s.right) - s.left, height = double(s.bottom) - s.top;
    if (!area.contains(position) || width == 0 || height == 0) return {};
    const double x = s.left + (position.x() - area.left()) / area.width() * width;
    const double y = s.top + (position.y() - area.top()) / area.height() * height;
    const auto coordinate = [](double value, double pixel) {
        return QString::fromStdString(pelorin::readOffText(value, std::fabs(pixel)));
    };
    // Colours as the curves are drawn: the foreground, and red.
    QString tip = QStringLiteral("<p style='white-space:pre'>"
                                 "<span style='color:%1'>\u2014 %2</span><br>"
                                 "<span style='color:#ff0000'>\u2014 %3</span></p>"
                                 "<p>x = %4, y = %5</p>")
                      .arg(palette().color(QPalette::WindowText).name(), exactCurve_.toHtmlEscaped(),
                           numericalCurve_.toHtmlEscaped(),
                           coordinate(x, width / area.width()),
                           coordinate(y, height / area.height()));
    // The step point nearest the pointer, if one is within a few pixels.
    constexpr double nearby = 6;
    const StepMark* nearest = nullptr;
    double nearestDistance = nearby;
    for (const StepMark& mark : marks_) {
        const double distance = QLineF(toPixels(mark.x, mark.y), QPointF(position)).length();
        if (distance <= nearestDistance) {
            nearest = &mark;
            nearestDistance = distance;
        }
    }
    if (nearest) tip += QStringLiteral("<p>%1</p>").arg(nearest->summary.toHtmlEscaped());
    return tip;
}

bool PlotWidget::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = toolTipAt(help->pos());
        if (tip.isEmpty()) QToolTip::hideText();
        else QToolTip::showText(help->globalPos(), tip, this);
        return true;
    }
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) update();
    return QFrame::event(event);
}

void PlotWidget::scale(float left, float top, float right, float bottom) {
    scale_ = UserScale{left, top, right, bottom};
    update();
}

void PlotWidget::line(float x1, float y1, float x2, float y2, pelorin::Pen pen) {
    lines_.push_back({{x1, y1, x2, y2}, pen});
    update();
}

void PlotWidget::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (hasFocus()) {
        // A ring in the highlight colour just inside the frame shows where
        // the keyboard focus is; the light-yellow ground stays as it is.
        QPainter painter(this);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRect(QRectF(contentsRect()).adjusted(1, 1, -1, -1));
    }
    if (!scale_ || lines_.empty()) return;
    const UserScale s = *scale_;
    const double width = double(s.right) - s.left;
    const double height = double(s.bottom) - s.top;
    if (width == 0 || height == 0 || !std::isfinite(width) || !std::isfinite(height)) return;

    const QRectF surface = PlotWidget::surface();
    QPainter painter(this);
    painter.setClipRect(contentsRect());
    const QPen foreground(palette().color(QPalette::WindowText), 0);
    const QPen red(QColor(255, 0, 0), 0);
    for (const pelorin::CanvasLine& line : lines_) {
        const auto visible = clipped(toPixels(line.at.x1, line.at.y1),
                                     toPixels(line.at.x2, line.at.y2), surface);
        if (!visible) continue;
        painter.setPen(line.pen == pelorin::Pen::red ? red : foreground);
        painter.drawLine(*visible);
    }
}
