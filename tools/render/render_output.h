#pragma once
// A render of a resolved timeline as the options ask: a pass that only
// measures when a gain is to be found (or a dry run is to report), then the
// pass that writes the file with that gain; the file's tags, the clipping
// warning, and the report every render ends with.
#include <string>

#include "tools/render/render_options.h"
#include "tools/render/render_pass.h"
#include "tools/render/session_timeline.h"

namespace selvarin {

// Returns the process exit code, as RunRender does.
int RenderTimeline(const RenderOptions& o, PluginHost& h, const StartSettings& start, const Timeline& timeline,
                   std::string* error);

}  // namespace selvarin
