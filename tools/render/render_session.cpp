#include "tools/render/render_session.h"


#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "pluginterfaces/vst/ivstprocesscontext.h"
#include "pluginterfaces/vst/vstspeaker.h"
#include "tools/render/audio_writer.h"
#include "tools/render/block_processor.h"
#include "tools/render/frame_pipe.h"
#include "tools/render/interruption.h"
#include "tools/render/param_resolve.h"
#include "tools/render/output_fades.h"
#include "tools/platform/file_system.h"
#include "tools/render/progress_bar.h"
#include "tools/render/session_setup.h"
#include "tools/render/timeline_player.h"
#include "tools/vst3host/host_objects.h"
#include "tools/vst3host/hosted_plugin.h"
#include "tools/vst3host/module_loader.h"
#include "tools/vst3host/module_platform.h"

namespace selvarin {

namespace {


std::vector<CatalogParam> BuildCatalog(HostedPlugin& plugin) {
  std::vector<CatalogParam> out;
  for (const HostParamInfo& info : plugin.Parameters()) {
    if (info.flags & sv::ParameterInfo::kIsProgramChange) continue;
    CatalogParam p;
    p.id = info.id;
    p.title = info.title;
    p.units = info.units;
    p.stepCount = info.stepCount;
    p.minPlain = plugin.controller->normalizedParamToPlain(info.id, 0.0);
    p.maxPlain = plugin.controller->normalizedParamToPlain(info.id, 1.0);
    p.defaultPlain = plugin.controller->normalizedParamToPlain(info.id, info.defaultNormalized);
    if (info.stepCount >= 1 && info.stepCount <= 256) {
      std::vector<std::string> texts;
      for (int k = 0; k <= info.stepCount; ++k) {
        sv::String128 s = {};
        if (plugin.controller->getParamStringByValue(info.id, static_cast<double>(k) / info.stepCount, s) !=
            sb::kResultOk)
          s[0] = 0;
        texts.push_back(Narrow(s));
      }
      if (IsTextValued(texts)) p.texts = texts;
    }
    out.push_back(p);
  }
  return out;
}

void PrintParams(const std::vector<CatalogParam>& params) {
  std::printf("%-5s %-14s %-10s %s\n", "index", "name", "default", "values");
  for (const CatalogParam& p : params) {
    std::string values;
    if (!p.texts.empty()) {
      for (const std::string& t : p.texts) values += (values.empty() ? "" : ", ") + t;
    } else {
      char buf[96];
      std::snprintf(buf, sizeof buf, "%g to %g%s%s", p.minPlain, p.maxPlain, p.units.empty() ? "" : " ",
                    p.units.c_str());
      values = buf;
    }
    char def[32];
    if (!p.texts.empty()) {
      const int k = static_cast<int>(std::lround(p.defaultPlain - p.minPlain));
      std::snprintf(def, sizeof def, "%s",
                    k >= 0 && k < static_cast<int>(p.texts.size()) ? p.texts[static_cast<size_t>(k)].c_str() : "?");
    } else {
      std::snprintf(def, sizeof def, "%g", p.defaultPlain);
    }
    std::printf("%-5u %-14s %-10s %s\n", p.id, p.title.c_str(), def, values.c_str());
  }
}

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

// The loaded bundle and what the renderer learned from it. Members are
// destroyed in reverse order: the instance before the host object before
// the module.
struct PluginHost {
  Vst3Module module;
  HostApp host{"selvarin-render"};
  HostedPlugin plugin;
  std::vector<CatalogParam> catalog;
  std::vector<std::string> presets;
};

// What the command line asks the plug-in to start with, resolved against it.
struct StartSettings {
  int presetIndex = -1;
  std::vector<ResolvedParam> params;
};

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

// The preset, then the parameters, reach the plug-in as a DAW sends them:
// parameter changes of a processing call without samples, before the first
// block, mirrored to the controller.
bool ApplyStart(const StartSettings& s, PluginHost& h, BlockProcessor& proc, std::string* error) {
  HostParamChanges& changes = proc.Changes();
  if (s.presetIndex >= 0 && h.presets.size() > 1) {
    const double x = static_cast<double>(s.presetIndex) / static_cast<double>(h.presets.size() - 1);
    changes.Add(kPresetParamId, 0, x);
    h.plugin.controller->setParamNormalized(kPresetParamId, x);
  }
  for (const ResolvedParam& r : s.params) {
    changes.Add(r.id, 0, r.normalized);
    h.plugin.controller->setParamNormalized(r.id, r.normalized);
  }
  if (!proc.Process(0, 0)) {
    *error = "the plug-in failed to take the parameters";
    return false;
  }
  return true;
}

// Exit codes besides 0 (done) and 1 (failed): a stop request ends a
// render as Ctrl-C ends other programs; a reader that went away ends it
// quietly, as such a writer ends in a shell pipeline.
constexpr int kExitInterrupted = 130;
constexpr int kExitReaderGone = 141;

// The exit code of a render whose output failed, with *error as the
// message; a reader gone away has none.
int OutputFailureCode(const AudioWriter& writer, std::string* error) {
  switch (writer.Status()) {
    case IoStatus::kStopped:
      return kExitInterrupted;
    case IoStatus::kReaderGone:
      error->clear();
      return kExitReaderGone;
    case IoStatus::kDone:
    case IoStatus::kFailed:
      break;
  }
  return 1;
}

// Renders every frame into the pipe, with the timeline's changes and the
// output fades; returns the exit code.
int RenderLoop(const RenderOptions& o, int64_t total, BlockProcessor& proc, TimelinePlayer& player,
               const OutputFades& fades, FramePipe& pipe, const AudioWriter& writer, std::string* error) {
  const int64_t block = o.blockSize;
  ProgressBar progress(total, o.progress && static_cast<double>(total) > 30.0 * 48000.0);
  for (int64_t done = 0; done < total;) {
    if (Interrupted()) {
      progress.Finish();
      *error = pipe.InPlace() ? "interrupted" : "interrupted; no file written";
      return kExitInterrupted;
    }
    const int n = static_cast<int>(total - done < block ? total - done : block);
    player.FillBlock(done, n, &proc.Changes());
    if (!proc.Process(done, n)) {
      progress.Finish();
      *error = "the plug-in failed to process a block";
      return 1;
    }
    if (o.precision == 64) fades.Apply(proc.Channels64(), done, n); else fades.Apply(proc.Channels32(), done, n);
    if (!pipe.Append(proc.Channels64(), proc.Channels32(), n, error)) {
      progress.Finish();
      return OutputFailureCode(writer, error);
    }
    done += n;
    progress.Update(done);
  }
  progress.Finish();
  return 0;
}

// "Volume" is linear in decibels: 0.64 % of its 64 dB span per percent,
// each 6 dB a doubling, so about 0.642 dB per percent.
constexpr double kVolumeDbPerPercent = 0.64 * 6.020599913279624 / 6.0;

// Integer formats cannot hold samples beyond full scale: say how many were
// clipped and which volume would avoid it.
void WarnAboutClipping(const FramePipe& pipe, double volumePercent) {
  if (pipe.ClippedSamples() == 0) return;
  const double overDb = 20.0 * std::log10(pipe.Peak());
  std::fprintf(stderr, "selvarin-render: warning: %lld samples clipped (peak %.3f, %.1f dB over full scale)",
               pipe.ClippedSamples(), pipe.Peak(), overDb);
  if (volumePercent >= 0.0) {
    double suggested = std::floor(volumePercent - overDb / kVolumeDbPerPercent);
    if (suggested < 0.0) suggested = 0.0;
    std::fprintf(stderr, "; \"Volume\" %.0f %% or lower avoids it (or use --bits 32)", suggested);
  }
  std::fprintf(stderr, "\n");
}

// Waits for the writer, stops the plug-in and puts the file in place.
int FinishRender(const RenderOptions& o, int64_t total, HostedPlugin& plugin, FramePipe& pipe, AudioWriter& writer,
                 double volumePercent, std::string* error) {
  if (!pipe.Finish(error)) return OutputFailureCode(writer, error);
  plugin.processor->setProcessing(false);
  plugin.SetActive(false);
  if (!writer.Commit(error)) return OutputFailureCode(writer, error);
  WarnAboutClipping(pipe, volumePercent);
  const char* bits = o.format == SampleFormat::kPcm16   ? "16-bit"
                     : o.format == SampleFormat::kPcm24 ? "24-bit"
                                                        : "32-bit float";
  // The summary goes where it does not mix with the samples.
  std::fprintf(writer.ToStandardOutput() ? stderr : stdout, "Wrote %s: %.3f s, %d Hz, stereo, %s%s%s\n",
               writer.ToStandardOutput() ? "standard output" : o.output.c_str(),
               static_cast<double>(total) / o.sampleRate, static_cast<int>(o.sampleRate),
               IsLossy(o.fileType) ? "" : bits, IsLossy(o.fileType) ? "" : " ", FileTypeName(o.fileType));
  return 0;
}

// The highest "Volume" of the render, or -1 if the plug-in has none.
double HighestVolume(const PluginHost& h, const Timeline& timeline) {
  for (const CatalogParam& p : h.catalog) {
    if (p.title != "Volume") continue;
    auto it = timeline.highest.find(p.id);
    return it != timeline.highest.end() ? it->second : -1.0;
  }
  return -1.0;
}

std::string Stem(const std::string& path) {
  const std::string name = PathName(path);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

// Title and comment tags: the session's title (else the file name), the
// preset the render starts from and the session file.
void Tag(const RenderOptions& o, const PluginHost& h, const StartSettings& start, const Timeline& timeline,
         WriterSettings* ws) {
  ws->title = !timeline.title.empty() ? timeline.title : o.output == "-" ? "Selvarin" : Stem(o.output);
  int preset = start.presetIndex;
  for (const TimelineEvent& e : timeline.events)
    if (preset < 0 && e.kind == SessionLineKind::kPreset && e.startFrame == 0) preset = e.presetIndex;
  ws->comment = "Selvarin, preset ";
  ws->comment += preset >= 0 ? "\"" + h.presets[static_cast<size_t>(preset)] + "\"" : std::string("none (default values)");
  if (!o.session.empty()) ws->comment += ", session " + (o.session == "-" ? std::string("from standard input") : o.session);
}

// Writes the render of a resolved timeline; returns the exit code.
int RenderToOutput(const RenderOptions& o, PluginHost& h, const StartSettings& start, const Timeline& timeline,
                   std::string* error) {
  CatchInterruptions();
  const int64_t total = std::llround(timeline.seconds * o.sampleRate);
  AudioWriter writer;
  WriterSettings ws;
  ws.path = o.output;
  ws.type = o.fileType;
  ws.format = o.format;
  ws.sampleRate = static_cast<int>(o.sampleRate);
  ws.frames = total;
  ws.quality = o.quality;
  ws.flacLevel = o.flacLevel;
  ws.peakChunk = o.peakChunk;
  Tag(o, h, start, timeline, &ws);
  if (!writer.Open(ws, error)) return OutputFailureCode(writer, error);
  if (!StartProcessing(o, h.plugin, error)) return 1;

  BlockProcessor proc(o, h.plugin);
  sv::IEditController* controller = h.plugin.controller;
  TimelinePlayer player(timeline, [controller](uint32_t id, double plain) {
    return controller->plainParamToNormalized(id, plain);
  }, static_cast<int>(h.presets.size()));
  const OutputFades fades(total, std::llround(o.fadeIn * o.sampleRate), std::llround(o.fadeOut * o.sampleRate));
  // Frames are written in large pieces by a second thread while the next
  // ones render.
  FramePipe pipe(&writer, o.precision, static_cast<size_t>(o.blockSize), writer.Clips());
  if (!ApplyStart(start, h, proc, error)) return 1;
  const int code = RenderLoop(o, total, proc, player, fades, pipe, writer, error);
  if (code != 0) return code;
  return FinishRender(o, total, h.plugin, pipe, writer, HighestVolume(h, timeline), error);
}

}  // namespace

int RunRender(const RenderOptions& o, const char* argv0, std::string* error) {
  PluginHost h;
  if (!LoadPlugin(o, argv0, &h, error)) return 1;
  if (o.listPresets || o.listParams) {
    if (o.listParams) PrintParams(h.catalog);
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
  if (o.dryRun) {
    std::fputs(FormatTimeline(timeline, MakeTimelinePlugin(o, view)).c_str(), stdout);
    return 0;
  }
  return RenderToOutput(o, h, start, timeline, error);
}

}  // namespace selvarin
