#pragma once
// The application's run loop on Linux: poll() over the descriptors of the
// X connections, timers, and work posted to run after the current event.
// It is also the IRunLoop the editor view registers its handlers with, as a
// Linux VST3 host offers through its frame.
#include <chrono>
#include <functional>
#include <vector>

#include "pluginterfaces/gui/iplugview.h"

namespace selvarin {

class PollLoop : public Steinberg::Linux::IRunLoop {
 public:
  PollLoop();
  ~PollLoop();
  PollLoop(const PollLoop&) = delete;
  PollLoop& operator=(const PollLoop&) = delete;

  // The application's own handlers; each returns a token for Remove.
  int AddDescriptor(int fd, std::function<void()> onReadable);
  int AddTimer(int periodMs, std::function<void()> onTimer);
  void Remove(int token);
  // Runs fn once, after the event being handled (never inside it).
  void Post(std::function<void()> fn);
  void Run();
  void Quit() { quit_ = true; }
  // A signal (SIGINT, SIGTERM) calls this on the loop's thread, once.
  void OnQuitSignal(std::function<void()> fn);

  // ---- IRunLoop ----
  Steinberg::tresult PLUGIN_API registerEventHandler(Steinberg::Linux::IEventHandler* handler,
                                                     Steinberg::Linux::FileDescriptor fd) override;
  Steinberg::tresult PLUGIN_API unregisterEventHandler(Steinberg::Linux::IEventHandler* handler) override;
  Steinberg::tresult PLUGIN_API registerTimer(Steinberg::Linux::ITimerHandler* handler,
                                              Steinberg::Linux::TimerInterval ms) override;
  Steinberg::tresult PLUGIN_API unregisterTimer(Steinberg::Linux::ITimerHandler* handler) override;
  // The loop belongs to the application window; references are counted
  // only so that handlers left registered are let go at the end.
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
  Steinberg::uint32 PLUGIN_API release() override { return 1; }

 private:
  using Clock = std::chrono::steady_clock;
  struct Entry {
    int token = 0;
    int fd = -1;  // -1: a timer
    std::chrono::milliseconds period{0};
    Clock::time_point due;
    std::function<void()> fn;
    Steinberg::FUnknown* handler = nullptr;  // a plug-in's handler, released on removal
    bool removed = false;
  };
  int Add(Entry e);
  void RemoveWhere(const std::function<bool(const Entry&)>& match);
  void Step();
  void Sweep();

  std::vector<Entry> entries_;
  std::vector<std::function<void()>> posted_;
  int nextToken_ = 1;
  bool quit_ = false;
  int signalPipe_[2] = {-1, -1};
};

}  // namespace selvarin
