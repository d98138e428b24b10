#pragma once
// An IBStream over bytes in memory, with the faults hosts and files bring:
// reads that fail, a stream that never ends, counts that lie, slowness.
#include <cstring>
#include <functional>
#include <vector>

#include "pluginterfaces/base/ibstream.h"
#include "tools/vst3host/host_objects.h"

namespace selvarin {
namespace test {

class TestStream : public Steinberg::IBStream {
 public:
  TestStream() = default;
  explicit TestStream(std::vector<unsigned char> bytes) : bytes_(std::move(bytes)) {}

  bool failReads = false;  // every read reports an error
  bool endless = false;    // reads never run out (each byte 0x41)
  bool errorWithBytes = false;  // every read delivers its bytes but reports an error
  int deliverAtMost = -1;          // a read delivers at most this many bytes (-1: no limit)...
  bool claimWholeRequest = false;  // ...but one that delivers any claims the whole request
  int claimBeyond = 0;             // added to every count a read reports
  std::function<void()> onRead;    // runs inside every read (a slow stream)
  std::function<void()> onWrite;   // runs inside every write (a slow stream)
  long long readCalls = 0;

  Steinberg::tresult PLUGIN_API read(void* buffer, Steinberg::int32 n, Steinberg::int32* got) override {
    ++readCalls;
    if (onRead) onRead();
    if (got) *got = 0;
    if (failReads) return Steinberg::kResultFalse;
    if (n < 0) return Steinberg::kInvalidArgument;
    if (endless) {
      std::memset(buffer, 0x41, static_cast<size_t>(n));
      if (got) *got = n;
      pos_ += n;
      return Steinberg::kResultOk;
    }
    long long avail = static_cast<long long>(bytes_.size()) - pos_;
    if (avail < 0) avail = 0;
    if (deliverAtMost >= 0 && avail > deliverAtMost) avail = deliverAtMost;
    const Steinberg::int32 k = avail < n ? static_cast<Steinberg::int32>(avail) : n;
    if (k > 0) std::memcpy(buffer, bytes_.data() + pos_, static_cast<size_t>(k));
    pos_ += k;
    if (got) *got = (claimWholeRequest && k > 0 ? n : k) + claimBeyond;
    return errorWithBytes ? Steinberg::kResultFalse : Steinberg::kResultOk;
  }
  Steinberg::tresult PLUGIN_API write(void* buffer, Steinberg::int32 n, Steinberg::int32* written) override {
    if (onWrite) onWrite();
    if (n < 0) return Steinberg::kInvalidArgument;
    if (static_cast<size_t>(pos_) + static_cast<size_t>(n) > bytes_.size())
      bytes_.resize(static_cast<size_t>(pos_) + static_cast<size_t>(n));
    std::memcpy(bytes_.data() + pos_, buffer, static_cast<size_t>(n));
    pos_ += n;
    if (written) *written = n;
    return Steinberg::kResultOk;
  }
  Steinberg::tresult PLUGIN_API seek(Steinberg::int64 pos, Steinberg::int32 mode, Steinberg::int64* result) override {
    Steinberg::int64 base = mode == kIBSeekSet ? 0 : mode == kIBSeekCur ? pos_ : static_cast<Steinberg::int64>(bytes_.size());
    if (base + pos < 0) return Steinberg::kInvalidArgument;
    pos_ = base + pos;
    if (result) *result = pos_;
    return Steinberg::kResultOk;
  }
  Steinberg::tresult PLUGIN_API tell(Steinberg::int64* pos) override {
    if (pos) *pos = pos_;
    return Steinberg::kResultOk;
  }
  SELVARIN_HOST_OWNED_UNKNOWN(Steinberg::IBStream)

  const std::vector<unsigned char>& Bytes() const { return bytes_; }

 private:
  std::vector<unsigned char> bytes_;
  Steinberg::int64 pos_ = 0;
};

}  // namespace test
}  // namespace selvarin
