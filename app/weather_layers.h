#pragma once
// The weather a radar window draws, taken from the weather window's pictures and options.

#include "radar/weather_layer.h"
#include "weather/weather_images.h"

namespace aerova {

// The precipitation cells of every source whose grid radar window `radarWindow` (0 or 1) draws
// now, in the classes whose intensity boxes are checked, with the options' colour table and
// lightning box. WX radar 1 leaves out the block WX radar 2 covers when the window also has
// WX radar 2's display box checked: the finer regional picture is drawn there instead.
// No lightning source exists, so the strikes stay empty.
WeatherLayer BuildWeatherLayer(const WeatherCycle& cycle, const WxformOptions& options,
                               int radarWindow);

}  // namespace aerova
