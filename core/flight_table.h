#pragma once
// The flight table: 2000 target slots, their trail rings and position histories, the 32
// peer stations and the last chat message. Allocated once; nothing grows per report.

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

#include "core/flight.h"
#include "core/trail_store.h"

namespace aerova {

constexpr int kHistoryLength = 30;
constexpr int kHistoryRoom = 60;

struct HistoryEntry {
    float lat = 0, lon = 0, fl = 0;
};

struct PositionHistory {
    std::int32_t writepos = 0;
    bool wrapped = false;
    std::array<HistoryEntry, kHistoryRoom> entries{};
};

// What the station keeps about the targets per radar window and must clear when a slot is
// reset or deleted: the user-colour mark and colour of each target, set by the main cycle
// from the window's colour settings (trails and list files read them, painting never writes
// them), and the highlighted, selected and followed target (-1 = none).
struct WindowTargetMarks {
    std::array<bool, kMaxFlights> usercolour{};
    std::array<std::array<float, 3>, kMaxFlights> colour{};  // red, green, blue 0 to 1
    int highlighted = -1;
    int selected = -1;
    int followed = -1;
};

class FlightTable {
  public:
    FlightTable();

    std::array<Tflight, kMaxFlights> flights;
    std::array<PositionHistory, kMaxFlights> history;
    std::array<TPeer, kMaxPeers> peers;
    std::array<WindowTargetMarks, 2> windows;
    TChat chat;
    TrailStore trails;

    // Lowest live slot holding exactly `modes`; -1 if none.
    int FindFlight(std::string_view modes) const;
    // Lowest free slot, prepared for a new target; -1 when none is free.
    int AllocateSlot();
    // Lowest free slot made ready for a newly reported target (an aircraft or a vessel): a
    // fresh record without a position, to be announced to peers. When none is free, the slot
    // of a target that has had a single report and no position for a minute is freed for
    // it (IsStaleJunk): a flood of junk reports can't hold every slot for the deleted-slot
    // time. -1 when there is neither.
    int NewTargetSlot(bool vessel, DayTime now);
    // A target heard once, without a position, more than a minute ago.
    static bool IsStaleJunk(const Tflight& f, DayTime now);
    // Resets one slot to the free state. Leaves the trail ring table alone.
    void InitSlot(int slot);
    // Copies a complete record into the lowest deleted slot and prepares it; -1 if none.
    int AddFlightRecord(const Tflight& record);
    // Every slot free, no selected target in either window. Reception start.
    void ResetFlightTable();
    // Turns a deleted slot into a free one and releases its trail ring.
    void FreeSlot(int slot);

    void ResetHistory(int slot);
    void AddHistoryPoint(int slot, std::int32_t fl, float lat, float lon);

    // Lowest in-use peer with this address and port; -1 if none.
    int FindPeer(std::string_view ip, std::int32_t port) const;
    int AddPeer(const TPeer& peer);
    void FreeAllPeers();

    bool IsUserColoured(int slot) const {
        return windows[0].usercolour[slot] || windows[1].usercolour[slot];
    }
    // Forgets `slot` in both windows: highlight, selection, follow and on-screen mark.
    void ForgetInWindows(int slot);

  private:
    void PrepareSlot(int slot);
    int ScanFlight(std::string_view modes) const;

    // Address index for FindFlight. Slots are written directly by many parts of the
    // station, so an entry is only a hint: it is used when its slot is still live with that
    // address (the one live slot an address may have), and otherwise the table is scanned
    // and the hint renewed. Entries are never removed one by one; the index is emptied when
    // half full.
    struct AddressHint {
        std::uint64_t key = 0;  // 0: empty
        std::int32_t slot = -1;
    };
    static constexpr std::size_t kHintCapacity = 8192;
    mutable std::array<AddressHint, kHintCapacity> hints_{};
    mutable std::size_t hintCount_ = 0;
};

}  // namespace aerova
