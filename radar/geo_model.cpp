#include "radar/geo_model.h"

#include <cmath>

namespace aerova {

ModelPoint GeoToModel(float latDeg, float lonDeg, float heightKm) {
    constexpr float kRad = 3.14159265358979f / 180.0f;
    const float r = kEarthRadiusKm + heightKm;
    const float phi = latDeg * kRad;
    const float lambda = lonDeg * kRad;
    const float cosPhi = std::cos(phi);
    return ModelPoint{r * cosPhi * std::sin(lambda), r * std::sin(phi),
                      r * cosPhi * std::cos(lambda)};
}

}  // namespace aerova
