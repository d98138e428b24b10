#pragma once
// The processing calls of the renderer's host: set-up and activation, and
// one call per block with a stereo output, parameter changes and the
// transport.
#include <cstdint>
#include <string>
#include <vector>

#include "pluginterfaces/vst/ivstprocesscontext.h"
#include "tools/render/render_options.h"
#include "tools/vst3host/host_objects.h"
#include "tools/vst3host/hosted_plugin.h"

namespace selvarin {

// The program-change parameter ('prst') of the plug-in's preset list.
constexpr sv::ParamID kPresetParamId = 0x70727374;

// Buses, set-up, activation: the plug-in ready for its first block.
bool StartProcessing(const RenderOptions& o, HostedPlugin& plugin, std::string* error);

// The processing call as the renderer makes it: one stereo output of the
// chosen precision, a parameter-change list and the transport.
class BlockProcessor {
 public:
  BlockProcessor(const RenderOptions& o, HostedPlugin& plugin);

  HostParamChanges& Changes() { return changes_; }
  // Runs one call of n frames at a project position; the changes are
  // cleared afterwards.
  bool Process(int64_t position, int n);
  double* const* Channels64() { return ch64_; }
  float* const* Channels32() { return ch32_; }

 private:
  static size_t Size(const RenderOptions& o) { return static_cast<size_t>(o.blockSize); }

  const RenderOptions& o_;
  HostedPlugin& plugin_;
  std::vector<double> left64_, right64_;
  std::vector<float> left32_, right32_;
  double* ch64_[2] = {};
  float* ch32_[2] = {};
  sv::AudioBusBuffers out_{};
  HostParamChanges changes_;
  HostEventList events_;
  sv::ProcessContext context_{};
  sv::ProcessData data_{};
};

}  // namespace selvarin
