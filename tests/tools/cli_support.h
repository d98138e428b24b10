#pragma once
// Running selvarin-render as a user does and reading back what it wrote.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <string>
#include <vector>

#include "tools/platform/file_system.h"
#include "tools/platform/run_command.h"

namespace selvarin {
namespace test {

struct CliResult {
  int code = -1;
  std::string output;  // stdout and stderr
};

// Runs the renderer with the test bundle; args go through the shell, after
// the shell commands in setup (a limit, a user to run as) when given.
inline CliResult RunRender(const std::string& args, const std::string& setup = "") {
  CliResult r;
  const std::string cmd =
      setup + std::string(SELVARIN_RENDER_EXE) + " --plugin '" SELVARIN_TEST_BUNDLE "' " + args + " 2>&1";
  r.code = RunCommand(cmd, &r.output);
  return r;
}

inline bool PathExists(const std::string& path) { return selvarin::PathExists(path); }
inline std::vector<std::string> FilesIn(const std::string& dir) { return ListDirectory(dir); }

struct Audio {
  SF_INFO info{};
  std::vector<double> left, right;
  std::string title, comment;
};

inline bool LoadAudio(const std::string& path, Audio* a) {
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &a->info);
  if (!f) return false;
  std::vector<double> inter(static_cast<size_t>(a->info.frames * a->info.channels));
  const sf_count_t got = sf_readf_double(f, inter.data(), a->info.frames);
  if (const char* t = sf_get_string(f, SF_STR_TITLE)) a->title = t;
  if (const char* c = sf_get_string(f, SF_STR_COMMENT)) a->comment = c;
  sf_close(f);
  for (sf_count_t i = 0; i < got; ++i) {
    a->left.push_back(inter[static_cast<size_t>(2 * i)]);
    a->right.push_back(inter[static_cast<size_t>(2 * i + 1)]);
  }
  return true;
}

// A fresh folder per test, removed afterwards.
class TempDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeTempDirectory("selvarin-render-test-");
    ASSERT_FALSE(dir_.empty());
  }
  void TearDown() override { RemoveDirectoryTree(dir_); }
  std::string Path(const char* name) const { return dir_ + "/" + name; }
  std::string dir_;
};

}  // namespace test
}  // namespace selvarin
