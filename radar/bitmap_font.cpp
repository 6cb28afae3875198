#include "radar/bitmap_font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstring>
#include <optional>

namespace aerova {

namespace {

struct FaceFile {
    std::string family, file;
    int index = 0;
};

int g_configLoads = 0;

std::optional<FaceFile> MatchFace(FcConfig* config, const char* pattern) {
    std::optional<FaceFile> result;
    FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>(pattern));
    if (pat) {
        FcPatternAddInteger(pat, FC_SPACING, FC_MONO);
        FcConfigSubstitute(config, pat, FcMatchPattern);
        FcDefaultSubstitute(pat);
        FcResult res = FcResultNoMatch;
        FcPattern* match = FcFontMatch(config, pat, &res);
        if (match) {
            FcChar8* file = nullptr;
            FcChar8* family = nullptr;
            int index = 0;
            if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
                FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch) {
                FcPatternGetInteger(match, FC_INDEX, 0, &index);
                result = FaceFile{reinterpret_cast<const char*>(family),
                                  reinterpret_cast<const char*>(file), index};
            }
            FcPatternDestroy(match);
        }
        FcPatternDestroy(pat);
    }
    return result;
}

// "Lucida Console" when fontconfig has it under that name, else a monospaced face. Reading
// fontconfig's configuration and font list takes long, so it is done once for all sizes.
std::optional<FaceFile> ChooseFace() {
    ++g_configLoads;
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config) return std::nullopt;
    std::optional<FaceFile> face = MatchFace(config, "Lucida Console");
    if (!face || face->family != "Lucida Console") {
        face = MatchFace(config, "DejaVu Sans Mono");
        if (!face || face->family != "DejaVu Sans Mono") face = MatchFace(config, "monospace");
    }
    FcConfigDestroy(config);
    return face;
}

const std::optional<FaceFile>& ChosenFace() {
    static const std::optional<FaceFile> chosen = ChooseFace();
    return chosen;
}

struct FreeType {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~FreeType() {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
};

}  // namespace

int FontConfigurationReads() {
    return g_configLoads;
}

std::unique_ptr<BitmapFont> BitmapFont::Load(int pixelHeight) {
    const auto& chosen = ChosenFace();
    if (!chosen || pixelHeight <= 0) return nullptr;
    FreeType ft;
    if (FT_Init_FreeType(&ft.library) != 0) return nullptr;
    if (FT_New_Face(ft.library, chosen->file.c_str(), chosen->index, &ft.face) != 0) return nullptr;
    if (FT_Set_Pixel_Sizes(ft.face, 0, static_cast<FT_UInt>(pixelHeight)) != 0) return nullptr;
    FT_Select_Charmap(ft.face, FT_ENCODING_UNICODE);

    std::unique_ptr<BitmapFont> font(new BitmapFont);
    font->pixelHeight_ = pixelHeight;
    font->family_ = chosen->family;
    font->file_ = chosen->file;
    // Codes 0 to 255 are Latin-1, which are the first 256 Unicode code points.
    for (int code = 0; code < 256; ++code) {
        Glyph& g = font->glyphs_[static_cast<std::size_t>(code)];
        const FT_UInt index =
            code < 32 ? 0 : FT_Get_Char_Index(ft.face, static_cast<FT_ULong>(code));
        if (FT_Load_Glyph(ft.face, index,
                          FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME) != 0)
            continue;
        const FT_GlyphSlot slot = ft.face->glyph;
        g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
        if (code < 32 || index == 0) {
            // Control codes and characters the face lacks draw nothing but keep the cell.
            continue;
        }
        const FT_Bitmap& bm = slot->bitmap;
        if (bm.pixel_mode != FT_PIXEL_MODE_MONO) continue;
        g.width = static_cast<int>(bm.width);
        g.height = static_cast<int>(bm.rows);
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        g.pitch = (g.width + 7) / 8;
        g.rows.assign(static_cast<std::size_t>(g.pitch * g.height), 0);
        for (int r = 0; r < g.height; ++r) {
            const unsigned char* src = bm.pitch >= 0 ? bm.buffer + r * bm.pitch
                                                     : bm.buffer + (g.height - 1 - r) * -bm.pitch;
            std::memcpy(&g.rows[static_cast<std::size_t>(r * g.pitch)], src,
                        static_cast<std::size_t>(g.pitch));
        }
    }
    return font;
}

FontSize FontSizeFromName(std::string_view sizeName) {
    if (sizeName == "12") return FontSize::k12;
    if (sizeName == "18") return FontSize::k18;
    return FontSize::k10;
}

int FontPixelHeight(FontSize size) {
    switch (size) {
        case FontSize::k12:
            return 12;
        case FontSize::k18:
            return 18;
        default:
            return 10;
    }
}

int ColouredTextCellWidth(std::string_view sizeName) {
    return sizeName == "12" ? 7 : 6;
}

FontSet FontSet::Load() {
    FontSet set;
    for (int i = 0; i < 3; ++i)
        set.font[static_cast<std::size_t>(i)] =
            BitmapFont::Load(FontPixelHeight(static_cast<FontSize>(i)));
    return set;
}

std::string TextToCharCodes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if ((c == 0xC2 || c == 0xC3) && i + 1 < text.size()) {
            const auto next = static_cast<unsigned char>(text[i + 1]);
            if ((next & 0xC0) == 0x80) {
                out.push_back(static_cast<char>(((c & 0x03) << 6) | (next & 0x3F)));
                ++i;
                continue;
            }
        }
        out.push_back(static_cast<char>(c));
    }
    return out;
}

}  // namespace aerova
