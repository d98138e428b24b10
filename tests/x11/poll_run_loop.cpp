#include "poll_run_loop.h"

#include <poll.h>
#include <time.h>

#include <algorithm>

namespace selvarin {
namespace test {

namespace sb = Steinberg;
using Clock = std::chrono::steady_clock;

namespace {
std::chrono::microseconds ThreadCpuTime() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return std::chrono::seconds(t.tv_sec) + std::chrono::duration_cast<std::chrono::microseconds>(
                                              std::chrono::nanoseconds(t.tv_nsec));
}
}  // namespace

PollRunLoopFrame::~PollRunLoopFrame() {
  // What the plug-in failed to unregister is let go here.
  for (Fd& f : fds_) f.handler->release();
  for (Timer& t : timers_) t.handler->release();
}

sb::tresult PLUGIN_API PollRunLoopFrame::resizeView(sb::IPlugView* view, sb::ViewRect* newSize) {
  if (!view || !newSize) return sb::kInvalidArgument;
  resizes_.emplace_back(newSize->right - newSize->left, newSize->bottom - newSize->top);
  return view->onSize(newSize) == sb::kResultOk ? sb::kResultTrue : sb::kResultFalse;
}

sb::tresult PLUGIN_API PollRunLoopFrame::queryInterface(const sb::TUID iid, void** obj) {
  if (!obj) return sb::kInvalidArgument;
  if (sb::FUnknownPrivate::iidEqual(iid, sb::Linux::IRunLoop::iid)) {
    *obj = static_cast<sb::Linux::IRunLoop*>(this);
  } else if (sb::FUnknownPrivate::iidEqual(iid, sb::IPlugFrame::iid) ||
             sb::FUnknownPrivate::iidEqual(iid, sb::FUnknown::iid)) {
    *obj = static_cast<sb::IPlugFrame*>(this);
  } else {
    *obj = nullptr;
    return sb::kNoInterface;
  }
  addRef();
  return sb::kResultOk;
}

sb::tresult PLUGIN_API PollRunLoopFrame::registerEventHandler(sb::Linux::IEventHandler* handler,
                                                              sb::Linux::FileDescriptor fd) {
  if (!handler || fd < 0) return sb::kInvalidArgument;
  handler->addRef();
  fds_.push_back(Fd{handler, fd});
  return sb::kResultOk;
}

sb::tresult PLUGIN_API PollRunLoopFrame::unregisterEventHandler(sb::Linux::IEventHandler* handler) {
  const auto it = std::find_if(fds_.begin(), fds_.end(), [&](const Fd& f) { return f.handler == handler; });
  if (it == fds_.end()) return sb::kResultFalse;
  sb::Linux::IEventHandler* h = it->handler;
  fds_.erase(it);
  h->release();
  return sb::kResultOk;
}

sb::tresult PLUGIN_API PollRunLoopFrame::registerTimer(sb::Linux::ITimerHandler* handler,
                                                       sb::Linux::TimerInterval ms) {
  if (!handler || ms == 0) return sb::kInvalidArgument;
  handler->addRef();
  const std::chrono::milliseconds period(static_cast<long>(ms));
  timers_.push_back(Timer{handler, period, Clock::now() + period});
  return sb::kResultOk;
}

sb::tresult PLUGIN_API PollRunLoopFrame::unregisterTimer(sb::Linux::ITimerHandler* handler) {
  const auto it = std::find_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.handler == handler; });
  if (it == timers_.end()) return sb::kResultFalse;
  sb::Linux::ITimerHandler* h = it->handler;
  timers_.erase(it);
  h->release();
  return sb::kResultOk;
}

void PollRunLoopFrame::Timed(const std::function<void()>& call) {
  const auto start = Clock::now();
  const auto startCpu = ThreadCpuTime();
  call();
  const auto took = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
  longest_ = std::max(longest_, took);
  longestCpu_ = std::max(longestCpu_, ThreadCpuTime() - startCpu);
}

void PollRunLoopFrame::Step(Clock::time_point deadline) {
  Clock::time_point wake = deadline;
  for (const Timer& t : timers_) wake = std::min(wake, t.due);
  // Whole milliseconds, rounded up: a loop that woke a little early would
  // spin until the timer is due.
  const auto wait = std::chrono::ceil<std::chrono::milliseconds>(wake - Clock::now()).count();
  std::vector<pollfd> pfds;
  for (const Fd& f : fds_) pfds.push_back(pollfd{f.fd, POLLIN, 0});
  poll(pfds.data(), pfds.size(), wait > 0 ? static_cast<int>(wait) : 0);
  // A handler may unregister itself or another one: look each up again.
  for (const pollfd& p : pfds) {
    if (!(p.revents & (POLLIN | POLLHUP | POLLERR))) continue;
    const auto it = std::find_if(fds_.begin(), fds_.end(), [&](const Fd& f) { return f.fd == p.fd; });
    if (it == fds_.end()) continue;
    sb::Linux::IEventHandler* h = it->handler;
    Timed([&] { h->onFDIsSet(p.fd); });
  }
  const auto now = Clock::now();
  std::vector<sb::Linux::ITimerHandler*> due;
  for (Timer& t : timers_) {
    if (t.due > now) continue;
    due.push_back(t.handler);
    t.due = now + t.period;
  }
  for (sb::Linux::ITimerHandler* h : due) {
    const bool still = std::any_of(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.handler == h; });
    if (still) Timed([&] { h->onTimer(); });
  }
}

void PollRunLoopFrame::RunFor(int ms) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
  while (Clock::now() < deadline) Step(deadline);
}

bool PollRunLoopFrame::RunUntil(const std::function<bool()>& done, int ms) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
  while (!done()) {
    if (Clock::now() >= deadline) return done();
    Step(std::min(deadline, Clock::now() + std::chrono::milliseconds(20)));
  }
  return true;
}

}  // namespace test
}  // namespace selvarin
