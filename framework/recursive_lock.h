#pragma once
#include <mutex>

namespace selvarin {

// The plug-in lock: recursive, so a hook that takes it may call another that
// takes it again on the same thread.
class IMutex {
 public:
  void Enter() { m_.lock(); }
  void Leave() { m_.unlock(); }
  bool TryEnter() { return m_.try_lock(); }

 private:
  std::recursive_mutex m_;
};

// Holds an IMutex for the rest of the scope.
class IMutexLock {
 public:
  explicit IMutexLock(IMutex& m) : m_(m) { m_.Enter(); }
  ~IMutexLock() { m_.Leave(); }
  IMutexLock(const IMutexLock&) = delete;
  IMutexLock& operator=(const IMutexLock&) = delete;

 private:
  IMutex& m_;
};

}  // namespace selvarin
