#include "core/flight_table.h"

#include <gtest/gtest.h>

#include <memory>

namespace aerova {
namespace {

// The table is large; keep one per test on the heap.
std::unique_ptr<FlightTable> NewTable() {
    return std::make_unique<FlightTable>();
}

void MakeLive(FlightTable& t, int slot, const char* modes) {
    t.flights[slot].modes = modes;
    t.flights[slot].deleted = false;
    t.flights[slot].free = false;
}

TEST(FlightTableTest, InitialSlotsAreFreeWithoutPosition) {
    auto t = NewTable();
    const Tflight& f = t->flights[0];
    EXPECT_TRUE(f.deleted);
    EXPECT_TRUE(f.free);
    EXPECT_TRUE(f.nopos);
    EXPECT_EQ(f.mcpmode, ' ');
    EXPECT_EQ(f.fl, -9);
    EXPECT_EQ(f.prevfl, -9);
}

TEST(FlightTableTest, NewTargetSlotIsAFreshRecordToAnnounce) {
    auto t = NewTable();
    t->flights[0].free = false;
    t->flights[1].labeltext = "OLD";  // left over from the slot's last target
    t->flights[1].peerfield6 = "5";
    for (const bool vessel : {false, true}) {
        const int slot = t->NewTargetSlot(vessel, 45000.5);
        ASSERT_GE(slot, 1);
        const Tflight& f = t->flights[static_cast<std::size_t>(slot)];
        EXPECT_TRUE(f.labeltext.empty());
        EXPECT_EQ(f.peerfield6, "0");
        EXPECT_EQ(f.vessel, vessel);
        EXPECT_TRUE(f.nopos);
        EXPECT_TRUE(f.announceair);
        EXPECT_TRUE(t->trails.InUse(f.trailring));
        t->flights[static_cast<std::size_t>(slot)].free = false;
    }
}

TEST(FlightTableTest, FindFlightIgnoresDeletedSlotsHoldingTheAddress) {
    auto t = NewTable();
    const int a = t->AllocateSlot();
    ASSERT_EQ(a, 0);
    MakeLive(*t, a, "4CA1FA");
    EXPECT_EQ(t->FindFlight("4CA1FA"), 0);
    EXPECT_EQ(t->FindFlight("4ca1fa"), -1);
    t->flights[a].deleted = true;
    EXPECT_EQ(t->FindFlight("4CA1FA"), -1);
    EXPECT_EQ(t->AllocateSlot(), 1) << "a deleted slot that is not yet free is not allocated";
}

TEST(FlightTableTest, RingsAreTakenLowestFirstAndRing1999IsSharedWhenAllAreUsed) {
    auto t = NewTable();
    for (int i = 0; i < kMaxFlights; ++i) {
        t->flights[i].free = true;
        const int slot = t->AllocateSlot();
        ASSERT_EQ(slot, i);
        t->flights[slot].free = false;
        ASSERT_EQ(t->flights[slot].trailring, i);
    }
    EXPECT_EQ(t->AllocateSlot(), -1);
    // Every ring is in use: a new target shares ring 1999 without it being emptied.
    t->trails.Point(1999, 5).kind = 1;
    t->flights[7].free = true;
    t->flights[7].deleted = true;
    EXPECT_EQ(t->AllocateSlot(), 7);
    EXPECT_EQ(t->flights[7].trailring, 1999);
    EXPECT_EQ(t->trails.Point(1999, 5).kind, 1);
    // A released ring is emptied when it is taken again.
    t->trails.Point(3, 10).kind = 2;
    t->FreeSlot(3);
    EXPECT_FALSE(t->trails.InUse(3));
    EXPECT_EQ(t->AllocateSlot(), 3);
    EXPECT_EQ(t->flights[3].trailring, 3);
    EXPECT_EQ(t->trails.Point(3, 10).kind, 0);
}

TEST(FlightTableTest, AddFlightRecordTakesTheLowestDeletedSlotAndGivesBackItsRing) {
    auto t = NewTable();
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(t->AllocateSlot(), i);
        MakeLive(*t, i, "000001");
    }
    // Slot 1 is deleted but still waits for its deleted time-out: it owns ring 1.
    t->flights[1].deleted = true;
    t->flights[0].deleted = false;
    Tflight record;
    record.modes = "3C6586";
    record.flightid = "DLH4AB";
    record.deleted = true;
    record.free = false;
    EXPECT_EQ(t->AddFlightRecord(record), 1);
    EXPECT_EQ(t->flights[1].flightid, "DLH4AB");
    EXPECT_TRUE(t->flights[1].announceair);
    // The old ring was released first, so the lowest free ring is ring 1 again and no
    // ring is lost.
    EXPECT_EQ(t->flights[1].trailring, 1);
    int used = 0;
    for (int r = 0; r < kTrailRings; ++r) used += t->trails.InUse(r) ? 1 : 0;
    EXPECT_EQ(used, 3);
}

TEST(FlightTableTest, RingsDoNotLeakWhenPeersKeepReplacingDeletedSlots) {
    auto t = NewTable();
    ASSERT_EQ(t->AllocateSlot(), 0);
    MakeLive(*t, 0, "000001");
    for (int round = 0; round < 5000; ++round) {
        t->flights[0].deleted = true;  // deleted, not yet free
        Tflight record;
        record.deleted = false;
        record.free = false;
        ASSERT_EQ(t->AddFlightRecord(record), 0);
    }
    EXPECT_EQ(t->flights[0].trailring, 0);
    EXPECT_FALSE(t->trails.InUse(1));
}

TEST(FlightTableTest, ResetGivesBackEveryRing) {
    auto t = NewTable();
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 10; ++i) {
            const int slot = t->AllocateSlot();
            ASSERT_GE(slot, 0);
            t->flights[static_cast<std::size_t>(slot)].free = false;
            EXPECT_EQ(t->flights[static_cast<std::size_t>(slot)].trailring, i) << "round " << round;
        }
        t->ResetFlightTable();
        int inUse = 0;
        for (int ring = 0; ring < kTrailRings; ++ring) inUse += t->trails.InUse(ring);
        EXPECT_EQ(inUse, 0);
    }
}

TEST(FlightTableTest, HistoryWrapsAfterThirtyEntries) {
    auto t = NewTable();
    for (int i = 0; i < 31; ++i) t->AddHistoryPoint(4, 100 + i, 50.0f + i, 8.0f);
    const PositionHistory& h = t->history[4];
    EXPECT_TRUE(h.wrapped);
    EXPECT_EQ(h.writepos, 1);
    EXPECT_EQ(h.entries[0].fl, 130.0f);
    EXPECT_EQ(h.entries[0].lat, 80.0f);
    EXPECT_EQ(h.entries[29].fl, 129.0f);
    t->ResetHistory(4);
    EXPECT_FALSE(t->history[4].wrapped);
    EXPECT_EQ(t->history[4].writepos, 0);
}

TEST(FlightTableTest, ResetClearsSelectionAndUserColourButKeepsDatabaseId) {
    auto t = NewTable();
    t->flights[5].dbid = 77;
    t->flights[5].flightid = "BAW1";
    t->windows[1].usercolour[5] = true;
    t->windows[0].selected = 5;
    t->ResetFlightTable();
    EXPECT_EQ(t->flights[5].dbid, 77);
    EXPECT_TRUE(t->flights[5].flightid.empty());
    EXPECT_FALSE(t->IsUserColoured(5));
    EXPECT_EQ(t->windows[0].selected, -1);
}

TEST(FlightTableTest, PeersByAddressAndPort) {
    auto t = NewTable();
    TPeer p;
    p.ip = "127.0.0.1";
    p.port = 7979;
    EXPECT_EQ(t->AddPeer(p), 0);
    p.port = 7980;
    EXPECT_EQ(t->AddPeer(p), 1);
    EXPECT_EQ(t->FindPeer("127.0.0.1", 7980), 1);
    EXPECT_EQ(t->FindPeer("127.0.0.2", 7979), -1);
    for (int i = 2; i < kMaxPeers; ++i) ASSERT_EQ(t->AddPeer(p), i);
    EXPECT_EQ(t->AddPeer(p), -1);
    t->FreeAllPeers();
    EXPECT_EQ(t->FindPeer("127.0.0.1", 7979), -1);
}

}  // namespace
}  // namespace aerova
