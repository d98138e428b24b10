// Reading session files: what a person writes is understood, and every
// wrong line is named with its number.
#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>

#include "tools/render/render_options.h"
#include "tools/render/session_file.h"
#include "tools/render/session_source.h"

namespace selvarin {
namespace {

TEST(SessionFileTest, TheHelpExampleReadsAsWritten) {
  SessionScript s;
  std::vector<SessionError> errors;
  const std::string text =
      "# a comment line\n"
      "title \"Sleep # descent\"   # quoted hashes stay\n"
      "preset \"Sound sleep\"\n"
      "1 = 7.5\n"
      "0:00        Binaural = 10\r\n"
      "0:00-20:00  Binaural -> 2.5   # linear\n"
      "5:00-1:00:00.5 Base Freq ->~ 120\n"
      "20:00       LFO1 Target = No Assign\n"
      "25:00 preset 3\n"
      "\n"
      "length 1:30:00\n";
  ASSERT_TRUE(ParseSession(text, "s.txt", &s, &errors)) << FormatSessionErrors("s.txt", errors);
  EXPECT_EQ(s.title, "Sleep # descent");
  EXPECT_EQ(s.length, 5400.0);
  ASSERT_EQ(s.lines.size(), 7u);
  EXPECT_EQ(s.lines[0].kind, SessionLineKind::kPreset);
  EXPECT_EQ(s.lines[0].value, "Sound sleep");
  EXPECT_EQ(s.lines[0].start, 0.0);
  EXPECT_EQ(s.lines[1].target, "1");  // an index at 0:00
  EXPECT_EQ(s.lines[1].value, "7.5");
  EXPECT_EQ(s.lines[2].target, "Binaural");
  EXPECT_EQ(s.lines[2].value, "10");
  EXPECT_EQ(s.lines[2].line, 5);
  EXPECT_EQ(s.lines[3].kind, SessionLineKind::kRamp);
  EXPECT_EQ(s.lines[3].end, 1200.0);
  EXPECT_FALSE(s.lines[3].exponential);
  EXPECT_TRUE(s.lines[4].exponential);
  EXPECT_EQ(s.lines[4].start, 300.0);
  EXPECT_EQ(s.lines[4].end, 3600.5);
  EXPECT_EQ(s.lines[4].target, "Base Freq");
  EXPECT_EQ(s.lines[5].value, "No Assign");
  EXPECT_EQ(s.lines[6].start, 1500.0);  // a preset later on
}

TEST(SessionFileTest, WrongLinesAreAllReportedWithTheirNumbers) {
  SessionScript s;
  std::vector<SessionError> errors;
  const std::string text =
      "0:10 Binaural = 4\n"         // 1 fine
      "0:05 Binaural = 5\n"         // 2 backwards
      "1:75 Volume = 3\n"           // 3 bad time
      "0:20 Volume -> 3\n"          // 4 ramp without a range
      "0:20-0:30 Volume = 3\n"      // 5 range without a ramp
      "0:30-0:20 Volume -> 3\n"     // 6 ends before it starts
      "0:40 Volume\n"               // 7 no operator
      "0:40 Volume =\n"             // 8 no value
      "0:40 = 5\n"                  // 9 no name
      "0:40-0:50 preset 2\n"        // 10 preset over a range
      "length soon\n"               // 11 bad length
      "length 5:00\n"               // 12 fine
      "length 6:00\n"               // 13 second length
      "0:50 Wave = \"Saw\n"         // 14 unbalanced quote
      "0x10 Volume = 3\n";          // 15 hexadecimal time
  EXPECT_FALSE(ParseSession(text, "bad.txt", &s, &errors));
  const std::vector<std::pair<int, const char*>> expected = {
      {2, "time goes backwards: 0:05 comes after 0:10 (line 1)"},
      {3, "bad time '1:75'"},
      {4, "a ramp needs a time range"},
      {5, "a range needs a ramp"},
      {6, "the ramp ends before it starts"},
      {7, "cannot read 'Volume'"},
      {8, "no value after '=' for Volume"},
      {9, "no parameter name before '='"},
      {10, "a preset changes at one time"},
      {11, "bad length 'soon'"},
      {13, "a second length (the first is on line 12)"},
      {14, "no value after '='"},
      {15, "bad time '0x10'"},
  };
  ASSERT_EQ(errors.size(), expected.size()) << FormatSessionErrors("bad.txt", errors);
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(errors[i].line, expected[i].first);
    EXPECT_NE(errors[i].what.find(expected[i].second), std::string::npos) << errors[i].what;
  }
  EXPECT_EQ(FormatSessionErrors("bad.txt", {errors[0]}),
            "bad.txt:2: time goes backwards: 0:05 comes after 0:10 (line 1); keep the lines in time order\n");
}

TEST(SessionFileTest, TimesPrintAsTheyRead) {
  EXPECT_EQ(FormatSessionTime(0.0), "0:00");
  EXPECT_EQ(FormatSessionTime(90.0), "1:30");
  EXPECT_EQ(FormatSessionTime(3723.5), "1:02:03.5");
  EXPECT_EQ(FormatSessionTime(0.000125), "0:00.000125");
  EXPECT_EQ(FormatSessionTime(0.0000001), "0:00.0000001");
  // Every time prints as text that reads back as exactly that time.
  for (double t : {0.0000004, 0.1 + 0.2, 59.99999999999999, 3600.000001, 86399.99999999999, 1e-300, 754.1234567891}) {
    double back = -1.0;
    ASSERT_TRUE(ParseDuration(FormatSessionTime(t), &back)) << FormatSessionTime(t);
    EXPECT_EQ(back, t) << FormatSessionTime(t);
  }
}

TEST(SessionFileTest, AByteOrderMarkAndWindowsLineEndsReadAsPlainText) {
  SessionScript s;
  std::vector<SessionError> errors;
  ASSERT_TRUE(ParseSession("\xEF\xBB\xBFtitle \"Saved on Windows\"\r\n0:01 Volume = 5\r\n", "w.txt", &s, &errors))
      << FormatSessionErrors("w.txt", errors);
  EXPECT_EQ(s.title, "Saved on Windows");
  ASSERT_EQ(s.lines.size(), 1u);
  EXPECT_EQ(s.lines[0].line, 2);
  EXPECT_EQ(s.lines[0].value, "5");
}

// An endless text: one line over and over, or nothing but one byte.
class EndlessText : public std::streambuf {
 public:
  explicit EndlessText(const std::string& pattern) {
    while (block_.size() < 4096) block_ += pattern;
    setg(block_.data(), block_.data(), block_.data() + block_.size());
  }

 protected:
  int_type underflow() override {
    setg(block_.data(), block_.data(), block_.data() + block_.size());
    return traits_type::to_int_type(block_[0]);
  }

 private:
  std::string block_;
};

TEST(SessionFileTest, ReadingStopsAtBinaryLongOrEndlessText) {
  struct Case {
    std::string pattern;
    SessionLimits limits;
    SessionError expected;
  };
  const std::vector<Case> cases = {
      {std::string(1, '\0'), {}, {1, "the line holds a NUL byte (not a text file?)"}},  // as /dev/zero
      {"a", {}, {1, "the line is longer than 64 kB (not a session file?)"}},
      {"0:00 Volume = 5\n", {size_t{1} << 20, size_t{64} << 10}, {0, "the session is larger than 1 MB"}},
  };
  for (const Case& c : cases) {
    EndlessText endless(c.pattern);
    std::istream in(&endless);
    std::string text;
    SessionError error;
    EXPECT_FALSE(ReadSessionText(in, c.limits, &text, &error));
    EXPECT_EQ(error.line, c.expected.line);
    EXPECT_EQ(error.what, c.expected.what);
    EXPECT_LE(text.size(), c.limits.maxBytes);
  }
  // A NUL byte after some lines is named with its line.
  const char lines[] = "title \"x\"\r\n\n0:01 Vol\0ume = 5\n";
  std::istringstream late(std::string(lines, sizeof lines - 1));
  std::string text;
  SessionError error;
  EXPECT_FALSE(ReadSessionText(late, SessionLimits{}, &text, &error));
  EXPECT_EQ(error.line, 3);

  // Of a file that is all wrong lines, the first thousand are reported.
  SessionScript s;
  std::vector<SessionError> errors;
  std::string wrong;
  for (int i = 0; i < 5000; ++i) wrong += "what\n";
  EXPECT_FALSE(ParseSession(wrong, "w.txt", &s, &errors));
  ASSERT_EQ(errors.size(), 1001u);
  EXPECT_EQ(errors.back().what, "stopped reading after 1000 errors");
}

}  // namespace
}  // namespace selvarin
