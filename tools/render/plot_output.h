#pragma once
// --plot: the resolved timeline drawn to a PNG file, written through the
// same checked output as the audio (a temporary file moved into place, a
// protected file refused).
#include <string>

#include "tools/render/render_options.h"
#include "tools/render/session_timeline.h"

namespace selvarin {

// Draws and writes the plot, then says what it holds; false with the reason.
bool WriteSessionPlot(const RenderOptions& o, const Timeline& timeline, const TimelinePlugin& plugin,
                      std::string* error);

}  // namespace selvarin
