#include "base/metar_pressure.h"

#include <cstddef>

namespace aerova {
namespace {

std::optional<int> GroupValue(std::string_view group, char letter) {
    if (!group.empty() && group.back() == '=') group.remove_suffix(1);
    if (group.size() != 5 || group[0] != letter) return std::nullopt;
    int value = 0;
    for (std::size_t i = 1; i < 5; ++i) {
        if (group[i] < '0' || group[i] > '9') return std::nullopt;
        value = value * 10 + (group[i] - '0');
    }
    return value;
}

std::optional<int> FirstGroup(std::string_view text, char letter) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t start = text.find_first_not_of(" \t\r\n", pos);
        if (start == std::string_view::npos) break;
        std::size_t end = text.find_first_of(" \t\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        if (const auto value = GroupValue(text.substr(start, end - start), letter)) return value;
        pos = end;
    }
    return std::nullopt;
}

}  // namespace

std::optional<MetarPressure> FindMetarPressure(std::string_view metar) {
    if (const auto hpa = FirstGroup(metar, 'Q')) return MetarPressure{'Q', *hpa};
    if (const auto inches = FirstGroup(metar, 'A')) return MetarPressure{'A', *inches};
    return std::nullopt;
}

}  // namespace aerova
