// Reading session files: what a person writes is understood, and every
// wrong line is named with its number.
#include <gtest/gtest.h>

#include "tools/render/session_file.h"

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

TEST(SessionFileTest, AWindowsEditorsFileReadsAsTheSameSession) {
  // A byte-order mark, CR LF line ends and a title in another script.
  const std::string lf =
      "title \"Schlaf \xE2\x80\x94 \xE7\x9C\xA0\xE3\x82\x8A\"\n"
      "preset 2\n"
      "0:00-1:00 Binaural -> 2.5\n"
      "\n"
      "length 1:30\n";
  std::string crlf = "\xEF\xBB\xBF";
  for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  SessionScript a, b;
  std::vector<SessionError> errors;
  ASSERT_TRUE(ParseSession(lf, "lf.txt", &a, &errors)) << FormatSessionErrors("lf.txt", errors);
  ASSERT_TRUE(ParseSession(crlf, "crlf.txt", &b, &errors)) << FormatSessionErrors("crlf.txt", errors);
  EXPECT_EQ(b.title, a.title);
  EXPECT_EQ(b.title, "Schlaf \xE2\x80\x94 \xE7\x9C\xA0\xE3\x82\x8A");
  EXPECT_EQ(b.length, 90.0);
  ASSERT_EQ(b.lines.size(), 2u);
  EXPECT_EQ(b.lines[0].value, "2");
  EXPECT_EQ(b.lines[1].line, 3);
  EXPECT_EQ(b.lines[1].target, "Binaural");
  EXPECT_EQ(b.lines[1].value, "2.5");
  // A mark anywhere but at the start is no mark: that line is wrong.
  EXPECT_FALSE(ParseSession("preset 2\n\xEF\xBB\xBFlength 1:30\n", "mid.txt", &b, &errors));
}

TEST(SessionFileTest, TimesPrintAsTheyRead) {
  EXPECT_EQ(FormatSessionTime(0.0), "0:00");
  EXPECT_EQ(FormatSessionTime(90.0), "1:30");
  EXPECT_EQ(FormatSessionTime(3723.5), "1:02:03.5");
  EXPECT_EQ(FormatSessionTime(0.000125), "0:00.000125");
}

}  // namespace
}  // namespace selvarin
