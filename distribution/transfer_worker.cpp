#include "distribution/transfer_worker.h"

namespace aerova {

namespace {
// How often the UI thread looks for a transfer's progress and end.
constexpr int kPollMs = 20;
}  // namespace

// The transfer's thread only sets flags and fills a queue under a mutex; the UI thread picks
// them up on its own timer. Nothing is posted into Qt's event queue from the transfer's
// thread, so every hand-over is one the race checkers can see.
TransferWorker::TransferWorker(QObject* parent) : QObject(parent) {
    poll_.setInterval(kPollMs);
    connect(&poll_, &QTimer::timeout, this, [this] { Collect(); });
}

TransferWorker::~TransferWorker() {
    cancel_ = true;
    if (thread_.joinable()) thread_.join();
}

bool TransferWorker::Run(std::function<void()> work, std::function<void()> done) {
    if (busy_) return false;
    if (thread_.joinable()) thread_.join();  // the last transfer's thread has ended its work
    busy_ = true;
    finished_ = false;
    done_ = std::move(done);
    thread_ = std::thread([this, work = std::move(work)] {
        work();
        finished_.store(true, std::memory_order_release);
    });
    poll_.start();
    return true;
}

void TransferWorker::Post(std::function<void()> apply) {
    std::scoped_lock lock(postedMutex_);
    posted_.push_back(std::move(apply));
}

void TransferWorker::Collect() {
    std::vector<std::function<void()>> posted;
    {
        std::scoped_lock lock(postedMutex_);
        posted.swap(posted_);
    }
    for (auto& apply : posted) apply();
    if (!finished_.load(std::memory_order_acquire)) return;
    poll_.stop();
    thread_.join();
    busy_ = false;
    std::function<void()> done = std::move(done_);
    done_ = nullptr;
    if (done) done();
}

}  // namespace aerova
