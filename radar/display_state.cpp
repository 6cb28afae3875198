#include "radar/display_state.h"

#include <cstdio>

namespace aerova {

const std::vector<std::string>& FilterItems() {
    static const std::vector<std::string> items = [] {
        std::vector<std::string> v{"UNL"};
        char level[4];
        for (int fl = 450; fl >= 0; fl -= 10) {
            std::snprintf(level, sizeof level, "%03d", fl);
            v.emplace_back(level);
        }
        v.emplace_back("GND");
        return v;
    }();
    return items;
}

}  // namespace aerova
