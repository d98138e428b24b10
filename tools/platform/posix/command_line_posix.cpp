#include "tools/platform/command_line.h"

namespace selvarin {

// Arguments and terminals carry UTF-8 already.
Utf8Arguments::Utf8Arguments(int argc, char** argv) : strings_(argv, argv + argc) {
  for (std::string& s : strings_) pointers_.push_back(&s[0]);
  pointers_.push_back(nullptr);
}

void UseUtf8Console() {}

}  // namespace selvarin
