// The Stability tab: the chosen method's region |R(z)| ≤ 1 with its edge and
// the point z = h·λ (on a system, the eigenvalues of h·J at every step of
// the run), the stability interval of every method, and a run of the chosen
// method with the lab's h, which a slider here sweeps. A multistep method's
// region is where its characteristic polynomial meets the root condition
// (every root in the closed unit disc, those on the circle simple), within
// its boundary locus; a plot beside it shows those roots at z = h·λ. For a
// one-step method that plot gives way to its order star |R(z)·e^(-z)| > 1.
#pragma once

#include "lab/inputs.h"
#include "lab/lab_page.h"
#include "lab/study_runner.h"
#include "numerics/stability.h"
#include "studies/stability_study.h"
#include "texts/stability_intervals.h"

#include <complex>
#include <memory>
#include <optional>
#include <vector>

class LabPlot;
class QCPColorMap;
class QCPCurve;
class QCPGraph;
class QCPScatterStyle;
class QPen;
class QLabel;
class QLayout;
class QSlider;
class QTableWidget;

class StabilityTab : public LabPage {
    Q_OBJECT

public:
    explicit StabilityTab(QWidget* parent = nullptr);

    // The slider chooses the lab's h (stepChosen).
    void setInputs(const LabInputs& inputs) override;
    PageHandout handout(const LabInputs& inputs) const override;

private:
    LabPlot* createRegionPlot();
    LabPlot* createRootsPlot();
    LabPlot* createOrderStarPlot();
    LabPlot* createRunPlot();
    // The slider sweeps the lab's h, which the box above the pages shows.
    QLayout* createSlider();
    void fillIntervals();
    void fillOwnRows();
    void showIntervalRow(std::size_t row, const pelorin::StabilityIntervalRow& texts);
    const pelorin::Method& method() const { return inputs_.chosenMethod(); }
    bool showsMultistep() const { return pelorin::isMultistep(method()); }
    // A partitioned method has no region of R(z) to draw.
    bool regionNone() const { return pelorin::isPartitioned(method()); }
    // Whether the region drawn is the chosen method's: its row, and for the
    // own multistep method the formula its boxes hold.
    bool showsChosenRegion() const;
    void drawRegion();
    void shadeRegion();
    // The order star of the region's R(z), sampled over the part of the
    // plane in view, as the region is: a one-step method's only.
    bool showsOrderStar() const { return !showsMultistep() && !regionNone(); }
    void drawOrderStar();
    void shadeOrderStar();
    // Whether the star's last sample still serves the view.
    bool starSampleHolds() const;
    // Whether the chosen method is A- or L-stable, in a sentence, and what
    // its order star shows (on a line of its own), or why none is drawn.
    QString verdictNote() const;
    // The point z = h·λ: the lesson's one, at every step point of a run on
    // an equation of the user's, every eigenvalue of h·J along a system's
    // run, or a multistep method's where its run starts.
    void placePoint();
    std::vector<std::complex<double>> shownZ() const;
    // Whether z follows a run of one equation of the user's, worked out on
    // the window's thread as the inputs come.
    bool followsTypedPath() const;
    // Empties the run plot, whose y axis names the values it will show.
    void clearRun(const QString& valuesLabel);
    void drawRun();
    // The run plot's curves: the exact (or reference) solution sampled
    // densely, in the text's colour, the lab's method in its pen and
    // marker; whether a point was left out as beyond what an axis spans.
    bool addKnownCurve(const pelorin::SampledCurve& curve);
    bool addRunGraph(const std::vector<double>& x, const std::vector<double>& y);
    bool addKnownCurve(const pelorin::SampledCurve& curve, const QPen& pen, const QString& name);
    bool addRunGraph(const std::vector<double>& x, const std::vector<double>& y, const QPen& pen,
                     const QCPScatterStyle& marker, const QString& name);
    // A run of one component or more beside the known solution's.
    bool drawComponents(const pelorin::PathOf<pelorin::StateVector>& run,
                        const std::vector<pelorin::SampledCurve>& known);
    void drawTypedRun();
    void stepFromSlider(int hundredths);
    // A system's z are the eigenvalues of h·J along its run, calculated off
    // the window's thread; the run plot shows each component.
    bool showsSystem() const { return inputs_.problem.isSystem(); }
    void studyEigenvaluesAlongRun();
    void showSystemRun();
    // A multistep method: the roots at z = h·λ where the run starts, the
    // run, and the notes.
    void studyMultistep();
    void showMultistep();
    void drawRoots();

    LabPlot* region_ = nullptr;
    LabPlot* run_ = nullptr;
    LabPlot* roots_ = nullptr;
    LabPlot* star_ = nullptr;
    QCPColorMap* starMap_ = nullptr;
    std::vector<QCPCurve*> starEdge_;
    // The part of the plane the star was last sampled over.
    std::optional<pelorin::StabilityGrid> starSample_;
    QCPGraph* principal_ = nullptr;
    QCPGraph* parasitic_ = nullptr;
    QCPColorMap* map_ = nullptr;
    std::vector<QCPCurve*> boundary_;
    QCPGraph* point_ = nullptr;
    QSlider* slider_ = nullptr;
    QTableWidget* intervals_ = nullptr;
    QLabel* notes_ = nullptr;
    LabInputs inputs_;
    std::optional<std::size_t> regionMethod_;  // the method the region shows
    pelorin::StabilityFunction regionFunction_;      // its R(z)
    std::optional<pelorin::Multistep> regionMultistep_;  // or its formula
    pelorin::TypedMethods regionTyped_;  // which the own methods may be
    pelorin::TypedMethods intervalsTyped_;  // the own methods in the table
    pelorin::MultistepStabilityStudy multistepStudy_;
    StudyRunner studies_;
    StudyRunner intervalStudy_;  // of the Stability intervals table
    pelorin::StabilityStudy componentsStudy_;  // empty until the study for the inputs comes
    pelorin::StabilityPath typedPath_;  // empty unless followsTypedPath
};
