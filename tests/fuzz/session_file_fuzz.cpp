// libFuzzer target: arbitrary text as a session file. The reader must
// accept or reject every input with line-numbered errors, never crash; what
// it accepts is in time order with ramps that end after they start, and
// every time it read prints as text that reads back as the same time.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/render/render_options.h"
#include "tools/render/session_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  selvarin::SessionScript script;
  std::vector<selvarin::SessionError> errors;
  const bool ok = selvarin::ParseSession(text, "fuzz", &script, &errors);
  if (ok != errors.empty()) std::abort();
  auto readsBack = [](double t) {
    double back = -1.0;
    return selvarin::ParseDuration(selvarin::FormatSessionTime(t), &back) && back == t;
  };
  double last = 0.0;
  for (const selvarin::SessionLine& l : script.lines) {
    if (l.start < last || l.line < 1) std::abort();
    if (l.kind == selvarin::SessionLineKind::kRamp && !(l.end > l.start)) std::abort();
    if (!readsBack(l.start) || !readsBack(l.end)) std::abort();
    last = l.start;
  }
  if (script.length > 0.0 && !readsBack(script.length)) std::abort();
  for (const selvarin::SessionError& e : errors)
    if (e.line < 1 || e.what.empty()) std::abort();
  selvarin::FormatSessionErrors("fuzz", errors);
  return 0;
}
