#pragma once
// What the mosaic image manager decides about the display, as plain values: the settings
// (section "onearth") read and write it, the renderer reads the two window switches and the
// tint, and the manager window binds its controls to it.

namespace aerova {

struct MosaicDisplayState {
    // "Radar#1", "Radar#2" ("Show images here"): whether that radar window draws the mosaics.
    bool cbradar1 = true, cbradar2 = true;
    // "Image background color": the colour all mosaics are multiplied with, 0..255 each.
    int red = 255, green = 255, blue = 255;
    // "Quality of Auto Calibration": index into Flat (1), Low (2), Medium (4), High (8).
    int cbquality = 2;
};

// The subtile count of the automatic calibration for a quality index (1, 2, 4 or 8); an
// index out of range gives the default, Medium (4).
constexpr int MosaicQuality(int cbquality) {
    return cbquality >= 0 && cbquality <= 3 ? 1 << cbquality : 4;
}

}  // namespace aerova
