// The processing call must never touch the heap, whatever the block brings:
// this binary counts every allocation made inside process().
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "tests/vst3/plugin_fixture.h"

namespace {
std::atomic<bool> gCounting{false};
std::atomic<long> gAllocations{0};

void Count() {
  if (gCounting.load(std::memory_order_relaxed)) gAllocations.fetch_add(1, std::memory_order_relaxed);
}
}  // namespace

// glibc's own allocator entry points; the module's calls reach these too.
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t n, size_t size);
void* __libc_realloc(void* p, size_t size);
void* __libc_memalign(size_t alignment, size_t size);

void* malloc(size_t size) {
  Count();
  return __libc_malloc(size);
}
void* calloc(size_t n, size_t size) {
  Count();
  return __libc_calloc(n, size);
}
void* realloc(void* p, size_t size) {
  Count();
  return __libc_realloc(p, size);
}
void* aligned_alloc(size_t alignment, size_t size) {
  Count();
  return __libc_memalign(alignment, size);
}
}

void* operator new(size_t size) {
  Count();
  if (void* p = __libc_malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  Count();
  return __libc_malloc(size ? size : 1);
}
void* operator new[](size_t size, const std::nothrow_t& t) noexcept { return operator new(size, t); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

namespace selvarin {
namespace test {
namespace {

namespace sb = Steinberg;
namespace sv = Steinberg::Vst;

class ProcessAllocTest : public PluginTest {
 protected:
  // Processes `frames` with whatever is queued, counting allocations.
  long Process(int frames) {
    FillContext(&context_, rate_, position_, true);
    data_.numSamples = frames;
    gAllocations = 0;
    gCounting = true;
    const sb::tresult r = plugin.processor->process(data_);
    gCounting = false;
    EXPECT_EQ(r, sb::kResultOk);
    position_ += frames;
    changes.Clear();
    events.Clear();
    return gAllocations.load();
  }
  void Bind(int bits) {
    bus_.numChannels = 2;
    if (bits == 64) bus_.channelBuffers64 = ch64_; else bus_.channelBuffers32 = ch32_;
    data_.symbolicSampleSize = bits == 64 ? sv::kSample64 : sv::kSample32;
    data_.numOutputs = 1;
    data_.outputs = &bus_;
    data_.inputParameterChanges = &changes;
    data_.inputEvents = &events;
    data_.processContext = &context_;
  }
  void Exercise() {
    EXPECT_EQ(Process(512), 0);
    for (sv::ParamID id = 0; id < 23; ++id) Queue(id, (id % 5) / 4.0);
    EXPECT_EQ(Process(512), 0) << "parameter changes";
    Queue(kPrst, 0.5);
    EXPECT_EQ(Process(300), 0) << "factory preset";
    Queue(kPrst, 1.0);
    EXPECT_EQ(Process(300), 0) << "empty preset slot";
    Queue(kBpas, 1.0);
    EXPECT_EQ(Process(256), 0) << "bypass";
    Queue(kBpas, 0.0);
    sv::Event on{};
    on.type = sv::Event::kNoteOnEvent;
    on.noteOn.pitch = 60;
    on.noteOn.velocity = 1.0f;
    events.addEvent(on);
    EXPECT_EQ(Process(1), 0) << "note event";
    EXPECT_EQ(Process(4096), 0) << "a block longer than the announced maximum";
    EXPECT_EQ(Process(0), 0) << "a parameter flush";
  }

  sv::ProcessData data_;
  sv::ProcessContext context_{};
  sv::AudioBusBuffers bus_;
  std::vector<double> l64_ = std::vector<double>(4096), r64_ = std::vector<double>(4096);
  std::vector<float> l32_ = std::vector<float>(4096), r32_ = std::vector<float>(4096);
  double* ch64_[2] = {l64_.data(), r64_.data()};
  float* ch32_[2] = {l32_.data(), r32_.data()};
};

TEST_F(ProcessAllocTest, TheCounterSeesTheModulesAllocations) {
  // Processing set-up sizes the scratch buffers: that does allocate.
  sv::ProcessSetup setup{sv::kRealtime, sv::kSample32, 2048, 48000.0};
  gAllocations = 0;
  gCounting = true;
  plugin.processor->setupProcessing(setup);
  gCounting = false;
  EXPECT_GT(gAllocations.load(), 0);
}

TEST_F(ProcessAllocTest, SixtyFourBitProcessingAllocatesNothing) {
  Prepare(48000.0, 512, 64);
  Bind(64);
  Exercise();
}

TEST_F(ProcessAllocTest, ThirtyTwoBitProcessingAllocatesNothing) {
  Prepare(48000.0, 512, 32);
  Bind(32);
  Exercise();
}

}  // namespace
}  // namespace test
}  // namespace selvarin
