#pragma once
// Great-circle navigation on a sphere where one nautical mile is one minute of arc.
// Latitudes and longitudes are degrees, east positive; the formulas themselves work
// with west-positive longitudes, as the classic aviation formulary writes them.

namespace aerova {

struct GeoPosition {
    double lat = 0, lon = 0;
};

// The point `distanceNm` from (lat, lon) along initial course `courseDeg`.
GeoPosition DestinationPoint(double lat, double lon, double courseDeg, double distanceNm);

// Central angle between two points in radians; -1 when it cannot be computed.
double GreatCircleDistance(double lat1, double lon1, double lat2, double lon2);

// Initial course from point 1 to point 2 in radians (0 to 2 pi); -1 when it cannot be
// computed. From a pole it is pi (north pole) or 2 pi (south pole).
double InitialCourse(double lat1, double lon1, double lat2, double lon2);

struct DistanceCourse {
    double distanceNm = 0;
    double courseDeg = 0;  // negative when the computation failed
};

// From point 1 to point 2; (0, 0) for the same point. A negative field marks a failure.
DistanceCourse DistanceAndCourse(double lat1, double lon1, double lat2, double lon2);

}  // namespace aerova
