#include "graphics/x11/x11_image_presenter.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdlib>
#include <cstring>

#include <xcb/shm.h>

namespace selvarin {

bool X11ImagePresenter::Init(xcb_connection_t* conn, xcb_window_t window, uint8_t depth, int width, int height,
                             bool allowSharedMemory) {
  Release();
  if (!conn || width <= 0 || height <= 0) return false;
  conn_ = conn;
  window_ = window;
  depth_ = depth;
  width_ = width;
  height_ = height;
  gc_ = xcb_generate_id(conn);
  const uint32_t noExposures = 0;
  xcb_create_gc(conn, gc_, window, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
  if (allowSharedMemory) InitSharedMemory();
  return true;
}

bool X11ImagePresenter::InitSharedMemory() {
  const xcb_query_extension_reply_t* ext = xcb_get_extension_data(conn_, &xcb_shm_id);
  if (!ext || !ext->present) return false;
  xcb_shm_query_version_reply_t* version = xcb_shm_query_version_reply(conn_, xcb_shm_query_version(conn_), nullptr);
  if (!version) return false;
  std::free(version);
  const size_t bytes = static_cast<size_t>(width_) * static_cast<size_t>(height_) * 4;
  const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  if (id < 0) return false;
  void* addr = shmat(id, nullptr, 0);
  if (addr == reinterpret_cast<void*>(-1)) {
    shmctl(id, IPC_RMID, nullptr);
    return false;
  }
  const uint32_t seg = xcb_generate_id(conn_);
  // A server on another machine cannot attach: the check says so.
  xcb_generic_error_t* err = xcb_request_check(conn_, xcb_shm_attach_checked(conn_, seg, static_cast<uint32_t>(id), 0));
  // Attached (or not), the segment goes away with its last user.
  shmctl(id, IPC_RMID, nullptr);
  if (err) {
    std::free(err);
    shmdt(addr);
    return false;
  }
  shmSeg_ = seg;
  shmAddr_ = static_cast<uint32_t*>(addr);
  return true;
}

void X11ImagePresenter::Release() {
  if (!conn_) return;
  if (shmAddr_) {
    WaitForServer();
    xcb_shm_detach(conn_, shmSeg_);
    // The detach must reach the server before the memory goes.
    free(xcb_get_input_focus_reply(conn_, xcb_get_input_focus(conn_), nullptr));
    shmdt(shmAddr_);
    shmAddr_ = nullptr;
    shmSeg_ = 0;
  }
  xcb_free_gc(conn_, gc_);
  gc_ = 0;
  conn_ = nullptr;
  band_.clear();
  band_.shrink_to_fit();
}

void X11ImagePresenter::WaitForServer() {
  if (!shmPending_) return;
  // One round trip: every earlier request, the last ShmPutImage included, is done.
  free(xcb_get_input_focus_reply(conn_, xcb_get_input_focus(conn_), nullptr));
  shmPending_ = false;
}

void X11ImagePresenter::Put(const uint32_t* pixels, int rowSpan, int x, int y, int w, int h) {
  if (!conn_ || !pixels) return;
  // Clip to the window.
  if (x < 0) { w += x; x = 0; }
  if (y < 0) { h += y; y = 0; }
  if (x + w > width_) w = width_ - x;
  if (y + h > height_) h = height_ - y;
  if (w <= 0 || h <= 0) return;

  if (shmAddr_) {
    WaitForServer();
    for (int row = y; row < y + h; ++row)
      std::memcpy(shmAddr_ + static_cast<size_t>(row) * width_ + x, pixels + static_cast<size_t>(row) * rowSpan + x,
                  static_cast<size_t>(w) * 4);
    xcb_shm_put_image(conn_, window_, gc_, static_cast<uint16_t>(width_), static_cast<uint16_t>(height_),
                      static_cast<uint16_t>(x), static_cast<uint16_t>(y), static_cast<uint16_t>(w),
                      static_cast<uint16_t>(h), static_cast<int16_t>(x), static_cast<int16_t>(y), depth_,
                      XCB_IMAGE_FORMAT_Z_PIXMAP, 0, shmSeg_, 0);
    shmPending_ = true;
    xcb_flush(conn_);
    return;
  }

  // Plain requests: as many whole rows as one request may carry.
  const size_t maxBytes = static_cast<size_t>(xcb_get_maximum_request_length(conn_)) * 4;
  const size_t rowBytes = static_cast<size_t>(w) * 4;
  const size_t header = 32;
  int rowsPer = maxBytes > header + rowBytes ? static_cast<int>((maxBytes - header) / rowBytes) : 1;
  if (rowsPer > h) rowsPer = h;
  band_.resize(static_cast<size_t>(w) * static_cast<size_t>(rowsPer));
  for (int top = y; top < y + h; top += rowsPer) {
    const int rows = top + rowsPer <= y + h ? rowsPer : y + h - top;
    for (int r = 0; r < rows; ++r)
      std::memcpy(band_.data() + static_cast<size_t>(r) * w, pixels + static_cast<size_t>(top + r) * rowSpan + x,
                  rowBytes);
    xcb_put_image(conn_, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, gc_, static_cast<uint16_t>(w),
                  static_cast<uint16_t>(rows), static_cast<int16_t>(x), static_cast<int16_t>(top), 0, depth_,
                  static_cast<uint32_t>(rowBytes * rows), reinterpret_cast<const uint8_t*>(band_.data()));
  }
  xcb_flush(conn_);
}

}  // namespace selvarin
