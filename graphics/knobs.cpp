#include "graphics/knobs.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "framework/param_entry.h"
#include "graphics/igraphics.h"

namespace selvarin {

namespace {
constexpr double kPi = 3.14159265358979323846;

int HalfHeight(const IImage& img) { return RoundNearestF(static_cast<float>(img.H) * 0.5f); }
int HalfWidth(const IImage& img, int width) {
  if (width != 0) return width / 2;
  const int n = img.N > 0 ? img.N : 1;
  return RoundNearestF(static_cast<float>(img.W / n) * 0.5f);
}
IArea RotValRect(int cx, int cy, const IImage& img, const ITextStyle& s, int gap, int width) {
  const int hh = HalfHeight(img), hw = HalfWidth(img, width);
  return IArea{cx - hw, cy - hh, cx + hw, gap >= 0 ? cy + hh + s.size + gap : cy + hh};
}
IArea MultiRect(int cx, int cy, const IImage& img, const ITextStyle& s, int gap, int width) {
  const int hh = HalfHeight(img), hw = HalfWidth(img, width);
  return IArea{cx - hw, cy - hh, cx + hw, cy + hh + s.size + gap};
}
}  // namespace

void Knob::OnMouseDrag(int, int, int dX, int dY, const IPointerState& mod) {
  double g = gearing;
  if (mod.C || mod.S) g *= 10.0;
  if (direction == 0) value += static_cast<double>(dY) / static_cast<double>(rect.T - rect.B) / g;
  else value += static_cast<double>(dX) / static_cast<double>(rect.R - rect.L) / g;
  MarkDirty(true);
}

bool Knob::ValueText(bool withLabel, char* out, int capacity) const {
  const IParamEntry* p = Param();
  if (!p || textStyle.size <= 0) return false;
  char s[IParamEntry::kTextSize];
  p->FormatValue(value, true, s);
  if (!s[0]) return false;
  std::snprintf(out, static_cast<size_t>(capacity), "%s%s", s, withLabel ? p->Label() : "");
  return true;
}

// ---- IKnobRotVal ----

IKnobRotVal::IKnobRotVal(IAudioPlugin* plug, int param, int cx, int cy, const IImage& img, const ITextStyle& style,
                         int gap, int range, double gear, int width, int dir, float fade, bool label)
    : Knob(plug, param, RotValRect(cx, cy, img, style, gap, width), dir, gear, style, img, cx, cy, gap),
      angleRange(range), hoverFade(fade), showLabel(label) {}

void IKnobRotVal::OnMouseUp(int, int, const IPointerState&) { MarkDirty(true); }

void IKnobRotVal::OnMouseOver(int, int, const IPointerState&) {
  if (hovered) return;
  hovered = true;
  MarkDirty(false);
}

void IKnobRotVal::OnMouseOut() {
  hovered = false;
  MarkDirty(false);
}

float IKnobRotVal::Angle() const {
  const float k = static_cast<float>(angleRange * kPi / 360.0);
  return static_cast<float>(k * 2.0 * value - k);
}

bool IKnobRotVal::Draw(IGraphics& g) {
  imageBlend.method = 0;
  imageBlend.weight = hovered ? 1.0f - hoverFade : 1.0f;
  char s[2 * IParamEntry::kTextSize];
  if (ValueText(showLabel, s, sizeof s)) {
    textStyle.align = 1;
    const IArea tr = textGap >= 0 ? IArea{rect.L, rect.B - textStyle.size, rect.R, rect.B}
                                  : IArea{rect.L, rect.B - textStyle.size + textGap, rect.R, rect.B + textGap};
    g.DrawStyledText(&textStyle, s, tr);
  }
  const float o = static_cast<float>(-2.0 * std::fabs(value - 0.5));
  g.BlitRotatedImage(image, centreX, centreY, Angle(), &imageBlend, o, o);
  return true;
}

// ---- IKnobMulti ----

IKnobMulti::IKnobMulti(IAudioPlugin* plug, int param, int cx, int cy, const IImage& img, const ITextStyle& style,
                       int gap, double gear, int width, int dir)
    : Knob(plug, param, MultiRect(cx, cy, img, style, gap, width), dir, gear, style, img, cx, cy, gap) {}

int IKnobMulti::Frame() const { return FrameForValue(value, image.N); }

bool IKnobMulti::Draw(IGraphics& g) {
  char s[2 * IParamEntry::kTextSize];
  if (ValueText(true, s, sizeof s)) {
    textStyle.align = 1;
    g.DrawStyledText(&textStyle, s, IArea{rect.L, rect.B - textStyle.size, rect.R, rect.B});
  }
  const int n = image.N > 0 ? image.N : 1;
  const float h = static_cast<float>(image.W / n) * 0.5f;
  const IArea fr{RoundNearestF(static_cast<float>(centreX) - h), rect.T, RoundNearestF(static_cast<float>(centreX) + h),
                 rect.B - textGap - textStyle.size};
  return g.BlitImageFrame(image, fr, Frame(), &blend, false);
}

}  // namespace selvarin
