#include "lab/tableau_worker.h"

#include "lab/study_runner.h"
#include "symbolic/tableau_view.h"
#include "symbolic/typed_tableau.h"

#include <QThread>

#include <mutex>
#include <utility>

namespace {

// GiNaC's turn: should two labs ever be open at once, their workers'
// threads take turns with it rather than share its reference counts.
std::mutex& ginacTurn() {
    static std::mutex turn;
    return turn;
}

// Every GiNaC object below is made and destroyed within the turn.
TableauReply readTexts(const std::string& caption, const pelorin::TableauTexts& texts) {
    const std::lock_guard<std::mutex> turn(ginacTurn());
    TableauReply reply;
    const pelorin::TableauReading reading = pelorin::readTableau(texts);
    if (!reading.tableau) {
        reply.why = reading.why;
        return reply;
    }
    pelorin::TableauView view = pelorin::tableauView(caption, reading.tableau->exact);
    reply.steps = reading.tableau->steps;
    reply.verdict = std::move(view.verdict);
    reply.stability = std::move(view.stability);
    reply.rounded = std::move(view.rounded);
    reply.conditions = std::move(view.conditions);
    return reply;
}

}  // namespace

TableauWorker::TableauWorker(std::string caption, QObject* parent)
    : QObject(parent), caption_(std::move(caption)), thread_(new QThread(this)),
      onThread_(new QObject) {
    thread_->setObjectName("Tableau reader");
    onThread_->moveToThread(thread_);
    thread_->start();
    // Below the window's share of the processor, as the lab's studies are.
    QMetaObject::invokeMethod(onThread_, [] { yieldToTheWindow(); }, Qt::QueuedConnection);
}

TableauWorker::~TableauWorker() {
    thread_->quit();
    thread_->wait();
    // The thread has ended: the readings still posted to it go with it,
    // and a reply it posted here goes with this object.
    delete onThread_;
}

void TableauWorker::request(const pelorin::TableauTexts& texts) {
    const std::uint64_t number = ++latest_;
    pending_ = true;
    QMetaObject::invokeMethod(
        onThread_,
        [this, number, texts] {
            if (number != latest_) return;
            TableauReply reply = readTexts(caption_, texts);
            // Shown here only if no reading was asked for since.
            QMetaObject::invokeMethod(
                this,
                [this, number, reply = std::move(reply)] {
                    if (number != latest_) return;
                    pending_ = false;
                    emit read(reply);
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void TableauWorker::supersede() {
    ++latest_;
    pending_ = false;
}

TableauReply TableauWorker::readNow(const pelorin::TableauTexts& texts) {
    supersede();
    TableauReply reply;
    QMetaObject::invokeMethod(
        onThread_, [&] { reply = readTexts(caption_, texts); }, Qt::BlockingQueuedConnection);
    return reply;
}

std::vector<pelorin::TableauTexts> TableauWorker::textsOf(
    const std::vector<const pelorin::Tableau*>& tableaus) {
    std::vector<pelorin::TableauTexts> texts;
    QMetaObject::invokeMethod(
        onThread_,
        [&] {
            const std::lock_guard<std::mutex> turn(ginacTurn());
            for (const pelorin::Tableau* tableau : tableaus) {
                texts.push_back(pelorin::textsOf(*tableau));
            }
        },
        Qt::BlockingQueuedConnection);
    return texts;
}
