#pragma once
// The processing calls of the renderer's host: set-up and activation, and
// one call per block with a stereo output, parameter changes and the
// transport.
#include <cstdint>
#include <string>

#include "pluginterfaces/vst/ivstprocesscontext.h"
#include "tools/render/render_options.h"
#include "tools/vst3host/host_objects.h"
#include "tools/vst3host/host_transport.h"
#include "tools/vst3host/hosted_plugin.h"
#include "tools/vst3host/stereo_output.h"
#include "vst3/fourcc_param_ids.h"

namespace selvarin {

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
  // The channels of the chosen precision; the other width's are null.
  double* const* Channels64() { return output_.ch64; }
  float* const* Channels32() { return output_.ch32; }

 private:
  HostedPlugin& plugin_;
  const HostTransport transport_;
  StereoOutput output_;
  HostParamChanges changes_;
  HostEventList events_;
  sv::ProcessContext context_{};
};

}  // namespace selvarin
