#include "lab/method_chooser.h"

#include "lab/page.h"
#include "numerics/linear_multistep.h"
#include "ui/text.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <tuple>
#include <variant>

MethodChooser::MethodChooser(const pelorin::Method& method, QHBoxLayout& row, QWidget* window)
    : QObject(window), window_(window) {
    row.addLayout(createMethodBox(method));
    createMultistepRow();
}

QHBoxLayout* MethodChooser::createMethodBox(const pelorin::Method& method) {
    auto* box = new QHBoxLayout;
    auto* caption = new QLabel("&Method:", window_);
    method_ = newListBox(window_);
    method_->setAccessibleName("Method");
    for (const pelorin::Method& m : pelorin::labCatalogue()) method_->addItem(fromView(m.caption));
    method_->setCurrentIndex(static_cast<int>(pelorin::catalogueRow(method)));
    caption->setBuddy(method_);
    connect(method_, &QComboBox::currentIndexChanged, this, &MethodChooser::showMultistepRow);
    connect(method_, &QComboBox::currentIndexChanged, this, &MethodChooser::methodChanged);
    box->addWidget(caption);
    box->addWidget(method_);
    return box;
}

QWidget* MethodChooser::createMultistepRow() {
    multistepRow_ = new QWidget(window_);
    auto* column = new QVBoxLayout(multistepRow_);
    column->setContentsMargins(0, 0, 0, 0);
    auto* row = new QHBoxLayout;
    auto* startCaption = new QLabel("Start with:", multistepRow_);
    startWith_ = newListBox(multistepRow_);
    startWith_->setAccessibleName("Start with");
    startWith_->setToolTip("What makes a multistep method's first values, before its formula "
                           "has the k values it needs: a one-step method, or the solution itself.");
    for (std::size_t oneStep : pelorin::oneStepRows()) {
        startWith_->addItem(fromView(pelorin::labCatalogue()[oneStep].caption), QVariant::fromValue(oneStep));
    }
    startWith_->addItem("The exact or reference solution");
    showStart(pelorin::MethodSettings{}.start);
    startCaption->setBuddy(startWith_);
    connect(startWith_, &QComboBox::currentIndexChanged, this, &MethodChooser::changed);
    row->addWidget(startCaption);
    row->addWidget(startWith_);
    row->addSpacing(12);
    addOwnBoxes(*row);
    row->addStretch(0);
    column->addLayout(row);
    ownNotes_ = new NotesLabel("Own method notes", multistepRow_);
    column->addWidget(ownNotes_);
    readOwnMethod();
    showMultistepRow();
    return multistepRow_;
}

// The own method's boxes, starting on the classic method its catalogue row
// names.
void MethodChooser::addOwnBoxes(QHBoxLayout& row) {
    ownBoxes_ = new QWidget(multistepRow_);
    auto* boxes = new QHBoxLayout(ownBoxes_);
    boxes->setContentsMargins(0, 0, 0, 0);
    const pelorin::MultistepFormula& classic = *pelorin::multistepOf(pelorin::ownMultistepEntry())->formula;
    for (auto [box, name, text, tip] :
         {std::tuple{&alpha_, "alpha", pelorin::alphaText(classic),
                     "α_k … α_0, the weights of y_{n+k} … y_n, separated by "
                     "commas: whole numbers, fractions such as -4/3, or decimals"},
          std::tuple{&beta_, "beta", pelorin::betaText(classic),
                     "β_k … β_0, the weights of h·f_{n+k} … h·f_n; "
                     "β_k = 0 makes the method explicit"}}) {
        auto* caption = new QLabel(QString(name) + ":", ownBoxes_);
        *box = new QLineEdit(QString::fromStdString(text), ownBoxes_);
        (*box)->setAccessibleName(name);
        (*box)->setToolTip(tip);
        caption->setBuddy(*box);
        connect(*box, &QLineEdit::editingFinished, this, &MethodChooser::changed);
        boxes->addWidget(caption);
        boxes->addWidget(*box, 1);
    }
    row.addWidget(ownBoxes_, 1);
}

void MethodChooser::showMultistepRow() {
    const pelorin::Method& method = pelorin::labCatalogue()[row()];
    multistepRow_->setVisible(pelorin::isMultistep(method));
    const bool own = pelorin::isOwnMultistep(method);
    ownBoxes_->setVisible(own);
    ownNotes_->setVisible(own);
}

void MethodChooser::readOwnMethod() {
    const auto read = pelorin::readMultistep(alpha_->text().toStdString(), beta_->text().toStdString());
    if (const auto* formula = std::get_if<pelorin::MultistepFormula>(&read)) {
        own_ = &pelorin::ownMultistepOf(*formula);
        ownRefusal_.clear();
    } else {
        ownRefusal_ = QString::fromStdString(std::get<std::string>(read)) +
                      " The lab keeps the method the boxes last made.";
    }
    QStringList notes{"Own multistep method: " +
                      QString::fromStdString(pelorin::multistepVerdict(own_->formula))};
    if (!ownRefusal_.isEmpty()) notes.prepend(ownRefusal_);
    ownNotes_->setText(notes.join("\n"));
}

std::size_t MethodChooser::row() const {
    return static_cast<std::size_t>(std::max(method_->currentIndex(), 0));
}

pelorin::MethodSettings MethodChooser::multistep() const {
    pelorin::MethodSettings settings;
    const QVariant start = startWith_->currentData();
    settings.start = start.isValid() ? std::optional(start.value<std::size_t>()) : std::nullopt;
    settings.ownMultistep = own_;
    return settings;
}

void MethodChooser::showStart(std::optional<std::size_t> row) {
    const int index = row ? startWith_->findData(QVariant::fromValue(*row)) : -1;
    startWith_->setCurrentIndex(index >= 0 ? index : startWith_->count() - 1);
}

void MethodChooser::choose(int row) { method_->setCurrentIndex(row); }

void MethodChooser::keepSettings(pelorin::LessonSettings& lesson) const {
    lesson.method = row();
    lesson.start = multistep().start;
    lesson.alpha = alpha_->text().toStdString();
    lesson.beta = beta_->text().toStdString();
}

void MethodChooser::restoreSettings(const pelorin::LessonSettings& lesson) {
    {
        const QSignalBlocker quiet(method_);
        method_->setCurrentIndex(static_cast<int>(lesson.method));
    }
    {
        const QSignalBlocker quiet(startWith_);
        showStart(lesson.start);
    }
    if (!lesson.alpha.empty()) alpha_->setText(QString::fromStdString(lesson.alpha));
    if (!lesson.beta.empty()) beta_->setText(QString::fromStdString(lesson.beta));
    showMultistepRow();
}
