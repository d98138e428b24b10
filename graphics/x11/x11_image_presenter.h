#pragma once
// Copies rectangles of 32-bit pixels (bytes B, G, R, A) into an X window:
// through a shared-memory image (MIT-SHM) when the server offers it and can
// reach our memory, else with plain PutImage requests cut to the server's
// request size.
#include <cstdint>
#include <vector>

#include <xcb/xcb.h>

namespace selvarin {

class X11ImagePresenter {
 public:
  X11ImagePresenter() = default;
  ~X11ImagePresenter() { Release(); }
  X11ImagePresenter(const X11ImagePresenter&) = delete;
  X11ImagePresenter& operator=(const X11ImagePresenter&) = delete;

  // Prepares for a window of the given size and depth; false when no
  // graphics context can be made.
  bool Init(xcb_connection_t* conn, xcb_window_t window, uint8_t depth, int width, int height,
            bool allowSharedMemory = true);
  void Release();
  // Copies the rectangle (x, y, w, h) of `pixels` (rowSpan pixels per row,
  // the window's origin at pixels[0]) to the same place in the window.
  void Put(const uint32_t* pixels, int rowSpan, int x, int y, int w, int h);
  bool UsesSharedMemory() const { return shmAddr_ != nullptr; }
  uint8_t Depth() const { return depth_; }

 private:
  bool InitSharedMemory();
  void WaitForServer();

  xcb_connection_t* conn_ = nullptr;
  xcb_window_t window_ = 0;
  xcb_gcontext_t gc_ = 0;
  uint8_t depth_ = 24;
  int width_ = 0, height_ = 0;
  // Shared memory: the segment holds a whole window-sized image.
  uint32_t shmSeg_ = 0;
  uint32_t* shmAddr_ = nullptr;
  bool shmPending_ = false;  // the server may still be reading the segment
  std::vector<uint32_t> band_;  // rows of one PutImage request
};

}  // namespace selvarin
