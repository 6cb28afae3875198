#pragma once
// Pictures laid on the globe: the world picture wrapped round the sphere and the
// calibrated mosaics, each a texture and a display list of the radar windows' share group.
// Building needs a current context of the group (WithShareGroupContext).

#include <functional>
#include <string>
#include <vector>

#include "radar/mosaic_files.h"

namespace aerova {

struct TextureScene {
    unsigned globeTexture = 0, globeList = 0;
    bool globeReady = false;
    struct Mosaic {
        std::string name;
        unsigned texture = 0, list = 0;
    };
    std::vector<Mosaic> mosaics;  // in the manager's order, shown ones only
    bool mosaicsReady = false;
};

using TextureMessage = std::function<void(const std::string& text, const std::string& title)>;

// `inittexture`: the world picture (aerova-img/world.jpg). False when it is missing or
// can't be decoded (the window then disables "Show globe").
bool BuildGlobe(TextureScene& scene, const std::string& worldPicture,
                const TextureMessage& message);
// `initmosaics`: a texture and a list for every shown entry whose picture and calibration
// exist and are valid; others are skipped silently. `status` gets "Loading image... name.jpg".
void BuildMosaics(TextureScene& scene, const std::string& mosaicDir,
                  const std::vector<MosaicEntry>& entries,
                  const std::function<void(const std::string&)>& status,
                  const TextureMessage& message);
// `deletemosaics`.
void DeleteMosaics(TextureScene& scene);

}  // namespace aerova
