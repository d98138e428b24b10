#pragma once
// The test host's side of an editor view on Linux: an IPlugFrame that offers
// the IRunLoop a plug-in registers its timer and descriptor handlers with,
// run on poll() for a bounded time at each call, as a host's GUI loop would.
#include <chrono>
#include <functional>
#include <utility>
#include <vector>

#include "pluginterfaces/gui/iplugview.h"

namespace selvarin {
namespace test {

class PollRunLoopFrame : public Steinberg::IPlugFrame, public Steinberg::Linux::IRunLoop {
 public:
  ~PollRunLoopFrame();

  // ---- IPlugFrame ----
  Steinberg::tresult PLUGIN_API resizeView(Steinberg::IPlugView* view, Steinberg::ViewRect* newSize) override;
  // ---- IRunLoop ----
  Steinberg::tresult PLUGIN_API registerEventHandler(Steinberg::Linux::IEventHandler* handler,
                                                     Steinberg::Linux::FileDescriptor fd) override;
  Steinberg::tresult PLUGIN_API unregisterEventHandler(Steinberg::Linux::IEventHandler* handler) override;
  Steinberg::tresult PLUGIN_API registerTimer(Steinberg::Linux::ITimerHandler* handler,
                                              Steinberg::Linux::TimerInterval ms) override;
  Steinberg::tresult PLUGIN_API unregisterTimer(Steinberg::Linux::ITimerHandler* handler) override;
  // ---- FUnknown (the frame belongs to the test; counts what the plug-in holds) ----
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return static_cast<Steinberg::uint32>(++refs_); }
  Steinberg::uint32 PLUGIN_API release() override { return static_cast<Steinberg::uint32>(--refs_); }

  // Runs the loop for `ms` milliseconds.
  void RunFor(int ms);
  // Runs until done() holds or `ms` milliseconds have passed; returns done().
  bool RunUntil(const std::function<bool()>& done, int ms);

  // The sizes the plug-in asked its frame for (width, height), in order.
  const std::vector<std::pair<int, int>>& Resizes() const { return resizes_; }
  int Handlers() const { return static_cast<int>(fds_.size() + timers_.size()); }
  int Timers() const { return static_cast<int>(timers_.size()); }
  int TimerPeriodMs() const { return timers_.empty() ? -1 : static_cast<int>(timers_[0].period.count()); }
  // References the plug-in holds on the frame beyond the ones it gave back.
  int OutstandingRefs() const { return refs_; }
  // The longest time one handler call took so far, by the clock and in the
  // calling thread's CPU time (which time spent waiting for the processor
  // on a busy machine does not count).
  std::chrono::microseconds LongestCall() const { return longest_; }
  std::chrono::microseconds LongestCallCpu() const { return longestCpu_; }

 private:
  struct Fd {
    Steinberg::Linux::IEventHandler* handler;
    int fd;
  };
  struct Timer {
    Steinberg::Linux::ITimerHandler* handler;
    std::chrono::milliseconds period;
    std::chrono::steady_clock::time_point due;
  };
  void Step(std::chrono::steady_clock::time_point deadline);
  void Timed(const std::function<void()>& call);

  std::vector<std::pair<int, int>> resizes_;
  std::vector<Fd> fds_;
  std::vector<Timer> timers_;
  int refs_ = 0;
  std::chrono::microseconds longest_{0};
  std::chrono::microseconds longestCpu_{0};
};

}  // namespace test
}  // namespace selvarin
