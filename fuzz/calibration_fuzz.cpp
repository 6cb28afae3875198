// Arbitrary calibration files into the reader, and every file it accepts into the mesh
// builder and back through the writer; and points made of the input through writer, reader
// and mesh builder.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "radar/mosaic_files.h"

namespace {

using namespace aerova;

// Three good points, so that one more good line of the input makes a file the reader accepts.
constexpr std::string_view kHead =
    "Point00,xy,0,0,in,deg,54,0.5,N,9,0.25,W\r\n"
    "Point01,xy,400,0,in,deg,54,0.5,N,8,0.0,W\r\n"
    "Point02,xy,0,300,in,deg,53,0.875,N,9,0.25,W\r\n";

void Check(std::string_view text) {
    const auto points = ParseCalibration(text);
    if (!points) return;

    if (points->size() < kMinCalibrationPoints || points->size() > kMaxCalibrationPoints)
        __builtin_trap();
    for (const CalibrationPoint& p : *points) {
        if (p.x < 0 || p.x > kMaxCalibrationPixel || p.y < 0 || p.y > kMaxCalibrationPixel ||
            !(std::fabs(p.lat) <= 90) || !(std::fabs(p.lon) <= 180))
            __builtin_trap();
    }

    // What is written reads back to the same points (nine decimals), and writing those gives
    // the same text again.
    const std::string written = CalibrationText(*points);
    const auto again = ParseCalibration(written);
    if (!again || again->size() != points->size()) __builtin_trap();
    for (std::size_t i = 0; i < points->size(); ++i) {
        const CalibrationPoint &a = (*points)[i], &b = (*again)[i];
        if (a.x != b.x || a.y != b.y || std::fabs(a.lat - b.lat) > 1e-9 ||
            std::fabs(a.lon - b.lon) > 1e-9)
            __builtin_trap();
    }
    if (CalibrationText(*again) != written) __builtin_trap();

    if (const auto mesh = BuildMosaicMesh(*points)) {
        if (mesh->columns < 2 || mesh->rows < 2 ||
            static_cast<std::size_t>(mesh->columns * mesh->rows) != points->size() ||
            mesh->strips.size() != static_cast<std::size_t>(mesh->rows - 1))
            __builtin_trap();
        for (const auto& strip : mesh->strips) {
            if (strip.size() != static_cast<std::size_t>(2 * mesh->columns)) __builtin_trap();
            for (const CalibrationPoint& p : strip) {
                const auto [s, t] = MosaicTextureCoordinates(*mesh, p);
                if (!(s >= 0 && s <= 1 && t >= 0 && t <= 1)) __builtin_trap();
            }
        }
    }
}

// Points made of the input's bytes (eight a point) written by the writer: the reader takes
// back every such file of four points or more. With the first byte's low bit set, the points
// lie in rows of 1 + byte 1 % 9, the way the mesh wants them.
void CheckWritten(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return;
    const bool rows = data[0] & 1;
    const std::size_t columns = 1 + data[1] % 9;
    auto u16 = [](const std::uint8_t* p) { return p[0] | (p[1] << 8); };
    auto s16 = [&](const std::uint8_t* p) { return static_cast<std::int16_t>(u16(p)) / 32768.0; };
    std::vector<CalibrationPoint> points;
    for (std::size_t at = 2; at + 8 <= size && points.size() < kMaxCalibrationPoints; at += 8) {
        const int y = rows ? static_cast<int>(points.size() / columns) * 100 : u16(data + at + 2);
        points.push_back({u16(data + at), y, s16(data + at + 4) * 90, s16(data + at + 6) * 180});
    }
    const auto read = ParseCalibration(CalibrationText(points));
    if (read.has_value() != (points.size() >= kMinCalibrationPoints)) __builtin_trap();
    if (read) Check(CalibrationText(points));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Check(text);
    std::string headed(kHead);
    headed.append(text);
    Check(headed);
    CheckWritten(data, size);
    return 0;
}
