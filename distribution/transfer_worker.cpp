#include "distribution/transfer_worker.h"

#include <QMetaObject>

namespace aerova {

TransferWorker::~TransferWorker() {
    cancel_ = true;
    if (thread_.joinable()) thread_.join();
}

bool TransferWorker::Run(std::function<void()> work, std::function<void()> done) {
    if (busy_) return false;
    if (thread_.joinable()) thread_.join();  // the last transfer's thread has ended its work
    busy_ = true;
    thread_ = std::thread([this, work = std::move(work), done = std::move(done)]() mutable {
        work();
        // Dropped by Qt when this object is gone first; the destructor then joins.
        QMetaObject::invokeMethod(
            this,
            [this, done = std::move(done)] {
                busy_ = false;
                if (done) done();
            },
            Qt::QueuedConnection);
    });
    return true;
}

void TransferWorker::Post(std::function<void()> apply) {
    QMetaObject::invokeMethod(this, std::move(apply), Qt::QueuedConnection);
}

}  // namespace aerova
