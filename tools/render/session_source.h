#pragma once
// Reading the text of a session file (or standard input) with limits, so
// that a device such as /dev/zero, a binary file or a runaway generator
// ends with a clear error instead of exhausting memory.
#include <cstddef>
#include <istream>
#include <string>
#include <vector>

#include "tools/render/session_file.h"

namespace selvarin {

// The whole text holds the dry-run print of the longest session
// (kMaxSessionChanges lines with their comments), so that it reads back.
struct SessionLimits {
  size_t maxBytes = size_t{256} << 20;     // the whole text: 256 MB
  size_t maxLineBytes = size_t{64} << 10;  // one line: 64 kB
};

// Reads in to its end into *text. Stops at the first NUL byte, line longer
// than the limit or byte beyond the total limit, and returns false with
// that error (with its line number; the total limit has none).
bool ReadSessionText(std::istream& in, const SessionLimits& limits, std::string* text, SessionError* error);

}  // namespace selvarin
