#pragma once
// One network transfer at a time (an FTP upload, a mail session) on a thread of its own, so
// the UI thread never waits on a server: the work runs on the thread, its result is applied
// on the worker's (UI) thread afterwards. Destroying the worker cancels a running transfer
// through the flag the transfer's progress callback reads, and waits for its thread.

#include <QObject>
#include <QTimer>
#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace aerova {

class TransferWorker : public QObject {
  public:
    explicit TransferWorker(QObject* parent = nullptr);
    ~TransferWorker() override;
    TransferWorker(const TransferWorker&) = delete;
    TransferWorker& operator=(const TransferWorker&) = delete;

    // Runs `work` on its own thread and then `done` on this object's thread. False (and
    // nothing runs) while an earlier transfer has not ended.
    bool Run(std::function<void()> work, std::function<void()> done);
    // Runs `apply` on this object's thread; for progress reports from inside `work`.
    void Post(std::function<void()> apply);
    bool busy() const { return busy_; }
    // The flag a transfer's progress callback reads to end early.
    const std::atomic<bool>* cancelFlag() const { return &cancel_; }

  private:
    void Collect();

    std::thread thread_;
    std::atomic<bool> cancel_{false};
    std::atomic<bool> finished_{false};
    bool busy_ = false;
    std::function<void()> done_;
    std::mutex postedMutex_;
    std::vector<std::function<void()>> posted_;
    QTimer poll_;
};

}  // namespace aerova
