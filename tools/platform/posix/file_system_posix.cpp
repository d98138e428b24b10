#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tools/platform/file_system.h"

namespace selvarin {

namespace {
bool StatMode(const std::string& path, mode_t* mode) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return false;
  *mode = st.st_mode;
  return true;
}
}  // namespace

bool PathExists(const std::string& path) {
  mode_t mode = 0;
  return StatMode(path, &mode);
}

bool PathIsDirectory(const std::string& path) {
  mode_t mode = 0;
  return StatMode(path, &mode) && S_ISDIR(mode);
}

bool PathIsFile(const std::string& path) {
  mode_t mode = 0;
  return StatMode(path, &mode) && S_ISREG(mode);
}

std::string PathFolder(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string PathName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExecutableDirectory(const char* argv0) {
  char buf[4096];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  std::string exe = n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string(argv0 ? argv0 : "");
  const size_t slash = exe.rfind('/');
  return slash == std::string::npos ? "." : exe.substr(0, slash);
}

std::string MakeTempDirectory(const std::string& prefix) {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + prefix + "XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  return mkdtemp(name.data()) ? std::string(name.data()) : std::string();
}

std::vector<std::string> ListDirectory(const std::string& path) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(path.c_str())) {
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
  }
  return names;
}

bool RemoveDirectoryTree(const std::string& path) {
  if (DIR* dir = opendir(path.c_str())) {
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      const std::string child = path + "/" + name;
      struct stat st {};
      if (lstat(child.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        RemoveDirectoryTree(child);
      } else {
        unlink(child.c_str());
      }
    }
    closedir(dir);
  }
  return rmdir(path.c_str()) == 0 || !PathExists(path);
}

bool StderrIsTerminal() { return isatty(STDERR_FILENO) != 0; }

}  // namespace selvarin
