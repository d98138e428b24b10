#pragma once
// Which threads a host enters on: process on its audio thread; set-up,
// activation, state, parameter edits and the editor view on its
// user-interface thread. Debug builds record the thread of each role's
// first call and report a call of that role on another thread once per
// plug-in instance and role, on stderr; release builds check nothing. The
// host's queries and conversions (parameter counts, infos, texts,
// normalised values) may come from any thread and are not checked.
#include <atomic>
#include <thread>

namespace selvarin {

enum class HostThread : int { kAudio = 0, kUi = 1 };

class HostThreadCheck {
 public:
  // At a host's entry point; `call` names it in the report. Audio-thread
  // safe: no allocation, no lock (a report writes to stderr once).
  void Enter(HostThread role, const char* call) {
#ifndef NDEBUG
    EnterChecked(role, call);
#else
    (void)role;
    (void)call;
#endif
  }
  // A new processing run (set-up, activation) may come on another audio
  // thread: the next process call's thread is the audio thread.
  void ForgetAudioThread() { slots_[0].thread.store(std::thread::id(), std::memory_order_relaxed); }

 private:
  void EnterChecked(HostThread role, const char* call);

  struct Slot {
    std::atomic<std::thread::id> thread{std::thread::id()};
    std::atomic<bool> reported{false};
  };
  Slot slots_[2];
};

}  // namespace selvarin
