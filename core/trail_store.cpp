#include "core/trail_store.h"

#include <sys/mman.h>

#include <new>

namespace aerova {

TrailStore::TrailStore() {
    bytes_ = sizeof(TrailPoint) * static_cast<std::size_t>(kTrailRings) * kTrailPoints;
    void* p = mmap(nullptr, bytes_, PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    points_ = static_cast<TrailPoint*>(p);
}

TrailStore::~TrailStore() {
    munmap(points_, bytes_);
}

int TrailStore::TakeRing() {
    for (int r = 0; r < kTrailRings; ++r) {
        if (inuse_[static_cast<std::size_t>(r)] != 0) continue;
        inuse_[static_cast<std::size_t>(r)] = 1;
        if (everTaken_[static_cast<std::size_t>(r)]) {
            TrailPoint* ring = Ring(r);
            for (int i = 0; i < kTrailPoints; ++i) ring[i].kind = 0;
        }
        everTaken_[static_cast<std::size_t>(r)] = true;
        return r;
    }
    inuse_[kTrailRings - 1] = 1;
    return kTrailRings - 1;
}

}  // namespace aerova
