// Where selvarin-render writes: files replaced only when complete, devices,
// FIFOs and pipes written in place, bad places refused before rendering,
// interruptions cleaned up, and clipping reported.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/tools/cli_support.h"
#include "tests/vst3/signal_measure.h"

namespace selvarin {
namespace {

using test::Audio;
using test::CliResult;
using test::FilesIn;
using test::LoadAudio;
using test::PathExists;
using test::RunRender;

class RenderOutputTest : public test::TempDirTest {};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST_F(RenderOutputTest, AnExistingFileIsReplacedWholeAndOtherFilesAreLeftAlone) {
  const std::string out = Path("a.wav");
  std::ofstream(out) << "old";
  std::ofstream(out + ".part") << "someone else's";
  const CliResult r = RunRender("-o " + out + " -d 0.5 -b 16");
  ASSERT_EQ(r.code, 0) << r.output;
  Audio a;
  ASSERT_TRUE(LoadAudio(out, &a));
  EXPECT_EQ(a.info.frames, 24000);
  EXPECT_EQ(ReadAll(out + ".part"), "someone else's");
  EXPECT_EQ(FilesIn(dir_).size(), 2u);  // no temporary file left
  struct stat st {};
  ASSERT_EQ(stat(out.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0044, 0044u) << "a new file is readable as any new file";  // not mkstemp's 0600
}

TEST_F(RenderOutputTest, PipesFifosAndDevicesAreWrittenInPlace) {
  // Standard output into a pipe: a WAV header with the length, then samples.
  for (const char* bits : {"16", "32"}) {
    const std::string got = Path("piped.wav");
    const CliResult r = RunRender(std::string("-o - -p Fade=1 -d 0.25 -b ") + bits + " 2>" + Path("err.txt") + " | cat > " + got);
    ASSERT_EQ(r.code, 0) << r.output;
    EXPECT_NE(ReadAll(Path("err.txt")).find("Wrote standard output"), std::string::npos);
    Audio a;
    ASSERT_TRUE(LoadAudio(got, &a)) << bits;
    EXPECT_EQ(a.info.frames, 12000) << bits;
    EXPECT_EQ(a.info.samplerate, 48000);
    EXPECT_NEAR(test::ZeroCrossingHz(a.left, {6000, 12000}, 48000.0), 200.0, 2.0);
  }

  // A FIFO stays a FIFO; a reader gets the whole file.
  const std::string fifo = Path("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] { received = ReadAll(fifo); });
  const CliResult r = RunRender("-o " + fifo + " -d 0.25 -b 24");
  // Should the renderer never have opened the FIFO, this releases the reader.
  const int release = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
  if (release >= 0) close(release);
  reader.join();
  ASSERT_EQ(r.code, 0) << r.output;
  struct stat st {};
  ASSERT_EQ(stat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  std::ofstream(Path("from-fifo.wav"), std::ios::binary) << received;
  Audio a;
  ASSERT_TRUE(LoadAudio(Path("from-fifo.wav"), &a));
  EXPECT_EQ(a.info.frames, 12000);
  for (const std::string& name : FilesIn(dir_)) EXPECT_EQ(name.find(".part"), std::string::npos) << name;

  // /dev/null stays the device.
  const CliResult n = RunRender("-o /dev/null -d 0.1");
  ASSERT_EQ(n.code, 0) << n.output;
  ASSERT_EQ(stat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST_F(RenderOutputTest, UnusableOutputsFailBeforeRenderingWithTheReason) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {dir_, "cannot write to " + dir_ + ": it is a folder"},
      {dir_ + "/missing/x.wav", "the folder " + dir_ + "/missing does not exist"},
      {"/proc/selvarin-test.wav", "cannot write in /proc"},
  };
  for (const auto& c : cases) {
    // Ten hours would take long: the refusal must come first.
    const CliResult r = RunRender("-o " + c.first + " -d 10:00:00 --no-progress");
    EXPECT_EQ(r.code, 1) << c.first;
    EXPECT_NE(r.output.find(c.second), std::string::npos) << r.output;
  }
  EXPECT_TRUE(FilesIn(dir_).empty());
}

TEST_F(RenderOutputTest, HangUpInterruptAndTerminateLeaveNoFile) {
  for (const char* sig : {"HUP", "INT", "TERM"}) {
    const std::string out = Path("long.wav");
    // A long render, stopped by the signal once its file is being written
    // (at most ten seconds of waiting for that).
    const CliResult r = RunRender("-o " + out + " -d 2:00:00 -b 16 --no-progress 2>&1 & pid=$!; i=0; " +
                                  "while [ $i -lt 200 ] && ! ls " + dir_ + "/long.wav.part-* >/dev/null 2>&1; " +
                                  "do sleep 0.05; i=$((i+1)); done; kill -" + std::string(sig) + " $pid; wait $pid");
    EXPECT_EQ(r.code, 130) << sig << ": " << r.output;
    EXPECT_NE(r.output.find("interrupted; no file written"), std::string::npos) << r.output;
    EXPECT_TRUE(FilesIn(dir_).empty()) << sig;
  }
}

TEST_F(RenderOutputTest, ClippedIntegerSamplesAreCountedWithAVolumeThatAvoidsThem) {
  const std::string loud = "-p Beats=Monaural -p Volume=100 -p Fade=1 -d 1";
  CliResult r = RunRender("-o " + Path("loud.wav") + " " + loud + " -b 16");
  ASSERT_EQ(r.code, 0) << r.output;
  EXPECT_NE(r.output.find("samples clipped (peak 1.99"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("6.0 dB over full scale); \"Volume\" 90 % or lower avoids it"), std::string::npos)
      << r.output;
  // The suggestion holds: at 90 % nothing clips.
  r = RunRender("-o " + Path("ok.wav") + " -p Beats=Monaural -p Volume=90 -p Fade=1 -d 1 -b 24");
  ASSERT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(r.output.find("clipped"), std::string::npos) << r.output;
  // Float output holds the peaks as they are.
  r = RunRender("-o " + Path("float.wav") + " " + loud + " -b 32");
  ASSERT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(r.output.find("clipped"), std::string::npos) << r.output;
  Audio a;
  ASSERT_TRUE(LoadAudio(Path("float.wav"), &a));
  EXPECT_GT(test::Peak(a.left), 1.9);
}

}  // namespace
}  // namespace selvarin

namespace selvarin {
namespace {

TEST_F(RenderOutputTest, FloatWavGetsAPeakChunkOnlyWhenAsked) {
  const std::string plain = Path("plain.wav"), peak = Path("peak.wav");
  ASSERT_EQ(RunRender("-d 0.2 -b 32 -o " + plain).code, 0);
  ASSERT_EQ(RunRender("-d 0.2 -b 32 --peak-chunk -o " + peak).code, 0);
  EXPECT_EQ(ReadAll(plain).substr(0, 512).find("PEAK"), std::string::npos);
  EXPECT_NE(ReadAll(peak).substr(0, 512).find("PEAK"), std::string::npos);
  Audio a, b;
  ASSERT_TRUE(LoadAudio(plain, &a));
  ASSERT_TRUE(LoadAudio(peak, &b));
  EXPECT_EQ(a.left, b.left);  // the same samples either way
  const CliResult r = RunRender("-d 0.2 -b 24 --peak-chunk -o " + Path("x.wav"));
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.output.find("--peak-chunk applies to 32-bit float WAV files"), std::string::npos) << r.output;
}

TEST_F(RenderOutputTest, FlacLevelsTradeSizeAndAllDecodeToTheSameSamples) {
  // A rich preset: two LFOs on a golden waveform.
  std::vector<size_t> sizes;
  std::vector<double> reference;
  for (const char* level : {"0", "8"}) {
    const std::string out = Path(level) + ".flac";
    const CliResult r = RunRender("-P 3 -d 3 -b 24 --flac-level " + std::string(level) + " -o " + out);
    ASSERT_EQ(r.code, 0) << r.output;
    sizes.push_back(ReadAll(out).size());
    Audio a;
    ASSERT_TRUE(LoadAudio(out, &a));
    if (reference.empty()) reference = a.left;
    EXPECT_EQ(a.left, reference) << "lossless at every level";
  }
  EXPECT_LT(sizes[1], sizes[0]);
  for (const std::string bad : {"-o x.flac --flac-level 9", "-o x.wav --flac-level 3"}) {
    const CliResult r = RunRender(bad);
    EXPECT_EQ(r.code, 2) << bad;
  }
}

TEST_F(RenderOutputTest, SixtyFourBitProcessingWritesTheSameSoundAsThirtyTwo) {
  ASSERT_EQ(RunRender("-p Fade=1 -d 1 -b 32 -o " + Path("p32.wav")).code, 0);
  ASSERT_EQ(RunRender("-p Fade=1 -d 1 -b 32 --precision 64 -o " + Path("p64.wav")).code, 0);
  Audio a, b;
  ASSERT_TRUE(LoadAudio(Path("p32.wav"), &a));
  ASSERT_TRUE(LoadAudio(Path("p64.wav"), &b));
  ASSERT_EQ(a.left.size(), b.left.size());
  double worst = 0.0;
  for (size_t i = 0; i < a.left.size(); ++i) worst = std::fmax(worst, std::fabs(a.left[i] - b.left[i]));
  EXPECT_LT(worst, 1e-6);  // float rounding of the same samples
}

}  // namespace
}  // namespace selvarin
