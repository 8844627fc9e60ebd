// The "Steps and errors" window: the last calculation's steps beside the
// exact solution through its start, with the global and local errors, the
// embedded pairs' own estimates, and notes on how the inputs were read.
#pragma once

#include "analysis/text_table.h"

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

    // What Copy puts on the clipboard and Save as CSV writes.
    QString copiedText() const;
    QByteArray csv() const;

public slots:
    void copy();
    void saveAsCsv();

private:
    QLabel* heading_ = nullptr;
    QLabel* notes_ = nullptr;
    QTableWidget* table_ = nullptr;
    pelorin::TextTable shown_;
};
