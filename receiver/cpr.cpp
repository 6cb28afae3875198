#include "receiver/cpr.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace aerova {

namespace {

constexpr double kCprScale = 131072.0;  // 2^17: the 17-bit CPR latitude and longitude

// T[n] = the highest latitude with n longitude zones, for n = 1 to 59 (T[0] unused).
const std::array<long double, 60>& TransitionLatitudes() {
    static const std::array<long double, 60> table = [] {
        std::array<long double, 60> t{};
        const long double pi = std::numbers::pi_v<long double>;
        t[1] = 90.0L;
        for (int n = 2; n <= 59; ++n) {
            long double ratio = (1.0L - std::cos(pi / 30.0L)) / (1.0L - std::cos(2.0L * pi / n));
            t[n] = (180.0L / pi) * std::acos(std::sqrt(ratio));
        }
        return t;
    }();
    return table;
}

double Mod(double x, double z) {
    return z == 0.0 ? 0.0 : x - z * std::floor(x / z);
}

bool ValidCprValue(int v) {
    return v >= 0 && v < 131072;
}

}  // namespace

DecoderReference::DecoderReference() {
    SetDecoderHome(*this, 53.53333, 10.16667);
}

void SetDecoderHome(DecoderReference& ref, double lat, double lon) {
    ref.homelat = lat;
    ref.homelon = lon;
    double c = std::cos(lat * std::numbers::pi / 180.0);
    ref.tolwide = 4.5 / c;
    ref.tolclose = 2.0 / c;
    ref.tolpair = 0.1 / c;
}

int NL(double lat) {
    const auto& t = TransitionLatitudes();
    long double a = std::fabs(static_cast<long double>(lat));
    if (!(a <= 90.0L)) return 1;
    // T falls with n: find the largest n with a <= T[n].
    int lo = 1, hi = 59;
    while (lo < hi) {
        int mid = (lo + hi + 1) / 2;
        if (a <= t[mid])
            lo = mid;
        else
            hi = mid - 1;
    }
    return lo;
}

std::optional<CprPosition> CprGlobal(const DecoderReference& ref, int yz0, int yz1, int xz0,
                                     int xz1, bool oddIsRecent) {
    if (yz0 == 0 || xz0 == 0 || (yz1 == 0 && xz1 == 0)) return std::nullopt;
    if (!ValidCprValue(yz0) || !ValidCprValue(yz1) || !ValidCprValue(xz0) || !ValidCprValue(xz1))
        return std::nullopt;
    double y0 = yz0 / kCprScale, y1 = yz1 / kCprScale;
    double j = std::floor((59.0 * yz0 - 60.0 * yz1) / kCprScale + 0.5);
    double lat0 = 6.0 * (Mod(j, 60.0) + y0);
    double lat1 = (360.0 / 59.0) * (Mod(j, 59.0) + y1);
    if (lat0 >= 270.0) lat0 -= 360.0;
    if (lat1 >= 270.0) lat1 -= 360.0;
    if (lat0 < -90.0 || lat0 > 90.0 || lat1 < -90.0 || lat1 > 90.0) return std::nullopt;
    int nl = NL(lat0);
    if (nl != NL(lat1)) return std::nullopt;  // the pair straddles a zone boundary

    double m = std::floor(((nl - 1.0) * xz0 - nl * static_cast<double>(xz1)) / kCprScale + 0.5);
    double z0 = nl > 1 ? nl : 1, z1 = nl - 1 > 1 ? nl - 1 : 1;
    double lon0 = (360.0 / z0) * (Mod(m, z0) + xz0 / kCprScale);
    double lon1 = (360.0 / z1) * (Mod(m, z1) + xz1 / kCprScale);
    // Both halves lie in [0, 360): a pair on either side of Greenwich is compared across 0.
    double dlon = std::fabs(lon0 - lon1);
    if (dlon > 180.0) dlon = 360.0 - dlon;
    if (!(std::fabs(lat0 - lat1) <= 0.1 && dlon <= ref.tolpair)) return std::nullopt;

    CprPosition p = oddIsRecent ? CprPosition{lat1, lon1} : CprPosition{lat0, lon0};
    if (p.lon >= 180.0) p.lon -= 360.0;
    return p;
}

namespace {

std::optional<CprPosition> LocalDecode(int yz, int xz, int i, double reflat, double reflon,
                                       double zone) {
    if (!std::isfinite(reflat) || !std::isfinite(reflon)) return std::nullopt;
    double dlat = i == 0 ? zone / 60.0 : zone / 59.0;
    double y = yz / kCprScale, x = xz / kCprScale;
    double j = std::floor(reflat / dlat) + std::floor(Mod(reflat, dlat) / dlat + 0.5 - y);
    double lat = dlat * (j + y);
    if (lat >= 270.0) lat -= 360.0;
    // Near a pole the nearest zone can lie beyond it: that is no position on the globe.
    if (lat < -90.0 || lat > 90.0) return std::nullopt;
    int zones = NL(lat) - i;
    double dlon = zones <= 0 ? zone : zone / zones;
    double m = std::floor(reflon / dlon) + std::floor(Mod(reflon, dlon) / dlon + 0.5 - x);
    return CprPosition{lat, dlon * (m + x)};
}

}  // namespace

std::optional<CprPosition> CprLocal(int yz, int xz, int i, double reflat, double reflon) {
    if (yz == 0 || xz == 0 || !ValidCprValue(yz) || !ValidCprValue(xz)) return std::nullopt;
    return LocalDecode(yz, xz, i & 1, reflat, reflon, 360.0);
}

std::optional<CprPosition> CprSurface(int yz, int xz, int i, double homelat, double homelon) {
    if ((yz == 0 && xz == 0) || !ValidCprValue(yz) || !ValidCprValue(xz)) return std::nullopt;
    const auto p = LocalDecode(yz, xz, i & 1, homelat, homelon, 90.0);
    if (!p || DistanceNm(p->lat, p->lon, homelat, homelon) > kMaxSurfaceRangeNm)
        return std::nullopt;
    return p;
}

double DistanceNm(double lat1, double lon1, double lat2, double lon2) {
    constexpr double kRad = 3.14159265358979323846 / 180.0, kEarthRadiusNm = 3440.065;
    const double dlat = (lat2 - lat1) * kRad, dlon = (lon2 - lon1) * kRad;
    const double a =
        std::sin(dlat / 2) * std::sin(dlat / 2) +
        std::cos(lat1 * kRad) * std::cos(lat2 * kRad) * std::sin(dlon / 2) * std::sin(dlon / 2);
    return 2 * kEarthRadiusNm * std::asin(std::sqrt(std::clamp(a, 0.0, 1.0)));
}

}  // namespace aerova
