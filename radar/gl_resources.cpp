#include "radar/gl_resources.h"

#include <GL/gl.h>

#include <algorithm>
#include <vector>

#include "radar/geo_model.h"
#include "radar/symbols.h"

namespace aerova {

namespace {

constexpr float kGridHeightKm = -0.1f;

void GeoVertex(float lat, float lon, float heightKm) {
    const ModelPoint p = GeoToModel(lat, lon, heightKm);
    glVertex3f(p.x, p.y, p.z);
}

// Parallels every 10 degrees and meridians every 10 degrees, 1 degree between vertices.
void CompileGrid() {
    for (int lat = -90; lat <= 90; lat += 10) {
        glBegin(GL_LINE_STRIP);
        for (int lon = -180; lon <= 180; ++lon)
            GeoVertex(static_cast<float>(lat), static_cast<float>(lon), kGridHeightKm);
        glEnd();
    }
    for (int lon = -180; lon < 180; lon += 10) {
        glBegin(GL_LINE_STRIP);
        for (int lat = -90; lat <= 90; ++lat)
            GeoVertex(static_cast<float>(lat), static_cast<float>(lon), kGridHeightKm);
        glEnd();
    }
}

}  // namespace

void SharedGlResources::Build(int window) {
    if (builtBy_ != 0) return;
    builtBy_ = window;
    fonts_ = FontSet::Load();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (int size = 0; size < 3; ++size) {
        const unsigned base = glGenLists(256);
        fontBase_[static_cast<std::size_t>(size)] = base;
        const BitmapFont* font = fonts_.font[static_cast<std::size_t>(size)].get();
        std::vector<std::uint8_t> bottomUp;
        for (int code = 0; code < 256; ++code) {
            glNewList(base + static_cast<unsigned>(code), GL_COMPILE);
            if (font) {
                const Glyph& g = font->glyph(static_cast<std::uint8_t>(code));
                // glBitmap rows run bottom to top.
                bottomUp.assign(g.rows.size(), 0);
                for (int r = 0; r < g.height; ++r)
                    std::copy_n(&g.rows[static_cast<std::size_t>((g.height - 1 - r) * g.pitch)],
                                g.pitch, &bottomUp[static_cast<std::size_t>(r * g.pitch)]);
                glBitmap(g.width, g.height, static_cast<float>(-g.left),
                         static_cast<float>(g.height - g.top), static_cast<float>(g.advance), 0,
                         bottomUp.empty() ? nullptr : bottomUp.data());
            }
            glEndList();
        }
    }
    symbolBase_ = glGenLists(kSymbolCount);
    for (int s = 0; s < kSymbolCount; ++s) {
        std::uint8_t rows[kSymbolSize];
        const SymbolRows& top = SymbolBitmap(s);
        for (int r = 0; r < kSymbolSize; ++r)
            rows[r] = top[static_cast<std::size_t>(kSymbolSize - 1 - r)];
        glNewList(symbolBase_ + static_cast<unsigned>(s), GL_COMPILE);
        glBitmap(kSymbolSize, kSymbolSize, 4, 4, 0, 0, rows);
        glEndList();
    }
    gridList_ = glGenLists(1);
    glNewList(gridList_, GL_COMPILE);
    CompileGrid();
    glEndList();
}

void SharedGlResources::Release() {
    if (builtBy_ == 0) return;
    for (unsigned base : fontBase_) glDeleteLists(base, 256);
    glDeleteLists(symbolBase_, kSymbolCount);
    glDeleteLists(gridList_, 1);
    fontBase_ = {};
    symbolBase_ = gridList_ = 0;
    builtBy_ = 0;
}

void SharedGlResources::DrawText(std::string_view text, std::string_view sizeName) const {
    if (builtBy_ == 0 || text.empty()) return;
    const std::string codes = TextToCharCodes(text);
    glListBase(fontBase(FontSizeFromName(sizeName)));
    glCallLists(static_cast<GLsizei>(codes.size()), GL_UNSIGNED_BYTE, codes.data());
}

void SharedGlResources::DrawSymbol(int number) const {
    if (builtBy_ == 0) return;
    glCallList(symbolBase_ +
               static_cast<unsigned>(number < 0 || number >= kSymbolCount ? 1 : number));
}

}  // namespace aerova
