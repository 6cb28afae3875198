#pragma once
// Compact Position Reporting (ICAO Annex 10, Vol. IV, Appendix to Chapter 3 / DO-260B
// A.1.7): the latitude-zone table NL and the global, local and surface decoders. Pure
// functions of their inputs; the receiver position travels in DecoderReference.

#include <optional>

namespace aerova {

// The reference values the decoder works against: the receiver position, the tolerances
// derived from it, and the operator's choice of global-only CPR decoding (radar window 1's
// "Use global CPR decoding" button, `sbcpr`).
struct DecoderReference {
    DecoderReference();
    double homelat;
    double homelon;
    double tolclose;  // degrees of longitude for 2 degrees of latitude at the home position
    double tolwide;   // the same for 4.5 degrees
    double tolpair;   // the same for 0.1 degree: agreement of the two halves of a pair
    bool sbcpr = false;
};

// Sets homelat and homelon and the three longitude tolerances for that latitude.
void SetDecoderHome(DecoderReference& ref, double lat, double lon);

// Number of longitude zones NL at a latitude (1 to 59); the table is built once in
// extended precision. Latitudes beyond the poles and NaN give 1.
int NL(double lat);

struct CprPosition {
    double lat;
    double lon;
};

// Global decoding of an even (0) / odd (1) pair of 17-bit CPR values; `oddIsRecent` picks
// the half whose zone gives the result. Fails when the halves disagree.
std::optional<CprPosition> CprGlobal(const DecoderReference& ref, int yz0, int yz1, int xz0,
                                     int xz1, bool oddIsRecent);

// Airborne decoding relative to a reference position within half a zone; format i 0 or 1.
std::optional<CprPosition> CprLocal(int yz, int xz, int i, double reflat, double reflon);

// Surface decoding (90-degree zones) relative to the receiver position. Surface zones repeat
// every 1.5 degrees of latitude, so only a fix near the reference can be trusted: one
// farther than kMaxSurfaceRangeNm from it is refused (no ground target is heard that far).
constexpr double kMaxSurfaceRangeNm = 45;
std::optional<CprPosition> CprSurface(int yz, int xz, int i, double homelat, double homelon);

// Great-circle distance in nautical miles on a spherical earth.
double DistanceNm(double lat1, double lon1, double lat2, double lon2);

}  // namespace aerova
