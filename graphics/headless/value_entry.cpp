#include "graphics/headless/value_entry.h"

#include <cstring>

#include "framework/param_entry.h"
#include "graphics/icontrol.h"
#include "graphics/igraphics.h"
#include "graphics/image_cache.h"
#include "raster/raster_draw.h"
#include "raster/raster_font.h"

namespace selvarin {

bool ValueEntry::Open(IControl* control, IParamEntry* param, bool centred, int editorW, int editorH) {
  if (!control || !param || IsOpen()) return false;
  const IArea cr = control->rect;
  const int cx = static_cast<int>((cr.L + cr.R) * 0.5), cy = static_cast<int>((cr.T + cr.B) * 0.5);
  char initial[IParamEntry::kTextSize];
  // The control's value is the parameter's as the editor knows it.
  param->FormatValue(control->value, true, initial);
  texts_.clear();
  selection_ = -1;
  isList_ = param->DisplayTextCount() > 0 && (param->Kind() == kParamEnum || param->Kind() == kParamBool);
  if (isList_) {
    size_t longest = 0;
    for (int i = 0; i < param->DisplayTextCount(); ++i) {
      const ValueText* vt = param->DisplayTextAt(i);
      texts_.emplace_back(vt ? vt->text : "");
      if (texts_.back().size() > longest) longest = texts_.back().size();
      if (texts_.back() == initial) selection_ = i;  // the last equal text
    }
    const int w = centred ? 8 * static_cast<int>(longest) + 24 : cr.W();
    const int h = kListRowHeight * static_cast<int>(texts_.size()) + 2;
    int x = centred ? cx - w / 2 : cr.L;
    int y = centred ? cy : static_cast<int>((cr.T + cr.B) * 0.5);
    // A self-drawn list stays inside the panel.
    if (y + h > editorH) y = editorH - h;
    if (y < 0) y = 0;
    if (x + w > editorW) x = editorW - w;
    if (x < 0) x = 0;
    rect_ = IArea{x, y, x + w, y + h};
    text_.clear();
  } else {
    char one[IParamEntry::kTextSize];
    param->FormatValue(1.0, true, one);
    if (centred) {
      int w = 7 * static_cast<int>(std::strlen(one)) + 6;
      if (w < 32) w = 32;
      rect_ = IArea{cx - w / 2, cy - 8, cx - w / 2 + w, cy + 8};
    } else {
      rect_ = cr;
    }
    text_ = initial;
    allSelected_ = true;
  }
  control_ = control;
  param_ = param;
  state_ = kEntryEditing;  // the entry takes the focus
  return true;
}

void ValueEntry::OnKey(ValueEntryKey key, char ch) {
  if (!IsOpen()) return;
  switch (key) {
    case kEntryKeyEnter:
      // A list leaves Enter to itself; a text box commits.
      if (!isList_) {
        allSelected_ = false;
        state_ = kEntryCommit;
      }
      return;
    case kEntryKeyUp:
    case kEntryKeyDown:
      if (isList_ && !texts_.empty()) {
        int s = selection_ + (key == kEntryKeyDown ? 1 : -1);
        if (s < 0) s = 0;
        if (s >= static_cast<int>(texts_.size())) s = static_cast<int>(texts_.size()) - 1;
        if (s != selection_) {
          selection_ = s;
          state_ = kEntryCommit;  // a changed selection commits
          return;
        }
      }
      state_ = kEntryEditing;
      return;
    case kEntryKeyBackspace:
      state_ = kEntryEditing;
      if (isList_) return;
      if (allSelected_) text_.clear();
      else if (!text_.empty()) text_.pop_back();
      allSelected_ = false;
      return;
    case kEntryKeyChar:
      state_ = kEntryEditing;
      if (isList_ || ch < 32) return;
      if (allSelected_) text_.clear();
      allSelected_ = false;
      if (static_cast<int>(text_.size()) < kMaxText) text_.push_back(ch);
      return;
    case kEntryKeyOther:
    default:
      state_ = kEntryEditing;
      return;
  }
}

void ValueEntry::TypeText(const char* text) {
  for (const char* p = text; p && *p; ++p) OnKey(*p == '\n' ? kEntryKeyEnter : kEntryKeyChar, *p);
}

void ValueEntry::OnClick(int, int y) {
  if (!IsOpen()) return;
  state_ = kEntryEditing;
  if (!isList_) return;
  const int row = (y - rect_.T - 1) / kListRowHeight;
  if (row >= 0 && row < static_cast<int>(texts_.size())) {
    selection_ = row;
    state_ = kEntryCommit;
  }
}

std::string ValueEntry::Text() const {
  if (!isList_) return text_.substr(0, kMaxText);
  return selection_ >= 0 && selection_ < static_cast<int>(texts_.size()) ? texts_[static_cast<size_t>(selection_)]
                                                                          : std::string();
}

void ValueEntry::Tick(IGraphics& g) {
  if (!IsOpen()) return;
  switch (state_) {
    case kEntryCommit: {
      const std::string t = Text();
      IControl* c = control_;
      IParamEntry* p = param_;
      g.CommitEnteredText(c, p, t.c_str());
      Close();
      break;
    }
    case kEntryCancel:
      Close();
      break;
    case kEntryEditing:
      state_ = kEntryIdle;
      break;
    default:
      break;
  }
}

void ValueEntry::Close() {
  IControl* c = control_;
  Forget();
  if (c) c->CloseTextEntry();
}

void ValueEntry::Forget() {
  control_ = nullptr;
  param_ = nullptr;
  state_ = kEntryIdle;
  texts_.clear();
  text_.clear();
  selection_ = -1;
  isList_ = false;
}

void ValueEntry::Draw(IGraphics& g, RasterBitmap* screen) const {
  if (!IsOpen() || !screen) return;
  // Laid out in layout pixels, drawn at the editor's scale on the window's
  // device pixels (a border and a layout pixel are as many device pixels).
  auto fill = [&](int l, int t, int rr, int b, RasterPixel colour) {
    const IArea d = g.ToDevice(IArea{l, t, rr, b});
    RasterFillRect(screen, d.L, d.T, d.W(), d.H(), colour, 1.0f, kRasterCopy);
  };
  const IArea r = rect_;
  fill(r.L, r.T, r.R, r.B, RasterPackArgb(255, 250, 250, 250));
  fill(r.L, r.T, r.R, r.T + 1, RasterPackArgb(255, 90, 90, 90));
  fill(r.L, r.B - 1, r.R, r.B, RasterPackArgb(255, 90, 90, 90));
  ITextStyle style = MakeTextStyle("Arial", g.ToDevice(14), IRgba{255, 0, 0, 0}, isList_ ? 0 : 1);
  RasterCachedFont* font = EditorFontCache::Instance().Find(style);
  if (!font) return;
  font->SetTextColor(style.colour.Packed());
  auto text = [&](const std::string& s, const IArea& layout, int flags) {
    const IArea d = g.ToDevice(layout);
    RasterRect tr{d.L, d.T, d.R, d.B};
    font->DrawText(screen, s.c_str(), -1, &tr, flags | kRasterTextNoClip);
  };
  if (!isList_) {
    if (allSelected_ && !text_.empty()) fill(r.L + 1, r.T + 1, r.R - 1, r.B - 1, RasterPackArgb(255, 51, 153, 255));
    text(text_, r, kRasterTextCentre);
    return;
  }
  for (size_t i = 0; i < texts_.size(); ++i) {
    const int top = r.T + 1 + static_cast<int>(i) * kListRowHeight;
    if (static_cast<int>(i) == selection_)
      fill(r.L + 1, top, r.R - 1, top + kListRowHeight, RasterPackArgb(255, 51, 153, 255));
    text(texts_[i], IArea{r.L + 4, top, r.R, top + kListRowHeight}, kRasterTextLeft);
  }
}

void TickEntryAndRepaint(IGraphics& g, ValueEntry& entry) {
  IArea uncovered;
  if (entry.IsOpen()) {
    const IArea under = entry.Rect();
    entry.Tick(g);
    // The panel shows again where the entry was.
    if (!entry.IsOpen()) uncovered = under.Intersect(IArea{0, 0, g.Width(), g.Height()});
  }
  IArea rects[kMaxRepaintGroups];
  const int n = g.DirtyRects(rects, kMaxRepaintGroups, &uncovered);
  if (n > 0) g.DrawRects(rects, n);
}

}  // namespace selvarin
