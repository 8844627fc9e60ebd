// The "Steps and errors" window: the last calculation's steps beside the
// exact solution through its start, with the global and local errors, the
// embedded pairs' own estimates, and notes on how the inputs were read.
#pragma once

#include "base/text_table.h"

#include <QWidget>

namespace pelorin {
struct Calculation;
}
class QLabel;
class QPushButton;
class QTableWidget;

class StepsWindow : public QWidget {
    Q_OBJECT

public:
    // A window of its own: no owner, not modal, gone when closed.
    explicit StepsWindow(QWidget* parent = nullptr);

    // Shows this calculation, replacing what was shown.
    void showCalculation(const pelorin::Calculation& calculation);

    // What Copy puts on the clipboard: the table as shown, the heading
    // above it naming the calculation.
    QString copiedText() const;
    // What Save as CSV writes, and the name it suggests: a file stands
    // alone, so every row leads with the method and the inputs as read, and
    // the name carries the method and h.
    QByteArray csv() const;
    QString suggestedName() const { return suggestedName_; }

public slots:
    void copy();
    void saveAsCsv();

private:
    QLabel* heading_ = nullptr;
    QLabel* notes_ = nullptr;
    QTableWidget* table_ = nullptr;
    pelorin::TextTable shown_;
    pelorin::TextTable saved_;
    QString suggestedName_ = "steps.csv";
};
