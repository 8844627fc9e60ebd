// The Phase plane tab: a system of two components drawn as y2 against y1,
// with arrows along F, the nullclines, the equilibria in view (on the plot
// and in the table "Equilibria"), the chosen method's runs with h, h/2 and
// h/4 beside the reference orbit, and orbits through any point a click
// picks, forwards and backwards.
#pragma once

#include "lab/inputs.h"
#include "lab/lab_page.h"
#include "lab/study_runner.h"
#include "numerics/direction_field.h"
#include "numerics/phase_plane.h"

#include <QPointF>

#include <optional>
#include <vector>

class LabPlot;
class PlotSegments;
class QComboBox;
class QLabel;
class QMouseEvent;
class QTableWidget;

class PhasePlaneTab : public LabPage {
    Q_OBJECT

public:
    explicit PhasePlaneTab(QWidget* parent = nullptr);

    void setInputs(const LabInputs& inputs) override;
    PageHandout handout(const LabInputs& inputs) const override;

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QWidget* createAxesRow();
    void chooseAxes(QComboBox* changed);
    void fillAxes(std::size_t components);
    LabPlot* createPlot();
    void display(pelorin::PhasePlaneRuns runs, const QStringList& firstNotes);
    void drawRuns();
    // The field, nullclines and equilibria for the range the plot shows now;
    // nothing when it is the range drawn last.
    void drawPlane();
    void fillEquilibria();
    void fitView();
    void showNotes();
    void pressed(QMouseEvent* event);
    void released(QMouseEvent* event);
    void addOrbit(pelorin::Orbit orbit);
    void replot();

    QWidget* axesRow_ = nullptr;
    QComboBox* up_ = nullptr;
    QComboBox* across_ = nullptr;
    pelorin::PlaneAxes axes_;
    LabPlot* plot_ = nullptr;
    PlotSegments* arrows_ = nullptr;
    PlotSegments* acrossStill_ = nullptr;
    PlotSegments* upStill_ = nullptr;
    QLabel* notes_ = nullptr;
    QTableWidget* equilibria_ = nullptr;
    LabInputs inputs_;
    pelorin::PhasePlaneRuns runs_;
    pelorin::PhasePlane plane_;
    std::vector<pelorin::Orbit> orbits_;  // through the points clicked, oldest first
    QStringList runNotes_;
    StudyRunner studies_, orbitStudies_;
    pelorin::VisibleRange drawnRange_;
    bool planeStale_ = true;
    bool fitPending_ = true;
    bool replotPending_ = false;
    std::optional<QPointF> pressedAt_;
};
