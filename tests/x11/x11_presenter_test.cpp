// The window host's copy to the screen: a rectangle of the panel reaches the
// window pixel for pixel, clipped to the window, through MIT-SHM and through
// plain PutImage requests (what a display on another machine gets).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

#include "graphics/x11/x11_image_presenter.h"
#include "xvfb_session.h"

namespace selvarin {
namespace {

constexpr int kW = 64, kH = 48, kSpan = 70;  // rows in memory are longer than the window

uint32_t PatternAt(int x, int y) {
  return static_cast<uint32_t>(((x * 4) & 0xff) << 16 | ((y * 5) & 0xff) << 8 | ((x + y) & 0xff));
}

std::vector<uint32_t> WindowPixels(xcb_connection_t* c, xcb_window_t w) {
  std::unique_ptr<xcb_get_image_reply_t, decltype(&std::free)> img(
      xcb_get_image_reply(c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, w, 0, 0, kW, kH, ~0u), nullptr), &std::free);
  std::vector<uint32_t> out;
  if (!img) return out;
  const auto* p = reinterpret_cast<const uint32_t*>(xcb_get_image_data(img.get()));
  out.assign(p, p + kW * kH);
  for (uint32_t& v : out) v &= 0xffffff;
  return out;
}

TEST(X11ImagePresenter, CopiesClippedRectanglesWithAndWithoutSharedMemory) {
  test::XvfbSession xvfb;
  std::string error;
  ASSERT_TRUE(xvfb.Start(&error)) << error;
  xcb_connection_t* c = xcb_connect(xvfb.Display().c_str(), nullptr);
  ASSERT_EQ(xcb_connection_has_error(c), 0);
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  const xcb_window_t win = xcb_generate_id(c);
  const uint32_t black = screen->black_pixel;
  xcb_create_window(c, screen->root_depth, win, screen->root, 0, 0, kW, kH, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                    screen->root_visual, XCB_CW_BACK_PIXEL, &black);
  xcb_map_window(c, win);
  free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));

  std::vector<uint32_t> pattern(static_cast<size_t>(kSpan) * kH);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kSpan; ++x) pattern[static_cast<size_t>(y * kSpan + x)] = PatternAt(x, y);
  const std::vector<uint32_t> zeros(pattern.size(), 0);

  for (const bool shm : {true, false}) {
    X11ImagePresenter presenter;
    ASSERT_TRUE(presenter.Init(c, win, screen->root_depth, kW, kH, shm));
    EXPECT_EQ(presenter.UsesSharedMemory(), shm) << "a local server offers shared memory";
    presenter.Put(zeros.data(), kSpan, 0, 0, kW, kH);
    presenter.Put(pattern.data(), kSpan, 10, 5, 30, 20);
    presenter.Put(pattern.data(), kSpan, -5, 40, 100, 100);  // hangs over three edges
    free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    const std::vector<uint32_t> got = WindowPixels(c, win);
    ASSERT_EQ(got.size(), static_cast<size_t>(kW * kH));
    int wrong = 0;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        const bool inside = (x >= 10 && x < 40 && y >= 5 && y < 25) || y >= 40;
        wrong += got[static_cast<size_t>(y * kW + x)] != (inside ? PatternAt(x, y) : 0u);
      }
    EXPECT_EQ(wrong, 0) << (shm ? "shared memory" : "PutImage");
  }
  xcb_disconnect(c);
}

}  // namespace
}  // namespace selvarin
