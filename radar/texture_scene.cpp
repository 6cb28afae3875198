#include "radar/texture_scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "base/files.h"
#include "base/strings.h"
#include "radar/geo_model.h"
#include "radar/radar_picture.h"

namespace aerova {

namespace {

constexpr float kGlobeHeightKm = -5.5f;

// A JPEG file as a mipmapped texture, rows bottom first; false (and the loader's message)
// when it can't be read or decoded.
bool LoadTexture(const std::string& path, unsigned texture, const TextureMessage& message) {
    std::string bytes;
    std::optional<RadarPicture> picture;
    if (ReadWholeFile(path, bytes)) picture = DecodeJpeg(bytes);
    if (!picture || picture->width <= 0 || picture->height <= 0) {
        if (message) message(Concat({"Couldn't load JPG - \"", path, "\""}), "BMP Unit");
        return false;
    }
    const auto w = static_cast<std::size_t>(picture->width);
    const auto h = static_cast<std::size_t>(picture->height);
    std::vector<unsigned char> rgb(w * h * 3);
    for (std::size_t y = 0; y < h; ++y) {
        const std::uint32_t* row = &picture->pixels[(h - 1 - y) * w];
        for (std::size_t x = 0; x < w; ++x) {
            unsigned char* p = &rgb[(y * w + x) * 3];
            p[0] = static_cast<unsigned char>(row[x] >> 16);
            p[1] = static_cast<unsigned char>(row[x] >> 8);
            p[2] = static_cast<unsigned char>(row[x]);
        }
    }
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB, picture->width, picture->height, GL_RGB,
                      GL_UNSIGNED_BYTE, rgb.data());
    return true;
}

void Vertex(double lat, double lon, float heightKm) {
    const ModelPoint m = GeoToModel(static_cast<float>(lat), static_cast<float>(lon), heightKm);
    glVertex3f(m.x, m.y, m.z);
}

}  // namespace

bool BuildGlobe(TextureScene& scene, const std::string& worldPicture,
                const TextureMessage& message) {
    scene.globeReady = false;
    if (!FileExists(worldPicture)) return false;
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    if (scene.globeTexture == 0) glGenTextures(1, &scene.globeTexture);
    if (!LoadTexture(worldPicture, scene.globeTexture, message)) return false;
    if (scene.globeList == 0) scene.globeList = glGenLists(1);
    glNewList(scene.globeList, GL_COMPILE);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, scene.globeTexture);
    // Bands of 5 degrees from the north pole down to 85 S, quads of 5 degrees round.
    for (int lat = 90; lat > -90; lat -= 5) {
        glBegin(GL_QUAD_STRIP);
        for (int lon = -180; lon <= 180; lon += 5) {
            for (const int l : {lat, lat - 5}) {
                glTexCoord2d(lon / 360.0 + 0.5, l / 180.0 + 0.5);
                Vertex(l, lon, kGlobeHeightKm);
            }
        }
        glEnd();
    }
    glDisable(GL_TEXTURE_2D);
    glEndList();
    scene.globeReady = true;
    return true;
}

void BuildMosaics(TextureScene& scene, const std::string& mosaicDir,
                  const std::vector<MosaicEntry>& entries,
                  const std::function<void(const std::string&)>& status,
                  const TextureMessage& message) {
    DeleteMosaics(scene);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const MosaicEntry& e = entries[i];
        if (!e.active) continue;
        const std::string picture = JoinPath(mosaicDir, e.name + ".jpg");
        const std::string calibration = JoinPath(mosaicDir, e.name + ".clb");
        if (!FileExists(picture) || !FileExists(calibration)) continue;
        if (status) status(Concat({"Loading image... ", e.name, ".jpg"}));
        std::string text;
        if (!ReadWholeFile(calibration, text)) continue;
        const auto points = ParseCalibration(text);
        if (!points) continue;
        const auto mesh = BuildMosaicMesh(*points);
        if (!mesh) continue;
        if (status) status(Concat({"Creating mosaic... ", e.name}));
        TextureScene::Mosaic m{e.name, 0, 0};
        glGenTextures(1, &m.texture);
        if (!LoadTexture(picture, m.texture, message)) {
            glDeleteTextures(1, &m.texture);
            continue;
        }
        m.list = glGenLists(1);
        const float height = static_cast<float>(MosaicHeightKm(static_cast<int>(i)));
        glNewList(m.list, GL_COMPILE);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, m.texture);
        for (const auto& strip : mesh->strips) {
            glBegin(GL_QUAD_STRIP);
            for (const CalibrationPoint& p : strip) {
                const auto uv = MosaicTextureCoordinates(*mesh, p);
                glTexCoord2d(uv[0], uv[1]);
                Vertex(p.lat, p.lon, height);
            }
            glEnd();
        }
        glDisable(GL_TEXTURE_2D);
        glEndList();
        scene.mosaics.push_back(m);
    }
    scene.mosaicsReady = true;
}

void DeleteMosaics(TextureScene& scene) {
    scene.mosaicsReady = false;
    for (auto& m : scene.mosaics) {
        if (m.texture) glDeleteTextures(1, &m.texture);
        if (m.list) glDeleteLists(m.list, 1);
    }
    scene.mosaics.clear();
}

}  // namespace aerova
