#include "tools/render/render_session.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "pluginterfaces/vst/ivstprocesscontext.h"
#include "pluginterfaces/vst/vstspeaker.h"
#include "tools/platform/file_system.h"
#include "tools/render/param_catalog.h"
#include "tools/render/param_resolve.h"
#include "tools/render/plot_output.h"
#include "tools/render/render_output.h"
#include "tools/render/render_pass.h"
#include "tools/render/session_setup.h"
#include "tools/vst3host/host_objects.h"
#include "tools/vst3host/hosted_plugin.h"
#include "tools/vst3host/module_platform.h"

namespace selvarin {

namespace {

void PrintPresets(const std::vector<std::string>& names) {
  for (size_t i = 0; i < names.size(); ++i) std::printf("%3zu  %s\n", i, names[i].c_str());
}

}  // namespace

std::string FindBundle(const char* argv0) {
  const std::string exeDir = ExecutableDirectory(argv0);
  // The build tree's and an installed prefix's bundle, then the system's.
  std::vector<std::string> places = {exeDir + "/../vst3/Selvarin.vst3", exeDir + "/../lib/vst3/Selvarin.vst3"};
  for (const std::string& folder : Vst3BundleFolders()) places.push_back(folder + "/Selvarin.vst3");
  for (const std::string& p : places)
    if (PathExists(p)) return p;
  return "";
}

namespace {

bool LoadPlugin(const RenderOptions& o, const char* argv0, PluginHost* h, std::string* error) {
  const std::string bundle = o.pluginPath.empty() ? FindBundle(argv0) : o.pluginPath;
  if (bundle.empty()) {
    *error = "cannot find Selvarin.vst3 (build it, install it, or give --plugin PATH)";
    return false;
  }
  if (!h->module.Load(bundle, error)) return false;
  if (!h->plugin.Create(h->module.Factory(), &h->host, error)) return false;
  h->catalog = BuildCatalog(h->plugin);
  h->presets = h->plugin.ProgramNames();
  return true;
}

bool ResolveStart(const RenderOptions& o, PluginHost& h, StartSettings* s, std::string* error) {
  if (!o.preset.empty() && !ResolvePreset(h.presets, o.preset, &s->presetIndex, error)) return false;
  auto toNormalized = [&](uint32_t id, double plain) { return h.plugin.controller->plainParamToNormalized(id, plain); };
  for (const ParamSetting& setting : o.params) {
    ResolvedParam r;
    if (!ResolveParam(h.catalog, setting, toNormalized, &r, error)) return false;
    s->params.push_back(r);
  }
  return true;
}

}  // namespace

int RunRender(const RenderOptions& o, const char* argv0, std::string* error) {
  PluginHost h;
  if (!LoadPlugin(o, argv0, &h, error)) return 1;
  if (o.listPresets || o.listParams) {
    if (o.listParams) PrintCatalog(h.catalog);
    if (o.listParams && o.listPresets) std::printf("\n");
    if (o.listPresets) PrintPresets(h.presets);
    return 0;
  }
  // Everything typed, the session and the output are checked before
  // rendering starts.
  StartSettings start;
  if (!ResolveStart(o, h, &start, error)) return 1;
  SessionHostView view;
  view.factory = h.module.Factory();
  view.hostContext = &h.host;
  view.plugin = &h.plugin;
  view.catalog = &h.catalog;
  view.presets = &h.presets;
  Timeline timeline;
  if (!PrepareTimeline(o, view, start.presetIndex, start.params, &timeline, error)) return 1;
  const TimelinePlugin resolver = MakeTimelinePlugin(o, view);
  if (!o.plot.empty() && !WriteSessionPlot(o, timeline, resolver, error)) return 1;
  if (o.dryRun) {
    // The JSON report is all a script finds on standard output.
    if (o.report != ReportFormat::kJson || !NeedsMeasuringPass(o))
      std::fputs(FormatTimeline(timeline, resolver).c_str(), stdout);
    if (!NeedsMeasuringPass(o)) return 0;
  }
  return RenderTimeline(o, h, start, timeline, error);
}

}  // namespace selvarin
