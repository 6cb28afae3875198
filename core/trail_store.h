#pragma once
// Trail rings: 2000 rings of 7200 points of 32 bytes (about 440 MB), reserved once as
// anonymous memory. A ring's pages become resident only when it is first written, so a
// quiet station costs nothing for them.

#include <array>
#include <cstddef>
#include <cstdint>

namespace aerova {

constexpr int kTrailRings = 2000;
constexpr int kTrailPoints = 7200;

struct TrailPoint {
    std::uint8_t kind;  // 0 none, 1 normal, 2 user-coloured in either radar window
    std::uint8_t reserved;
    std::int16_t fl;  // feet / 100
    float x, y, z;    // radar window 1's scene coordinates
    float colour[3];  // red, green, blue 0..1, as radar window 1 last drew the target
    std::uint32_t reserved2;
};
static_assert(sizeof(TrailPoint) == 32);

class TrailStore {
  public:
    TrailStore();
    ~TrailStore();
    TrailStore(const TrailStore&) = delete;
    TrailStore& operator=(const TrailStore&) = delete;

    TrailPoint* Ring(int ring) { return points_ + static_cast<std::size_t>(ring) * kTrailPoints; }
    const TrailPoint* Ring(int ring) const {
        return points_ + static_cast<std::size_t>(ring) * kTrailPoints;
    }
    TrailPoint& Point(int ring, int index) { return Ring(ring)[index]; }

    // Lowest ring not in use, marked in use and emptied; ring 1999 (shared, not emptied)
    // when every ring is taken.
    int TakeRing();
    void ReleaseRing(int ring) {
        if (ring >= 0 && ring < kTrailRings) inuse_[static_cast<std::size_t>(ring)] = 0;
    }
    void ReleaseAllRings() { inuse_.fill(0); }
    bool InUse(int ring) const { return inuse_[static_cast<std::size_t>(ring)] != 0; }

  private:
    TrailPoint* points_ = nullptr;
    std::size_t bytes_ = 0;
    std::array<std::uint8_t, kTrailRings> inuse_{};
    std::array<bool, kTrailRings> everTaken_{};  // a ring never taken holds no points
};

}  // namespace aerova
