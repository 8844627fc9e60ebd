// The Stability tab: the chosen method's region |R(z)| ≤ 1 with its edge and
// the point z = h·λ, the stability interval of every method, and a run of
// the chosen method with a step the student sweeps or types.
#pragma once

#include "analysis/stability.h"
#include "lab/inputs.h"

#include <QWidget>

#include <optional>
#include <vector>

class LabPlot;
class QCPColorMap;
class QCPCurve;
class QCPGraph;
class QLabel;
class QLineEdit;
class QSlider;
class QTableWidget;

class StabilityTab : public QWidget {
    Q_OBJECT

public:
    explicit StabilityTab(QWidget* parent = nullptr);

    void show(const LabInputs& inputs);
    // The h the page shows, for a handout.
    QString stepLine() const;

private:
    void fillIntervals();
    void drawRegion();
    void placePoint();
    void drawRun();
    void drawTypedRun();
    pelorin::StabilityPath typedPath() const;
    void stepFromSlider(int hundredths);
    void stepTyped();
    void setStepNote(const QString& note);

    LabPlot* region_ = nullptr;
    LabPlot* run_ = nullptr;
    QCPColorMap* map_ = nullptr;
    std::vector<QCPCurve*> boundary_;
    QCPGraph* point_ = nullptr;
    QLineEdit* h_ = nullptr;
    QLabel* hNote_ = nullptr;
    QSlider* slider_ = nullptr;
    QTableWidget* intervals_ = nullptr;
    QLabel* notes_ = nullptr;
    LabInputs inputs_;
    std::optional<std::size_t> regionMethod_;  // the method the region shows
    double step_ = 0.4;                        // the h in force
    QString stepText_ = "0.40";                // and as the box shows it
};
