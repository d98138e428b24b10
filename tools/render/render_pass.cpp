#include "tools/render/render_pass.h"

#include <cmath>

#include "tools/render/block_processor.h"
#include "tools/render/interruption.h"
#include "tools/render/output_fades.h"
#include "tools/render/timeline_player.h"

namespace selvarin {

namespace {

// The preset, then the parameters, reach the plug-in as a DAW sends them:
// parameter changes of a processing call without samples, before the first
// block, mirrored to the controller.
bool ApplyStart(const StartSettings& s, const PluginHost& h, HostedPlugin& plugin, BlockProcessor& proc,
                std::string* error) {
  HostParamChanges& changes = proc.Changes();
  if (s.presetIndex >= 0 && h.presets.size() > 1) {
    const double x = static_cast<double>(s.presetIndex) / static_cast<double>(h.presets.size() - 1);
    changes.Add(kPresetParamId, 0, x);
    plugin.controller->setParamNormalized(kPresetParamId, x);
  }
  for (const ResolvedParam& r : s.params) {
    changes.Add(r.id, 0, r.normalized);
    plugin.controller->setParamNormalized(r.id, r.normalized);
  }
  if (!proc.Process(0, 0)) {
    *error = "the plug-in failed to take the parameters";
    return false;
  }
  return true;
}

int PipeFailureCode(const AudioWriter* writer, std::string* error) {
  return writer ? OutputFailureCode(*writer, error) : 1;
}

}  // namespace

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

int RenderPass(const RenderOptions& o, PluginHost& h, const StartSettings& start, const Timeline& timeline,
               FramePipe& pipe, const AudioWriter* writer, ProgressBar& progress, int64_t progressFrom,
               std::string* error) {
  HostedPlugin plugin;
  if (!plugin.Create(h.module.Factory(), &h.host, error)) return 1;
  if (!StartProcessing(o, plugin, error)) return 1;
  const int64_t total = std::llround(timeline.seconds * o.sampleRate);
  BlockProcessor proc(o, plugin);
  sv::IEditController* controller = plugin.controller;
  TimelinePlayer player(timeline, [controller](uint32_t id, double plain) {
    return controller->plainParamToNormalized(id, plain);
  }, static_cast<int>(h.presets.size()));
  const OutputFades fades(total, std::llround(o.fadeIn * o.sampleRate), std::llround(o.fadeOut * o.sampleRate));
  if (!ApplyStart(start, h, plugin, proc, error)) return 1;
  const int64_t block = o.blockSize;
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
      return PipeFailureCode(writer, error);
    }
    done += n;
    progress.Update(progressFrom + done);
  }
  if (!pipe.Finish(error)) {
    progress.Finish();
    return PipeFailureCode(writer, error);
  }
  plugin.processor->setProcessing(false);
  plugin.SetActive(false);
  return 0;
}

}  // namespace selvarin
