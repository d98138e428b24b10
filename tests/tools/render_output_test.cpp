// Where selvarin-render writes: files replaced only when complete, devices,
// FIFOs and pipes written in place, bad places and protected files refused
// before rendering, full disks and interruptions cleaned up, and clipping
// reported.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
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

// A renderer started without a shell: its standard output on out, its
// standard error into a file.
class Renderer {
 public:
  Renderer(const std::vector<std::string>& args, int out, const std::string& errors) {
    std::vector<std::string> all = {SELVARIN_RENDER_EXE, "--plugin", SELVARIN_TEST_BUNDLE};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out, STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~Renderer() { Wait(0.0); }

  pid_t Pid() const { return pid_; }

  // Whether the renderer catches sig, by /proc/PID/status, waiting up to
  // ten seconds for it to start catching.
  bool CatchesSignal(int sig) const {
    return Within(10.0, [&] {
      std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
      std::string line;
      while (std::getline(status, line))
        if (line.rfind("SigCgt:", 0) == 0) return (std::stoull(line.substr(7), nullptr, 16) >> (sig - 1) & 1) != 0;
      return false;
    });
  }

  // The exit status (128 + the signal for one that ended it). A renderer
  // still running after the given seconds is killed: -1.
  int Wait(double seconds) {
    if (pid_ < 0) return -1;
    int status = 0;
    const bool ended = Within(seconds, [&] { return waitpid(pid_, &status, WNOHANG) == pid_; });
    if (!ended) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
    }
    pid_ = -1;
    if (!ended) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

  // Whether done() turns true within the given seconds, looking every 10 ms.
  template <typename Done>
  static bool Within(double seconds, Done done) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
      if (std::chrono::steady_clock::now() > until) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
  }

 private:
  pid_t pid_ = -1;
};

TEST_F(RenderOutputTest, AStopRequestEndsARenderBlockedOnItsOutput) {
  // A FIFO that nobody opens for reading: the renderer waits to open it.
  const std::string fifo = Path("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  {
    Renderer r({"-o", fifo, "-d", "10"}, STDOUT_FILENO, Path("fifo-errors.txt"));
    ASSERT_TRUE(r.CatchesSignal(SIGTERM));
    kill(r.Pid(), SIGTERM);
    EXPECT_EQ(r.Wait(10.0), 130) << "a stop request must end the wait for a reader";
  }
  EXPECT_NE(ReadAll(Path("fifo-errors.txt")).find("selvarin-render: interrupted"), std::string::npos);

  // Standard output into a pipe that nobody reads: the renderer fills it,
  // then waits to write more.
  int fds[2];
  ASSERT_EQ(pipe2(fds, O_CLOEXEC), 0);
  {
    Renderer r({"-o", "-", "-d", "600", "--no-progress"}, fds[1], Path("pipe-errors.txt"));
    close(fds[1]);
    int queued = 0;
    EXPECT_TRUE(Renderer::Within(10.0, [&] { return ioctl(fds[0], FIONREAD, &queued) == 0 && queued >= 60000; }));
    kill(r.Pid(), SIGINT);
    EXPECT_EQ(r.Wait(10.0), 130) << "a stop request must end a write nobody reads";
  }
  close(fds[0]);
  EXPECT_NE(ReadAll(Path("pipe-errors.txt")).find("selvarin-render: interrupted"), std::string::npos);

  // A reader that goes away ends the render quietly, as it ends other
  // writers in a pipeline.
  RunCommand("(" SELVARIN_RENDER_EXE " --plugin '" SELVARIN_TEST_BUNDLE "' -o - -d 10:00 --no-progress 2>" +
                 Path("gone-errors.txt") + "; echo $? >" + Path("code.txt") + ") | head -c 1000 >/dev/null",
             nullptr);
  EXPECT_EQ(ReadAll(Path("gone-errors.txt")), "");
  EXPECT_EQ(ReadAll(Path("code.txt")), "141\n");

  EXPECT_EQ(FilesIn(dir_).size(), 5u) << "the FIFO and four notes, nothing else";
  struct stat st {};
  ASSERT_EQ(stat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(RenderOutputTest, AFullDiskOrAFileSizeLimitFailsEveryFormatAndKeepsTheOriginal) {
  for (const std::string type : {"wav", "flac", "ogg", "opus", "mp3"}) {
    CliResult r = RunRender("-d 1 --format " + type + " -o /dev/full");
    EXPECT_EQ(r.code, 1) << type << ": " << r.output;
    EXPECT_EQ(r.output, "selvarin-render: cannot write /dev/full: No space left on device\n") << type;

    // Over an existing file, with a file-size limit of some 64 kB (the
    // shell counts 512-byte blocks).
    const std::string out = Path(("keep." + type).c_str());
    std::ofstream(out) << "original";
    r = RunRender("-d 60 --no-progress -o " + out, "ulimit -f 128; ");
    EXPECT_EQ(r.code, 1) << type << ": " << r.output;
    EXPECT_NE(r.output.find("cannot write " + out + ": File too large; " + out + " is left as it was"),
              std::string::npos)
        << r.output;
    EXPECT_TRUE(ReadAll(out) == "original") << type << ": the original was replaced";
  }
  EXPECT_EQ(FilesIn(dir_).size(), 5u) << "the five originals, no temporary file";
}

TEST_F(RenderOutputTest, ProtectedFilesModesAndLinksAreRespected) {
  // A read-only file is not replaced, as cp would not replace it. An
  // administrator may write any file: then a copy of the renderer and the
  // bundle, where anybody may run them, runs as nobody.
  const std::string guarded = Path("guarded.wav");
  std::ofstream(guarded) << "keep me";
  ASSERT_EQ(chmod(guarded.c_str(), 0444), 0);
  std::string render = SELVARIN_RENDER_EXE " --plugin '" SELVARIN_TEST_BUNDLE "'";
  if (geteuid() == 0) {
    ASSERT_EQ(chmod(dir_.c_str(), 0777), 0);
    ASSERT_EQ(RunCommand("cp " SELVARIN_RENDER_EXE " " + Path("render") + " && cp -r '" SELVARIN_TEST_BUNDLE "' " +
                             Path("Selvarin.vst3") + " && chmod -R a+rX " + dir_,
                         nullptr),
              0);
    render = "setpriv --reuid=65534 --regid=65534 --clear-groups " + Path("render") + " --plugin " +
             Path("Selvarin.vst3");
  }
  std::string output;
  EXPECT_EQ(RunCommand(render + " -d 1 -o " + guarded + " 2>&1", &output), 1) << output;
  EXPECT_EQ(output, "selvarin-render: cannot write " + guarded + ": Permission denied\n");
  EXPECT_TRUE(ReadAll(guarded) == "keep me") << "the read-only file was replaced";
  RemoveDirectoryTree(Path("Selvarin.vst3"));
  unlink(Path("render").c_str());

  // A replaced file keeps its permissions.
  const std::string shared = Path("shared.wav");
  std::ofstream(shared) << "old";
  ASSERT_EQ(chmod(shared.c_str(), 0604), 0);
  ASSERT_EQ(RunRender("-d 0.5 -o " + shared).code, 0);
  struct stat st {};
  ASSERT_EQ(stat(shared.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0604u);

  // A symbolic link is written through: its target is replaced (or
  // created), the link stays.
  ASSERT_EQ(mkdir(Path("takes").c_str(), 0755), 0);
  std::ofstream(Path("takes/today.wav")) << "yesterday's";
  ASSERT_EQ(symlink("takes/today.wav", Path("latest.wav").c_str()), 0);
  ASSERT_EQ(symlink("takes/next.wav", Path("next.wav").c_str()), 0);
  for (const char* link : {"latest.wav", "next.wav"}) {
    const CliResult r = RunRender("-d 0.5 -o " + Path(link));
    ASSERT_EQ(r.code, 0) << link << ": " << r.output;
    ASSERT_EQ(lstat(Path(link).c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << link;
    Audio a;
    ASSERT_TRUE(LoadAudio(Path(link), &a)) << link;
    EXPECT_EQ(a.info.frames, 24000) << link;
  }
  EXPECT_EQ(FilesIn(Path("takes")).size(), 2u) << "today.wav and next.wav, no temporary file";
  EXPECT_EQ(FilesIn(dir_).size(), 5u);
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

TEST_F(RenderOutputTest, StopSignalsLeaveNoFile) {
  // Every signal that would end the process is a stop request, Ctrl-\\ and
  // the user and timer signals as much as Ctrl-C.
  for (const char* sig : {"HUP", "INT", "QUIT", "TERM", "USR1", "USR2", "ALRM"}) {
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
