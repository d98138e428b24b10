#include "tools/render/render_output.h"

#include <cmath>
#include <cstdio>

#include "tools/platform/file_system.h"
#include "tools/render/audio_writer.h"
#include "tools/render/frame_pipe.h"
#include "tools/render/interruption.h"
#include "tools/render/loudness_meter.h"
#include "tools/render/loudness_report.h"
#include "tools/render/loudness_target.h"
#include "tools/render/progress_bar.h"

namespace selvarin {

namespace {

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

// Title and comment tags: the session's title (else the file name), the
// preset the render starts from and the session file.
void Tag(const RenderOptions& o, const PluginHost& h, const StartSettings& start, const Timeline& timeline,
         WriterSettings* ws) {
  ws->title = !timeline.title.empty() ? timeline.title : o.output == "-" ? "Selvarin" : PathStem(o.output);
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

}  // namespace

int RenderTimeline(const RenderOptions& o, PluginHost& h, const StartSettings& start, const Timeline& timeline,
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

}  // namespace selvarin
