#pragma once
// The few file-system and process facts the tools and tests need, with one
// implementation per platform (posix/, win32/). Paths are 8-bit (UTF-8 on
// Windows).
#include <string>
#include <vector>

namespace selvarin {

bool PathExists(const std::string& path);
bool PathIsDirectory(const std::string& path);
bool PathIsFile(const std::string& path);

// The folder part of a path ("." when it names none) and the name after
// it. Windows separates with '\\' as well as '/', and "C:x" is x in the
// current folder of drive C.
std::string PathFolder(const std::string& path);
std::string PathName(const std::string& path);

// The name without its extension ("b" of "a/b.wav"); a name whose only dot
// starts it (".wav") is all stem.
inline std::string PathStem(const std::string& path) {
  const std::string name = PathName(path);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

// Folder of the running executable; argv0's folder (or ".") when the system
// cannot say.
std::string ExecutableDirectory(const char* argv0);

// Makes a new, empty folder in the system's temporary folder whose name
// starts with prefix; "" on failure.
std::string MakeTempDirectory(const std::string& prefix);

// Names of the entries in a folder, without "." and ".."; empty when it
// cannot be read.
std::vector<std::string> ListDirectory(const std::string& path);

// Removes a folder with everything in it; true when nothing is left.
bool RemoveDirectoryTree(const std::string& path);

// True when the standard error stream is a terminal (worth drawing progress on).
bool StderrIsTerminal();

}  // namespace selvarin
