// selvarin-snapshot as a user runs it: the editor written as a 550 x 363
// PNG with the asked-for settings and interactions; errors write nothing.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "raster/raster_bitmap.h"
#include "raster/raster_png.h"

namespace selvarin {
namespace {

int Snapshot(const std::string& args, std::string* output) {
  const std::string cmd = std::string(SELVARIN_SNAPSHOT_EXE) + " " + args + " 2>&1";
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return -1;
  char buf[1024];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) output->append(buf, n);
  const int status = pclose(p);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::unique_ptr<RasterBitmap> Load(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  return std::unique_ptr<RasterBitmap>(RasterLoadPngFromMemory(bytes.data(), bytes.size()));
}

RasterPixel At(RasterBitmap* b, int x, int y) { return b->Bits()[y * b->RowSpan() + x]; }

TEST(SnapshotTool, WritesTheEditorWithSettingsAndAnOpenList) {
  const std::string dir = ::testing::TempDir();
  const std::string plain = dir + "selvarin_snapshot_plain.png", list = dir + "selvarin_snapshot_list.png";
  std::string out;
  ASSERT_EQ(Snapshot("-o " + plain, &out), 0) << out;
  ASSERT_EQ(Snapshot("-P \"Sound sleep\" -p \"Wave=Saw\" -i \"right-click:Wave\" -o " + list, &out), 0) << out;
  auto a = Load(plain), b = Load(list);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->Width(), 550);
  EXPECT_EQ(a->Height(), 363);
  EXPECT_EQ(RasterAlpha(At(a.get(), 300, 200)), 255) << "a window is opaque";
  // The pop-up list over "Wave" covers what the plain picture shows there.
  int changed = 0;
  for (int y = 100; y < 170; ++y)
    for (int x = 170; x < 230; ++x) changed += At(a.get(), x, y) != At(b.get(), x, y);
  EXPECT_GT(changed, 2000);
  EXPECT_EQ(At(a.get(), 5, 340), At(b.get(), 5, 340)) << "far from the list nothing differs";

  const std::string bad = dir + "selvarin_snapshot_bad.png";
  std::remove(bad.c_str());
  out.clear();
  EXPECT_NE(Snapshot("-p \"No Such=1\" -o " + bad, &out), 0);
  EXPECT_NE(Snapshot("-i \"click:No Such\" -o " + bad, &out), 0);
  EXPECT_NE(Snapshot("-i \"squeeze:Wave\" -o " + bad, &out), 0);
  struct stat st {};
  EXPECT_NE(stat(bad.c_str(), &st), 0) << "errors write no file";
}

}  // namespace
}  // namespace selvarin
