#pragma once
// Datagrams that arrive while a main-cycle tick runs are queued instead of applied, because
// the tick lets window messages (and so socket events) run in the middle of its work.

#include <array>

#include "core/flight.h"

namespace aerova {

struct DatagramQueue {
    bool queueing = false;  // a tick is running: queue instead of applying
    bool locked = false;    // the queue is being drained: arrivals are dropped
    int count = 0;
    std::array<Tudpreadbuf, kQueueCapacity> entries{};
};

}  // namespace aerova
