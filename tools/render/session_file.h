#pragma once
// The session file: a line-based text of timed parameter changes, ramps
// and preset changes, read here without the plug-in. What the names and
// values mean is decided later against the loaded plug-in (session_timeline).
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

// Reads the text of a session; false when any line is wrong, with every
// wrong line in *errors.
bool ParseSession(const std::string& text, const std::string& name, SessionScript* out,
                  std::vector<SessionError>* errors);

// "NAME:LINE: what is wrong", one line per error.
std::string FormatSessionErrors(const std::string& name, const std::vector<SessionError>& errors);

// A time as the session format writes it: s, m:ss or h:mm:ss, with up to
// six decimals and no trailing zeros ("0:00", "1:02:03.5").
std::string FormatSessionTime(double seconds);

const char* SessionHelp();

}  // namespace selvarin
