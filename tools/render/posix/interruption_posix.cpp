#include "tools/render/interruption.h"

#include <signal.h>

#include <atomic>

namespace selvarin {

namespace {

// Written by a signal handler, read by any thread: a lock-free atomic.
std::atomic<bool> gInterrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the stop flag is set from a signal handler");

void OnStopRequest(int) { gInterrupted.store(true, std::memory_order_relaxed); }

// Signals whose default action ends the process and that come from outside
// it: the terminal, kill, timers and resource limits. The faults a program
// causes itself (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGSYS, SIGABRT)
// keep their default action, which keeps the core dump. SIGPIPE and
// SIGXFSZ are ignored instead, so that the write fails with its reason.
const int kStopSignals[] = {
    SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF, SIGXCPU, SIGIO,
#ifdef SIGPWR
    SIGPWR,
#endif
#ifdef SIGSTKFLT
    SIGSTKFLT,
#endif
};

// A signal keeps a handler that someone else installed (a profiler, a
// sanitizer). A render started with nohup keeps running when its terminal
// closes; other signals are caught even when the process was started
// ignoring them (as a shell starts its background jobs ignoring SIGINT and
// SIGQUIT), so that kill -INT stops a render in any case.
void Catch(int sig, struct sigaction* action) {
  struct sigaction current {};
  if (sigaction(sig, nullptr, &current) != 0) return;
  const bool catchIt = current.sa_handler == SIG_DFL || (current.sa_handler == SIG_IGN && sig != SIGHUP);
  if (catchIt) sigaction(sig, action, nullptr);
}

}  // namespace

void CatchInterruptions() {
  struct sigaction stop {};
  stop.sa_handler = OnStopRequest;
  sigfillset(&stop.sa_mask);
  // No SA_RESTART: a blocking call returns EINTR, so the thread that took
  // the signal looks at the flag at once.
  stop.sa_flags = 0;
  for (int sig : kStopSignals) Catch(sig, &stop);
  for (int sig = SIGRTMIN; sig <= SIGRTMAX; ++sig) Catch(sig, &stop);

  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGPIPE, &ignore, nullptr);
  sigaction(SIGXFSZ, &ignore, nullptr);
}

bool Interrupted() { return gInterrupted.load(std::memory_order_relaxed); }

}  // namespace selvarin
