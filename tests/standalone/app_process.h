#pragma once
// The application as a user starts it: its own process with the
// environment the test chooses (display, audio server, configuration
// folder), its stderr kept in a file the test reads while it runs.
#include <sys/types.h>

#include <string>
#include <vector>

namespace selvarin::test {

class AppProcess {
 public:
  AppProcess() = default;
  ~AppProcess() { Kill(); }
  AppProcess(const AppProcess&) = delete;
  AppProcess& operator=(const AppProcess&) = delete;

  // env: "NAME=value" entries set on top of this process's environment.
  bool Start(const std::string& exe, const std::vector<std::string>& args, const std::vector<std::string>& env,
             const std::string& stderrPath, std::string* error, const std::string& stdoutPath = "/dev/null");
  // Waits (bounded) for the exit; its exit code, or -1 on a signal or timeout.
  int Wait(int timeoutMs);
  void Kill();
  pid_t Pid() const { return pid_; }
  // What it wrote to stderr so far.
  std::string Stderr() const;
  // Waits (bounded) until stderr holds `text`.
  bool WaitForStderr(const std::string& text, int timeoutMs) const;

 private:
  pid_t pid_ = -1;
  std::string stderrPath_;
};

}  // namespace selvarin::test
