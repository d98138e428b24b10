#pragma once
// One pass of a render: a fresh instance of the plug-in plays the resolved
// timeline from its start settings, block by block, into a frame pipe that
// writes, measures, or both. The render is deterministic, so a pass that
// only measures and a pass that writes hear the same sound.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/render/frame_pipe.h"
#include "tools/render/param_resolve.h"
#include "tools/render/progress_bar.h"
#include "tools/render/render_options.h"
#include "tools/render/session_timeline.h"
#include "tools/vst3host/host_objects.h"
#include "tools/vst3host/hosted_plugin.h"
#include "tools/vst3host/module_loader.h"

namespace selvarin {

// The loaded bundle and what the renderer learned from it. Members are
// destroyed in reverse order: the instance before the host object before
// the module.
struct PluginHost {
  Vst3Module module;
  HostApp host{"selvarin-render"};
  HostedPlugin plugin;  // answers questions about names and values; never renders
  std::vector<CatalogParam> catalog;
  std::vector<std::string> presets;
};

// What the command line asks the plug-in to start with, resolved against it.
struct StartSettings {
  int presetIndex = -1;
  std::vector<ResolvedParam> params;
};

// Exit codes besides 0 (done) and 1 (failed): a stop request ends a
// render as Ctrl-C ends other programs; a reader that went away ends it
// quietly, as such a writer ends in a shell pipeline.
constexpr int kExitInterrupted = 130;
constexpr int kExitReaderGone = 141;

// The exit code of a render whose output failed, with *error as the
// message; a reader gone away has none.
int OutputFailureCode(const AudioWriter& writer, std::string* error);

// Renders every frame of the timeline into the pipe and waits for it;
// writer (or none) says why the pipe failed. progressFrom: frames of the
// progress bar done before this pass. Returns the exit code.
int RenderPass(const RenderOptions& o, PluginHost& h, const StartSettings& start, const Timeline& timeline,
               FramePipe& pipe, const AudioWriter* writer, ProgressBar& progress, int64_t progressFrom,
               std::string* error);

}  // namespace selvarin
