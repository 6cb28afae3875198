#include "base/metar_pressure.h"

#include <gtest/gtest.h>

namespace aerova {
namespace {

TEST(MetarPressureTest, WholeGroupsOnlyHpaFirst) {
    const struct {
        const char* metar;
        char unit;  // 0: none
        int value;
    } cases[] = {
        {"EDDH 201050Z AUTO 27010KT 9999 FEW030 15/08 Q1013 NOSIG", 'Q', 1013},
        {"2024/05/20 10:50\nEGLL 201050Z 24010KT 9999 Q0998=\n", 'Q', 998},
        // "AUTO" is no altimeter group; the real one comes later.
        {"KJFK 201051Z AUTO 18012KT 10SM CLR 22/12 A2992 RMK AO2", 'A', 2992},
        {"KXYZ 201051Z A2992 Q1020", 'Q', 1020},
        {"KXYZ 201051Z AUTO NIL", 0, 0},
        {"EDDH 201050Z Q101 A29920 QNH1013", 0, 0},
        {"", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.metar);
        const auto p = FindMetarPressure(c.metar);
        ASSERT_EQ(p.has_value(), c.unit != 0);
        if (!p) continue;
        EXPECT_EQ(p->unit, c.unit);
        EXPECT_EQ(p->value, c.value);
    }
}

}  // namespace
}  // namespace aerova
