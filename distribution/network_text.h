#pragma once
// Texts the station derives from a network flight report's fields: the speed and track
// columns. The altitude label and the vertical-rate code are in core/target_labels.h.

#include <string>
#include <string_view>

namespace aerova {

// The part before the decimal point right-aligned in four characters; four blanks for an
// empty text, "0.0" or a text without a decimal point.
std::string SpeedText(std::string_view gs);

// The trimmed text's part before the decimal point, three digits with leading zeros; empty
// for an empty text or "0.0".
std::string TrackText(std::string_view track);

}  // namespace aerova
