#include "database/image_search.h"

namespace aerova {

std::string ImageSearchQuery(std::string_view pattern, const TSQLAircraft& row) {
    std::string query;
    std::size_t i = 0;
    while (i < pattern.size()) {
        if (pattern[i] == '%') {
            std::size_t j = i + 1;
            std::size_t column = 0;
            while (j < pattern.size() && pattern[j] >= '0' && pattern[j] <= '9') {
                // Beyond the row every number is as good as another: no column.
                if (column <= static_cast<std::size_t>(kAircraftColumns))
                    column = column * 10 + static_cast<std::size_t>(pattern[j] - '0');
                ++j;
            }
            if (j > i + 1 && j < pattern.size() && pattern[j] == '+') {
                if (column < row.columns.size()) query += row.columns[column];
                if (j + 1 < pattern.size()) query += '+';
                i = j + 1;
                continue;
            }
        }
        query += pattern[i++];
    }
    return query;
}

std::string ImageSearchUrl(std::string_view base, std::string_view query) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string url(base);
    for (const char c : query) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') ||
            b == '-' || b == '.' || b == '_' || b == '~' || b == '+') {
            url += c;
        } else {
            url += '%';
            url += kHex[b >> 4];
            url += kHex[b & 15];
        }
    }
    return url;
}

}  // namespace aerova
