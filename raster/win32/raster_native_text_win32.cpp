// GDI draws the text straight onto the bitmap's DIB section.
#include <windows.h>

#include <string>

#include "raster/raster_font.h"
#include "raster/raster_native_text.h"
#include "raster/raster_utf8.h"
#include "raster/win32/raster_utf16.h"

namespace selvarin {

namespace {

bool RunningUnderWine() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Wine", 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// The same code points the glyph path would draw, as UTF-16.
std::wstring Utf16(const char* text, int length) {
  std::wstring out;
  RasterTextReader reader(text, length);
  std::uint32_t cp = 0;
  wchar_t units[2];
  while (reader.Next(cp)) out.append(units, static_cast<size_t>(RasterCodepointToUtf16(cp, units)));
  return out;
}

UINT DrawTextFormat(int flags, bool multiline) {
  UINT format = DT_NOPREFIX;
  if (flags & kRasterTextCentre) {
    format |= DT_CENTER;
  } else if (flags & kRasterTextRight) {
    format |= DT_RIGHT;
  }
  // GDI aligns vertically only single lines.
  if (!multiline) {
    format |= DT_SINGLELINE;
    if (flags & kRasterTextVCentre) {
      format |= DT_VCENTER;
    } else if (flags & kRasterTextBottom) {
      format |= DT_BOTTOM;
    }
  }
  if (flags & kRasterTextNoClip) format |= DT_NOCLIP;
  return format;
}

}  // namespace

bool RasterNativeTextAvailable() {
  static const bool available = !RunningUnderWine();
  return available;
}

int RasterDrawTextNative(RasterBitmap* dest, RasterSystemFont* font, const char* text, int length,
                         const RasterRect& rect, int flags, RasterPixel colour) {
  HDC dc = dest ? static_cast<HDC>(dest->DeviceContext()) : nullptr;
  HFONT handle = font ? static_cast<HFONT>(font->NativeHandle()) : nullptr;
  if (!dc || !handle || !text || !dest->Bits()) return 0;
  const std::wstring wide = Utf16(text, length);
  const bool multiline = wide.find(L'\n') != std::wstring::npos;
  RECT r{rect.left, rect.top, rect.right, rect.bottom};
  HGDIOBJ old = SelectObject(dc, handle);
  const COLORREF oldColour = SetTextColor(dc, RGB(RasterRed(colour), RasterGreen(colour), RasterBlue(colour)));
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const UINT format = DrawTextFormat(flags, multiline);
  // Aligned low or centred, DrawText answers an offset; the caller wants the
  // text's own height, as the glyph path gives it.
  RECT extent = r;
  const UINT measure = (format & ~static_cast<UINT>(DT_VCENTER | DT_BOTTOM)) | DT_CALCRECT;
  DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &extent, measure);
  const int height = DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r, format) > 0
                         ? extent.bottom - extent.top
                         : 0;
  SetBkMode(dc, oldMode);
  SetTextColor(dc, oldColour);
  SelectObject(dc, old);
  // The raster layer reads and writes these pixels directly next.
  GdiFlush();
  return height > 0 ? height : 0;
}

}  // namespace selvarin
