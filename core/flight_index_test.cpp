// FindFlight's address index must answer exactly as a scan for the lowest live slot.

#include <gtest/gtest.h>

#include <memory>

#include "core/flight_table.h"

namespace aerova {
namespace {

void Live(FlightTable& t, int slot, const char* modes) {
    t.flights[slot].modes = modes;
    t.flights[slot].deleted = false;
    t.flights[slot].free = false;
}

TEST(FlightIndexTest, AnswersFollowSlotsThatMoveOrDie) {
    auto t = std::make_unique<FlightTable>();
    Live(*t, 5, "4CA1FA");
    EXPECT_EQ(t->FindFlight("4CA1FA"), 5);
    EXPECT_EQ(t->FindFlight("4CA1FA"), 5);
    t->flights[5].deleted = true;  // aged out behind the index's back
    EXPECT_EQ(t->FindFlight("4CA1FA"), -1);
    Live(*t, 9, "4CA1FA");  // a new slot for the same address
    EXPECT_EQ(t->FindFlight("4CA1FA"), 9);
    t->InitSlot(9);
    EXPECT_EQ(t->FindFlight("4CA1FA"), -1);
    Live(*t, 9, "3C6586");  // the slot reused for another address
    EXPECT_EQ(t->FindFlight("4CA1FA"), -1);
    EXPECT_EQ(t->FindFlight("3C6586"), 9);
    EXPECT_EQ(t->FindFlight("3C658"), -1);
    EXPECT_EQ(t->FindFlight("3C65861"), -1);
    EXPECT_EQ(t->FindFlight(""), -1);
}

TEST(FlightIndexTest, ManyAddressesAndIndexRefills) {
    auto t = std::make_unique<FlightTable>();
    char icao[8];
    // More distinct addresses over time than the index holds at once.
    for (int round = 0; round < 6; ++round) {
        for (int i = 0; i < kMaxFlights; ++i) {
            std::snprintf(icao, sizeof icao, "%06X", round * 0x10000 + i);
            Live(*t, i, icao);
        }
        for (int i = 0; i < kMaxFlights; i += 7) {
            std::snprintf(icao, sizeof icao, "%06X", round * 0x10000 + i);
            ASSERT_EQ(t->FindFlight(icao), i);
        }
        std::snprintf(icao, sizeof icao, "%06X", (round + 1) * 0x10000 + 1);
        ASSERT_EQ(t->FindFlight(icao), -1);
    }
}

}  // namespace
}  // namespace aerova
