// Names typed wrong get the intended one first: parameters, named values,
// presets (found by any part of their name), options and session keywords,
// on the command line and as FILE:LINE: in a session.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/tools/cli_support.h"
#include "tools/render/name_suggest.h"
#include "tools/render/render_options.h"
#include "tools/render/session_file.h"

namespace selvarin {
namespace {

const std::vector<std::string> kParams = {
    "Base Freq",   "Binaural",    "Wave",        "Binaural Pan", "Beats",       "Play Anyway",
    "Fade",        "Volume",      "LFO1 Target", "LFO1 Wave",    "LFO1 Sync",   "LFO1 Rate",
    "LFO1 Rate",   "LFO1 Depth",  "LFO1 Start",  "LFO2 Target",  "LFO2 Wave",   "LFO2 Sync",
    "LFO2 Rate",   "LFO2 Rate",   "LFO2 Depth",  "LFO2 Start",   "LFO's Sync"};

std::string First(const std::vector<std::string>& s) { return s.empty() ? "(none)" : s[0]; }

TEST(NameSuggestTest, MisspellingsGiveTheIntendedNameFirst) {
  const std::pair<const char*, const char*> params[] = {
      {"Binaral", "Binaural"},       {"base frq", "Base Freq"},     {"Volum", "Volume"},
      {"LFO1 Targt", "LFO1 Target"}, {"lfo2 detph", "LFO2 Depth"},  {"Binuaral Pan", "Binaural Pan"},
      {"Play Anywya", "Play Anyway"}, {"fdae", "Fade"}};
  for (const auto& p : params) EXPECT_EQ(First(SuggestNames(p.first, kParams)), p.second) << p.first;
  const std::vector<std::string> waves = {"Sine", "Triangle", "Saw", "Square", "Golden Sine", "Sine Half"};
  EXPECT_EQ(First(SuggestNames("Sqare", waves)), "Square");
  EXPECT_EQ(First(SuggestNames("trinagle", waves)), "Triangle");
  const std::vector<std::string> presets = {"---- default ----", "Higher frequencies",
                                            "Binaural - 2.2 (Dreamless sleep, trance state)",
                                            "Binaural - 3.4 (Sound sleep)", "Healing - 432 Hz (Natural, harmonic intonation of nature)"};
  EXPECT_EQ(First(SuggestByPart("sound slep", presets)), "Binaural - 3.4 (Sound sleep)");
  EXPECT_EQ(First(SuggestByPart("dreamlss sleep", presets)), "Binaural - 2.2 (Dreamless sleep, trance state)");
  EXPECT_EQ(First(SuggestByPart("higher frequncies", presets)), "Higher frequencies");
  // Nothing near: no guess rather than a wild one.
  EXPECT_TRUE(SuggestNames("Pitch", kParams).empty());
  EXPECT_TRUE(SuggestByPart("trombone", presets).empty());
}

TEST(NameSuggestTest, OptionsAndSessionKeywordsAreSuggestedWhereTheyAreTyped) {
  const char* argv[] = {"selvarin-render", "--loudnes", "-16"};
  RenderOptions o;
  std::string error;
  EXPECT_EQ(ParseRenderOptions(3, argv, &o, &error), ParseResult::kError);
  EXPECT_EQ(error, "unknown option '--loudnes' \u2014 did you mean '--loudness'?");
  SessionScript script;
  std::vector<SessionError> errors;
  EXPECT_FALSE(ParseSession("lenght 3:00\n0:10 prest \"Sound sleep\"\n", "s.txt", &script, &errors));
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_NE(errors[0].what.find("did you mean 'length'?"), std::string::npos) << errors[0].what;
  EXPECT_NE(errors[1].what.find("did you mean 'preset'?"), std::string::npos) << errors[1].what;
  // A session's unknown parameter, with its file and line, through the renderer.
  const std::string dir = MakeTempDirectory("selvarin-suggest-");
  std::ofstream(dir + "/s.txt") << "0:00 Volume = 50\n0:05 Binaral = 3\nlength 10\n";
  const test::CliResult r = test::RunRender("--dry-run --session " + dir + "/s.txt");
  RemoveDirectoryTree(dir);
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.output.find("s.txt:2: unknown parameter 'Binaral' \u2014 did you mean 'Binaural'?"), std::string::npos)
      << r.output;
}

}  // namespace
}  // namespace selvarin
