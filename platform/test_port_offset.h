#pragma once
// Port offsets for tests that start whole stations (`--port-offset`). A station listens and
// sends on many ports at once: 7933, 7978, 7979, 7980, 7988, 7989, 4180, 4181, 30014 plus
// the offset, up to 56 apart within the 79xx group. Tests run side by side, each test in a
// process of its own: every process takes a block of 100 offsets chosen by its process id,
// and its tests take salts 0 to 39 inside it, so the 79xx ports of two processes lie at
// least 61 apart and never meet. Header-only: the end-to-end and the window tests share it.

#include <unistd.h>

namespace aerova::testing {

constexpr int kPortOffsetSalts = 40;

inline int TestPortOffset(int salt) {
    return 10000 + static_cast<int>(::getpid() % 200) * 100 + salt % kPortOffsetSalts;
}

}  // namespace aerova::testing
