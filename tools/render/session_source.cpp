#include "tools/render/session_source.h"

#include <cstring>

namespace selvarin {

namespace {

std::string Size(size_t bytes) {
  if (bytes % (size_t{1} << 20) == 0) return std::to_string(bytes >> 20) + " MB";
  if (bytes % (size_t{1} << 10) == 0) return std::to_string(bytes >> 10) + " kB";
  return std::to_string(bytes) + " bytes";
}

}  // namespace

bool ReadSessionText(std::istream& in, const SessionLimits& limits, std::string* text, SessionError* error) {
  text->clear();
  std::streambuf* source = in.rdbuf();
  if (!source) return true;
  char chunk[1 << 16];
  int line = 1;
  size_t lineBytes = 0;  // of the current line so far
  while (true) {
    const std::streamsize got = source->sgetn(chunk, sizeof chunk);
    if (got <= 0) return true;
    const char* p = chunk;
    const char* const end = chunk + got;
    // Line by line through the piece, counting and measuring.
    while (p < end) {
      const char* nl = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
      const char* stop = nl ? nl : end;
      if (std::memchr(p, '\0', static_cast<size_t>(stop - p))) {
        *error = {line, "the line holds a NUL byte (not a text file?)"};
        return false;
      }
      lineBytes += static_cast<size_t>(stop - p);
      if (lineBytes > limits.maxLineBytes) {
        *error = {line, "the line is longer than " + Size(limits.maxLineBytes) + " (not a session file?)"};
        return false;
      }
      if (nl) {
        ++line;
        lineBytes = 0;
      }
      p = nl ? nl + 1 : end;
    }
    if (text->size() + static_cast<size_t>(got) > limits.maxBytes) {
      *error = {0, "the session is larger than " + Size(limits.maxBytes)};
      return false;
    }
    text->append(chunk, static_cast<size_t>(got));
  }
}

}  // namespace selvarin
