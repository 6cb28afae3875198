#pragma once
// The pressure group of a METAR: "Q" and four digits of hPa (Europe and most of the world),
// or "A" and four digits of hundredths of an inch of mercury (North America). Only a whole
// group counts: "AUTO", "QNH1013" or "A29920" are no pressure groups, although a search for
// " A" or " Q" would find them.

#include <optional>
#include <string_view>

namespace aerova {

struct MetarPressure {
    char unit = 'Q';  // 'Q': hPa, 'A': hundredths of an inch of mercury
    int value = 0;    // the four digits
};

// The first "Q" group, else the first "A" group; a group may end the report with "=".
std::optional<MetarPressure> FindMetarPressure(std::string_view metar);

}  // namespace aerova
