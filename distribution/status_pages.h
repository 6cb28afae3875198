#pragma once
// The status pages the picture job publishes for the panorama server: every flight slot in
// use ("~temp.htm") and every peer station heard ("~tempp.htm"), as HTML tables. Lines end
// with CR LF. The caller holds the station mutex while a page is built.

#include <string>
#include <string_view>

#include "core/flight_table.h"

namespace aerova {

// & < > " ' as entities; every other byte (Latin-1 letters) kept.
std::string HtmlEscaped(std::string_view text);

// One row per slot that is not free, in slot order. `time` is the station clock as shown
// after "Time: ".
std::string FlightStatusPage(const FlightTable& table, std::string_view time);
// One row per peer slot in use.
std::string PeerStatusPage(const FlightTable& table, std::string_view time);

}  // namespace aerova
