#pragma once
// Single-instance guard standing in for the named mutex "keltrix.aerovamini.exe". The lock
// is an advisory lock on a file of that name in the station directory: two copies on one
// station directory would fight over its files and ports, while copies on different
// directories (and port offsets) may run side by side. The kernel drops the lock when the
// process ends, however it ends.

#include <string>

namespace aerova {

constexpr const char* kInstanceMutexName = "keltrix.aerovamini.exe";

class InstanceLock {
  public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True when this process now holds the lock; false when another copy holds it (or the
    // lock file cannot be created).
    bool Acquire(const std::string& stationDir);
    void Release();
    bool held() const { return fd_ >= 0; }

  private:
    int fd_ = -1;
};

}  // namespace aerova
