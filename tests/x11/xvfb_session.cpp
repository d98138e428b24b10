#include "xvfb_session.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

extern char** environ;

namespace selvarin {
namespace test {

namespace {
constexpr int kDisplayFd = 9;  // where Xvfb writes its display number

bool WaitForExit(pid_t pid, int timeoutMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < end) {
    const pid_t r = waitpid(pid, nullptr, WNOHANG);
    if (r == pid || r < 0) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}
}  // namespace

bool XvfbSession::Start(std::string* error, int timeoutMs) {
  Stop();
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    *error = "pipe failed";
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], kDisplayFd);
  // The server's chatter stays out of the test's output.
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const std::string fdText = std::to_string(kDisplayFd);
  const char* argv[] = {"Xvfb", "-displayfd", fdText.c_str(), "-screen", "0", "1280x800x24", "-nolisten", "tcp",
                        "-noreset", nullptr};
  const int err = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (err != 0) {
    close(fds[0]);
    pid_ = -1;
    *error = std::string("cannot start Xvfb: ") + std::strerror(err);
    return false;
  }
  std::string number;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (number.find('\n') == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd p{fds[0], POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
    char buf[16];
    const ssize_t n = read(fds[0], buf, sizeof buf);
    if (n <= 0) break;  // the server died before it was ready
    number.append(buf, static_cast<size_t>(n));
  }
  close(fds[0]);
  if (number.find('\n') == std::string::npos) {
    *error = "Xvfb did not report a display";
    Stop();
    return false;
  }
  display_ = ":" + number.substr(0, number.find('\n'));
  return true;
}

void XvfbSession::Stop() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  if (!WaitForExit(pid_, 5000)) {
    kill(pid_, SIGKILL);
    WaitForExit(pid_, 5000);
  }
  pid_ = -1;
  display_.clear();
}

}  // namespace test
}  // namespace selvarin
