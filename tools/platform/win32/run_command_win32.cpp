#include <cstdio>

#include "tools/platform/run_command.h"

namespace selvarin {

int RunCommand(const std::string& commandLine, std::string* output) {
  FILE* pipe = _popen(commandLine.c_str(), "r");
  if (!pipe) return -1;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) {
    if (output) output->append(buf, n);
  }
  return _pclose(pipe);
}

}  // namespace selvarin
