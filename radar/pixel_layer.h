#pragma once
// A frame's text and symbol pixels, composed in memory and put on the screen with one
// pixel transfer. Drawing thousands of labels glyph by glyph with the graphics library costs
// far more than painting the same one-bit glyphs here; the pixels are those `glBitmap` would
// set: a glyph's bitmap lower-left corner lands at (x + left, y + top - height), a symbol's
// at (x - 4, y - 4). Coordinates are window pixels with the origin at the lower left.

#include <cstdint>
#include <string_view>
#include <vector>

#include "radar/bitmap_font.h"
#include "radar/colour_list.h"

namespace aerova {

struct PixelRect {
    int x0 = 0, y0 = 0, x1 = -1, y1 = -1;  // inclusive; empty when x1 < x0
    bool empty() const { return x1 < x0 || y1 < y0; }
};

class PixelLayer {
  public:
    void Resize(int width, int height);
    int width() const { return width_; }
    int height() const { return height_; }

    // RGBA bytes, row 0 at the bottom; alpha 0 where nothing was drawn.
    const std::uint32_t* data() const { return pixels_.data(); }
    std::uint32_t At(int x, int y) const {
        return pixels_[static_cast<std::size_t>(y * width_ + x)];
    }
    const PixelRect& dirty() const { return dirty_; }
    // Forgets what was drawn (only the dirty part is touched).
    void Clear();

    void SetColour(const Rgb& colour);
    // One glyph with its pen at (x, y) on the baseline; returns the glyph's advance.
    int DrawGlyph(const BitmapFont& font, std::uint8_t code, int x, int y);
    // A text of character codes, each character at x + i * cellWidth.
    void DrawCells(const BitmapFont& font, std::string_view codes, int x, int y, int cellWidth);
    // `DrawColouredText`: "%" switches to `percent`, "$" to `dollar`, a blank back to
    // `normal`; the three marks are not drawn but keep their cell.
    void DrawColouredText(const BitmapFont& font, std::string_view codes, int x, int y,
                          int cellWidth, const Rgb& percent, const Rgb& dollar, const Rgb& normal);
    void DrawSymbol(int number, int x, int y);

    static std::uint32_t Pack(const Rgb& c);

  private:
    void Put(int x, int y) {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
        pixels_[static_cast<std::size_t>(y * width_ + x)] = colour_;
        if (x < dirty_.x0) dirty_.x0 = x;
        if (x > dirty_.x1) dirty_.x1 = x;
        if (y < dirty_.y0) dirty_.y0 = y;
        if (y > dirty_.y1) dirty_.y1 = y;
    }

    int width_ = 0, height_ = 0;
    std::vector<std::uint32_t> pixels_;
    std::uint32_t colour_ = 0xFFFFFFFF;
    PixelRect dirty_{1 << 30, 1 << 30, -1, -1};
};

}  // namespace aerova
