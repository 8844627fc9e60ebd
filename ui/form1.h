// The main window: four input boxes, the method buttons, CALCULATE, the plot
// area and the results list, laid out at fixed positions.
#pragma once

#include "methods/methods.h"
#include "run/calculation.h"
#include "run/view.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <string>
#include <vector>

class Form_About;
class PlotWidget;
class QAction;
class QMenu;
class StepsWindow;
class QLineEdit;
class QListView;
class QPushButton;
class QRadioButton;
class ResultsListModel;

class Form1 : public QMainWindow, public pelorin::WindowView {
    Q_OBJECT

public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // What a calculation reads and writes.
    std::string inputText(pelorin::Input box) const override;
    bool isMethodSelected(std::size_t row) const override;
    void appendLine(const std::string& line) override;
    void reportError(const std::string& message) override;

    const ResultsListModel& results() const { return *resultsModel_; }
    // Ctrl+E: opens the "Steps and errors" window, or brings it to the front.
    QAction* stepsWindowAction() const { return stepsAction_; }
    // The open "Steps and errors" window, if any.
    StepsWindow* stepsWindow() const;
    // The results list's lines that are selected, in list order, one per line.
    QString selectedLines() const;
    // What "Save as" writes for the list as CSV: every step line with its
    // block's run number, method and h.
    QByteArray listCsv() const;
    // The names the save dialogs suggest, after the method and h of the
    // list's last block and of the calculation the plot shows.
    QString suggestedListName() const;
    QString suggestedPlotName() const { return plotName_; }
    // The context menus of the list and the plot, as they open.
    QMenu* listMenu() const { return listMenu_; }
    QMenu* plotMenu() const { return plotMenu_; }
    // Opens the Method lab (Ctrl+L anywhere in the window), for menus to offer.
    QAction* methodLabAction() const { return methodLabAction_; }

signals:
    // After every press of CALCULATE, whether it succeeded or not.
    void calculated();

public slots:
    void Command1_Click();
    void Mn_About_Click();
    void showStepsWindow();
    // Opens the Method lab from the current boxes and method, or raises it.
    void openMethodLab();
    // Opens the Method lab with the problem saved in a file.
    void openProblemFile(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createInputs(QWidget* client);
    void createMethodButtons(QWidget* client);
    void createPlotAndList(QWidget* client);
    void createMenu();
    void setTabOrder();
    void createActions();
    QList<QAction*> windowActions() const;
    QMenu* contextMenu(const QList<QAction*>& own);
    void openContextMenu(QWidget* widget, QPoint at);
    std::vector<std::string> allLines() const;
    void copyListLines(const QString& lines);
    void saveList();
    void copyPlotImage();
    void savePlotImage();
    void explainPlot();

    QLineEdit* Text_x0 = nullptr;
    QLineEdit* Text_x1 = nullptr;
    QLineEdit* Text_y0 = nullptr;
    QLineEdit* Text_h = nullptr;
    QPushButton* Command1 = nullptr;
    std::array<QRadioButton*, pelorin::methodCatalogue.size()> options_{};
    PlotWidget* Picture1 = nullptr;
    QListView* List1 = nullptr;
    ResultsListModel* resultsModel_ = nullptr;
    QPointer<Form_About> about_;
    QPointer<StepsWindow> steps_;
    QAction* stepsAction_ = nullptr;
    QMenu* listMenu_ = nullptr;
    QMenu* plotMenu_ = nullptr;
    QAction* methodLabAction_ = nullptr;
    QPointer<QWidget> lab_;

    pelorin::Calculation last_;
    QString plotName_ = "plot.png";
};
