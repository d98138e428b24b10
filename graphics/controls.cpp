#include "graphics/controls.h"

#include <cmath>
#include <cstring>

#include "framework/audio_plugin.h"
#include "framework/bounded_copy.h"
#include "graphics/igraphics.h"

namespace selvarin {

namespace {
IArea ButtonRect(int x, int y, const IImage& img) {
  const int n = img.N > 0 ? img.N : 1;
  return IArea{x, y, x + img.W, y + img.H / n};
}
}  // namespace

// ---- IBitmapControl ----

IBitmapControl::IBitmapControl(IAudioPlugin* plug, const IImage& img, int blendMethod)
    : IControl(plug, IArea{0, 0, img.W, img.H}), image(img) {
  image.N = 1;
  blend.method = blendMethod;
  blend.weight = 1.0f;
}

bool IBitmapControl::Draw(IGraphics& g) {
  return g.BlitImageFrame(image, rect, FrameForValue(value, image.N), &blend, framesVertical);
}

void IGraphics::SetBackgroundImage(int resourceId, const char* name) {
  const IImage img = LoadImageResource(resourceId, name, 1);
  IControl* bg = new IBitmapControl(plug_, img, 1);
  bg->SetGraphics(this);
  controls_.insert(controls_.begin(), bg);
  if (captureIdx_ >= 0) ++captureIdx_;
  if (mouseOverIdx >= 0) ++mouseOverIdx;
}

// ---- ITextControl ----

ITextControl::ITextControl(IAudioPlugin* plug, IArea r, const ITextStyle& style, const char* text)
    : IControl(plug, r), textStyle(style), text_(text ? text : "") {}

bool ITextControl::Draw(IGraphics& g) {
  if (text_.empty()) return true;
  return g.DrawStyledText(&textStyle, text_.c_str(), rect);
}

void ITextControl::ReceiveEnteredText(const char* text) {
  if (!text) text = "";
  if (text_ == text) return;
  MarkDirty(false);
  text_ = text;
}

// ---- IURLControl ----

IURLControl::IURLControl(IAudioPlugin* plug, IArea r, const char* link, const char* fallback, const char* errorText)
    : IControl(plug, r) {
  // Bounded: a long address is cut rather than written past the field.
  if (link && *link) CopyBounded(link_, link);
  if (fallback && *fallback) CopyBounded(fallback_, fallback);
  if (errorText && *errorText) CopyBounded(errorText_, errorText);
}

void IURLControl::OnMouseDown(int, int, const IPointerState&) {
  if (!graphics_) return;
  const char* caption = errorText_[0] ? errorText_ : nullptr;
  if (link_[0] && graphics_->OpenWebAddress(link_, caption, nullptr, nullptr)) return;
  if (fallback_[0]) graphics_->OpenWebAddress(fallback_, caption, nullptr, nullptr);
}

// ---- IButton ----

IButton::IButton(IAudioPlugin* plug, int param, int x, int y, const IImage& img, float hw)
    : IControl(plug, ButtonRect(x, y, img), param), image(img), hoverWeight(hw) {}

void IButton::OnMouseDown(int, int, const IPointerState& mod) {
  Toggle(mod);
  MarkDirty(true);
}

void IButton::OnMouseOver(int, int, const IPointerState&) {
  if (hovered) return;
  hovered = true;
  MarkDirty(false);
}

void IButton::OnMouseOut() {
  hovered = false;
  MarkDirty(false);
}

bool IButton::Draw(IGraphics& g) {
  const bool on = value > 0.5;
  if (!on && !hovered) return true;
  if (on && !hovered) return g.BlitImageFrame(image, rect, 1, nullptr, true);
  IBlendMode b{0, on ? 1.0f - hoverWeight : hoverWeight};
  return g.BlitImageFrame(image, rect, 1, &b, true);
}

void IButtonClick::OnMouseDown(int, int, const IPointerState& mod) {
  Toggle(mod);
  if (!plug_) {
    if (clicked_) *clicked_ = true;
    MarkDirty(true);
    return;
  }
  ScopedLock lock(plug_->Mutex());
  if (clicked_) *clicked_ = true;
  MarkDirty(true);
  // The flag is for this click's reaction only. A value the plug-in did not
  // apply (a right click re-sends the current one) leaves it raised, and a
  // later Sync change from the host would then convert the rate, on the
  // audio thread.
  if (clicked_) *clicked_ = false;
}

// ---- IButtonHold ----

IButtonHold::IButtonHold(IAudioPlugin* plug, int param, int x, int y, const IImage& img)
    : IControl(plug, ButtonRect(x, y, img), param), image(img) {}

void IButtonHold::OnMouseDown(int, int, const IPointerState& mod) {
  if (!mod.R) value = 1.0;
  MarkDirty(true);
}

void IButtonHold::OnMouseUp(int, int, const IPointerState&) {
  value = 0.0;
  MarkDirty(true);
}

bool IButtonHold::Draw(IGraphics& g) {
  if (value > 0.5) return g.BlitImageFrame(image, rect, 1, nullptr, true);
  return true;
}

}  // namespace selvarin
