#pragma once
// The world map a fresh station starts with: shorelines (outline type 3) and national borders
// (type 4) in "outlines/world.out", a copy of maps/outlines/world.out built into the program.

#include <string>

namespace aerova {

// On a fresh station (no aerovas.ini yet) without a map folder named "outlines" (compared
// without case), creates "<stationDir>/outlines/world.out" from the built-in copy. A station
// that already ran, or whose user set up an outlines folder, is left alone, so a map the user
// deleted does not come back. True when the file was written.
bool InstallWorldMap(const std::string& stationDir);

}  // namespace aerova
