#pragma once
// Helpers for the decoder tests: hex frames, a fresh decoder record, the Mode-S parity and a
// minimal address table that dispatches frames the way the receiver does (new targets only
// from DF 11 and extended squitters; address/parity replies only update known targets).

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/testing/recordings.h"
#include "core/sbs_flight.h"
#include "receiver/mode_s_decoder.h"

namespace aerova::testing {

inline std::vector<std::uint8_t> Bytes(const std::string& hex) {
    std::vector<std::uint8_t> b;
    for (std::size_t k = 0; k + 1 < hex.size(); k += 2)
        b.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(k, 2), nullptr, 16)));
    return b;
}

inline TSBSFlight NewTarget(const std::string& icao = "ABCDEF") {
    TSBSFlight t{};
    t.icao = icao;
    t.modes40 = ' ';
    for (char* c = &t.category; c <= &t.vratesource; ++c) *c = ' ';
    t.noposition = '1';
    t.reserved147 = 1;
    t.dr = ' ';
    t.um = ' ';
    t.reserved155 = ' ';
    t.cprstate = 1;
    return t;
}

// 24-bit Mode-S parity over all bytes but the last three (generator 0x1FFF409).
inline std::uint32_t Parity(const std::vector<std::uint8_t>& frame) {
    std::uint32_t crc = 0;
    for (std::size_t k = 0; k + 3 < frame.size(); ++k) {
        crc ^= static_cast<std::uint32_t>(frame[k]) << 16;
        for (int bit = 0; bit < 8; ++bit) {
            crc <<= 1;
            if (crc & 0x1000000) crc ^= 0x1FFF409;
        }
    }
    return crc & 0xFFFFFF;
}

inline std::string Hex6(std::uint32_t v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%06X", v & 0xFFFFFF);
    return buf;
}

struct Replay {
    DecoderReference ref;
    std::map<std::string, TSBSFlight> targets;

    // Returns the target the frame was decoded into, or nullptr when it was dropped.
    TSBSFlight* Feed(const std::string& hex) {
        if (hex.size() != 14 && hex.size() != 28) return nullptr;
        std::vector<std::uint8_t> b = Bytes(hex);
        std::uint32_t parity = Parity(b);
        std::size_t n = b.size();
        std::uint32_t last = (std::uint32_t(b[n - 3]) << 16) | (b[n - 2] << 8) | b[n - 1];
        std::uint32_t field = last ^ parity;
        int df = b[0] >> 3;
        if (df >= 17 && df <= 19 && n == 14) {
            if (field != 0) return nullptr;
            std::string icao = Hex6((b[1] << 16) | (b[2] << 8) | b[3]);
            auto it = targets.try_emplace(icao, NewTarget(icao)).first;
            DecodeExtendedSquitter(it->second, b[0], std::span(b).subspan(4, 7), ref);
            return &it->second;
        }
        if (df == 11 && n == 7) {
            if (field & 0xFFFF80) return nullptr;  // interrogator code only in the low bits
            std::string icao = Hex6((b[1] << 16) | (b[2] << 8) | b[3]);
            auto it = targets.try_emplace(icao, NewTarget(icao)).first;
            DecodeShortOrCommB(it->second, b[0], std::span(b).subspan(1));
            return &it->second;
        }
        bool shortReply = (df == 0 || df == 4 || df == 5) && n == 7;
        bool longReply = (df == 20 || df == 21) && n == 14;
        if (!shortReply && !longReply) return nullptr;
        auto it = targets.find(Hex6(field));
        if (it == targets.end()) return nullptr;
        b[n - 3] = static_cast<std::uint8_t>(field >> 16);
        b[n - 2] = static_cast<std::uint8_t>(field >> 8);
        b[n - 1] = static_cast<std::uint8_t>(field);
        DecodeShortOrCommB(it->second, b[0], std::span(b).subspan(1));
        return &it->second;
    }
};

// CPR encoding of a position in format i (ICAO Annex 10 / DO-260B A.1.7), airborne
// (360-degree zones) or surface (90-degree zones).
struct CprCode {
    int yz, xz;
};
inline CprCode EncodeCpr(double lat, double lon, int i, bool surface = false) {
    const double zone = surface ? 90.0 : 360.0;
    auto mod = [](double x, double z) { return x - z * std::floor(x / z); };
    double dlat = zone / (60 - i);
    double yz = std::floor(131072.0 * mod(lat, dlat) / dlat + 0.5);
    double rlat = dlat * (yz / 131072.0 + std::floor(lat / dlat));
    int zones = NL(rlat) - i;
    double dlon = zone / (zones > 1 ? zones : 1);
    double xz = std::floor(131072.0 * mod(lon, dlon) / dlon + 0.5);
    return {static_cast<int>(yz) & 0x1FFFF, static_cast<int>(xz) & 0x1FFFF};
}

// Frame texts "*HEX;" of a recording, one a line, without the framing characters.
inline std::optional<std::vector<std::string>> ReadFrames(const std::string& path) {
    std::ifstream in(path);
    if (!in) return std::nullopt;
    std::vector<std::string> frames;
    std::string line;
    while (std::getline(in, line)) {
        auto star = line.find('*');
        auto semi = line.find(';');
        frames.push_back(star != std::string::npos && semi != std::string::npos && semi > star
                             ? line.substr(star + 1, semi - star - 1)
                             : std::string());
    }
    return frames;
}

}  // namespace aerova::testing
