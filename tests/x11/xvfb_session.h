#pragma once
// A private X server for a test: Xvfb on a display it picks itself (it
// reports the number through a pipe), stopped again when the session ends.
// Every wait is bounded.
#include <sys/types.h>

#include <string>

namespace selvarin {
namespace test {

class XvfbSession {
 public:
  XvfbSession() = default;
  ~XvfbSession() { Stop(); }
  XvfbSession(const XvfbSession&) = delete;
  XvfbSession& operator=(const XvfbSession&) = delete;

  // Starts the server and waits (at most timeoutMs) until it takes
  // connections; false with a reason in *error otherwise.
  bool Start(std::string* error, int timeoutMs = 15000);
  void Stop();
  // ":N"
  const std::string& Display() const { return display_; }
  // The server's process (-1 when none runs).
  pid_t Pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

}  // namespace test
}  // namespace selvarin
