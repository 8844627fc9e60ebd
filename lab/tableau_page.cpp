#include "lab/tableau_page.h"

#include "lab/page.h"
#include "lab/tableau_worker.h"
#include "methods/known_tableaus.h"
#include "symbolic/typed_tableau.h"  // the boxes' names; its GiNaC work is the worker's
#include "ui/text.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The grid's columns: a row's caption, c, a rule, then A.
constexpr int captionColumn = 0, nodeColumn = 1, ruleColumn = 2, firstMatrixColumn = 3;

QString joined(const std::vector<std::string>& texts) {
    QStringList entries;
    for (const std::string& text : texts) entries << QString::fromStdString(text);
    return entries.join(", ");
}

QFrame* rule(QFrame::Shape shape, QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(shape);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

}  // namespace

TableauPage::TableauPage(QWidget* parent) : LabPage(parent) {
    QVBoxLayout* layout = scrollingContent(*this);
    createControls(*layout);
    createGrid(*layout);
    verdict_ = addNotes(layout, "Tableau notes");
    conditions_ = addCaptionedTable(
        layout,
        "Or&der conditions: for each rooted tree t up to order p + 1, the weight "
        "\u03a3 b\u1d62\u03a6\u1d62(t) against 1/\u03b3(t), worked out exactly",
        "Order conditions");
    conditions_->setWordWrap(false);
    conditions_->setAccessibleDescription(
        "A row for every rooted tree up to one order above the method's: the tree in brackets, "
        "its order, its condition, the value the tableau gives and the residual, all exact.");
    worker_ = new TableauWorker(std::string(pelorin::ownRungeKuttaEntry().caption), this);
    connect(worker_, &TableauWorker::read, this, &TableauPage::replied);
    std::vector<const pelorin::Tableau*> tableaus{
        pelorin::tableauOf(pelorin::ownRungeKuttaEntry())};
    for (const pelorin::KnownTableau& known : pelorin::knownTableaus()) {
        tableaus.push_back(known.tableau);
    }
    knownTexts_ = worker_->textsOf(tableaus);
    ownEntryTexts_ = knownTexts_.front();
    knownTexts_.erase(knownTexts_.begin());
    setTexts(ownEntryTexts_);
    readNow();
}

// A box that loses the focus as the page goes would ask for a reading
// still; the page takes no more edits, and its worker ends with it.
TableauPage::~TableauPage() {
    for (QLineEdit* box : findChildren<QLineEdit*>()) box->disconnect(this);
    delete worker_;
}

void TableauPage::createControls(QVBoxLayout& layout) {
    auto* row = new QHBoxLayout;
    auto* stagesCaption = new QLabel("Sta&ges:", this);
    stages_ = new QSpinBox(this);
    stages_->setRange(1, maxStages);
    stages_->setAccessibleName("Stages");
    stagesCaption->setBuddy(stages_);
    connect(stages_, &QSpinBox::valueChanged, this, [this](int stages) {
        addZeroStages(stages);
        showStages(stages);
        boxesEdited();
    });
    auto* knownCaption = new QLabel("&Known tableau:", this);
    known_ = newListBox(this);
    known_->setAccessibleName("Known tableau");
    for (const pelorin::KnownTableau& known : pelorin::knownTableaus()) {
        known_->addItem(fromView(known.name));
    }
    knownCaption->setBuddy(known_);
    auto* loadButton = new QPushButton("L&oad into the boxes", this);
    loadButton->setToolTip("Writes the known tableau's entries into the boxes, exactly");
    connect(loadButton, &QPushButton::clicked, this, &TableauPage::load);
    for (QWidget* widget : std::initializer_list<QWidget*>{stagesCaption, stages_}) {
        row->addWidget(widget);
    }
    row->addSpacing(24);
    for (QWidget* widget : std::initializer_list<QWidget*>{knownCaption, known_, loadButton}) {
        row->addWidget(widget);
    }
    row->addStretch(1);
    layout.addLayout(row);
}

// The boxes as a textbook prints a tableau: c beside A, a rule between
// them, and the weights under a rule.
void TableauPage::createGrid(QVBoxLayout& layout) {
    grid_ = new QGridLayout;
    grid_->setHorizontalSpacing(4);
    const auto box = [this](const std::string& name, const QString& tip) {
        auto* edit = new QLineEdit(this);
        edit->setAccessibleName(QString::fromStdString(name));
        edit->setToolTip(QString::fromStdString(name) + ": " + tip);
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance("-7200/21"));
        connect(edit, &QLineEdit::editingFinished, this, &TableauPage::boxesEdited);
        return edit;
    };
    const QString entry = "a number, a fraction, a decimal or a square root, as in (3 - sqrt(3))/6";
    auto* cCaption = new QLabel("c", this);
    auto* aCaption = new QLabel("A", this);
    grid_->addWidget(cCaption, 0, nodeColumn, Qt::AlignHCenter);
    grid_->addWidget(aCaption, 0, firstMatrixColumn, 1, maxStages, Qt::AlignHCenter);
    const std::size_t stages = maxStages;
    for (std::size_t i = 0; i < stages; ++i) {
        const int row = static_cast<int>(i) + 1;
        c_[i] = box(pelorin::nodeBox(i),
                    "the node of stage " + QString::number(row) + ", " + entry);
        grid_->addWidget(c_[i], row, nodeColumn);
        for (std::size_t j = 0; j < stages; ++j) {
            a_[i][j] = box(pelorin::matrixBox(i, j),
                           "how much stage " + QString::number(j + 1) + "'s slope enters stage " +
                               QString::number(row) + ", " + entry + "; empty is 0");
            grid_->addWidget(a_[i][j], row, firstMatrixColumn + static_cast<int>(j));
        }
    }
    nodeRule_ = rule(QFrame::VLine, this);
    grid_->addWidget(rule(QFrame::HLine, this), maxStages + 1, captionColumn, 1,
                     firstMatrixColumn + maxStages);
    bCaption_ = new QLabel("b", this);
    embeddedCaption_ = new QLabel("embedded b", this);
    embeddedCaption_->setToolTip("An embedded pair's second weights, for its error estimate; "
                                 "leave them all empty for none");
    grid_->addWidget(bCaption_, maxStages + 2, captionColumn, 1, 2, Qt::AlignRight);
    grid_->addWidget(embeddedCaption_, maxStages + 3, captionColumn, 1, 2, Qt::AlignRight);
    // Made row by row, as the matrix is, so that Tab takes the weights in turn
    // and then the embedded ones.
    for (std::size_t i = 0; i < stages; ++i) {
        b_[i] = box(pelorin::weightBox(i), "the weight of stage " + QString::number(i + 1) +
                                               "'s slope in the step, " + entry);
        grid_->addWidget(b_[i], maxStages + 2, firstMatrixColumn + static_cast<int>(i));
    }
    for (std::size_t i = 0; i < stages; ++i) {
        embedded_[i] = box(pelorin::embeddedBox(i), "the embedded weight of stage " +
                                                        QString::number(i + 1) + ", " + entry);
        grid_->addWidget(embedded_[i], maxStages + 3, firstMatrixColumn + static_cast<int>(i));
    }
    cCaption->setBuddy(c_[0]);
    aCaption->setBuddy(a_[0][0]);
    bCaption_->setBuddy(b_[0]);
    embeddedCaption_->setBuddy(embedded_[0]);
    auto* row = new QHBoxLayout;
    row->addLayout(grid_);
    row->addStretch(1);
    layout.addLayout(row);
}

// Stages added to a tableau start at c = 0 and weights 0, which leave the
// method as it was until their entries are typed.
void TableauPage::addZeroStages(int stages) {
    const bool pair =
        std::any_of(embedded_.begin(), embedded_.begin() + stages,
                    [](const QLineEdit* box) { return !box->text().trimmed().isEmpty(); });
    for (int i = 0; i < stages; ++i) {
        for (QLineEdit* box : {c_[i], b_[i], pair ? embedded_[i] : nullptr}) {
            if (box && box->text().trimmed().isEmpty()) box->setText("0");
        }
    }
}

void TableauPage::showStages(int stages) {
    // The rule between c and A as long as the rows shown.
    grid_->removeWidget(nodeRule_);
    grid_->addWidget(nodeRule_, 1, ruleColumn, stages, 1);
    for (int i = 0; i < maxStages; ++i) {
        const bool shown = i < stages;
        c_[i]->setVisible(shown);
        b_[i]->setVisible(shown);
        embedded_[i]->setVisible(shown);
        for (int j = 0; j < maxStages; ++j) a_[i][j]->setVisible(shown && j < stages);
    }
}

pelorin::TableauTexts TableauPage::texts() const {
    pelorin::TableauTexts texts;
    const auto stages = static_cast<std::size_t>(stages_->value());
    const auto text = [](const QLineEdit* box) { return box->text().toStdString(); };
    bool anyEmbedded = false;
    for (std::size_t i = 0; i < stages; ++i) {
        texts.c.push_back(text(c_[i]));
        texts.b.push_back(text(b_[i]));
        texts.embedded.push_back(text(embedded_[i]));
        anyEmbedded = anyEmbedded || !embedded_[i]->text().trimmed().isEmpty();
        texts.a.emplace_back();
        for (std::size_t j = 0; j < stages; ++j) texts.a[i].push_back(text(a_[i][j]));
    }
    if (!anyEmbedded) texts.embedded.clear();
    return texts;
}

void TableauPage::setTexts(const pelorin::TableauTexts& texts) {
    const std::size_t stages = std::min<std::size_t>(texts.stages(), maxStages);
    {
        const QSignalBlocker quiet(stages_);
        stages_->setValue(static_cast<int>(stages));
    }
    const auto set = [](QLineEdit* box, const std::vector<std::string>& row, std::size_t i) {
        box->setText(i < row.size() ? QString::fromStdString(row[i]) : QString());
    };
    for (std::size_t i = 0; i < maxStages; ++i) {
        set(c_[i], texts.c, i);
        set(b_[i], texts.b, i);
        set(embedded_[i], texts.embedded, i);
        for (std::size_t j = 0; j < maxStages; ++j) {
            set(a_[i][j], i < texts.a.size() ? texts.a[i] : std::vector<std::string>{}, j);
        }
    }
    showStages(static_cast<int>(stages));
}

void TableauPage::load() {
    const auto index = static_cast<std::size_t>(std::max(known_->currentIndex(), 0));
    setTexts(knownTexts_[index]);
    boxesEdited();
}

// Until the reply comes the page shows what it showed: a reading takes a
// fraction of a second, and notes that flashed "reading" at each edit
// would only distract.
void TableauPage::boxesEdited() {
    const pelorin::TableauTexts typed = texts();
    if (typed == made_ && refusal_.isEmpty()) {
        // Back to the texts the page shows: a reading under way is stale.
        worker_->supersede();
        return;
    }
    if (worker_->pending() && typed == requested_) return;
    requested_ = typed;
    worker_->request(requested_);
}

void TableauPage::replied(const TableauReply& reply) {
    const pelorin::OwnRungeKutta* before = own_;
    if (showReading(requested_, reply) && own_ != before) {
        emit methodTyped(static_cast<int>(pelorin::catalogueRow(pelorin::ownRungeKuttaEntry())));
    }
}

void TableauPage::readNow() {
    requested_ = texts();
    showReading(requested_, worker_->readNow(requested_));
}

bool TableauPage::showReading(const pelorin::TableauTexts& typed, const TableauReply& reply) {
    if (reply.steps) {
        own_ = &pelorin::ownRungeKuttaOf(*reply.steps, reply.rounded);
        made_ = typed;
        refusal_.clear();
        fillTable(*conditions_, reply.conditions, Qt::AlignLeft | Qt::AlignVCenter);
        conditions_->resizeColumnsToContents();
        madeVerdict_ = (QStringList{QString::fromStdString(reply.verdict)} +
                        fromNotes(reply.stability)).join("\n");
        verdict_->setText(madeVerdict_);
        return true;
    }
    refusal_ = QString::fromStdString(reply.why) +
               " The lab keeps the method the boxes last made.";
    verdict_->setText(refusal_ + "\n" + madeVerdict_);
    return false;
}

void TableauPage::setInputs(const LabInputs&) {}

void TableauPage::addTypedMethods(pelorin::MethodSettings& settings) const {
    settings.ownRungeKutta = own_;
}

PageHandout TableauPage::handout(const LabInputs&) const {
    QStringList lines{"The own Runge-Kutta method's tableau:", "c: " + joined(made_.c)};
    for (std::size_t i = 0; i < made_.a.size(); ++i) {
        lines << "a, row " + QString::number(i + 1) + ": " + joined(made_.a[i]);
    }
    lines << "b: " + joined(made_.b);
    if (!made_.embedded.empty()) lines << "embedded b: " + joined(made_.embedded);
    return {lines, {}, {verdict_}, {conditions_}};
}

void TableauPage::keepSettings(pelorin::LessonSettings& lesson) const {
    const pelorin::TableauTexts typed = texts();
    if (typed != ownEntryTexts_) {
        lesson.tableau = typed;
    }
}

void TableauPage::restoreSettings(const pelorin::LessonSettings& lesson) {
    setTexts(lesson.tableau ? *lesson.tableau : ownEntryTexts_);
    readNow();
}
