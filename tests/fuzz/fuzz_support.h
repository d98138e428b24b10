#pragma once
// What the plug-in's fuzz targets share: reading typed values from the
// fuzzer's bytes, and a plug-in instance driven through its VST3 interfaces.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "tests/fuzz/fuzz_check.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"
#include "tools/vst3host/host_objects.h"

namespace selvarin::fuzz {

// Hands out the fuzzer's bytes as values; once they run out, zeros.
class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  template <typename T>
  T Raw() {
    T v{};
    unsigned char bytes[sizeof(T)] = {};
    for (unsigned char& b : bytes) b = Byte();
    std::memcpy(&v, bytes, sizeof(T));
    return v;
  }
  bool Empty() const { return pos_ >= size_; }
  std::vector<unsigned char> Rest() {
    std::vector<unsigned char> rest(data_ + pos_, data_ + size_);
    pos_ = size_;
    return rest;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

// One Selvarin instance, created by the module's own creation routine and
// initialised by a host of the given name, its output bus active.
class FuzzPlugin {
 public:
  explicit FuzzPlugin(const char* hostName);
  ~FuzzPlugin();
  FuzzPlugin(const FuzzPlugin&) = delete;
  FuzzPlugin& operator=(const FuzzPlugin&) = delete;

  Steinberg::Vst::IComponent* component = nullptr;
  Steinberg::Vst::IAudioProcessor* processor = nullptr;
  Steinberg::Vst::IEditController* controller = nullptr;

 private:
  HostApp host_;
};

// The largest magnitude in `frames` samples of both channels, or infinity
// when one is not a number.
double WorstSample(const double* left, const double* right, int frames);
double WorstSample(const float* left, const float* right, int frames);

// One processing call of `frames` samples into fresh buffers of the given
// sample size; returns the worst sample it wrote (see WorstSample).
double ProcessInto(Steinberg::Vst::IAudioProcessor* processor, int sampleSize, int frames,
                   Steinberg::Vst::IParameterChanges* changes, Steinberg::Vst::ProcessContext* context);

}  // namespace selvarin::fuzz
