#include "graphics/x11/web_launcher.h"

#include <spawn.h>
#include <sys/wait.h>

#include <mutex>
#include <vector>

extern char** environ;

namespace selvarin {

namespace {
std::mutex gLaunchedLock;
std::vector<pid_t> gLaunched;  // openers not reaped yet
}  // namespace

bool LaunchWebAddress(const char* url, const char* opener) {
  // An address starting with '-' would reach the opener as an option.
  if (!url || !*url || url[0] == '-' || !opener || !*opener) return false;
  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return false;
  // The host's descriptors (audio devices, sockets) stay with the host.
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  char* argv[] = {const_cast<char*>(opener), const_cast<char*>(url), nullptr};
  pid_t pid = 0;
  const int err = posix_spawnp(&pid, opener, &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (err != 0) return false;
  std::lock_guard<std::mutex> lock(gLaunchedLock);
  gLaunched.push_back(pid);
  return true;
}

void ReapWebLaunchers() {
  std::lock_guard<std::mutex> lock(gLaunchedLock);
  for (size_t i = 0; i < gLaunched.size();) {
    const pid_t r = waitpid(gLaunched[i], nullptr, WNOHANG);
    // Done, or already reaped by a host that collects its children itself.
    if (r == gLaunched[i] || r < 0) {
      gLaunched[i] = gLaunched.back();
      gLaunched.pop_back();
    } else {
      ++i;
    }
  }
}

}  // namespace selvarin
