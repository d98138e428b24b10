#include "vst3/host_thread_check.h"

#include <cstdio>

namespace selvarin {

void HostThreadCheck::EnterChecked(HostThread role, const char* call) {
  Slot& slot = slots_[static_cast<int>(role)];
  const std::thread::id self = std::this_thread::get_id();
  std::thread::id first;
  if (slot.thread.compare_exchange_strong(first, self, std::memory_order_relaxed) || first == self) return;
  if (slot.reported.exchange(true, std::memory_order_relaxed)) return;
  const char* name = role == HostThread::kAudio ? "audio" : "user-interface";
  std::fprintf(stderr,
               "Selvarin (debug build): the host called %s on another thread than its first %s-thread call; "
               "reported once per instance\n",
               call ? call : "?", name);
}

}  // namespace selvarin
