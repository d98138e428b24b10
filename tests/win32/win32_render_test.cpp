// selvarin-render.exe as Windows runs it (CreateProcessW, pipes, a console):
// names in any language through the wide calls, session files from Windows
// editors, files replaced whole, NUL written in place, standard output
// carrying the file byte for byte, and Ctrl+C leaving the old file as it was.
#include <windows.h>
#define ENABLE_SNDFILE_WINDOWS_PROTOTYPES 1
#include <sndfile.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/vst3/signal_measure.h"
#include "tools/platform/file_system.h"
#include "tools/platform/win32/wide_path.h"

namespace selvarin {
namespace {

struct Outcome {
  DWORD code = 0;
  std::string out, err;
};

// The build folder's own path, as Windows spells it.
std::wstring FullPath(const char* path) {
  wchar_t buf[MAX_PATH * 4];
  const DWORD n = GetFullPathNameW(WidePath(path).c_str(), MAX_PATH * 4, buf, nullptr);
  return std::wstring(buf, n);
}

std::wstring Quoted(const std::wstring& s) { return L"\"" + s + L"\""; }

// Reads what the pipe holds now; false when it holds nothing.
bool Pump(HANDLE pipe, std::string* data) {
  DWORD available = 0;
  if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) || available == 0) return false;
  std::string buf(available, '\0');
  DWORD n = 0;
  if (!ReadFile(pipe, &buf[0], available, &n, nullptr)) return false;
  data->append(buf.data(), n);
  return n > 0;
}

// A child process with its standard output and error in pipes. They are
// read until the child ends rather than to their end: under Wine a desktop
// process the child starts may inherit and keep the pipes open.
class Child {
 public:
  Child(const std::wstring& exe, const std::wstring& args, const std::wstring& folder) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE outWrite = nullptr, errWrite = nullptr;
    CreatePipe(&outRead_, &outWrite, &inherit, 0);
    CreatePipe(&errRead_, &errWrite, &inherit, 0);
    SetHandleInformation(outRead_, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead_, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = outWrite;
    si.hStdError = errWrite;
    std::wstring line = Quoted(exe) + L" " + args;
    started_ = CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(), &si, &info_);
    CloseHandle(outWrite);
    CloseHandle(errWrite);
  }
  ~Child() {
    if (started_) Finish(0);
    if (outRead_) CloseHandle(outRead_);
    CloseHandle(errRead_);
  }
  bool Started() const { return started_; }

  // Reads the pipes while the child runs; true when it has ended.
  bool Poll() {
    const bool ended = WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0;
    // What an ended child wrote is in the pipes already.
    while ((readOut_ && Pump(outRead_, &result_.out)) || Pump(errRead_, &result_.err)) {
    }
    return ended;
  }

  // A reader of standard output that stops reading, or goes away.
  void StopReadingOutput() { readOut_ = false; }
  void CloseOutput() {
    readOut_ = false;
    CloseHandle(outRead_);
    outRead_ = nullptr;
  }
  // Bytes waiting in the standard output pipe.
  DWORD OutputQueued() const {
    DWORD available = 0;
    return outRead_ && PeekNamedPipe(outRead_, nullptr, 0, nullptr, &available, nullptr) ? available : 0;
  }

  // Waits for the end (ending the child after `ms`) and collects everything.
  Outcome Finish(DWORD ms = 120000) {
    if (!started_) return result_;
    const ULONGLONG deadline = GetTickCount64() + ms;
    while (!Poll()) {
      if (GetTickCount64() >= deadline) TerminateProcess(info_.hProcess, 99);
      WaitForSingleObject(info_.hProcess, 5);
    }
    GetExitCodeProcess(info_.hProcess, &result_.code);
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
    started_ = false;
    return result_;
  }

 private:
  bool started_ = false;
  PROCESS_INFORMATION info_{};
  HANDLE outRead_ = nullptr, errRead_ = nullptr;
  bool readOut_ = true;
  Outcome result_;
};

class Win32RenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeTempDirectory("selvarin-render-");
    ASSERT_FALSE(dir_.empty());
  }
  void TearDown() override { RemoveDirectoryTree(dir_); }

  // args: UTF-8; the renderer runs in the test's folder.
  Outcome Render(const std::string& args) {
    Child child(FullPath(SELVARIN_RENDER_EXE), RenderArgs(args), WidePath(dir_));
    EXPECT_TRUE(child.Started()) << GetLastError();
    return child.Finish();
  }
  std::wstring RenderArgs(const std::string& args) const {
    return L"--plugin " + Quoted(FullPath(SELVARIN_TEST_BUNDLE)) + L" --no-progress " + WidePath(args);
  }
  std::string Path(const std::string& name) const { return dir_ + "\\" + name; }
  std::vector<std::string> Files() const {
    std::vector<std::string> names = ListDirectory(dir_);
    std::sort(names.begin(), names.end());
    return names;
  }
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(std::filesystem::u8path(Path(name)), std::ios::binary) << bytes;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(std::filesystem::u8path(Path(name)), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

  std::string dir_;
};

struct Audio {
  SF_INFO info{};
  std::vector<double> left, right;
  std::string title;
};

bool Load(const std::string& path, Audio* a) {
  SNDFILE* f = sf_wchar_open(WidePath(path).c_str(), SFM_READ, &a->info);
  if (!f) return false;
  std::vector<double> frames(static_cast<size_t>(a->info.frames) * 2);
  sf_readf_double(f, frames.data(), a->info.frames);
  if (const char* t = sf_get_string(f, SF_STR_TITLE)) a->title = t;
  sf_close(f);
  for (size_t i = 0; i + 1 < frames.size(); i += 2) {
    a->left.push_back(frames[i]);
    a->right.push_back(frames[i + 1]);
  }
  return true;
}

// The samples of a RIFF WAVE file's data chunk.
std::string DataChunk(const std::string& wav) {
  for (size_t pos = 12; pos + 8 <= wav.size();) {
    const uint32_t size = static_cast<uint8_t>(wav[pos + 4]) | static_cast<uint8_t>(wav[pos + 5]) << 8 |
                          static_cast<uint8_t>(wav[pos + 6]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(wav[pos + 7])) << 24;
    if (wav.compare(pos, 4, "data") == 0) return wav.substr(pos + 8, size);
    pos += 8 + size + (size & 1);
  }
  return std::string();
}

TEST_F(Win32RenderTest, NamesInAnyLanguageAndASessionFromAWindowsEditor) {
  const std::string folder = "Kl\xC3\xA4nge \xE5\xA4\x9C";  // "Klänge 夜"
  ASSERT_TRUE(CreateDirectoryW(WidePath(Path(folder)).c_str(), nullptr));
  const std::string title = "Abend \xE2\x80\x94 \xE5\xA4\x9C";  // "Abend — 夜"
  // Notepad's UTF-8: a byte-order mark and CR LF line ends.
  Write(folder + "\\" + title + ".session",
        "\xEF\xBB\xBF# evening\r\ntitle \"" + title + "\"\r\n0:00 Fade = 1\r\n0:00 Base Freq = 300\r\n" +
            "0:00 Binaural = 6\r\nlength 2\r\n");
  const std::string out = Path(folder + "\\" + title + ".flac");
  const Outcome r = Render("--session \"" + Path(folder + "\\" + title + ".session") + "\" -o \"" + out + "\"");
  ASSERT_EQ(r.code, 0u) << r.err;
  EXPECT_NE(r.out.find("Wrote " + out + ": 2.000 s"), std::string::npos) << r.out;
  // The names as given: no question marks of a code page, no temporary file.
  const std::vector<std::string> names = ListDirectory(Path(folder));
  EXPECT_EQ(names.size(), 2u);
  EXPECT_NE(std::find(names.begin(), names.end(), title + ".flac"), names.end());
  Audio a;
  ASSERT_TRUE(Load(out, &a));
  EXPECT_EQ(a.title, title);
  EXPECT_EQ(a.info.frames, 96000);
  EXPECT_NEAR(test::ZeroCrossingHz(a.left, {48000, 96000}, 48000.0), 300.0, 0.1);
  EXPECT_NEAR(test::ZeroCrossingHz(a.right, {48000, 96000}, 48000.0), 306.0, 0.1);

  // The snapshot tool writes its picture under such a name too.
  Child snapshot(FullPath(SELVARIN_SNAPSHOT_EXE), L"-o " + Quoted(WidePath(Path(folder + "\\Bild.png"))), WidePath(dir_));
  ASSERT_EQ(snapshot.Finish().code, 0u);
  EXPECT_EQ(Read(folder + "\\Bild.png").compare(1, 3, "PNG"), 0);
}

TEST_F(Win32RenderTest, FilesAreReplacedWholeAndDevicesWrittenInPlace) {
  Write("a.wav", "old");
  Write("a.wav.part", "someone else's");
  Outcome r = Render("-o a.wav -d 0.5 -b 16");
  ASSERT_EQ(r.code, 0u) << r.err;
  Audio a;
  ASSERT_TRUE(Load(Path("a.wav"), &a));
  EXPECT_EQ(a.info.frames, 24000);
  EXPECT_EQ(Read("a.wav.part"), "someone else's");
  EXPECT_EQ(Files(), (std::vector<std::string>{"a.wav", "a.wav.part"}));

  // NUL takes the render and stays the device: no file of that name.
  r = Render("-o NUL -d 0.5");
  EXPECT_EQ(r.code, 0u) << r.err;
  EXPECT_NE(r.out.find("Wrote NUL"), std::string::npos) << r.out;
  EXPECT_EQ(Files().size(), 2u);

  // Places that cannot take a file are refused before rendering.
  r = Render("-o \"" + dir_ + "\" -d 10:00:00");
  EXPECT_EQ(r.code, 1u);
  EXPECT_NE(r.err.find("it is a folder"), std::string::npos) << r.err;
  r = Render("-o missing\\x.wav -d 10:00:00");
  EXPECT_EQ(r.code, 1u);
  EXPECT_NE(r.err.find("the folder missing does not exist"), std::string::npos) << r.err;
  EXPECT_EQ(Files().size(), 2u);
}

TEST_F(Win32RenderTest, StandardOutputCarriesTheFileByteForByte) {
  // A 200 Hz sine at 48 kHz has samples whose bytes are 0x0A: text mode
  // would turn each into 0x0D 0x0A.
  const Outcome piped = Render("-o - -p Fade=1 -d 0.25 -b 16");
  ASSERT_EQ(piped.code, 0u) << piped.err;
  EXPECT_NE(piped.err.find("Wrote standard output"), std::string::npos) << piped.err;
  ASSERT_EQ(piped.out.size(), 44u + 12000u * 2u * 2u);
  EXPECT_EQ(piped.out.compare(0, 4, "RIFF"), 0);
  EXPECT_EQ(piped.out.compare(8, 4, "WAVE"), 0);
  ASSERT_EQ(Render("-o file.wav -p Fade=1 -d 0.25 -b 16").code, 0u);
  const std::string fromFile = DataChunk(Read("file.wav"));
  ASSERT_EQ(fromFile.size(), 48000u);
  EXPECT_NE(fromFile.find('\n'), std::string::npos);
  EXPECT_TRUE(DataChunk(piped.out) == fromFile) << "the same samples, byte for byte";
}

// Ctrl+C as a user presses it: a console event to every program on this
// process's console, which it shares with the renderers it starts.
class CtrlC {
 public:
  CtrlC() {
    FreeConsole();
    owned_ = AllocConsole() != 0;
  }
  ~CtrlC() {
    SetConsoleCtrlHandler(nullptr, FALSE);
    FreeConsole();
  }
  bool Ready() const { return owned_; }
  bool Press() {
    SetConsoleCtrlHandler(nullptr, TRUE);  // the event reaches this process too
    return GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0) != 0;
  }

 private:
  bool owned_ = false;
};

// Waits for a condition of a running child (at most 30 s).
template <class Condition>
bool Within30s(Child& child, Condition condition) {
  for (int i = 0; i < 3000 && !child.Poll(); ++i) {
    if (condition()) return true;
    Sleep(10);
  }
  return condition();
}

TEST_F(Win32RenderTest, CtrlCStopsTheRenderAndLeavesTheOldFileAsItWas) {
  Write("long.wav", "old");
  CtrlC ctrlC;
  ASSERT_TRUE(ctrlC.Ready());
  Child child(FullPath(SELVARIN_RENDER_EXE), RenderArgs("-o long.wav -d 24:00:00 -b 16"), WidePath(dir_));
  ASSERT_TRUE(child.Started());
  ASSERT_TRUE(Within30s(child, [&] { return Files().size() == 2; })) << "no temporary file appeared";
  ASSERT_TRUE(ctrlC.Press());
  const Outcome r = child.Finish(30000);
  EXPECT_EQ(r.code, 130u) << r.err;
  EXPECT_NE(r.err.find("interrupted; no file written"), std::string::npos) << r.err;
  EXPECT_EQ(Files(), std::vector<std::string>{"long.wav"});
  EXPECT_EQ(Read("long.wav"), "old");
}

TEST_F(Win32RenderTest, CtrlCEndsAWriteNobodyReadsAndAReaderMayGo) {
  {
    // Standard output into a pipe that nobody reads: the renderer fills
    // it, then waits inside its write.
    CtrlC ctrlC;
    ASSERT_TRUE(ctrlC.Ready());
    Child child(FullPath(SELVARIN_RENDER_EXE), RenderArgs("-o - -d 600"), WidePath(dir_));
    child.StopReadingOutput();
    DWORD queued = 0;
    ASSERT_TRUE(Within30s(child, [&] {
      const DWORD now = child.OutputQueued();
      const bool full = now > 0 && now == queued;  // no longer growing
      queued = now;
      return full;
    }));
    ASSERT_TRUE(ctrlC.Press());
    const Outcome r = child.Finish(10000);
    EXPECT_EQ(r.code, 130u) << "a stop request must end a write nobody reads";
    EXPECT_NE(r.err.find("selvarin-render: interrupted"), std::string::npos) << r.err;
  }
  // A reader that goes away ends the render without a word, as it ends
  // other writers in a pipeline.
  Child child(FullPath(SELVARIN_RENDER_EXE), RenderArgs("-o - -d 10:00"), WidePath(dir_));
  ASSERT_TRUE(Within30s(child, [&] { return child.OutputQueued() > 0; }));
  child.CloseOutput();
  const Outcome r = child.Finish(30000);
  EXPECT_EQ(r.code, 141u);
  EXPECT_EQ(r.err, "");
  EXPECT_TRUE(Files().empty());
}

// (Symbolic links are written through as on Linux; Wine makes none to test
// that with.)
TEST_F(Win32RenderTest, ReadOnlyFilesAreKeptAndReplacedFilesKeepTheirAttributes) {
  // A read-only file is not replaced: Windows lets nobody write it.
  Write("guarded.wav", "keep me");
  ASSERT_TRUE(SetFileAttributesW(WidePath(Path("guarded.wav")).c_str(), FILE_ATTRIBUTE_READONLY));
  Outcome r = Render("-d 1 -o guarded.wav");
  EXPECT_EQ(r.code, 1u);
  EXPECT_NE(r.err.find("selvarin-render: cannot write guarded.wav: the file is read-only"), std::string::npos) << r.err;
  EXPECT_TRUE(Read("guarded.wav") == "keep me") << "the read-only file was replaced";

  // A replaced file keeps its attributes.
  Write("hidden.wav", "old");
  ASSERT_TRUE(SetFileAttributesW(WidePath(Path("hidden.wav")).c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_EQ(Render("-d 0.5 -o hidden.wav").code, 0u);
  EXPECT_TRUE(GetFileAttributesW(WidePath(Path("hidden.wav")).c_str()) & FILE_ATTRIBUTE_HIDDEN);
  Audio a;
  ASSERT_TRUE(Load(Path("hidden.wav"), &a));
  EXPECT_EQ(a.info.frames, 24000);

  EXPECT_EQ(Files(), (std::vector<std::string>{"guarded.wav", "hidden.wav"})) << "no temporary file";
}

}  // namespace
}  // namespace selvarin
