// Platform fonts through GDI. The size asked for is the cell height (ascent
// plus descent), which CreateFontA takes as a positive height; glyphs are
// drawn by GDI in white on the scratch bitmap's device context, and the
// cached font reads their coverage back from the pixels.
#include <windows.h>

#include "raster/raster_platform_font.h"
#include "raster/win32/raster_utf16.h"

namespace selvarin {

namespace {

BYTE GdiQuality(int quality) {
  switch (quality) {
    case kRasterQualityNonAntialiased: return NONANTIALIASED_QUALITY;
    case kRasterQualityAntialiased: return ANTIALIASED_QUALITY;
    case kRasterQualityClearType: return CLEARTYPE_QUALITY;
    default: return DEFAULT_QUALITY;
  }
}

class GdiFont : public RasterPlatformFont {
 public:
  ~GdiFont() override {
    if (measure_) {
      if (previous_) SelectObject(measure_, previous_);
      DeleteDC(measure_);
    }
    if (font_) DeleteObject(font_);
  }

  bool Open(const RasterFontRequest& request) {
    const int height = request.cellHeight != 0 ? request.cellHeight : 16;
    font_ = CreateFontA(height, 0, request.orientation, request.orientation, request.weight > 0 ? request.weight : 400,
                        request.italic ? TRUE : FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, GdiQuality(request.quality), DEFAULT_PITCH | FF_DONTCARE,
                        request.face ? request.face : "");
    if (!font_) return false;
    // A context of its own for measuring, so measuring never disturbs the scratch's.
    measure_ = CreateCompatibleDC(nullptr);
    if (!measure_) return false;
    previous_ = SelectObject(measure_, font_);
    TEXTMETRICA metrics{};
    if (!GetTextMetricsA(measure_, &metrics)) return false;
    lineHeight_ = metrics.tmHeight;
    ascent_ = metrics.tmAscent;
    if (GetTextFaceA(measure_, sizeof family_, family_) <= 0) family_[0] = 0;
    return lineHeight_ > 0;
  }

  void* NativeHandle() const override { return font_; }

  int Advance(std::uint32_t codepoint) override {
    wchar_t text[2];
    const int n = RasterCodepointToUtf16(codepoint, text);
    SIZE size{};
    if (!GetTextExtentPoint32W(measure_, text, n, &size)) return 0;
    return size.cx;
  }

  bool DrawGlyph(RasterBitmap* scratch, int x, int y, std::uint32_t codepoint) override {
    HDC dc = scratch ? static_cast<HDC>(scratch->DeviceContext()) : nullptr;
    if (!dc || !scratch->Bits()) return false;
    wchar_t text[2];
    const int n = RasterCodepointToUtf16(codepoint, text);
    HGDIOBJ old = SelectObject(dc, font_);
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    const BOOL drawn = TextOutW(dc, x, y, text, n);
    SelectObject(dc, old);
    // The pixels are read directly next: let GDI finish writing them.
    GdiFlush();
    return drawn != FALSE;
  }

 private:
  HFONT font_ = nullptr;
  HDC measure_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

}  // namespace

RasterSystemFont* RasterCreateSystemFont(const RasterFontRequest& request) {
  return RasterPlatformFont::Make<GdiFont>(request);
}

}  // namespace selvarin
