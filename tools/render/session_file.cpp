#include "tools/render/session_file.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "tools/render/name_suggest.h"
#include "tools/render/name_text.h"
#include "tools/render/render_options.h"

namespace selvarin {

namespace {

constexpr double kMaxSessionSeconds = 24.0 * 3600.0;

// The line without its comment: '#' starts one outside double quotes.
std::string StripComment(const std::string& line) {
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (line[i] == '#' && !quoted) return line.substr(0, i);
  }
  return line;
}

// A value or name, with one pair of surrounding double quotes removed.
bool Unquote(const std::string& text, std::string* out) {
  const std::string t = Trim(text);
  if (!t.empty() && t[0] == '"') {
    if (t.size() < 2 || t.back() != '"' || t.find('"', 1) != t.size() - 1) return false;
    *out = t.substr(1, t.size() - 2);
    return true;
  }
  if (t.find('"') != std::string::npos) return false;
  *out = t;
  return true;
}

bool ParseTime(const std::string& text, double* seconds) {
  return ParseDuration(text, seconds) && *seconds <= kMaxSessionSeconds;
}

// The first word and the rest of the line.
void SplitWord(const std::string& s, std::string* word, std::string* rest) {
  size_t i = 0;
  while (i < s.size() && !std::isspace(static_cast<unsigned char>(s[i]))) ++i;
  *word = s.substr(0, i);
  *rest = Trim(s.substr(i));
}

bool LooksLikeTime(const std::string& word) {
  return !word.empty() && (std::isdigit(static_cast<unsigned char>(word[0])) || word[0] == '.');
}

class LineReader {
 public:
  LineReader(SessionScript* script, std::vector<SessionError>* errors) : script_(script), errors_(errors) {}

  // Whether the session holds as many changes as it may.
  bool Full() const { return full_; }

  void Read(int number, const std::string& raw) {
    line_ = number;
    const std::string text = Trim(StripComment(raw));
    if (text.empty()) return;
    std::string word, rest;
    SplitWord(text, &word, &rest);
    const std::string keyword = Lower(word);
    if (keyword == "length") return ReadLength(rest);
    if (keyword == "title") return ReadTitle(rest);

    SessionLine ev;
    ev.line = number;
    bool range = false;
    // "1 = 10" sets parameter 1 at 0:00; "1 Binaural = 10" sets Binaural at 1 s.
    const bool index = word.find_first_not_of("0123456789") == std::string::npos;
    const bool targetFollows = index && !rest.empty() && (rest[0] == '=' || rest.compare(0, 2, "->") == 0);
    if (LooksLikeTime(word) && !targetFollows) {
      const size_t dash = word.find('-');
      range = dash != std::string::npos;
      if (!ParseTime(word.substr(0, dash), &ev.start) ||
          (range && !ParseTime(word.substr(dash + 1), &ev.end))) {
        return Fail("bad time '" + word + "' (s, m:ss or h:mm:ss, or START-END for a ramp; at most 24 hours)");
      }
      SplitWord(rest, &word, &rest);
    }
    if (Lower(word) == "preset") return ReadPreset(ev, range, rest);
    ReadChange(ev, range, word + (rest.empty() ? "" : " " + rest));
  }

 private:
  void Fail(const std::string& what) { errors_->push_back({line_, what}); }

  void ReadLength(const std::string& rest) {
    double seconds = 0.0;
    if (!ParseTime(rest, &seconds) || seconds <= 0.0)
      return Fail("bad length '" + rest + "' (s, m:ss or h:mm:ss, more than 0, at most 24 hours)");
    if (script_->lengthLine) return Fail("a second length (the first is on line " + std::to_string(script_->lengthLine) + ")");
    script_->length = seconds;
    script_->lengthLine = line_;
  }

  void ReadTitle(const std::string& rest) {
    std::string title;
    if (!Unquote(rest, &title) || title.empty()) return Fail("bad title (title \"Some words\")");
    script_->title = title;
  }

  void ReadPreset(SessionLine ev, bool range, const std::string& rest) {
    if (range) return Fail("a preset changes at one time, not over a range");
    if (!Unquote(rest, &ev.value) || ev.value.empty())
      return Fail("bad preset (preset \"Name\", preset part-of-name or preset NUMBER)");
    ev.kind = SessionLineKind::kPreset;
    Add(ev);
  }

  void ReadChange(SessionLine ev, bool range, const std::string& text) {
    size_t op = text.find("->");
    size_t opLen = 2;
    if (op != std::string::npos && op + 2 < text.size() && text[op + 2] == '~') {
      ev.exponential = true;
      opLen = 3;
    }
    const bool ramp = op != std::string::npos;
    if (!ramp) op = text.find('=');
    if (op == std::string::npos) {
      // A keyword typed wrong reads as a change without its '='.
      std::string first, rest;
      SplitWord(text, &first, &rest);
      const std::string guess = DidYouMean(SuggestNames(first, {"length", "title", "preset"}));
      return Fail("cannot read '" + text + "'" +
                  (guess.empty() ? " (TIME NAME = VALUE, START-END NAME -> VALUE, preset, length or title)" : guess));
    }
    if (!ramp) opLen = 1;
    ev.target = Trim(text.substr(0, op));
    if (ev.target.empty()) return Fail("no parameter name before '" + text.substr(op, opLen) + "'");
    if (!Unquote(text.substr(op + opLen), &ev.value) || ev.value.empty())
      return Fail("no value after '" + text.substr(op, opLen) + "' for " + ev.target);
    if (ramp && !range) return Fail("a ramp needs a time range, START-END (as in 0:00-20:00 " + ev.target + " -> ...)");
    if (!ramp && range) return Fail("a range needs a ramp: START-END NAME -> VALUE (or ->~ for an exponential one)");
    if (ramp && ev.end <= ev.start) return Fail("the ramp ends before it starts");
    ev.kind = ramp ? SessionLineKind::kRamp : SessionLineKind::kStep;
    Add(ev);
  }

  void Add(const SessionLine& ev) {
    if (script_->lines.size() >= kMaxSessionChanges) {
      full_ = true;
      return Fail("more than " + std::to_string(kMaxSessionChanges) + " changes: the most one session holds");
    }
    if (!script_->lines.empty() && ev.start < script_->lines.back().start) {
      return Fail("time goes backwards: " + FormatSessionTime(ev.start) + " comes after " +
                  FormatSessionTime(script_->lines.back().start) + " (line " +
                  std::to_string(script_->lines.back().line) + "); keep the lines in time order");
    }
    script_->lines.push_back(ev);
  }

  SessionScript* script_;
  std::vector<SessionError>* errors_;
  int line_ = 0;
  bool full_ = false;
};

}  // namespace

bool ParseSession(const std::string& text, const std::string& name, SessionScript* out,
                  std::vector<SessionError>* errors) {
  *out = SessionScript{};
  out->name = name;
  LineReader reader(out, errors);
  const size_t before = errors->size();
  int number = 0;
  // A byte-order mark, as editors on Windows save UTF-8, is no part of the
  // first line.
  size_t pos = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  // Past the most changes or errors worth holding, reading stops: a
  // runaway file costs neither memory nor a flood of messages.
  const size_t mostErrors = before + kMaxSessionErrors;
  while (pos <= text.size() && errors->size() < mostErrors && !reader.Full()) {
    size_t nl = text.find('\n', pos);
    if (nl == std::string::npos) nl = text.size();
    std::string line = text.substr(pos, nl - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    ++number;
    if (line.find('\0') != std::string::npos) errors->push_back({number, "the line holds a NUL byte (not a text file?)"});
    else reader.Read(number, line);
    pos = nl + 1;
  }
  if (errors->size() >= mostErrors && pos < text.size())
    errors->push_back({number, "stopped reading after " + std::to_string(kMaxSessionErrors) + " errors"});
  return errors->size() == before;
}

std::string FormatSessionErrors(const std::string& name, const std::vector<SessionError>& errors) {
  std::string out;
  for (const SessionError& e : errors)
    out += name + (e.line > 0 ? ":" + std::to_string(e.line) : std::string()) + ": " + e.what + "\n";
  return out;
}

std::string FormatSessionTime(double seconds) {
  if (!(seconds > 0.0)) return "0:00";
  // Whole hours and minutes, then the seconds left with as many decimals as
  // read back to the same time: subtracting the whole minutes is exact, and
  // so is adding them back when the text is read.
  const long long whole = static_cast<long long>(std::floor(seconds));
  const long long h = whole / 3600;
  const long long m = whole / 60 % 60;
  const double s = seconds - static_cast<double>(h * 3600 + m * 60);
  char buf[400];  // the shortest fixed text of any double below 60
  buf[0] = '0';
  const std::to_chars_result r = std::to_chars(buf + 1, buf + sizeof buf - 1, s, std::chars_format::fixed);
  *r.ptr = '\0';
  const char* secs = s < 10.0 ? buf : buf + 1;  // two digits before the point
  char head[64];
  if (h > 0) std::snprintf(head, sizeof head, "%lld:%02lld:", h, m);
  else std::snprintf(head, sizeof head, "%lld:", m);
  return std::string(head) + secs;
}

const char* SessionHelp() {
  return "A session file tells selvarin-render what to change while it renders:\n"
         "one change per line, in time order.\n"
         "\n"
         "  # Sleep descent, 30 minutes           # starts a comment\n"
         "  title \"Sleep descent\"\n"
         "  preset \"Sound sleep\"                 # a line without a time applies at 0:00\n"
         "  0:00        Fade = 1                 # a step: TIME NAME = VALUE\n"
         "  0:00        Binaural = 10\n"
         "  0:00-20:00  Binaural -> 2.5          # a linear ramp from the value in effect\n"
         "  5:00-25:00  Base Freq ->~ 120        # an exponential ramp (equal ratios per second)\n"
         "  20:00       LFO1 Target = Volume\n"
         "  25:00       preset \"Dreamless\"       # presets change at any time\n"
         "  25:00       LFO1 Target = No Assign  # later lines at the same time win\n"
         "  29:30-30:00 Volume -> 0              # fade out\n"
         "  length 30:00\n"
         "\n"
         "Times: seconds (90, 2.5), m:ss or h:mm:ss (fractions allowed: 1:02.5).\n"
         "Names and values are those of --list-params: a parameter by name (any case)\n"
         "or index, a plain value in its unit (Hz, %, ms) or one of its texts (Saw,\n"
         "Monaural, 1/4). Of the two \"LFO1 Rate\" parameters a note value sets the\n"
         "note-value one, a number the millisecond one (the same for LFO2).\n"
         "\n"
         "Steps land in the processing block that holds their time; ramps send a new\n"
         "value at the end of every block (1024 frames, about 21 ms at 48 kHz, by\n"
         "default; see --block). Parameters with named values (Wave, Beats, the LFO\n"
         "targets and waves, note-value rates, Yes/No) step only. An exponential\n"
         "ramp (->~) needs values above 0 at both ends. A preset sets every\n"
         "parameter, except one that a ramp is moving at the time; later lines at the\n"
         "same time win. -P and -p set the state the session starts from.\n"
         "\n"
         "The render is as long as -d, else the length line, else the last event.\n"
         "Ramps of one parameter may not overlap, nor may a step fall inside one.\n"
         "Every wrong line is reported as FILE:LINE: what is wrong, and nothing is\n"
         "rendered. --dry-run prints the timeline as the renderer resolved it, in\n"
         "this same format; --plot FILE.png draws it, a lane for each parameter it\n"
         "moves. A name typed wrong is answered with the closest known ones.\n"
         "\n"
         "  selvarin-render --session sleep.txt -o sleep.mp3 --fade-in 10\n"
         "  selvarin-render --session - -o focus.flac < focus.txt\n"
         "  selvarin-render --session sleep.txt --dry-run --plot sleep.png\n";
}

}  // namespace selvarin
