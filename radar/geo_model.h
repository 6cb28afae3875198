#pragma once
// The radar scene's earth model: a sphere of 6371 km; every layer sits at its own height
// above or below it so that depth testing orders the layers.

namespace aerova {

constexpr float kEarthRadiusKm = 6371.0f;
constexpr float kTargetHeightKm = 0.01f;

struct ModelPoint {
    float x = 0, y = 0, z = 0;
};

// Latitude and longitude in degrees, height in km above the sphere. Single precision, as
// the scene is drawn.
ModelPoint GeoToModel(float latDeg, float lonDeg, float heightKm);

}  // namespace aerova
