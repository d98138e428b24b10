#pragma once
// Turns the command line's start settings and an optional session file into
// a resolved timeline, asking the loaded plug-in what names, values and
// presets mean. Every wrong session line is reported before anything is
// rendered.
#include <string>
#include <vector>

#include "pluginterfaces/base/ipluginbase.h"
#include "tools/render/param_resolve.h"
#include "tools/render/render_options.h"
#include "tools/render/session_timeline.h"
#include "tools/vst3host/hosted_plugin.h"

namespace selvarin {

struct SessionHostView {
  Steinberg::IPluginFactory* factory = nullptr;  // for a second instance that looks into presets
  Steinberg::FUnknown* hostContext = nullptr;
  HostedPlugin* plugin = nullptr;
  const std::vector<CatalogParam>* catalog = nullptr;
  const std::vector<std::string>* presets = nullptr;
};

// startPreset -1 for none. On errors in the session, prints each as
// FILE:LINE: what is wrong on stderr and returns false with a summary.
bool PrepareTimeline(const RenderOptions& o, const SessionHostView& view, int startPreset,
                     const std::vector<ResolvedParam>& startParams, Timeline* out, std::string* error);

// The resolution functions of the loaded plug-in (conversions, display
// texts, preset contents through a second instance).
TimelinePlugin MakeTimelinePlugin(const RenderOptions& o, const SessionHostView& view);

}  // namespace selvarin
