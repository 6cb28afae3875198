#include "app/weather_layers.h"

#include <optional>
#include <tuple>

namespace aerova {
namespace {

static_assert(std::tuple_size_v<decltype(WeatherLayer::colours)> == kWeatherColourCount);
static_assert(kWeatherCellClasses == kIntensityClassCount &&
              kWeatherCellColourFirst == kIntensityColourFirst);

bool InBlock(const GridBlock& block, int x, int y) {
    return x >= block.firstColumn && x <= block.lastColumn && y >= block.firstRow &&
           y <= block.lastRow;
}

void AddCells(const WeatherSource& source, const WeatherGrid& grid, const WxformOptions& options,
              bool leaveOutWxRadar2Block, std::vector<WeatherCell>& cells) {
    for (int x = 0; x < grid.columns(); ++x) {
        for (int y = 0; y < grid.rows(); ++y) {
            const std::optional<int> c = IntensityClass(source.scheme, grid.At(x, y));
            if (!c || *c < 0 || *c >= kIntensityClassCount ||
                !options.intensityBoxes[static_cast<std::size_t>(*c)])
                continue;
            if (leaveOutWxRadar2Block && InBlock(kWxRadar2InWxRadar1, x, y)) continue;
            const GeoFrame area = CellArea(source, x, y);
            cells.push_back({static_cast<float>(area.west), static_cast<float>(area.east),
                             static_cast<float>(area.south), static_cast<float>(area.north),
                             static_cast<std::uint8_t>(*c)});
        }
    }
}

}  // namespace

WeatherLayer BuildWeatherLayer(const WeatherCycle& cycle, const WxformOptions& options,
                               int radarWindow) {
    WeatherLayer layer;
    for (int i = 0; i < kWeatherColourCount; ++i)
        layer.colours[static_cast<std::size_t>(i)] =
            RgbFromColourInt(options.colours[static_cast<std::size_t>(i)]);
    layer.lightning = options.cbblitz;
    if (radarWindow < 0 || radarWindow > 1) return layer;
    const bool showsWxRadar2 =
        cycle.boxes(kWxRadar2).display[static_cast<std::size_t>(radarWindow)];
    for (int source = 0; source < kWeatherSourceCount; ++source) {
        const WeatherGrid* grid = cycle.grid(source);
        if (!grid || !cycle.DrawsLayer(source, radarWindow)) continue;
        AddCells(kWeatherSources[static_cast<std::size_t>(source)], *grid, options,
                 source == kWxRadar1 && showsWxRadar2, layer.cells);
    }
    return layer;
}

}  // namespace aerova
