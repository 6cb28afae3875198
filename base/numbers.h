#pragma once
// Number texts as the station reads and writes them: "." is the decimal point whatever
// the locale, "$" starts a hexadecimal integer, and where a datagram or file field does
// not parse, integers read as 1 and reals as 1.0.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace aerova {

// Leading blanks are skipped; an optional sign; decimal digits or "$"/"0x" + hex digits;
// nothing may follow. Out of the 32-bit range is unreadable.
std::optional<std::int32_t> TryParseInt(std::string_view text);
std::optional<std::int64_t> TryParseInt64(std::string_view text);
// Blanks around the number are skipped; "." decimal point, optional exponent.
std::optional<double> TryParseReal(std::string_view text);

// The datagram rule: unreadable integer reads as 1, unreadable real as 1.0.
std::int32_t IntOf(std::string_view text);
double RealOf(std::string_view text);

std::int32_t IntOr(std::string_view text, std::int32_t fallback);
double RealOr(std::string_view text, double fallback);

// Shortest general text of a real with at most 15 significant digits, "." as decimal
// point, scientific form ("1.5E-7", "2E20") only below 1E-5 or from 1E15 up.
std::string RealToText(double value);
// The shortest text that reads back as exactly the same double, "." as decimal point
// whatever the locale (settings files must read the same on every machine).
std::string RealToShortestText(double value);
// Fixed number of decimals, "." as decimal point.
std::string RealToFixed(double value, int decimals);
// Upper-case hexadecimal, at least `digits` wide.
std::string IntToHex(std::uint64_t value, int digits);

}  // namespace aerova
