// libFuzzer target: arbitrary command lines for selvarin-render's option
// parser. The input is split at NUL bytes and newlines into arguments; the
// parser only reads them (it opens and writes no file).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/render/render_options.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> args = {"selvarin-render"};
  std::string current;
  for (size_t i = 0; i < size; ++i) {
    const char c = static_cast<char>(data[i]);
    if (c == '\0' || c == '\n') {
      args.push_back(current);
      current.clear();
    } else {
      current.push_back(c);
    }
  }
  if (!current.empty()) args.push_back(current);
  if (args.size() > 256) return 0;  // longer command lines test nothing new

  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  argv.push_back(nullptr);
  selvarin::RenderOptions options;
  std::string error;
  selvarin::ParseRenderOptions(static_cast<int>(args.size()), argv.data(), &options, &error);
  // The value parsers on each argument as a whole, too.
  for (const std::string& a : args) {
    double v = 0.0;
    selvarin::ParseDuration(a, &v);
    selvarin::ParseNumber(a, &v);
  }
  return 0;
}
