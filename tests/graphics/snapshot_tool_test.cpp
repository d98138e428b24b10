// selvarin-snapshot as a user runs it: the editor written as a 550 x 363
// PNG (or scaled) with the asked-for settings and interactions; errors
// write nothing.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "raster/raster_bitmap.h"
#include "raster/raster_png.h"
#include "tools/platform/file_system.h"
#include "tools/platform/run_command.h"

namespace selvarin {
namespace {

int Snapshot(const std::string& args, std::string* output) {
  return RunCommand(std::string(SELVARIN_SNAPSHOT_EXE) + " " + args + " 2>&1", output);
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

  // At a display scale the picture is the editor times the scale.
  const std::string scaled = dir + "selvarin_snapshot_scaled.png";
  ASSERT_EQ(Snapshot("--scale 1.5 -o " + scaled, &out), 0) << out;
  auto c = Load(scaled);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->Width(), 825);
  EXPECT_EQ(c->Height(), 545);

  const std::string bad = dir + "selvarin_snapshot_bad.png";
  std::remove(bad.c_str());
  out.clear();
  EXPECT_NE(Snapshot("-p \"No Such=1\" -o " + bad, &out), 0);
  EXPECT_NE(Snapshot("-i \"click:No Such\" -o " + bad, &out), 0);
  EXPECT_NE(Snapshot("-i \"squeeze:Wave\" -o " + bad, &out), 0);
  EXPECT_NE(Snapshot("--scale 0.5 -o " + bad, &out), 0);
  EXPECT_NE(Snapshot("--scale nan -o " + bad, &out), 0);
  EXPECT_FALSE(PathExists(bad)) << "errors write no file";
}

}  // namespace
}  // namespace selvarin
