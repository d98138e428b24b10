#include "jack_server.h"

#include <fcntl.h>
#include <jack/jack.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

extern char** environ;

namespace selvarin::test {

namespace {

using Clock = std::chrono::steady_clock;

bool WaitForExit(pid_t pid, int timeoutMs) {
  const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (Clock::now() < end) {
    const pid_t r = waitpid(pid, nullptr, WNOHANG);
    if (r == pid || r < 0) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

// libjack reports a missing server on stderr while the test waits for it.
void Quiet(const char*) {}

}  // namespace

bool JackServer::Start(int sampleRate, int period, std::string* error) {
  Stop();
  static std::atomic<int> serial{0};
  name_ = "selvarin-test-" + std::to_string(getpid()) + "-" + std::to_string(serial++);
  const std::string rate = std::to_string(sampleRate), frames = std::to_string(period);
  const char* argv[] = {"jackd", "-n",         name_.c_str(), "--no-realtime", "-d",   "dummy",
                        "-r",    rate.c_str(), "-p",          frames.c_str(),  nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const int err = posix_spawnp(&pid_, "jackd", &actions, nullptr, const_cast<char**>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (err != 0) {
    pid_ = -1;
    *error = std::string("cannot start jackd: ") + std::strerror(err);
    return false;
  }
  jack_set_error_function(&Quiet);
  jack_set_info_function(&Quiet);
  const auto end = Clock::now() + std::chrono::seconds(15);
  while (Clock::now() < end) {
    jack_status_t status{};
    const jack_options_t options = static_cast<jack_options_t>(JackNoStartServer | JackServerName);
    if (jack_client_t* probe = jack_client_open("probe", options, &status, name_.c_str())) {
      jack_client_close(probe);
      return true;
    }
    if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
      pid_ = -1;
      *error = "jackd ended before it took clients";
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  *error = "jackd took no clients within 15 s";
  Stop();
  return false;
}

bool JackServer::Stop() {
  if (pid_ <= 0) return true;
  kill(pid_, SIGTERM);
  bool gone = WaitForExit(pid_, 10000);
  if (!gone) {
    kill(pid_, SIGKILL);
    gone = WaitForExit(pid_, 5000);
  }
  pid_ = -1;
  return gone;
}

}  // namespace selvarin::test
