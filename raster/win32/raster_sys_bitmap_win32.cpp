// The pixel section as a 32-bit top-down DIB section selected into the
// bitmap's own memory device context, so GDI drawing on the context and
// direct pixel access share the same bits.
#include <windows.h>

#include "raster/raster_sys_bitmap.h"

namespace selvarin {

void RasterSysBitmap::CreateContext() { context_ = CreateCompatibleDC(nullptr); }

void RasterSysBitmap::DestroyContext() {
  if (context_) DeleteDC(static_cast<HDC>(context_));
  context_ = nullptr;
}

bool RasterSysBitmap::ContextReady() const { return context_ != nullptr; }

RasterDeviceContext RasterSysBitmap::DeviceContext() { return context_; }

bool RasterSysBitmap::CreateSection() {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);  // 40
  info.bmiHeader.biWidth = allocWidth_;
  info.bmiHeader.biHeight = -allocHeight_;  // negative: rows run top to bottom
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(static_cast<HDC>(context_), &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!section || !bits) {
    if (section) DeleteObject(section);
    return false;
  }
  section_ = section;
  previousObject_ = SelectObject(static_cast<HDC>(context_), section);
  bits_ = static_cast<RasterPixel*>(bits);
  return true;
}

void RasterSysBitmap::DestroySection() {
  if (section_) {
    // The section must leave the context before it can be deleted.
    if (context_ && previousObject_) SelectObject(static_cast<HDC>(context_), static_cast<HGDIOBJ>(previousObject_));
    DeleteObject(static_cast<HGDIOBJ>(section_));
  }
  section_ = nullptr;
  previousObject_ = nullptr;
  bits_ = nullptr;
}

}  // namespace selvarin
