// The plot area: keeps the last calculation's drawing and paints it in the
// user coordinate system that calculation set, on a light-yellow ground.
#pragma once

#include "run/view.h"

#include <QFrame>

#include <optional>
#include <vector>

class PlotWidget : public QFrame, public pelorin::Canvas {
    Q_OBJECT

public:
    explicit PlotWidget(QWidget* parent = nullptr);

    void clear() override;
    void scale(float left, float top, float right, float bottom) override;
    void line(float x1, float y1, float x2, float y2, pelorin::Pen pen) override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct UserScale {
        float left, top, right, bottom;
    };
    struct Segment {
        float x1, y1, x2, y2;
        pelorin::Pen pen;
    };

    std::optional<UserScale> scale_;
    std::vector<Segment> segments_;
};
