#include "x_driver.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <thread>

#include "raster/raster_mem_bitmap.h"
#include "raster/raster_png_write.h"

namespace selvarin {
namespace test {

int Pixels::Differences(const Pixels& o, int l, int t, int r, int b) const {
  int n = 0;
  for (int py = t; py < b; ++py)
    for (int px = l; px < r; ++px) n += At(px, py) != o.At(px, py);
  return n;
}

double Pixels::Lit() const {
  if (rgb.empty()) return 0.0;
  size_t lit = 0;
  for (uint32_t p : rgb) lit += (p & 0xffffff) != 0;
  return static_cast<double>(lit) / static_cast<double>(rgb.size());
}

bool Pixels::SavePng(const std::string& path) const {
  RasterMemBitmap bm(w, h);
  if (!bm.Bits()) return false;
  for (int py = 0; py < h; ++py)
    for (int px = 0; px < w; ++px)
      bm.Bits()[py * bm.RowSpan() + px] = 0xff000000u | rgb[static_cast<size_t>(py * w + px)];
  return RasterSavePng(&bm, path.c_str(), true);
}

XDriver::~XDriver() {
  if (dpy_) XCloseDisplay(dpy_);
}

bool XDriver::Open(const std::string& display) {
  dpy_ = XOpenDisplay(display.c_str());
  int ev, err, major, minor;
  return dpy_ && XTestQueryExtension(dpy_, &ev, &err, &major, &minor);
}

Window XDriver::TopLevel(int x, int y, int w, int h) {
  const int s = DefaultScreen(dpy_);
  Window win = XCreateSimpleWindow(dpy_, RootWindow(dpy_, s), x, y, static_cast<unsigned>(w),
                                   static_cast<unsigned>(h), 0, 0, 0x303030);
  XMapWindow(dpy_, win);
  XSync(dpy_, False);
  // No window manager: mapped at once, but wait (bounded) until it shows.
  for (int i = 0; i < 200; ++i) {
    XWindowAttributes a;
    if (XGetWindowAttributes(dpy_, win, &a) && a.map_state == IsViewable) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return win;
}

void XDriver::Destroy(Window w) {
  XDestroyWindow(dpy_, w);
  XSync(dpy_, False);
}

int XDriver::Children(Window w) {
  Window root, parent, *kids = nullptr;
  unsigned n = 0;
  if (!XQueryTree(dpy_, w, &root, &parent, &kids, &n)) return -1;
  if (kids) XFree(kids);
  return static_cast<int>(n);
}

Window XDriver::FirstChild(Window w) {
  Window root, parent, *kids = nullptr, first = 0;
  unsigned n = 0;
  if (!XQueryTree(dpy_, w, &root, &parent, &kids, &n)) return 0;
  if (n > 0) first = kids[0];
  if (kids) XFree(kids);
  return first;
}

void XDriver::MoveTo(int x, int y) {
  XTestFakeMotionEvent(dpy_, DefaultScreen(dpy_), x, y, CurrentTime);
  XSync(dpy_, False);
}

void XDriver::Press(int button) {
  XTestFakeButtonEvent(dpy_, static_cast<unsigned>(button), True, CurrentTime);
  XSync(dpy_, False);
}

void XDriver::Release(int button) {
  XTestFakeButtonEvent(dpy_, static_cast<unsigned>(button), False, CurrentTime);
  XSync(dpy_, False);
}

void XDriver::DoubleClick(int button) {
  for (int i = 0; i < 2; ++i) {
    XTestFakeButtonEvent(dpy_, static_cast<unsigned>(button), True, CurrentTime);
    XTestFakeButtonEvent(dpy_, static_cast<unsigned>(button), False, CurrentTime);
  }
  XSync(dpy_, False);
}

void XDriver::Key(unsigned long keysym) {
  const KeyCode code = XKeysymToKeycode(dpy_, keysym);
  XTestFakeKeyEvent(dpy_, code, True, CurrentTime);
  XTestFakeKeyEvent(dpy_, code, False, CurrentTime);
  XSync(dpy_, False);
}

void XDriver::Hold(unsigned long keysym, bool down) {
  XTestFakeKeyEvent(dpy_, XKeysymToKeycode(dpy_, keysym), down ? True : False, CurrentTime);
  XSync(dpy_, False);
}

void XDriver::Type(const char* text) {
  for (const char* p = text; *p; ++p) {
    if (*p == '\n') Key(XK_Return);
    else if (*p == '.') Key(XK_period);
    else Key(static_cast<unsigned long>(static_cast<unsigned char>(*p)));
  }
}

Pixels XDriver::Grab(int x, int y, int w, int h) {
  Pixels px;
  XImage* img = XGetImage(dpy_, DefaultRootWindow(dpy_), x, y, static_cast<unsigned>(w), static_cast<unsigned>(h),
                          AllPlanes, ZPixmap);
  if (!img) return px;
  px.x = x;
  px.y = y;
  px.w = w;
  px.h = h;
  px.rgb.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
  for (int py = 0; py < h; ++py)
    for (int pxx = 0; pxx < w; ++pxx)
      px.rgb[static_cast<size_t>(py * w + pxx)] = static_cast<uint32_t>(XGetPixel(img, pxx, py)) & 0xffffff;
  XDestroyImage(img);
  return px;
}

}  // namespace test
}  // namespace selvarin
