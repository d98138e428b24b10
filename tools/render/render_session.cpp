#include "tools/render/render_session.h"

#include <signal.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "pluginterfaces/vst/ivstprocesscontext.h"
#include "pluginterfaces/vst/vstspeaker.h"
#include "tools/render/audio_writer.h"
#include "tools/render/frame_pipe.h"
#include "tools/render/param_resolve.h"
#include "tools/platform/file_system.h"
#include "tools/render/progress_bar.h"
#include "tools/vst3host/host_objects.h"
#include "tools/vst3host/hosted_plugin.h"
#include "tools/vst3host/module_loader.h"

namespace selvarin {

namespace {

volatile sig_atomic_t gInterrupted = 0;

void OnInterrupt(int) { gInterrupted = 1; }

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

// The host's transport at a project position: 4/4, tempo, playing or not.
void FillContext(sv::ProcessContext* c, const RenderOptions& o, int64_t position) {
  *c = sv::ProcessContext{};
  c->state = sv::ProcessContext::kTempoValid | sv::ProcessContext::kTimeSigValid |
             sv::ProcessContext::kProjectTimeMusicValid | sv::ProcessContext::kBarPositionValid |
             sv::ProcessContext::kContTimeValid | (o.playing ? sv::ProcessContext::kPlaying : 0);
  c->sampleRate = o.sampleRate;
  c->projectTimeSamples = position;
  c->continousTimeSamples = position;
  c->projectTimeMusic = static_cast<double>(position) / o.sampleRate * o.tempo / 60.0;
  c->barPositionMusic = std::floor(c->projectTimeMusic / 4.0) * 4.0;
  c->tempo = o.tempo;
  c->timeSigNumerator = 4;
  c->timeSigDenominator = 4;
}

}  // namespace

std::string FindBundle(const char* argv0) {
  const std::string exeDir = ExecutableDirectory(argv0);
  std::vector<std::string> places = {exeDir + "/../vst3/Selvarin.vst3", exeDir + "/../lib/vst3/Selvarin.vst3"};
  if (const char* home = std::getenv("HOME")) places.push_back(std::string(home) + "/.vst3/Selvarin.vst3");
  places.push_back("/usr/local/lib/vst3/Selvarin.vst3");
  places.push_back("/usr/lib/vst3/Selvarin.vst3");
  for (const std::string& p : places)
    if (PathExists(p)) return p;
  return "";
}

int RunRender(const RenderOptions& o, const char* argv0, std::string* error) {
  const std::string bundle = o.pluginPath.empty() ? FindBundle(argv0) : o.pluginPath;
  if (bundle.empty()) {
    *error = "cannot find Selvarin.vst3 (build it, install it, or give --plugin PATH)";
    return 1;
  }
  Vst3Module module;
  if (!module.Load(bundle, error)) return 1;
  HostApp host("selvarin-render");
  HostedPlugin plugin;
  if (!plugin.Create(module.Factory(), &host, error)) return 1;

  const std::vector<CatalogParam> catalog = BuildCatalog(plugin);
  const std::vector<std::string> presets = plugin.ProgramNames();
  if (o.listPresets || o.listParams) {
    if (o.listParams) PrintParams(catalog);
    if (o.listParams && o.listPresets) std::printf("\n");
    if (o.listPresets) PrintPresets(presets);
    return 0;
  }

  // Everything typed is checked before the file is created.
  int presetIndex = -1;
  if (!o.preset.empty() && !ResolvePreset(presets, o.preset, &presetIndex, error)) return 1;
  std::vector<ResolvedParam> settings;
  auto toNormalized = [&](uint32_t id, double plain) { return plugin.controller->plainParamToNormalized(id, plain); };
  for (const ParamSetting& s : o.params) {
    ResolvedParam r;
    if (!ResolveParam(catalog, s, toNormalized, &r, error)) return 1;
    settings.push_back(r);
  }

  const int sampleSize = o.precision == 64 ? sv::kSample64 : sv::kSample32;
  if (plugin.processor->canProcessSampleSize(sampleSize) != sb::kResultOk) {
    *error = "the plug-in cannot process " + std::to_string(o.precision) + "-bit samples";
    return 1;
  }
  sv::SpeakerArrangement stereo = sv::SpeakerArr::kStereo;
  plugin.processor->setBusArrangements(nullptr, 0, &stereo, 1);
  plugin.component->activateBus(sv::kAudio, sv::kOutput, 0, true);
  if (plugin.component->getBusCount(sv::kEvent, sv::kInput) > 0)
    plugin.component->activateBus(sv::kEvent, sv::kInput, 0, true);
  if (!plugin.Setup(o.sampleRate, o.blockSize, sampleSize, sv::kOffline)) {
    *error = "the plug-in refused the processing set-up";
    return 1;
  }
  if (!plugin.SetActive(true)) {
    *error = "the plug-in refused activation";
    return 1;
  }
  plugin.processor->setProcessing(true);

  const int64_t total = static_cast<int64_t>(std::llround(o.seconds * o.sampleRate));
  AudioWriter writer;
  if (!writer.Open(o.output, o.fileType, o.format, static_cast<int>(o.sampleRate), 2, total, error)) return 1;

  const size_t block = static_cast<size_t>(o.blockSize);
  std::vector<double> left64(block), right64(block);
  std::vector<float> left32(block), right32(block);
  double* ch64[2] = {left64.data(), right64.data()};
  float* ch32[2] = {left32.data(), right32.data()};
  sv::AudioBusBuffers out;
  out.numChannels = 2;
  if (o.precision == 64) out.channelBuffers64 = ch64; else out.channelBuffers32 = ch32;
  // Frames are written in large pieces by a second thread while the next
  // ones render.
  FramePipe pipe(&writer, o.precision, block);

  HostParamChanges changes;
  HostEventList events;
  sv::ProcessContext context{};
  sv::ProcessData data;
  data.processMode = sv::kOffline;
  data.symbolicSampleSize = sampleSize;
  data.numInputs = 0;
  data.numOutputs = 1;
  data.outputs = &out;
  data.inputParameterChanges = &changes;
  data.inputEvents = &events;
  data.processContext = &context;

  // The preset, then the parameters, reach the plug-in as a DAW sends them:
  // parameter changes of a processing call without samples, before the
  // first block, mirrored to the controller.
  if (presetIndex >= 0 && presets.size() > 1) {
    const double x = static_cast<double>(presetIndex) / static_cast<double>(presets.size() - 1);
    changes.Add(0x70727374, 0, x);  // 'prst'
    plugin.controller->setParamNormalized(0x70727374, x);
  }
  for (const ResolvedParam& r : settings) {
    changes.Add(r.id, 0, r.normalized);
    plugin.controller->setParamNormalized(r.id, r.normalized);
  }
  FillContext(&context, o, 0);
  data.numSamples = 0;
  if (plugin.processor->process(data) != sb::kResultOk) {
    *error = "the plug-in failed to take the parameters";
    return 1;
  }
  changes.Clear();

  signal(SIGINT, OnInterrupt);
  signal(SIGTERM, OnInterrupt);
  ProgressBar progress(total, o.progress && o.seconds * o.sampleRate > 30.0 * 48000.0);
  for (int64_t done = 0; done < total;) {
    if (gInterrupted) {
      progress.Finish();
      *error = "interrupted; no file written";
      return 130;
    }
    const int n = static_cast<int>(total - done < static_cast<int64_t>(block) ? total - done : block);
    FillContext(&context, o, done);
    data.numSamples = n;
    if (plugin.processor->process(data) != sb::kResultOk) {
      progress.Finish();
      *error = "the plug-in failed to process a block";
      return 1;
    }
    if (!pipe.Append(ch64, ch32, n, error)) {
      progress.Finish();
      return 1;
    }
    done += n;
    progress.Update(done);
  }
  if (!pipe.Finish(error)) return 1;
  progress.Finish();
  plugin.processor->setProcessing(false);
  plugin.SetActive(false);
  if (!writer.Commit(error)) return 1;

  const char* bits = o.format == SampleFormat::kPcm16 ? "16-bit" : o.format == SampleFormat::kPcm24 ? "24-bit" : "32-bit float";
  std::printf("Wrote %s: %.3f s, %d Hz, stereo, %s %s\n", o.output.c_str(), static_cast<double>(total) / o.sampleRate,
              static_cast<int>(o.sampleRate), bits, o.fileType == FileType::kFlac ? "FLAC" : "WAV");
  return 0;
}

}  // namespace selvarin
