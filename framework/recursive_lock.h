#pragma once
#include <mutex>

namespace selvarin {

// The plug-in lock: recursive, so a hook that takes it may call another that
// takes it again on the same thread.
class RecursiveMutex {
 public:
  void Enter() { m_.lock(); }
  void Leave() { m_.unlock(); }
  bool TryEnter() { return m_.try_lock(); }

 private:
  std::recursive_mutex m_;
};

// Holds an RecursiveMutex for the rest of the scope.
class ScopedLock {
 public:
  explicit ScopedLock(RecursiveMutex& m) : m_(m) { m_.Enter(); }
  ~ScopedLock() { m_.Leave(); }
  ScopedLock(const ScopedLock&) = delete;
  ScopedLock& operator=(const ScopedLock&) = delete;

 private:
  RecursiveMutex& m_;
};

}  // namespace selvarin
