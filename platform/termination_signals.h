#pragma once
// SIGINT and SIGTERM turned into readable bytes for an event loop (the self-pipe way): the
// handler only writes one byte to a non-blocking pipe and keeps errno, so it is safe
// whatever the program was doing when the signal came. One instance per process.

namespace aerova {

class TerminationSignals {
  public:
    // Installs the handlers; `ok()` tells whether the pipe and the handlers are in place.
    TerminationSignals();
    // Restores the default handling and closes the pipe.
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    bool ok() const { return readFd_ >= 0; }
    // Readable once a signal came; watch it with the event loop.
    int readFd() const { return readFd_; }
    // Reads the bytes waiting; true when at least one signal came.
    bool Drain();

  private:
    int readFd_ = -1;
};

}  // namespace aerova
