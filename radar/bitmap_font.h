#pragma once
// The radar windows' three bitmap fonts (character heights 10, 12 and 18 pixels) made from
// "Lucida Console" where it is installed, else the system's monospaced face (DejaVu Sans
// Mono), rasterised by FreeType as one-bit glyphs for character codes 0 to 255. Plain data:
// the GL display lists and the label pixel layer are both built from these glyphs, so both
// paths put the same pixels on the screen.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace aerova {

struct Glyph {
    int width = 0, height = 0;       // bitmap size in pixels
    int left = 0;                    // from the pen position to the bitmap's left column
    int top = 0;                     // from the baseline up to the bitmap's top row
    int advance = 0;                 // pen movement in pixels
    int pitch = 0;                   // bytes per row
    std::vector<std::uint8_t> rows;  // top row first, most significant bit leftmost

    bool Pixel(int x, int rowFromTop) const {
        return (rows[static_cast<std::size_t>(rowFromTop * pitch + x / 8)] >> (7 - x % 8)) & 1;
    }
};

// How often fontconfig's configuration was read: once per process, whatever the number of
// fonts loaded.
int FontConfigurationReads();

class BitmapFont {
  public:
    // Rasterises the font at `pixelHeight`; nullptr when no monospaced face can be loaded.
    static std::unique_ptr<BitmapFont> Load(int pixelHeight);

    const Glyph& glyph(std::uint8_t code) const { return glyphs_[code]; }
    int pixelHeight() const { return pixelHeight_; }
    const std::string& family() const { return family_; }
    const std::string& file() const { return file_; }

  private:
    BitmapFont() = default;
    std::array<Glyph, 256> glyphs_{};
    int pixelHeight_ = 0;
    std::string family_, file_;
};

// The font sizes by their size name: "12" and "18" select those fonts, anything else 10.
enum class FontSize { k10 = 0, k12 = 1, k18 = 2 };
FontSize FontSizeFromName(std::string_view sizeName);
int FontPixelHeight(FontSize size);
// Character cell width of `DrawColouredText`: 7 for "12", 6 otherwise.
int ColouredTextCellWidth(std::string_view sizeName);

// The three fonts of a window; any of them may be missing on a system without fonts.
struct FontSet {
    std::array<std::unique_ptr<BitmapFont>, 3> font;
    static FontSet Load();
    const BitmapFont* Get(FontSize size) const {
        return font[static_cast<std::size_t>(size)].get();
    }
};

// Labels are 8-bit text; texts written as UTF-8 (such as the degree sign) are turned into
// the single character codes the fonts hold. Bytes that are not UTF-8 pass unchanged.
std::string TextToCharCodes(std::string_view text);

}  // namespace aerova
