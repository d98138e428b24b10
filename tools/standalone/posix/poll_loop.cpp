#include "tools/standalone/posix/poll_loop.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace selvarin {

namespace sb = Steinberg;

namespace {
// Where the signal handler writes; one loop per process.
volatile sig_atomic_t gSignalFd = -1;

void OnSignal(int) {
  const int fd = gSignalFd;
  if (fd >= 0) {
    const char byte = 1;
    const ssize_t ignored = write(fd, &byte, 1);
    (void)ignored;
  }
}
}  // namespace

PollLoop::PollLoop() {
  if (pipe2(signalPipe_, O_CLOEXEC | O_NONBLOCK) != 0) signalPipe_[0] = signalPipe_[1] = -1;
}

PollLoop::~PollLoop() {
  if (gSignalFd == signalPipe_[1]) gSignalFd = -1;
  for (Entry& e : entries_)
    if (e.handler && !e.removed) e.handler->release();
  for (int fd : signalPipe_)
    if (fd >= 0) close(fd);
}

void PollLoop::OnQuitSignal(std::function<void()> fn) {
  if (signalPipe_[0] < 0) return;
  const int readEnd = signalPipe_[0];
  AddDescriptor(readEnd, [readEnd, fn] {
    char buf[16];
    while (read(readEnd, buf, sizeof buf) > 0) {
    }
    fn();
  });
  gSignalFd = signalPipe_[1];
  struct sigaction sa {};
  sa.sa_handler = &OnSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);
}

int PollLoop::Add(Entry e) {
  e.token = nextToken_++;
  entries_.push_back(std::move(e));
  return entries_.back().token;
}

int PollLoop::AddDescriptor(int fd, std::function<void()> onReadable) {
  Entry e;
  e.fd = fd;
  e.fn = std::move(onReadable);
  return Add(std::move(e));
}

int PollLoop::AddTimer(int periodMs, std::function<void()> onTimer) {
  Entry e;
  e.period = std::chrono::milliseconds(periodMs > 0 ? periodMs : 1);
  e.due = Clock::now() + e.period;
  e.fn = std::move(onTimer);
  return Add(std::move(e));
}

void PollLoop::RemoveWhere(const std::function<bool(const Entry&)>& match) {
  for (Entry& e : entries_) {
    if (e.removed || !match(e)) continue;
    e.removed = true;
    e.fn = nullptr;
    if (e.handler) e.handler->release();
    e.handler = nullptr;
  }
}

void PollLoop::Remove(int token) {
  RemoveWhere([token](const Entry& e) { return e.token == token; });
}

void PollLoop::Post(std::function<void()> fn) { posted_.push_back(std::move(fn)); }

sb::tresult PLUGIN_API PollLoop::queryInterface(const sb::TUID iid, void** obj) {
  if (!obj) return sb::kInvalidArgument;
  if (sb::FUnknownPrivate::iidEqual(iid, sb::Linux::IRunLoop::iid) ||
      sb::FUnknownPrivate::iidEqual(iid, sb::FUnknown::iid)) {
    *obj = static_cast<sb::Linux::IRunLoop*>(this);
    return sb::kResultOk;
  }
  *obj = nullptr;
  return sb::kNoInterface;
}

sb::tresult PLUGIN_API PollLoop::registerEventHandler(sb::Linux::IEventHandler* handler, sb::Linux::FileDescriptor fd) {
  if (!handler || fd < 0) return sb::kInvalidArgument;
  handler->addRef();
  Entry e;
  e.fd = fd;
  e.handler = handler;
  e.fn = [handler, fd] { handler->onFDIsSet(fd); };
  Add(std::move(e));
  return sb::kResultOk;
}

sb::tresult PLUGIN_API PollLoop::unregisterEventHandler(sb::Linux::IEventHandler* handler) {
  bool found = false;
  RemoveWhere([&](const Entry& e) { return e.fd >= 0 && e.handler == handler && (found = true); });
  return found ? sb::kResultOk : sb::kResultFalse;
}

sb::tresult PLUGIN_API PollLoop::registerTimer(sb::Linux::ITimerHandler* handler, sb::Linux::TimerInterval ms) {
  if (!handler || ms == 0) return sb::kInvalidArgument;
  handler->addRef();
  Entry e;
  e.period = std::chrono::milliseconds(static_cast<long>(ms));
  e.due = Clock::now() + e.period;
  e.handler = handler;
  e.fn = [handler] { handler->onTimer(); };
  Add(std::move(e));
  return sb::kResultOk;
}

sb::tresult PLUGIN_API PollLoop::unregisterTimer(sb::Linux::ITimerHandler* handler) {
  bool found = false;
  RemoveWhere([&](const Entry& e) { return e.fd < 0 && e.handler == handler && (found = true); });
  return found ? sb::kResultOk : sb::kResultFalse;
}

void PollLoop::Sweep() {
  entries_.erase(std::remove_if(entries_.begin(), entries_.end(), [](const Entry& e) { return e.removed; }),
                 entries_.end());
}

void PollLoop::Step() {
  Clock::time_point wake = Clock::now() + std::chrono::seconds(1);
  std::vector<pollfd> pfds;
  std::vector<int> tokens;
  for (const Entry& e : entries_) {
    if (e.removed) continue;
    if (e.fd >= 0) {
      pfds.push_back(pollfd{e.fd, POLLIN, 0});
      tokens.push_back(e.token);
    } else {
      wake = std::min(wake, e.due);
    }
  }
  // Rounded up: a timer less than a millisecond away is slept for, not
  // polled for in a busy loop.
  const auto wait = std::chrono::ceil<std::chrono::milliseconds>(wake - Clock::now()).count();
  const int n = poll(pfds.data(), pfds.size(), posted_.empty() ? (wait > 0 ? static_cast<int>(wait) : 0) : 0);
  if (n < 0 && errno != EINTR) quit_ = true;  // nothing sensible left to wait for
  // A handler may remove itself or others: each is looked up by its token
  // and skipped once removed; the entries vector only grows meanwhile, so
  // the copy of the function taken before a call stays valid.
  auto call = [this](int token) {
    for (size_t i = 0; i < entries_.size(); ++i) {
      if (entries_[i].token != token) continue;
      if (entries_[i].removed) return;
      const std::function<void()> fn = entries_[i].fn;
      if (fn) fn();
      return;
    }
  };
  for (size_t i = 0; n > 0 && i < pfds.size(); ++i)
    if (pfds[i].revents & (POLLIN | POLLHUP | POLLERR)) call(tokens[i]);
  const Clock::time_point now = Clock::now();
  std::vector<int> due;
  for (Entry& e : entries_) {
    if (e.removed || e.fd >= 0 || e.due > now) continue;
    e.due = now + e.period;
    due.push_back(e.token);
  }
  for (int token : due) call(token);
  while (!posted_.empty()) {
    std::vector<std::function<void()>> work;
    work.swap(posted_);
    for (const auto& fn : work) fn();
  }
  Sweep();
}

void PollLoop::Run() {
  quit_ = false;
  while (!quit_) Step();
}

}  // namespace selvarin
