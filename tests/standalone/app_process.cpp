#include "app_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace selvarin::test {

using Clock = std::chrono::steady_clock;

bool AppProcess::Start(const std::string& exe, const std::vector<std::string>& args,
                       const std::vector<std::string>& env, const std::string& stderrPath, std::string* error,
                       const std::string& stdoutPath) {
  stderrPath_ = stderrPath;
  std::vector<std::string> envStrings;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    const std::string name = entry.substr(0, entry.find('='));
    bool replaced = false;
    for (const std::string& mine : env) replaced |= mine.compare(0, name.size() + 1, name + "=") == 0;
    if (!replaced) envStrings.push_back(entry);
  }
  envStrings.insert(envStrings.end(), env.begin(), env.end());
  std::vector<char*> envp, argv;
  for (std::string& s : envStrings) envp.push_back(&s[0]);
  envp.push_back(nullptr);
  std::vector<std::string> argStrings = {exe};
  argStrings.insert(argStrings.end(), args.begin(), args.end());
  for (std::string& s : argStrings) argv.push_back(&s[0]);
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int err = posix_spawn(&pid_, exe.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (err != 0) {
    pid_ = -1;
    *error = "cannot start " + exe + ": " + std::strerror(err);
    return false;
  }
  return true;
}

int AppProcess::Wait(int timeoutMs) {
  if (pid_ <= 0) return -1;
  const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (Clock::now() < end) {
    int status = 0;
    const pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == pid_) {
      pid_ = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return -1;
}

void AppProcess::Kill() {
  if (pid_ <= 0) return;
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

std::string AppProcess::Stderr() const {
  std::ifstream in(stderrPath_);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

bool AppProcess::WaitForStderr(const std::string& text, int timeoutMs) const {
  const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
  do {
    if (Stderr().find(text) != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  } while (Clock::now() < end);
  return Stderr().find(text) != std::string::npos;
}

}  // namespace selvarin::test
