#pragma once
// The display lists both radar windows call: the three bitmap fonts (256 lists each), the
// sixteen symbols and the global grid. Radar window 1 builds them in its context; window
// 2's context shares its lists (Qt::AA_ShareOpenGLContexts), so it calls the same lists.
// Build and Release need a current context of the sharing group.

#include <array>
#include <string_view>

#include "radar/bitmap_font.h"

namespace aerova {

class SharedGlResources {
  public:
    SharedGlResources() = default;
    SharedGlResources(const SharedGlResources&) = delete;
    SharedGlResources& operator=(const SharedGlResources&) = delete;

    // Loads the fonts and compiles the lists once; later calls (window 2) change nothing.
    // `window` notes who built them.
    void Build(int window);
    // Deletes the lists (a context of the group must be current).
    void Release();

    bool built() const { return builtBy_ != 0; }
    int builtBy() const { return builtBy_; }
    const FontSet& fonts() const { return fonts_; }
    unsigned fontBase(FontSize size) const { return fontBase_[static_cast<std::size_t>(size)]; }
    unsigned symbolBase() const { return symbolBase_; }
    unsigned gridList() const { return gridList_; }

    // `DrawText`: the text at the current raster position with the font of `sizeName`.
    void DrawText(std::string_view text, std::string_view sizeName) const;
    // The symbol centred on the current raster position.
    void DrawSymbol(int number) const;

  private:
    FontSet fonts_;
    std::array<unsigned, 3> fontBase_{};
    unsigned symbolBase_ = 0;
    unsigned gridList_ = 0;
    int builtBy_ = 0;
};

}  // namespace aerova
