#include "tools/render/render_session.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "pluginterfaces/vst/ivstprocesscontext.h"
#include "pluginterfaces/vst/vstspeaker.h"
#include "tools/platform/file_system.h"
#include "tools/render/audio_writer.h"
#include "tools/render/frame_pipe.h"
#include "tools/render/interruption.h"
#include "tools/render/loudness_meter.h"
#include "tools/render/loudness_report.h"
#include "tools/render/loudness_target.h"
#include "tools/render/param_resolve.h"
#include "tools/render/plot_output.h"
#include "tools/render/progress_bar.h"
#include "tools/render/render_pass.h"
#include "tools/render/session_setup.h"
#include "tools/vst3host/host_objects.h"
#include "tools/vst3host/hosted_plugin.h"
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

const char* SampleFormatName(SampleFormat f) {
  return f == SampleFormat::kPcm16 ? "16-bit" : f == SampleFormat::kPcm24 ? "24-bit" : "32-bit float";
}

// The report's description of the output and the gain.
RenderReport Describe(const RenderOptions& o, int64_t total, const GainPlan& plan) {
  RenderReport r;
  r.written = !o.dryRun;
  r.path = o.output;
  if (!o.output.empty()) {
    r.format = FileTypeName(o.fileType);
    if (!IsLossy(o.fileType)) r.sampleFormat = SampleFormatName(o.format);
  }
  r.sampleRate = static_cast<int>(o.sampleRate);
  r.frames = total;
  r.gain = plan.gain;
  r.loudnessGiven = o.loudnessGiven;
  r.loudnessTarget = o.loudness;
  r.ceilingGiven = o.truePeakGiven;
  r.ceiling = o.truePeak;
  r.missedLu = plan.missedLu;
  return r;
}

// The report goes where it does not mix with the samples; JSON alone on
// standard output.
void PrintReport(const RenderOptions& o, const RenderReport& r) {
  if (r.missedLu > 0.0) {
    std::fprintf(stderr,
                 "selvarin-render: the true-peak ceiling of %.1f dBTP holds the loudness at %.1f LUFS, "
                 "%.1f LU below the %.1f LUFS asked for\n",
                 o.truePeak, r.loudness.integrated, r.missedLu, o.loudness);
  }
  if (o.report == ReportFormat::kJson) {
    std::fputs(ReportJson(r).c_str(), stdout);
    return;
  }
  std::fputs(ReportLine(r).c_str(), o.output == "-" && !o.dryRun ? stderr : stdout);
}

// Measures the whole render without writing it: the pass that finds the
// gain, or a dry run's report.
int MeasuringPass(const RenderOptions& o, PluginHost& h, const StartSettings& start, const Timeline& timeline,
                  LoudnessMeter* meter, ProgressBar& progress, std::string* error) {
  FramePipe::Settings ps;
  ps.meter = meter;
  ps.precision = o.precision;
  ps.minFrames = static_cast<size_t>(o.blockSize);
  FramePipe pipe(ps);
  const int code = RenderPass(o, h, start, timeline, pipe, nullptr, progress, 0, error);
  // Only a finished pass has left the meter to this thread.
  if (code == 0) meter->Finish();
  return code;
}

// Writes the render with the plan's gain and puts the file in place;
// returns the exit code. After a measuring pass the plan already knows what
// the file measures (the render is deterministic and the gain constant);
// otherwise what is written is measured on its way.
int WritingPass(const RenderOptions& o, PluginHost& h, const StartSettings& start, const Timeline& timeline,
                const GainPlan& plan, bool measured, ProgressBar& progress, int64_t progressFrom,
                std::string* error) {
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
  LoudnessMeter meter(o.sampleRate);
  FramePipe::Settings ps;
  ps.writer = &writer;
  ps.meter = measured ? nullptr : &meter;
  ps.precision = o.precision;
  ps.minFrames = static_cast<size_t>(o.blockSize);
  ps.countClips = writer.Clips();
  ps.gain = plan.gain;
  // Frames are written in large pieces by a second thread while the next
  // ones render.
  FramePipe pipe(ps);
  const int code = RenderPass(o, h, start, timeline, pipe, &writer, progress, progressFrom, error);
  progress.Finish();
  if (code != 0) return code;
  if (!writer.Commit(error)) return OutputFailureCode(writer, error);
  meter.Finish();
  WarnAboutClipping(pipe, HighestVolume(h, timeline));
  const bool toStdout = writer.ToStandardOutput();
  std::fprintf(toStdout || o.report == ReportFormat::kJson ? stderr : stdout,
               "Wrote %s: %.3f s, %d Hz, stereo, %s%s%s\n", toStdout ? "standard output" : o.output.c_str(),
               static_cast<double>(total) / o.sampleRate, static_cast<int>(o.sampleRate),
               IsLossy(o.fileType) ? "" : SampleFormatName(o.format), IsLossy(o.fileType) ? "" : " ",
               FileTypeName(o.fileType));
  RenderReport report = Describe(o, total, plan);
  report.loudness = measured ? plan.expected : meter.Result();
  PrintReport(o, report);
  return 0;
}

// Renders as the options ask: a measuring pass first when a gain is to be
// found (or a dry run is to report), then the writing pass.
int Render(const RenderOptions& o, PluginHost& h, const StartSettings& start, const Timeline& timeline,
           std::string* error) {
  CatchInterruptions();
  const int64_t total = std::llround(timeline.seconds * o.sampleRate);
  const bool measure = NeedsMeasuringPass(o);
  const int passes = (measure ? 1 : 0) + (o.dryRun ? 0 : 1);
  ProgressBar progress(total * passes, o.progress && static_cast<double>(total) > 30.0 * 48000.0);
  GainPlan plan;
  if (measure) {
    LoudnessMeter meter(o.sampleRate);
    const int code = MeasuringPass(o, h, start, timeline, &meter, progress, error);
    if (code != 0) return code;
    GainRequest request;
    request.loudnessGiven = o.loudnessGiven;
    request.loudness = o.loudness;
    request.ceilingGiven = o.truePeakGiven;
    request.ceiling = o.truePeak;
    if (!PlanGain(meter, request, &plan, error)) {
      progress.Finish();
      if (!o.dryRun) *error += "; no file written";
      return 1;
    }
    if (o.dryRun) {
      progress.Finish();
      RenderReport report = Describe(o, total, plan);
      report.loudness = plan.expected;
      PrintReport(o, report);
      return 0;
    }
  }
  return WritingPass(o, h, start, timeline, plan, measure, progress, measure ? total : 0, error);
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
  const TimelinePlugin resolver = MakeTimelinePlugin(o, view);
  if (!o.plot.empty() && !WriteSessionPlot(o, timeline, resolver, error)) return 1;
  if (o.dryRun) {
    // The JSON report is all a script finds on standard output.
    if (o.report != ReportFormat::kJson || !NeedsMeasuringPass(o))
      std::fputs(FormatTimeline(timeline, resolver).c_str(), stdout);
    if (!NeedsMeasuringPass(o)) return 0;
  }
  return Render(o, h, start, timeline, error);
}

}  // namespace selvarin
