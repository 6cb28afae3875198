#pragma once
// The query of the Aircraft Details window's image search, built from the setting
// `Google`/`imagesearch` (default "%6+registration"): "%" + a column number + "+" inserts
// that column of the aircraft's database row, followed by "+" unless the pattern ends there;
// every other character is copied.

#include <string>
#include <string_view>

#include "core/flight.h"

namespace aerova {

constexpr std::string_view kDefaultImageSearch = "%6+registration";

std::string ImageSearchQuery(std::string_view pattern, const TSQLAircraft& row);

// `base` (the search page's address up to and including its query key, e.g.
// "https://images.example/search?q=") followed by the query, percent-encoded except for the
// "+" that separates its words.
std::string ImageSearchUrl(std::string_view base, std::string_view query);

}  // namespace aerova
