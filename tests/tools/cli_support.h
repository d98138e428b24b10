#pragma once
// Running selvarin-render as a user does and reading back what it wrote.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace selvarin {
namespace test {

struct CliResult {
  int code = -1;
  std::string output;  // stdout and stderr
};

// Runs the renderer with the test bundle; args go through the shell.
inline CliResult RunRender(const std::string& args) {
  CliResult r;
  const std::string cmd = std::string(SELVARIN_RENDER_EXE) + " --plugin '" SELVARIN_TEST_BUNDLE "' " + args + " 2>&1";
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.output.append(buf, n);
  const int status = pclose(p);
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

inline bool PathExists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

inline std::vector<std::string> FilesIn(const std::string& dir) {
  std::vector<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) {
      const std::string name = e->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(d);
  }
  return names;
}

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
    char tmpl[] = "/tmp/selvarin-render-test-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }
  std::string Path(const char* name) const { return dir_ + "/" + name; }
  std::string dir_;
};

}  // namespace test
}  // namespace selvarin
