#include "radar/pixel_layer.h"

#include <algorithm>
#include <cstring>

#include "radar/symbols.h"

namespace aerova {

void PixelLayer::Resize(int width, int height) {
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0);
    dirty_ = PixelRect{1 << 30, 1 << 30, -1, -1};
}

void PixelLayer::Clear() {
    if (!dirty_.empty()) {
        const auto n = static_cast<std::size_t>(dirty_.x1 - dirty_.x0 + 1);
        for (int y = dirty_.y0; y <= dirty_.y1; ++y)
            std::memset(&pixels_[static_cast<std::size_t>(y * width_ + dirty_.x0)], 0,
                        n * sizeof(std::uint32_t));
    }
    dirty_ = PixelRect{1 << 30, 1 << 30, -1, -1};
}

std::uint32_t PixelLayer::Pack(const Rgb& c) {
    auto byte = [](float f) {
        const float clamped = f < 0 ? 0 : (f > 1 ? 1 : f);
        return static_cast<std::uint32_t>(clamped * 255.0f + 0.5f);
    };
    // Memory order R, G, B, A as GL_RGBA / GL_UNSIGNED_BYTE reads it on a little-endian host.
    return byte(c.r) | (byte(c.g) << 8) | (byte(c.b) << 16) | 0xFF000000u;
}

void PixelLayer::SetColour(const Rgb& colour) {
    colour_ = Pack(colour);
}

int PixelLayer::DrawGlyph(const BitmapFont& font, std::uint8_t code, int x, int y) {
    const Glyph& g = font.glyph(code);
    const int x0 = x + g.left;
    const int yTop = y + g.top - 1;
    for (int r = 0; r < g.height; ++r) {
        const int py = yTop - r;
        if (py < 0 || py >= height_) continue;
        const std::uint8_t* row = &g.rows[static_cast<std::size_t>(r * g.pitch)];
        for (int b = 0; b < g.pitch; ++b) {
            std::uint8_t bits = row[b];
            while (bits) {
                const int bit = __builtin_clz(static_cast<unsigned>(bits)) - 24;  // 0 = leftmost
                bits = static_cast<std::uint8_t>(bits & ~(0x80u >> bit));
                const int col = b * 8 + bit;
                if (col < g.width) Put(x0 + col, py);
            }
        }
    }
    return g.advance;
}

void PixelLayer::DrawCells(const BitmapFont& font, std::string_view codes, int x, int y,
                           int cellWidth) {
    for (std::size_t i = 0; i < codes.size(); ++i)
        DrawGlyph(font, static_cast<std::uint8_t>(codes[i]), x + static_cast<int>(i) * cellWidth,
                  y);
}

void PixelLayer::DrawColouredText(const BitmapFont& font, std::string_view codes, int x, int y,
                                  int cellWidth, const Rgb& percent, const Rgb& dollar,
                                  const Rgb& normal) {
    SetColour(normal);
    for (std::size_t i = 0; i < codes.size(); ++i) {
        const char c = codes[i];
        if (c == '%') {
            SetColour(percent);
        } else if (c == '$') {
            SetColour(dollar);
        } else if (c == ' ') {
            SetColour(normal);
        } else {
            DrawGlyph(font, static_cast<std::uint8_t>(c), x + static_cast<int>(i) * cellWidth, y);
        }
    }
}

void PixelLayer::DrawSymbol(int number, int x, int y) {
    const SymbolRows& rows = SymbolBitmap(number);
    for (int r = 0; r < kSymbolSize; ++r) {
        const std::uint8_t bits = rows[static_cast<std::size_t>(r)];
        if (!bits) continue;
        const int py = y - 4 + (kSymbolSize - 1 - r);
        for (int col = 0; col < kSymbolSize; ++col)
            if ((bits >> (7 - col)) & 1) Put(x - 4 + col, py);
    }
}

}  // namespace aerova
