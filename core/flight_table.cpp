#include "core/flight_table.h"

namespace aerova {

FlightTable::FlightTable() {
    for (int i = 0; i < kMaxFlights; ++i) InitSlot(i);
}

namespace {

// An address of 1 to 6 characters as one number: its length and its bytes.
std::uint64_t AddressKey(std::string_view modes) {
    std::uint64_t key = modes.size();
    for (char c : modes) key = (key << 8) | static_cast<unsigned char>(c);
    return key;
}

std::size_t HintIndex(std::uint64_t key, std::size_t capacity) {
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 40) & (capacity - 1);
}

}  // namespace

int FlightTable::FindFlight(std::string_view modes) const {
    // Texts the index cannot hold: no slot holds more than six characters.
    if (modes.size() > Text<6>::capacity()) return -1;
    if (modes.empty()) return ScanFlight(modes);
    const std::uint64_t key = AddressKey(modes);
    std::size_t i = HintIndex(key, kHintCapacity);
    while (hints_[i].key != 0 && hints_[i].key != key) i = (i + 1) & (kHintCapacity - 1);
    if (hints_[i].key == key) {
        const Tflight& f = flights[static_cast<std::size_t>(hints_[i].slot)];
        if (!f.deleted && f.modes == modes) return hints_[i].slot;
    }
    const int slot = ScanFlight(modes);
    if (slot < 0) return slot;
    if (hints_[i].key == key) {
        hints_[i].slot = slot;
        return slot;
    }
    if (hintCount_ >= kHintCapacity / 2) {
        hints_.fill(AddressHint{});
        hintCount_ = 0;
        i = HintIndex(key, kHintCapacity);
    }
    hints_[i] = AddressHint{key, slot};
    ++hintCount_;
    return slot;
}

int FlightTable::ScanFlight(std::string_view modes) const {
    for (int i = 0; i < kMaxFlights; ++i) {
        const Tflight& f = flights[static_cast<std::size_t>(i)];
        if (!f.deleted && f.modes == modes) return i;
    }
    return -1;
}

void FlightTable::PrepareSlot(int slot) {
    Tflight& f = flights[static_cast<std::size_t>(slot)];
    f.alerted = false;
    f.hassel = false;
    ResetHistory(slot);
    f.announceair = true;
    f.wind.clear();
    f.windvalid = false;
    f.trailring = trails.TakeRing();
}

int FlightTable::AllocateSlot() {
    for (int i = 0; i < kMaxFlights; ++i) {
        if (!flights[static_cast<std::size_t>(i)].free) continue;
        PrepareSlot(i);
        return i;
    }
    return -1;
}

bool FlightTable::IsStaleJunk(const Tflight& f, DayTime now) {
    return !f.free && f.reports == 1 && f.nopos && !f.vessel && f.firstseen < now - 1.0 / 1440.0;
}

int FlightTable::NewTargetSlot(bool vessel, DayTime now) {
    int slot = AllocateSlot();
    if (slot < 0) {
        for (int i = 0; i < kMaxFlights && slot < 0; ++i) {
            if (!IsStaleJunk(flights[static_cast<std::size_t>(i)], now)) continue;
            ForgetInWindows(i);
            ResetHistory(i);
            FreeSlot(i);
            slot = AllocateSlot();
        }
    }
    if (slot < 0) return -1;
    InitSlot(slot);
    Tflight& f = flights[static_cast<std::size_t>(slot)];
    f.nopos = true;
    f.peerfield6 = "0";
    f.vessel = vessel;
    f.announceair = true;
    return slot;
}

void FlightTable::InitSlot(int slot) {
    Tflight& f = flights[static_cast<std::size_t>(slot)];
    const std::int64_t dbid = f.dbid;
    const DayTime windtime = f.windtime;
    const int ring = f.trailring;
    f = Tflight{};
    f.dbid = dbid;
    f.windtime = windtime;
    // The ring table is not InitSlot's: the slot keeps naming its ring until it is reused.
    f.trailring = ring;
    for (auto& w : windows) {
        w.usercolour[static_cast<std::size_t>(slot)] = false;
    }
}

int FlightTable::AddFlightRecord(const Tflight& record) {
    for (int i = 0; i < kMaxFlights; ++i) {
        Tflight& f = flights[static_cast<std::size_t>(i)];
        if (!f.deleted) continue;
        // A deleted slot that is not yet free still owns its ring: give it back before the
        // slot takes a new one, or the old ring stays marked in use for good.
        if (!f.free) trails.ReleaseRing(f.trailring);
        f = record;
        PrepareSlot(i);
        return i;
    }
    return -1;
}

void FlightTable::ResetFlightTable() {
    for (int i = 0; i < kMaxFlights; ++i) InitSlot(i);
    // Every slot is free now and owns no ring: a ring left marked would never be taken again.
    trails.ReleaseAllRings();
    for (auto& w : windows) w.selected = -1;
}

void FlightTable::FreeSlot(int slot) {
    Tflight& f = flights[static_cast<std::size_t>(slot)];
    f.free = true;
    trails.ReleaseRing(f.trailring);
}

void FlightTable::ResetHistory(int slot) {
    PositionHistory& h = history[static_cast<std::size_t>(slot)];
    h.writepos = 0;
    h.wrapped = false;
}

void FlightTable::AddHistoryPoint(int slot, std::int32_t fl, float lat, float lon) {
    PositionHistory& h = history[static_cast<std::size_t>(slot)];
    h.entries[static_cast<std::size_t>(h.writepos)] =
        HistoryEntry{lat, lon, static_cast<float>(fl)};
    if (++h.writepos >= kHistoryLength) {
        h.writepos = 0;
        h.wrapped = true;
    }
}

int FlightTable::FindPeer(std::string_view ip, std::int32_t port) const {
    for (int i = 0; i < kMaxPeers; ++i) {
        const TPeer& p = peers[static_cast<std::size_t>(i)];
        if (!p.free && p.ip == ip && p.port == port) return i;
    }
    return -1;
}

int FlightTable::AddPeer(const TPeer& peer) {
    for (int i = 0; i < kMaxPeers; ++i) {
        TPeer& p = peers[static_cast<std::size_t>(i)];
        if (!p.free) continue;
        p = peer;
        p.free = false;
        return i;
    }
    return -1;
}

void FlightTable::FreeAllPeers() {
    for (auto& p : peers) p.free = true;
}

void FlightTable::ForgetInWindows(int slot) {
    for (auto& w : windows) {
        if (w.highlighted == slot) w.highlighted = -1;
        if (w.selected == slot) w.selected = -1;
        if (w.followed == slot) w.followed = -1;
    }
}

}  // namespace aerova
