// The Tableau page's exact work off the window's thread. Reading a typed
// tableau and working out its order conditions and stability is GiNaC's
// work, which takes tens of milliseconds for eight stages: too long for a
// keystroke. GiNaC is not thread-safe (its reference counts are not atomic,
// and it keeps global state), so all of it runs on one thread of the
// worker's own, and only plain values cross to the window's thread: no
// GiNaC object is made, copied or destroyed there.
#pragma once

#include "base/text_table.h"
#include "methods/tableau.h"

#include <QObject>

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QThread;

// What the worker made of a tableau's texts, in plain values.
struct TableauReply {
    // The tableau as a step computes with it; none where the texts make no
    // tableau, and then `why` says why.
    std::optional<pelorin::Tableau> steps;
    std::string why;
    // What the page shows of it: the verdict, R(z) and the stability
    // sentences, the stability as the steps' layers take it, and the order
    // conditions.
    std::string verdict;
    std::vector<std::string> stability;
    pelorin::TypedStability rounded;
    pelorin::TextTable conditions;
};

// Reads the texts it is given on its thread, one reading after another. A
// student types fast: each reading asked for makes the ones before stale,
// and a stale reading is neither begun nor replied to.
class TableauWorker : public QObject {
    Q_OBJECT

public:
    // Its thread is named "Tableau reader"; `caption` is the verdict's name
    // for the method.
    TableauWorker(std::string caption, QObject* parent);
    // Ends the thread once the reading under way is done; the readings
    // still waiting are dropped.
    ~TableauWorker() override;

    // Reads `texts` on the thread; `read` brings the reply here.
    void request(const pelorin::TableauTexts& texts);
    // Makes the reading asked for last stale.
    void supersede();
    // Whether a reading asked for has not been replied to yet.
    bool pending() const { return pending_; }

    // Reads `texts` and waits for the reply, as a lesson opening does: its
    // method is ready when it shows. The readings asked for before are stale.
    TableauReply readNow(const pelorin::TableauTexts& texts);
    // The boxes' texts of these tableaus, written on the thread; waits.
    std::vector<pelorin::TableauTexts> textsOf(
        const std::vector<const pelorin::Tableau*>& tableaus);

signals:
    void read(const TableauReply& reply);

private:
    const std::string caption_;
    QThread* thread_ = nullptr;
    QObject* onThread_ = nullptr;  // lives on thread_: what the readings are posted to
    // The number of the reading asked for last: read on the thread too,
    // which skips readings already stale.
    std::atomic<std::uint64_t> latest_ = 0;
    bool pending_ = false;
};
