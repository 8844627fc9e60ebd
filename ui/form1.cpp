#include "ui/form1.h"

#include "numerics/method_properties.h"
#include "numerics/step_errors.h"
#include "texts/plot_reading.h"
#include "texts/results_export.h"
#include "ui/form_about.h"
#include "ui/lab_loader.h"
#include "ui/layout.h"
#include "ui/plot_widget.h"
#include "ui/results_list_model.h"
#include "ui/save_file.h"
#include "ui/steps_window.h"
#include "ui/text.h"
#include "ui/widget_image.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include <algorithm>
#include <vector>

namespace {

using namespace form1Layout;

template <typename Widget>
Widget* place(Widget* widget, const Placement& at) {
    widget->setObjectName(fromView(at.name));
    widget->setGeometry(at.geometry());
    return widget;
}

QLineEdit* addInput(QWidget* frame, pelorin::Input input) {
    const Placement& labelAt = label(input);
    const Placement& boxAt = box(input);
    auto* caption = place(new QLabel(fromView(labelAt.text), frame), labelAt);
    auto* edit = place(new QLineEdit(fromView(boxAt.text), frame), boxAt);
    edit->setAccessibleName(fromView(pelorin::inputName(input)));
    caption->setBuddy(edit);
    return edit;
}

// Shows a window of its own, or brings it to the front if it is open.
void bringForward(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace

Form1::Form1(QWidget* parent) : QMainWindow(parent) {
    setObjectName("Form1");
    setWindowTitle("Pelorin - Numerical integration of dy/dx=-2*x-y");
    setFont(form1Layout::font());
    auto* client = new QWidget(this);
    client->setFixedSize(twips(0, 0, clientWidth, clientHeight).size());
    setCentralWidget(client);

    createInputs(client);
    createMethodButtons(client);
    createPlotAndList(client);
    createMenu();
    createActions();
    setTabOrder();

    setFixedSize(sizeHint());
    Command1->setFocus();
}

Form1::~Form1() {
    delete about_;
    delete steps_;
    delete lab_;
}

void Form1::createInputs(QWidget* client) {
    auto* frame = place(new QGroupBox(client), Frame1);
    frame->setAccessibleName("Inputs");
    Text_x0 = addInput(frame, pelorin::Input::x0);
    Text_x1 = addInput(frame, pelorin::Input::x1);
    Text_y0 = addInput(frame, pelorin::Input::y0);
    Text_h = addInput(frame, pelorin::Input::h);
    // Enter in any box calculates, as CALCULATE would.
    for (QLineEdit* edit : {Text_x0, Text_x1, Text_y0, Text_h}) {
        connect(edit, &QLineEdit::returnPressed, this, [this] { Command1->click(); });
        edit->installEventFilter(this);
    }

    Command1 = place(new QPushButton(fromView(form1Layout::Command1.text), client), form1Layout::Command1);
    Command1->setAutoDefault(true);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
}

void Form1::createMethodButtons(QWidget* client) {
    auto* frame = place(new QGroupBox(client), Frame2);
    frame->setAccessibleName("Method");
    auto* group = new QButtonGroup(frame);
    for (std::size_t row = 0; row < options_.size(); ++row) {
        const pelorin::Method& method = pelorin::methodCatalogue[row];
        auto* option = place(new QRadioButton(fromView(method.caption), frame), options[row]);
        const QString explanation = QStringLiteral("Order %1: halving h divides the error by "
                                                   "about %2.")
                                        .arg(pelorin::orderOf(method))
                                        .arg(1 << pelorin::orderOf(method));
        option->setToolTip(QStringLiteral("<p>%1</p><p>%2</p>")
                               .arg(fromView(method.formula).toHtmlEscaped(), explanation));
        option->setAccessibleDescription(fromView(method.formula) + ". " + explanation);
        group->addButton(option);
        options_[row] = option;
        // A caption wider than laid out (fonts differ from the ones the
        // window was drawn with) grows the button to the right, inside the
        // frame; its place stays.
        const int room = frame->contentsRect().right() + 1 - option->x();
        const int needed =
            option->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, option) +
            option->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, option) +
            option->fontMetrics().horizontalAdvance(option->text());
        if (needed > option->width()) {
            option->resize(std::min(needed, std::max(room, option->width())), option->height());
        }
    }
    options_[0]->setChecked(true);
}

void Form1::createPlotAndList(QWidget* client) {
    Picture1 = place(new PlotWidget(client), form1Layout::Picture1);
    Picture1->setFocusPolicy(Qt::TabFocus);
    Picture1->setAccessibleName("Plot");
    Picture1->setAccessibleDescription(
        "The exact solution in the foreground colour and the numerical solution in red, "
        "drawn by the last calculation.");

    List1 = place(new QListView(client), form1Layout::List1);
    resultsModel_ = new ResultsListModel(List1);
    List1->setModel(resultsModel_);
    List1->setUniformItemSizes(true);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    List1->setAccessibleName("Results");
    List1->setAccessibleDescription(
        "For every calculation, the method's name, then x and y after every step.");
}

void Form1::createMenu() {
    QAction* about = menuBar()->addAction("About");
    about->setObjectName("Mn_About");
    connect(about, &QAction::triggered, this, &Form1::Mn_About_Click);
}

// The additions to the window: shortcuts and the context menus of the list
// and the plot; the window's controls stay as laid out.
void Form1::createActions() {
    const auto action = [this](const QString& text, QWidget* owner, QKeySequence key,
                               auto slot) {
        auto* created = new QAction(text, owner);
        created->setShortcut(key);
        created->setShortcutContext(owner == this ? Qt::WindowShortcut : Qt::WidgetShortcut);
        owner->addAction(created);
        connect(created, &QAction::triggered, this, slot);
        return created;
    };
    stepsAction_ = action("Steps and errors", this, QKeySequence(Qt::CTRL | Qt::Key_E),
                          &Form1::showStepsWindow);
    stepsAction_->setObjectName("StepsAndErrors");
    methodLabAction_ = action("Method lab", this, QKeySequence(Qt::CTRL | Qt::Key_L),
                              &Form1::openMethodLab);
    methodLabAction_->setObjectName("MethodLab");

    listMenu_ = contextMenu({
        action("Copy", List1, QKeySequence::Copy, [this] { copyListLines(selectedLines()); }),
        action("Copy all", List1, QKeySequence(), [this] {
            QString text;
            for (const std::string& line : allLines()) text += QString::fromStdString(line) + '\n';
            copyListLines(text);
        }),
        action("Select all", List1, QKeySequence::SelectAll, [this] { List1->selectAll(); }),
        action("Save as\u2026", List1, QKeySequence::Save, &Form1::saveList),
    });
    listMenu_->setObjectName("ListMenu");
    plotMenu_ = contextMenu({
        action("Copy image", Picture1, QKeySequence::Copy, &Form1::copyPlotImage),
        action("Save image as\u2026", Picture1, QKeySequence::Save, &Form1::savePlotImage),
    });
    plotMenu_->setObjectName("PlotMenu");

    List1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(List1, &QWidget::customContextMenuRequested, this,
            [this](QPoint at) { openContextMenu(List1, at); });
    Picture1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Picture1, &QWidget::customContextMenuRequested, this,
            [this](QPoint at) { openContextMenu(Picture1, at); });

    // Shift+F10 and the Menu key open the focused control's context menu.
    auto* menuKey = new QAction("Context menu", this);
    menuKey->setShortcuts({QKeySequence(Qt::SHIFT | Qt::Key_F10), QKeySequence(Qt::Key_Menu)});
    menuKey->setShortcutContext(Qt::WindowShortcut);
    addAction(menuKey);
    connect(menuKey, &QAction::triggered, this, [this] {
        QWidget* focused = QApplication::focusWidget();
        if (focused == List1 || focused == Picture1) {
            openContextMenu(focused, {});
        } else if (focused) {
            // Other controls keep their own menus (the boxes' editing menu).
            const QPoint centre = focused->rect().center();
            QContextMenuEvent event(QContextMenuEvent::Keyboard, centre,
                                    focused->mapToGlobal(centre));
            QApplication::sendEvent(focused, &event);
        }
    });
}

// The windows that explain the last calculation, at the end of both menus.
QList<QAction*> Form1::windowActions() const { return {stepsAction_, methodLabAction_}; }

QMenu* Form1::contextMenu(const QList<QAction*>& own) {
    auto* menu = new QMenu(this);
    menu->addActions(own);
    menu->addSeparator();
    menu->addActions(windowActions());
    return menu;
}

void Form1::openContextMenu(QWidget* widget, QPoint at) {
    if (widget == List1 && at.isNull()) {
        // From the keyboard: at the current line, or the list's corner.
        const QRect line = List1->visualRect(List1->currentIndex());
        at = List1->viewport()->mapTo(List1, line.isValid() ? line.bottomLeft() : QPoint());
    } else if (at.isNull()) {
        at = widget->rect().center();
    }
    QMenu* menu = widget == List1 ? listMenu_ : plotMenu_;
    menu->popup(widget->mapToGlobal(at));
}

QString Form1::selectedLines() const {
    QModelIndexList rows = List1->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QString text;
    for (const QModelIndex& row : rows) text += fromView(resultsModel_->line(row.row())) + '\n';
    return text;
}

std::vector<std::string> Form1::allLines() const {
    std::vector<std::string> lines;
    for (int row = 0; row < resultsModel_->rowCount(); ++row) {
        lines.emplace_back(resultsModel_->line(row));
    }
    return lines;
}

void Form1::copyListLines(const QString& lines) {
    if (!lines.isEmpty()) QApplication::clipboard()->setText(lines);
}

QByteArray Form1::listCsv() const {
    return QByteArray::fromStdString(
        pelorin::commaSeparated(pelorin::resultsTable(allLines(), resultsModel_->blocks())));
}

QString Form1::suggestedListName() const {
    const auto& blocks = resultsModel_->blocks();
    const pelorin::ListBlock last = blocks.empty() ? pelorin::ListBlock{} : blocks.back();
    return QString::fromStdString(
        pelorin::suggestedFileName(last.method, last.h, "results", ".txt"));
}

void Form1::saveList() {
    const auto target =
        askWhereToSave(this, "Save the results list", suggestedListName(),
                       {{"Text", ".txt"}, {"CSV with the columns run, method, h, x, y", ".csv"}});
    if (!target) return;
    QByteArray contents;
    if (target->kind == 1) {
        contents = listCsv();
    } else {
        for (const std::string& line : allLines()) {
            contents += QByteArray::fromStdString(line) + '\n';
        }
    }
    saveWholeOrWarn(this, target->path, contents);
}

void Form1::copyPlotImage() { QApplication::clipboard()->setPixmap(Picture1->grab()); }

void Form1::savePlotImage() {
    const auto target = askWhereToSave(this, "Save the plot", suggestedPlotName(),
                                       {{"PNG image", ".png"}, {"PDF document", ".pdf"}});
    if (!target) return;
    const ImageFormat format = target->kind == 1 ? ImageFormat::pdf : ImageFormat::png;
    saveWholeOrWarn(this, target->path, widgetImage(*Picture1, format));
}

// The tooltip's reading of the new drawing; a calculation that did not
// reach the plot leaves the drawing and its reading as they were.
void Form1::explainPlot() {
    if (last_.failedStage) return;
    const pelorin::StepErrors errors = pelorin::stepErrors(last_);
    const std::vector<std::string> summaries =
        pelorin::rowSummaries(pelorin::stepErrorTable(errors));
    std::vector<PlotWidget::StepMark> marks;
    for (std::size_t row = 0; row < errors.rows.size(); ++row) {
        marks.push_back({errors.rows[row].x, errors.rows[row].y,
                         QString::fromStdString(summaries[row])});
    }
    const pelorin::CurveNames names = pelorin::curveNames(last_);
    Picture1->setReading(QString::fromStdString(names.exact),
                         QString::fromStdString(names.numerical), std::move(marks));
}

StepsWindow* Form1::stepsWindow() const { return steps_.data(); }

void Form1::showStepsWindow() {
    if (!steps_) {
        steps_ = new StepsWindow;
        connect(this, &Form1::calculated, steps_,
                [this] { steps_->showCalculation(last_); });
        steps_->showCalculation(last_);
    }
    bringForward(steps_);
}

// Keyboard order as the layout numbers it: CALCULATE first, then the boxes,
// the plot, the methods and the list.
void Form1::setTabOrder() {
    std::vector<Placement> order;
    for (const Placement& control : all) {
        if (control.tab >= 0) order.push_back(control);
    }
    std::sort(order.begin(), order.end(),
              [](const Placement& a, const Placement& b) { return a.tab < b.tab; });
    QWidget* previous = nullptr;
    for (const Placement& control : order) {
        auto* widget = findChild<QWidget*>(fromView(control.name));
        if (!(widget->focusPolicy() & Qt::TabFocus)) continue;
        if (previous) QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

std::string Form1::inputText(pelorin::Input box) const {
    switch (box) {
    case pelorin::Input::x0: return Text_x0->text().toStdString();
    case pelorin::Input::y0: return Text_y0->text().toStdString();
    case pelorin::Input::x1: return Text_x1->text().toStdString();
    case pelorin::Input::h: return Text_h->text().toStdString();
    }
    return {};
}

bool Form1::isMethodSelected(std::size_t row) const { return options_[row]->isChecked(); }

void Form1::appendLine(const std::string& line) { resultsModel_->append(line); }

void Form1::reportError(const std::string& message) {
    // Not modal to the application, so the program keeps running; the user
    // closes it to go on.
    auto* box = new QMessageBox(QMessageBox::Warning, "Calculation stopped",
                                QString::fromStdString(message), QMessageBox::Ok, this);
    box->setObjectName("CalculationError");
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void Form1::Command1_Click() {
    const int listed = resultsModel_->rowCount();
    pelorin::Command1_Click(*this, *Picture1, last_);
    // Lines listed began a block: keep its method and h beside it.
    if (resultsModel_->rowCount() > listed) {
        resultsModel_->appendBlock({last_.method, last_.value(pelorin::Input::h)});
    }
    List1->scrollToBottom();
    explainPlot();
    // The name follows the picture: a calculation that stopped before the
    // plot left the last drawing, one that stopped in it left the area empty.
    if (!last_.failedStage || *last_.failedStage == pelorin::Stage::plot) {
        const pelorin::Method* drawn = last_.failedStage ? nullptr : last_.method;
        plotName_ = QString::fromStdString(
            pelorin::suggestedFileName(drawn, last_.value(pelorin::Input::h), "plot", ".png"));
    }
    emit calculated();
}

void Form1::Mn_About_Click() {
    if (!about_) about_ = new Form_About;
    bringForward(about_);
}

// A box would take Ctrl+E as "end of line"; the window's shortcut wins.
bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride &&
        QKeySequence(static_cast<QKeyEvent*>(event)->keyCombination()) ==
            stepsAction_->shortcut()) {
        event->ignore();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void Form1::openProblemFile(const QString& path) {
    openMethodLab();
    if (!lab_) return;
    const QString failure = loadedLab().plugin->openProblemFile(lab_, path);
    if (!failure.isEmpty()) QMessageBox::warning(lab_, "Problem not opened", failure);
}

void Form1::openMethodLab() {
    if (!lab_) {
        const LoadedLab& module = loadedLab();
        if (!module.plugin) {
            QMessageBox::warning(this, "Method lab cannot be opened",
                                 "The Method lab cannot be opened: " + module.error +
                                     " Reinstall the program to get it back; the rest of the "
                                     "program works without it.");
            return;
        }
        LabStart start{{Text_x0->text(), Text_y0->text(), Text_x1->text()}};
        for (std::size_t row = 0; row < options_.size(); ++row) {
            if (isMethodSelected(row)) start.method = &pelorin::methodCatalogue[row];
        }
        lab_ = module.plugin->createLab(start);
    }
    bringForward(lab_);
}

void Form1::closeEvent(QCloseEvent* event) {
    if (about_) about_->close();
    if (steps_) steps_->close();
    if (lab_) lab_->close();
    QMainWindow::closeEvent(event);
}
