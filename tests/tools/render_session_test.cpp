// Sessions as a listener hears them: ramps followed block by block, steps
// and presets landing at their times, fades, every output format, the
// errors a person makes, and the resolved timeline printed back.
#include <cmath>
#include <fstream>

#include "tests/tools/cli_support.h"
#include "tests/vst3/signal_measure.h"
#include "tools/render/block_processor.h"
#include "tools/render/timeline_player.h"

namespace selvarin {
namespace {

using test::Audio;
using test::CliResult;
using test::LoadAudio;
using test::PathExists;
using test::RunRender;

constexpr double kRate = 48000.0;
constexpr double kBlockSeconds = 1024.0 / kRate;  // the default block

class RenderSessionTest : public test::TempDirTest {
 protected:
  std::string Session(const char* name, const std::string& text) {
    const std::string path = Path(name);
    std::ofstream(path) << text;
    return path;
  }
};

size_t Frame(double seconds) { return static_cast<size_t>(std::llround(seconds * kRate)); }

double Hz(const std::vector<double>& x, double from, double to) {
  return test::ZeroCrossingHz(x, {Frame(from), Frame(to)}, kRate);
}

// The first upward zero crossing after which the period is below the given
// one: where a frequency rise shows in the sound.
double RiseTime(const std::vector<double>& x, double from, double periodBelow) {
  double prev = -1.0;
  for (size_t i = Frame(from) + 1; i < x.size(); ++i) {
    if (x[i - 1] < 0.0 && x[i] >= 0.0) {
      const double t = (static_cast<double>(i - 1) + (-x[i - 1]) / (x[i] - x[i - 1])) / kRate;
      if (prev >= 0.0 && t - prev < periodBelow) return prev;
      prev = t;
    }
  }
  return -1.0;
}

TEST_F(RenderSessionTest, TheBeatFollowsALinearRampWithinABlock) {
  // "Fade" 1 ms: the plug-in glides to each block's value within the block.
  const std::string session = Session("ramp.txt",
                                      "0:00 Fade = 1\n"
                                      "0:00 Binaural = 10\n"
                                      "0:00-1:00 Binaural -> 2\n");
  const std::string out = Path("ramp.wav");
  const CliResult r = RunRender("--session " + session + " -o " + out + " -b 32");
  ASSERT_EQ(r.code, 0) << r.output;
  Audio a;
  ASSERT_TRUE(LoadAudio(out, &a));
  ASSERT_EQ(a.info.frames, 60 * 48000);  // the last event sets the length
  const double slope = 8.0 / 60.0;       // Hz per second
  for (double t = 1.0; t < 59.0; t += 2.0) {
    const double beat = Hz(a.right, t, t + 1.0) - Hz(a.left, t, t + 1.0);
    const double line = 10.0 - slope * (t + 0.5);
    EXPECT_NEAR(beat, line, slope * kBlockSeconds + 0.002) << "at " << t << " s";
  }
}

TEST_F(RenderSessionTest, AnExponentialRampKeepsEqualRatiosPerSecond) {
  const std::string session = Session("exp.txt",
                                      "0:00 Fade = 1\n"
                                      "0:00-8 Base Freq ->~ 800\n");
  const std::string out = Path("exp.wav");
  const CliResult r = RunRender("--session " + session + " -o " + out + " -b 32 -r 48000");
  ASSERT_EQ(r.code, 0) << r.output;
  Audio a;
  ASSERT_TRUE(LoadAudio(out, &a));
  // 200 Hz to 800 Hz over 8 s: doubling every 4 s, so 200 * 2^(t/4).
  for (double t : {1.0, 3.0, 5.0, 7.0}) {
    const double expected = 200.0 * std::pow(2.0, t / 4.0);
    EXPECT_NEAR(Hz(a.left, t - 0.05, t + 0.05) / expected, 1.0, 0.003) << t;
  }
}

TEST_F(RenderSessionTest, StepsAndPresetsLandInTheBlockThatHoldsTheirTime) {
  const std::string session = Session("steps.txt",
                                      "0:00 Fade = 1\n"
                                      "3.3 Base Freq = 300\n"
                                      "5 preset \"Higher frequencies\"\n"
                                      "7 preset 0\n"
                                      "7 Base Freq = 250\n"
                                      "7 Fade = 1\n"
                                      "length 9\n");
  const std::string out = Path("steps.wav");
  const CliResult r = RunRender("--session " + session + " -o " + out + " -b 32");
  ASSERT_EQ(r.code, 0) << r.output;
  Audio a;
  ASSERT_TRUE(LoadAudio(out, &a));
  EXPECT_NEAR(Hz(a.left, 2.0, 3.2), 200.0, 0.05);
  const double rise = RiseTime(a.left, 3.0, 1.0 / 210.0);
  EXPECT_GE(rise, 3.3 - 2 * kBlockSeconds);
  EXPECT_LE(rise, 3.3 + kBlockSeconds);
  EXPECT_NEAR(Hz(a.left, 3.5, 4.99), 300.0, 0.05);
  // The preset (400 Hz, gliding with its own "Fade") sounds from 5 s.
  const double presetRise = RiseTime(a.left, 4.5, 1.0 / 303.0);
  EXPECT_GE(presetRise, 5.0 - 2 * kBlockSeconds);
  EXPECT_LE(presetRise, 5.0 + 2 * kBlockSeconds);
  EXPECT_NEAR(Hz(a.left, 6.5, 6.99), 400.0, 1.0);
  // A step at the same time as a preset wins over the preset's value.
  EXPECT_NEAR(Hz(a.left, 8.0, 9.0), 250.0, 0.1);
}

TEST_F(RenderSessionTest, FadesRiseFromAndFallToSilenceMonotonically) {
  const std::string out = Path("fades.wav");
  const CliResult r = RunRender("-p Fade=1 -d 4 --fade-in 1 --fade-out 1.5 -o " + out + " -b 32");
  ASSERT_EQ(r.code, 0) << r.output;
  Audio a;
  ASSERT_TRUE(LoadAudio(out, &a));
  EXPECT_EQ(a.left.front(), 0.0);
  EXPECT_EQ(a.left.back(), 0.0);
  // The envelope over whole 200 Hz periods.
  std::vector<double> env;
  for (size_t i = 0; i + 240 <= a.left.size(); i += 240) env.push_back(test::Peak(a.left, i, i + 240));
  const size_t inEnd = Frame(1.0) / 240, outStart = Frame(2.5) / 240 + 1;
  for (size_t k = 1; k < inEnd; ++k) EXPECT_GE(env[k], env[k - 1] - 1e-6) << "fade-in at period " << k;
  for (size_t k = outStart + 1; k < env.size(); ++k) EXPECT_LE(env[k], env[k - 1] + 1e-6) << "fade-out " << k;
  EXPECT_LT(env[0], 0.01);
  EXPECT_NEAR(env[inEnd + 5], env[outStart - 5], 1e-3);  // full level between the fades
  EXPECT_LT(env.back(), 0.01);
}

TEST_F(RenderSessionTest, EveryFormatReadsBackWithItsLengthRateAndTags) {
  const std::string session = Session("tags.txt", "title \"Evening\"\n0:00 Binaural = 6\nlength 1.5\n");
  struct Case {
    const char* name;
    const char* args;
    int major;
    int rate;
  };
  const Case cases[] = {
      {"s.wav", "", SF_FORMAT_WAV, 48000},
      {"s.flac", "-b 16 -r 44100", SF_FORMAT_FLAC, 44100},
      {"s.ogg", "-q 3", SF_FORMAT_OGG, 48000},
      {"s.opus", "-r 24000", SF_FORMAT_OGG, 24000},
      {"s.mp3", "-q 10 -r 44100", SF_FORMAT_MPEG, 44100},
      {"small.mp3", "-q 0 -r 22050", SF_FORMAT_MPEG, 22050},
      {"s.bin", "--format mp3", SF_FORMAT_MPEG, 48000},
  };
  for (const Case& c : cases) {
    const std::string out = Path(c.name);
    const CliResult r = RunRender("--session " + session + " -P 1 -p Fade=1 -o " + out + " " + c.args);
    ASSERT_EQ(r.code, 0) << c.name << ": " << r.output;
    Audio a;
    ASSERT_TRUE(LoadAudio(out, &a)) << c.name;
    EXPECT_EQ(a.info.format & SF_FORMAT_TYPEMASK, c.major) << c.name;
    EXPECT_EQ(a.info.samplerate, c.rate) << c.name;
    EXPECT_EQ(a.info.frames, static_cast<sf_count_t>(1.5 * c.rate)) << c.name;
    EXPECT_EQ(a.title, "Evening") << c.name;
    EXPECT_EQ(a.comment, "Selvarin, preset \"Higher frequencies\", session " + session) << c.name;
    // Even lossy, the left ear holds the preset's 400 Hz tone.
    EXPECT_NEAR(test::ZeroCrossingHz(a.left, {static_cast<size_t>(c.rate / 2), a.left.size()}, c.rate), 400.0, 1.0) << c.name;
  }
  const std::vector<std::pair<std::string, std::string>> refused = {
      {"-o x.opus -r 44100", "Opus holds sample rates of 8000"},
      {"-o x.mp3 -r 96000", "MP3 holds sample rates from 8000 to 48000"},
      {"-o x.mp3 -b 16", "MP3 files take --quality, not --bits"},
      {"-o x.wav -q 5", "--quality applies to Ogg Vorbis, Opus and MP3"},
      {"-o x.ogg -q 11", "bad quality '11'"},
  };
  for (const auto& c : refused) {
    const CliResult r = RunRender(c.first);
    EXPECT_EQ(r.code, 2) << c.first;
    EXPECT_NE(r.output.find(c.second), std::string::npos) << r.output;
  }
}

TEST_F(RenderSessionTest, EveryWrongLineIsReportedAndNothingIsRendered) {
  const std::string session = Session("wrong.txt",
                                      "preset \"no such preset\"\n"           // 1
                                      "0:00 Pitch = 3\n"                      // 2
                                      "0:00 Base Freq = 30000\n"              // 3
                                      "0:00-1:00 Binaural -> 2\n"             // 4
                                      "0:30-2:00 Binaural -> 5\n"             // 5
                                      "0:40 Binaural = 7\n"                   // 6
                                      "0:20 Volume = 50\n"                    // 7
                                      "1:00-2:00 Wave -> Saw\n"               // 8
                                      "1:00-2:00 Binaural Pan ->~ -50\n"       // 9
                                      "1:00 Wave = 2.5\n");                   // 10
  const std::string out = Path("never.wav");
  const CliResult r = RunRender("--session " + session + " -o " + out);
  EXPECT_EQ(r.code, 1);
  const std::string f = session + ":";
  for (const std::string& line : {
           f + "1: no preset matches 'no such preset'",
           f + "2: unknown parameter 'Pitch'",
           f + "3: value 30000 of 'Base Freq' (0) is out of range (20 to 20000 Hz)",
           f + "5: this ramp of 'Binaural' overlaps the one on line 4 (0:00-1:00)",
           f + "6: 'Binaural' is set during its ramp on line 4 (until 1:00)",
           f + "7: time goes backwards",
           f + "8: 'Wave' has named values and changes in steps only",
           f + "9: an exponential ramp (->~) needs values above 0; 'Binaural Pan' goes from 100 to -50",
           f + "10: '2.5' is not an entry of 'Wave' (2)",
           std::string("selvarin-render: 9 errors in ") + session + "; nothing rendered",
       })
    EXPECT_NE(r.output.find(line), std::string::npos) << line << "\n---\n" << r.output;
  EXPECT_FALSE(PathExists(out));
  EXPECT_EQ(test::FilesIn(dir_).size(), 1u);
}

TEST_F(RenderSessionTest, DryRunPrintsATimelineThatReadsBackToItself) {
  const std::string session = Session("trip.txt",
                                      "# descent\n"
                                      "title \"Trip\"\n"
                                      "preset \"Sound sleep\"\n"
                                      "0:00 Binaural = 10\n"
                                      "0:00-20:00 Binaural -> 2.5\n"
                                      "5:00-25:00 base freq ->~ 120\n"
                                      "20:00 LFO1 Target = Volume\n"
                                      "20:00 LFO1 Rate = 1/4\n"
                                      "20:00 LFO1 Rate = 500\n"
                                      "29:30.25-30:00 Volume -> 0\n"
                                      "length 30:00\n");
  const CliResult first = RunRender("--session " + session + " --dry-run 2>/dev/null");
  ASSERT_EQ(first.code, 0) << first.output;
  for (const char* s : {"preset 31", "Binaural (1): 10 to 2.5 Hz, \"2.50\"", "Base Freq ->~ 120",
                        "LFO1 Rate = 1/4", "LFO1 Rate (12): 500 ms", "29:30.25-30:00", "length 30:00"})
    EXPECT_NE(first.output.find(s), std::string::npos) << s << "\n" << first.output;
  const std::string resolved = Session("resolved.txt", first.output);
  const CliResult again = RunRender("--session - --dry-run < " + resolved + " 2>/dev/null");
  ASSERT_EQ(again.code, 0) << again.output;
  EXPECT_EQ(again.output, first.output);
  EXPECT_EQ(test::FilesIn(dir_).size(), 2u);  // nothing rendered
}

TEST_F(RenderSessionTest, EverySessionThatResolvesPrintsATimelineThatResolvesToItself) {
  // The examples and the seeds the session reader is fuzzed with, among
  // them ramps and steps microseconds apart.
  std::vector<std::string> sessions;
  for (const char* dir : {SELVARIN_EXAMPLES_DIR, SELVARIN_SESSION_CORPUS_DIR})
    for (const std::string& name : test::FilesIn(dir)) sessions.push_back(std::string(dir) + "/" + name);
  int resolved = 0;
  for (const std::string& session : sessions) {
    const CliResult first = RunRender("--dry-run --session '" + session + "' 2>/dev/null");
    if (first.code != 0) continue;
    ++resolved;
    const CliResult again = RunRender("--dry-run --session " + Session("printed.txt", first.output) + " 2>&1");
    EXPECT_EQ(again.code, 0) << session << ":\n" << first.output << again.output;
    EXPECT_EQ(again.output, first.output) << session;
  }
  EXPECT_GE(resolved, 6) << "the corpus holds sessions that resolve";
}

TEST_F(RenderSessionTest, BinaryInputEndsWithTheLineThatHoldsIt) {
  for (const std::string device : {"/dev/zero", "/dev/urandom"}) {
    const CliResult r = RunRender("--dry-run --session " + device);
    EXPECT_EQ(r.code, 1) << r.output;
    EXPECT_EQ(r.output.rfind(device + ":", 0), 0u) << r.output;
    EXPECT_NE(r.output.find(": the line holds a NUL byte (not a text file?)\n"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("selvarin-render: 1 error in " + device + "; nothing rendered"), std::string::npos);
  }
}

TEST_F(RenderSessionTest, TheHelpsExampleIsASessionThatResolves) {
  const CliResult help = RunRender("--session-help");
  ASSERT_EQ(help.code, 0);
  // The example: the indented lines up to the first blank line after them.
  std::string example;
  size_t pos = help.output.find("\n  ");
  while (pos != std::string::npos && help.output.compare(pos, 3, "\n  ") == 0) {
    const size_t end = help.output.find('\n', pos + 1);
    example += help.output.substr(pos + 3, end - pos - 3) + "\n";
    pos = end;
  }
  ASSERT_NE(example.find("length 30:00"), std::string::npos) << example;
  const CliResult r = RunRender("--dry-run --session " + Session("help.txt", example));
  EXPECT_EQ(r.code, 0) << example << r.output;
  EXPECT_NE(r.output.find("9 events, 30:00 long"), std::string::npos) << r.output;
}

TEST_F(RenderSessionTest, TheExampleSessionsResolve) {
  for (const char* name : {"sleep_descent.session", "focus_session.session"}) {
    const CliResult r = RunRender(std::string("--dry-run --session " SELVARIN_EXAMPLES_DIR "/") + name);
    EXPECT_EQ(r.code, 0) << name << ": " << r.output;
    EXPECT_NE(r.output.find("length "), std::string::npos) << r.output;
  }
}

TEST(TimelinePlayerTest, OneValuePerParameterAndBlockWithThePresetFirst) {
  Timeline t;
  auto ev = [](SessionLineKind kind, int order, int64_t start, int64_t end, uint32_t id, double to) {
    TimelineEvent e;
    e.kind = kind;
    e.order = order;
    e.startFrame = start;
    e.endFrame = end;
    e.id = id;
    e.toPlain = to;
    e.presetIndex = 2;
    return e;
  };
  t.events = {ev(SessionLineKind::kStep, 0, 10, 10, 1, 0.1), ev(SessionLineKind::kStep, 1, 20, 20, 1, 0.2),
              ev(SessionLineKind::kStep, 2, 30, 30, 3, 0.3), ev(SessionLineKind::kPreset, 3, 40, 40, 0, 0.0),
              ev(SessionLineKind::kStep, 4, 50, 50, 4, 0.4), ev(SessionLineKind::kRamp, 5, 60, 260, 5, 1.0)};
  t.events.back().fromPlain = 0.0;
  TimelinePlayer player(t, [](uint32_t, double plain) { return plain; }, 5);
  HostParamChanges changes;
  player.FillBlock(0, 100, &changes);
  // The preset outranks the earlier steps of its block; later ones follow it.
  ASSERT_EQ(changes.getParameterCount(), 3);
  auto point = [&](int q, sb::int32* offset, double* value) {
    sv::IParamValueQueue* queue = changes.getParameterData(q);
    EXPECT_EQ(queue->getPointCount(), 1);
    queue->getPoint(0, *offset, *value);
    return queue->getParameterId();
  };
  sb::int32 offset = 0;
  double value = 0.0;
  EXPECT_EQ(point(0, &offset, &value), kPresetParamId);
  EXPECT_EQ(offset, 40);
  EXPECT_DOUBLE_EQ(value, 0.5);
  EXPECT_EQ(point(1, &offset, &value), 4u);
  EXPECT_EQ(offset, 50);
  EXPECT_EQ(point(2, &offset, &value), 5u);  // the ramp's value at the block's end
  EXPECT_EQ(offset, 99);
  EXPECT_DOUBLE_EQ(value, 0.2);
  changes.Clear();
  player.FillBlock(100, 100, &changes);
  ASSERT_EQ(changes.getParameterCount(), 1);
  EXPECT_EQ(point(0, &offset, &value), 5u);
  EXPECT_DOUBLE_EQ(value, 0.7);
  changes.Clear();
  player.FillBlock(200, 100, &changes);  // the ramp ends within this block
  ASSERT_EQ(changes.getParameterCount(), 1);
  EXPECT_EQ(point(0, &offset, &value), 5u);
  EXPECT_EQ(offset, 60);
  EXPECT_DOUBLE_EQ(value, 1.0);
  changes.Clear();
  player.FillBlock(300, 100, &changes);
  EXPECT_EQ(changes.getParameterCount(), 0);
}

}  // namespace
}  // namespace selvarin
