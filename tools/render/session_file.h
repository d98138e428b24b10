#pragma once
// The session file: a line-based text of timed parameter changes, ramps
// and preset changes, read here without the plug-in. What the names and
// values mean is decided later against the loaded plug-in (session_timeline).
#include <cstddef>
#include <string>
#include <vector>

namespace selvarin {

enum class SessionLineKind { kPreset, kStep, kRamp };

// One event line as written.
struct SessionLine {
  int line = 0;  // 1-based line number in the file
  SessionLineKind kind = SessionLineKind::kStep;
  double start = 0.0;  // seconds
  double end = 0.0;    // seconds; the end of a ramp
  bool exponential = false;
  std::string target;  // parameter name or index as typed; empty for a preset
  std::string value;   // plain value or display text; the preset name or number
};

struct SessionScript {
  std::string name;  // the file name used in messages ("stdin" for -)
  std::vector<SessionLine> lines;
  double length = -1.0;  // seconds; -1 when no length line
  int lengthLine = 0;
  std::string title;
};

struct SessionError {
  int line = 0;
  std::string what;
};

// The most changes (steps, ramps, presets) one session holds, and the most
// wrong lines reported before reading stops.
constexpr size_t kMaxSessionChanges = 2000000;
constexpr size_t kMaxSessionErrors = 1000;

// Reads the text of a session; false when any line is wrong, with every
// wrong line in *errors (up to kMaxSessionErrors). A leading UTF-8
// byte-order mark is skipped; lines may end in CR LF.
bool ParseSession(const std::string& text, const std::string& name, SessionScript* out,
                  std::vector<SessionError>* errors);

// "NAME:LINE: what is wrong", one line per error.
std::string FormatSessionErrors(const std::string& name, const std::vector<SessionError>& errors);

// A time as the session format writes it: m:ss or h:mm:ss, with as many
// decimals as it takes to read back as the same time ("0:00",
// "1:02:03.5", "0:00.0000001").
std::string FormatSessionTime(double seconds);

const char* SessionHelp();

}  // namespace selvarin
