#pragma once
// One run of selvarin-render: load the bundle, apply the preset and the
// parameters through the plug-in's VST3 interfaces, render, write the file.
#include <string>

#include "tools/render/render_options.h"

namespace selvarin {

// Returns the process exit code: 0 done, 1 failed, 130 stopped by a stop
// request (each with a one-line reason in *error), 141 when the reader of
// the output went away (*error empty: nothing to say). Listings go to
// stdout.
int RunRender(const RenderOptions& options, const char* argv0, std::string* error);

// Where the Selvarin bundle is looked for when --plugin is not given.
std::string FindBundle(const char* argv0);

}  // namespace selvarin
