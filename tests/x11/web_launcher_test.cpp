// Web links start the desktop's opener directly: the address reaches it as
// one argument, untouched by any shell, and failures are reported.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "graphics/x11/web_launcher.h"

namespace selvarin {
namespace {

bool Exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

TEST(WebLauncher, PassesTheAddressAsOneArgumentAndReportsFailures) {
  char dir[] = "/tmp/selvarin-web-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string base = dir;
  // "touch" stands in for the opener: it creates a file named exactly as
  // the argument it got. A shell would have split it at ';' and the space
  // and run $(...).
  const std::string address = base + "/page;x $(echo injected)";
  ASSERT_TRUE(LaunchWebAddress(address.c_str(), "touch"));
  for (int i = 0; i < 200 && !Exists(address); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(Exists(address));
  ReapWebLaunchers();

  EXPECT_FALSE(LaunchWebAddress("https://example.org/", "selvarin-no-such-opener"));
  EXPECT_FALSE(LaunchWebAddress("--help", "touch")) << "an option is no address";
  EXPECT_FALSE(LaunchWebAddress("", "touch"));
  EXPECT_FALSE(LaunchWebAddress(nullptr, "touch"));

  unlink(address.c_str());
  rmdir(dir);
}

}  // namespace
}  // namespace selvarin
