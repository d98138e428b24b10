#pragma once
// Small files read and written whole: a settings file that must never be
// left half-written. One implementation per platform (posix/, win32/).
#include <string>

namespace selvarin {

// Reads the whole file (at most maxBytes); false with a reason in *error
// when it cannot be read or is larger.
bool ReadSmallFile(const std::string& path, std::string* out, std::string* error, size_t maxBytes = 1 << 20);

// Writes bytes to a temporary file beside path and then puts it in path's
// place in one step, so a reader sees the old file or the new one, never a
// mix; a failed write leaves the old file as it was.
bool WriteFileReplacing(const std::string& path, const std::string& bytes, std::string* error);

// Creates a folder and its missing parents; true when it exists afterwards.
bool MakeDirectories(const std::string& path, std::string* error);

}  // namespace selvarin
