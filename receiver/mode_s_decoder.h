#pragma once
// Decoding of one checked Mode-S frame into the decoder's record of the aircraft that sent
// it. Two entry points: extended squitters (DF 17-19) and short replies / long Comm-B
// replies (DF 0, 4, 5, 11, 20, 21). Both write only the record they are given, against the
// explicit reference values in DecoderReference; a field they cannot use is left as it was.

#include <cstdint>
#include <span>
#include <string_view>

#include "core/sbs_flight.h"
#include "receiver/altitude_codes.h"
#include "receiver/cpr.h"

namespace aerova {

// '0' + v (a character beyond '9' for values above 9).
char DigitOf(int v);

// One 6-bit character of an identification (ICAO Annex 10, Vol. IV, Table 3-9 subset):
// letters and digits are kept, everything else reads as a space.
char CharOf(int code);

// Eight 6-bit characters from six bytes (ME or MB bits 9-56) into the call sign; spaces kept.
void SetCallsign(TSBSFlight& target, const std::uint8_t* sixBytes);

// Ground track in degrees from the east-west and north-south velocity components
// (components of -1 carry no information).
CodeText TrackText(int vns, int vew, int dns, int dew);

// Writes a latitude or longitude as the shortest decimal text with at most 15 significant
// digits, never in exponent form; the record's field keeps its first 9 (lat) or 10 (lon)
// characters.
void WriteLatLon(TSBSFlight& target, double lat, double lon);

// Whether an extended squitter with this first byte carries an ADS-B message about an ICAO
// address: DF 17; DF 18 with control field 0 (ADS-B), 2 (fine TIS-B) or 6 (ADS-R); DF 19
// with application field 0. The other control fields carry non-ICAO addresses (1, 5), which
// the record can't keep apart from ICAO ones, or other layouts (3 coarse TIS-B, 4 TIS-B
// management, 7); they are skipped.
bool CarriesAdsbWithIcaoAddress(std::uint8_t firstbyte);

// ME field (7 bytes) of an extended squitter whose first byte (DF and CA) is `firstbyte`;
// nothing for a squitter that CarriesAdsbWithIcaoAddress refuses.
void DecodeExtendedSquitter(TSBSFlight& target, std::uint8_t firstbyte,
                            std::span<const std::uint8_t> me, const DecoderReference& ref);

// A short reply or long Comm-B reply: `data` is the frame from its second byte to its end
// (6 or 13 bytes, the last three holding the address or the DF 11 remainder).
void DecodeShortOrCommB(TSBSFlight& target, std::uint8_t firstbyte,
                        std::span<const std::uint8_t> data);

// The per-target CPR state machine for one airborne position (17-bit YZ and XZ, format F).
void AirborneCpr(TSBSFlight& target, int yz, int xz, int f, const DecoderReference& ref);

}  // namespace aerova
