#pragma once
// The test's own X client: top-level windows for the editor to embed into,
// input through XTest as a user's mouse and keyboard would give it, and the
// screen's pixels read back.
#include <X11/Xlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace selvarin {
namespace test {

struct Pixels {
  int x = 0, y = 0, w = 0, h = 0;
  std::vector<uint32_t> rgb;  // 0xRRGGBB, row by row
  uint32_t At(int px, int py) const { return rgb[static_cast<size_t>((py - y) * w + (px - x))]; }
  // Pixels of the rectangle (screen coordinates) that differ from `other`.
  int Differences(const Pixels& other, int l, int t, int r, int b) const;
  // The share of pixels that are not black.
  double Lit() const;
  bool SavePng(const std::string& path) const;
};

class XDriver {
 public:
  ~XDriver();
  bool Open(const std::string& display);
  Display* Dpy() const { return dpy_; }

  // A mapped top-level window at (x, y) on the screen.
  Window TopLevel(int x, int y, int w, int h);
  void Destroy(Window w);
  int Children(Window w);
  Window FirstChild(Window w);

  void MoveTo(int x, int y);
  void Press(int button);
  void Release(int button);
  void Click(int button) { Press(button); Release(button); }
  // Two clicks sent to the server together, so that their server times are
  // as close as a user's double-click however late this process runs.
  void DoubleClick(int button);
  void Key(unsigned long keysym);
  void Hold(unsigned long keysym, bool down);
  void Type(const char* text);  // digits, letters, '.', '\n'
  Pixels Grab(int x, int y, int w, int h);

 private:
  Display* dpy_ = nullptr;
};

}  // namespace test
}  // namespace selvarin
