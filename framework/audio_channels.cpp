// Channel plumbing between the host's buffers and the renderer's 64-bit
// pointer arrays. Everything here runs on the audio thread under the plug-in
// lock, except SetMaxBlockSize (processing set-up), the only place that
// allocates.
#include <algorithm>
#include <cstring>
#include <initializer_list>

#include "framework/audio_plugin.h"

namespace selvarin {

bool IAudioPlugin::ChannelRange(int start, int count, int n, int* end) {
  if (start < 0 || count <= 0 || start >= n) return false;
  *end = count > n - start ? n : start + count;
  return true;
}

void IAudioPlugin::SetConnections(Channels& channels, int start, int count, bool connected) {
  int end;
  if (!ChannelRange(start, count, static_cast<int>(channels.size()), &end)) return;
  for (int i = start; i < end; ++i) {
    Channel& ch = channels[static_cast<size_t>(i)];
    ch.connected = connected;
    if (!connected) {
      *ch.slot = ch.Scratch();
      ch.floatDest = nullptr;
    }
  }
}

void IAudioPlugin::SetInputConnections(int start, int count, bool connected) {
  SetConnections(inChannels_, start, count, connected);
}

void IAudioPlugin::SetOutputConnections(int start, int count, bool connected) {
  SetConnections(outChannels_, start, count, connected);
}

void IAudioPlugin::Attach64(Channels& channels, int start, int count, double* const* buffers) {
  int end;
  if (!buffers || !ChannelRange(start, count, static_cast<int>(channels.size()), &end)) return;
  for (int i = start; i < end; ++i) {
    Channel& ch = channels[static_cast<size_t>(i)];
    if (!ch.connected) continue;
    *ch.slot = *buffers++;
    ch.floatDest = nullptr;
  }
}

void IAudioPlugin::AttachInputs64(int start, int count, double* const* buffers) {
  Attach64(inChannels_, start, count, buffers);
}

void IAudioPlugin::AttachOutputs64(int start, int count, double* const* buffers) {
  Attach64(outChannels_, start, count, buffers);
}

void IAudioPlugin::AttachInputs32(int start, int count, float* const* buffers, int frames) {
  int end;
  if (!buffers || !ChannelRange(start, count, NInChannels(), &end)) return;
  for (int i = start; i < end; ++i) {
    Channel& ch = inChannels_[static_cast<size_t>(i)];
    if (!ch.connected) continue;
    const float* src = *buffers++;
    const int n = std::min(frames, static_cast<int>(ch.scratch.size()));
    double* dst = ch.scratch.data();
    for (int s = 0; s < n; ++s) dst[s] = src ? static_cast<double>(src[s]) : 0.0;
    *ch.slot = dst;
  }
}

void IAudioPlugin::AttachOutputs32(int start, int count, float* const* buffers) {
  int end;
  if (!buffers || !ChannelRange(start, count, NOutChannels(), &end)) return;
  for (int i = start; i < end; ++i) {
    Channel& ch = outChannels_[static_cast<size_t>(i)];
    if (!ch.connected) continue;
    *ch.slot = ch.Scratch();
    ch.floatDest = *buffers++;
  }
}

void IAudioPlugin::ProcessBlock64(int frames) {
  // A block of 0 frames writes nothing but still reaches the renderer, which
  // takes its end-of-block steps.
  if (!paramsReady_ || frames < 0) return;
  // A channel with no buffer yet (no block size was set up) cannot be rendered into.
  for (double* p : outPtrs_)
    if (!p) return;
  for (double* p : inPtrs_)
    if (!p) return;
  RenderBlock(inPtrs_.data(), outPtrs_.data(), frames);
}

void IAudioPlugin::ProcessBlock32(int frames) {
  ProcessBlock64(frames);
  ConvertOutputsTo32(frames);
}

void IAudioPlugin::BypassBlock64(int frames) { PassThrough(inPtrs_.data(), outPtrs_.data(), frames); }

void IAudioPlugin::BypassBlock32(int frames) {
  BypassBlock64(frames);
  ConvertOutputsTo32(frames);
}

void IAudioPlugin::ConvertOutputsTo32(int frames) {
  for (Channel& ch : outChannels_) {
    if (!ch.connected || !ch.floatDest || !*ch.slot) continue;
    const double* src = *ch.slot;
    for (int s = 0; s < frames; ++s) ch.floatDest[s] = static_cast<float>(src[s]);
  }
}

void IAudioPlugin::PassThrough(double** inputs, double** outputs, int frames) {
  if (frames <= 0 || !outputs) return;
  const int nIn = NInChannels(), nOut = NOutChannels();
  const int copied = std::min(nIn, nOut);
  for (int c = 0; c < nOut; ++c) {
    double* out = outputs[c];
    if (!out) continue;
    const double* in = c < copied && inputs ? inputs[c] : nullptr;
    if (in) {
      if (in != out) std::memmove(out, in, sizeof(double) * static_cast<size_t>(frames));
    } else {
      std::memset(out, 0, sizeof(double) * static_cast<size_t>(frames));
    }
  }
}

void IAudioPlugin::ZeroScratchBuffers() {
  for (Channels* channels : {&inChannels_, &outChannels_})
    for (Channel& ch : *channels) std::fill(ch.scratch.begin(), ch.scratch.end(), 0.0);
}

void IAudioPlugin::SetMaxBlockSize(int frames) {
  if (frames == blockSize_) return;
  if (frames < 0) frames = 0;
  const std::initializer_list<Channels*> all = {&inChannels_, &outChannels_};
  try {
    for (Channels* channels : all)
      for (Channel& ch : *channels) ch.scratch.assign(static_cast<size_t>(frames), 0.0);
  } catch (...) {
    // Memory could not be had: the smaller buffers stay and the block size says so.
    for (Channels* channels : all)
      for (Channel& ch : *channels) ch.scratch.clear();
    frames = 0;
  }
  // Scratch buffers moved: re-point the slots of channels that use them.
  for (Channels* channels : all)
    for (Channel& ch : *channels)
      if (!ch.connected || ch.floatDest) *ch.slot = ch.Scratch();
  blockSize_ = frames;
}

bool IAudioPlugin::IsInputConnected(int idx) const {
  return idx >= 0 && idx < NInChannels() && inChannels_[static_cast<size_t>(idx)].connected;
}
bool IAudioPlugin::IsOutputConnected(int idx) const {
  return idx >= 0 && idx < NOutChannels() && outChannels_[static_cast<size_t>(idx)].connected;
}

}  // namespace selvarin
