// The redraw model (dirty union, repaint passes, dirty-area groups) and the
// closing of pop-up lists.
#include "graphics/igraphics.h"

namespace selvarin {

bool IGraphics::NeedsRedraw(IArea* rect) {
  SyncFromPlugin();
  for (IControl* c : controls_) c->PullPublished();
  bool dirty = false;
  IArea r = rect ? *rect : IArea{};
  for (IControl* c : controls_) {
    if (c->NeedsRedraw()) {
      r = r.Union(c->rect);
      dirty = true;
    }
  }
  if (rect) *rect = r;
  return dirty;
}

bool IGraphics::Draw(const IArea& rect) {
  if (controls_.empty()) return true;
  drawRect_ = rect;
  // A control may not remove others while drawing, but the list is indexed
  // afresh anyway.
  for (int i = 0; i < NControls(); ++i) {
    IControl* c = controls_[static_cast<size_t>(i)];
    if (!c->hidden && !rect.Empty() && !c->rect.Empty() && rect.Overlaps(c->rect)) c->Draw(*this);
    c->MarkClean();
  }
  return PresentSurface(rect);
}

namespace {
// Merges group `r` into the list, joining every group it overlaps.
int AddMerged(IArea* groups, int n, int max, IArea r) {
  for (bool merged = true; merged;) {
    merged = false;
    for (int i = 0; i < n; ++i) {
      if (groups[i].Overlaps(r)) {
        r = r.Union(groups[i]);
        groups[i] = groups[--n];
        merged = true;
        break;
      }
    }
  }
  if (n < max) {
    groups[n++] = r;
  } else {
    groups[n - 1] = groups[n - 1].Union(r);  // out of room: one group grows
  }
  return n;
}
}  // namespace

int IGraphics::DirtyRects(IArea* out, int max, const IArea* extra) {
  if (!out || max <= 0) return 0;
  SyncFromPlugin();
  for (IControl* c : controls_) c->PullPublished();
  int n = 0;
  if (extra && !extra->Empty()) n = AddMerged(out, n, max, *extra);
  for (IControl* c : controls_)
    if (c->NeedsRedraw() && !c->rect.Empty()) n = AddMerged(out, n, max, c->rect);
  // A control whose drawing is not clipped to the update rectangle (turned
  // images, text, fills) must be drawn in one pass only: groups it touches
  // become one.
  for (bool merged = n > 1; merged;) {
    merged = false;
    for (IControl* c : controls_) {
      if (c->hidden || c->ClipsToDrawRect() || c->rect.Empty()) continue;
      int first = -1;
      for (int i = 0; i < n && !merged; ++i) {
        if (!out[i].Overlaps(c->rect)) continue;
        if (first < 0) {
          first = i;
        } else {
          const IArea joined = out[first].Union(out[i]);
          out[i] = out[--n];
          if (first == n) first = i;
          out[first] = out[--n];
          n = AddMerged(out, n, max, joined);
          merged = true;
        }
      }
      if (merged) break;
    }
  }
  return n;
}

bool IGraphics::DrawRects(const IArea* rects, int count) {
  if (controls_.empty()) return true;
  for (int k = 0; k < count; ++k) {
    const IArea& rect = rects[k];
    drawRect_ = rect;
    for (int i = 0; i < NControls(); ++i) {
      IControl* c = controls_[static_cast<size_t>(i)];
      if (!c->hidden && !rect.Empty() && !c->rect.Empty() && rect.Overlaps(c->rect)) c->Draw(*this);
    }
  }
  for (IControl* c : controls_) c->MarkClean();
  bool ok = true;
  for (int k = 0; k < count; ++k) ok = PresentSurface(rects[k]) && ok;
  return ok;
}

void IGraphics::ClosePopup(bool itemChosen) {
  if (!openPopup_ || openPopup_ == JustClosedPopupMarker()) return;
  IControl* popup = openPopup_;
  if (!itemChosen && popup->owner) popup->owner->OnPopupResult("", -1);
  RemoveControl(popup);
  delete popup;
  openPopup_ = itemChosen ? nullptr : JustClosedPopupMarker();
  MarkBackgroundDirty();
}

}  // namespace selvarin
