#include "graphics/prompt_popup.h"

#include <cmath>
#include <cstring>

#include "framework/audio_plugin.h"
#include "framework/bounded_copy.h"
#include "framework/param_entry.h"
#include "graphics/igraphics.h"

namespace selvarin {

PromptPopup::PromptPopup(IAudioPlugin* plug, int x, int y, int minWidth, int /*columns*/, const ITextStyle* style,
                         const IRgba* background, const IRgba* highlight, const IGraphics& g)
    : IControl(plug, IArea{x, y, x + 10 > x + minWidth ? x + 10 : x + minWidth, y + 30}), columnWidth_(minWidth) {
  textStyle_ = style ? *style : g.popupTextStyle;
  selectedStyle_ = textStyle_;
  background_ = background ? *background : g.popupBackground;
  highlight_ = highlight ? *highlight : g.popupHighlight;
  rowHeight_ = textStyle_.size + 6;
  selectedStyle_.colour.A = textStyle_.colour.A + 55 > 255 ? 255 : textStyle_.colour.A + 55;
}

PromptPopup* PromptPopup::OpenFor(IGraphics& g, IControl* control) {
  IParamEntry* p = control ? control->Param() : nullptr;
  if (!p) return nullptr;
  const IArea cr = control->rect;
  PromptPopup* popup = new PromptPopup(control->Plugin(), cr.L, cr.T, 70, 1, nullptr, nullptr, nullptr, g);
  g.AddControl(popup);
  g.SetOpenPopup(popup);
  popup->Hide(true);
  const int n = p->DisplayTextCount();
  for (int i = 0; i < n; ++i) popup->AddItem(p->DisplayTextFor(i));

  // Centred over the control, kept 6 pixels inside the editor.
  IArea& r = popup->rect;
  int dx = static_cast<int>((cr.W() - r.W()) * 0.5);
  if (r.L + dx > 5) {
    if (g.Width() - 6 < r.L + dx + r.W()) dx = g.Width() - r.L - r.W() - 6;
  } else {
    dx = 6 - r.L;
  }
  int dy = static_cast<int>((cr.H() - r.H()) * 0.5);
  if (r.T + dy > 5) {
    if (g.Height() - 6 < r.T + dy + r.H()) dy = g.Height() - r.T - r.H() - 6;
  } else {
    dy = 6 - r.T;
  }
  r = IArea{r.L + dx, r.T + dy, r.R + dx, r.B + dy};
  popup->hitRect = r;
  popup->Open(control->paramIdx, control);
  return popup;
}

void PromptPopup::AddItem(const char* text) {
  Item item{};
  CopyBounded(item.text, text);  // at most 31 characters kept
  entries_.push_back(item);
  const int cw = textStyle_.size - 8 > 5 ? textStyle_.size - 8 : 5;
  const int need = static_cast<int>(std::strlen(item.text)) * cw + 2 * margin_ + 20;
  if (columnWidth_ < need) columnWidth_ = need;
  ++entryCount_;
  if (growRows_ && (entryCount_ == 10 || entryCount_ == 20 || entryCount_ == 30 || entryCount_ == 40)) ++visibleRows_;
  capacity_ = visibleRows_;
  int listHeight, extraWidth;
  if (entryCount_ > capacity_) {
    listHeight = rowHeight_ * visibleRows_;
    if (entryCount_ > 4 * visibleRows_) {
      thumbHeight_ = static_cast<int>(1.5 * rowHeight_);
    } else {
      thumbHeight_ = static_cast<int>((1.5 * rowHeight_ - rowHeight_ * visibleRows_) * (entryCount_ - visibleRows_) /
                                          (3.0 * visibleRows_) +
                                      rowHeight_ * visibleRows_);
    }
    extraWidth = margin_ + scrollBarWidth_ + 2;
  } else {
    listHeight = entryCount_ * rowHeight_;
    extraWidth = margin_;
  }
  rect = IArea{rect.L, rect.T, rect.L + columnWidth_ + extraWidth, rect.T + listHeight};
  hitRect = rect;
}

void PromptPopup::Open(int paramIdx, IControl* ownerControl) {
  if (paramIdx >= 0) {
    // The owner's value is the parameter's as this editor knows it.
    const IParamEntry* p = ownerControl ? ownerControl->Param() : (plug_ ? plug_->Param(paramIdx) : nullptr);
    if (p) selected_ = RoundNearest(ownerControl ? p->FromNormalized(ownerControl->value) : p->Value());
  }
  ScrollToSelection();
  owner = ownerControl;
  Hide(false);
}

void PromptPopup::ScrollToSelection() {
  if (!HasScrollBar()) return;
  const int half = static_cast<int>(std::ceil(visibleRows_ * 0.5));
  int first = selected_ + 1 - half;
  const int maxFirst = entryCount_ - visibleRows_;
  if (first > maxFirst) first = maxFirst;
  if (first < 0) first = 0;
  thumbPos_ = maxFirst > 0 ? RoundNearestF(static_cast<float>(ThumbRange()) * static_cast<float>(first) /
                                            static_cast<float>(maxFirst))
                           : 0;
}

int PromptPopup::FirstVisible() const {
  if (!HasScrollBar() || ThumbRange() <= 0) return 0;
  return RoundNearestF(static_cast<float>(entryCount_ - visibleRows_) * static_cast<float>(thumbPos_) /
                        static_cast<float>(ThumbRange()));
}

void PromptPopup::SetThumb(int p) {
  const int maxPos = ThumbRange();
  if (p > maxPos) p = maxPos;
  thumbPos_ = p < 1 ? 0 : p;
}

void PromptPopup::MoveThumb(int delta) {
  SetThumb(thumbPos_ + delta);
  MarkDirty(true);
}

IArea PromptPopup::Cell(int k) const {
  return IArea{rect.L + margin_, rect.T + k * rowHeight_ + 1, rect.L + columnWidth_, rect.T + (k + 1) * rowHeight_ - 1};
}

bool PromptPopup::Draw(IGraphics& g) {
  if (!laidOut_) {
    laidOut_ = true;
    trackLeft_ = rect.R - scrollBarWidth_ - 2;
    trackRight_ = rect.R - 1;
  }
  firstVisible_ = FirstVisible();
  g.FillRoundedRect(background_, rect, 4, 4, nullptr, true);
  // A value beyond the list's entries (a parameter with more values than
  // texts) highlights no row.
  const int k = selected_ >= 0 && selected_ < entryCount_ ? selected_ - firstVisible_ : -1;
  if (k >= 0 && k < capacity_) {
    g.OutlineRoundedRect(highlight_, Cell(k), 4, nullptr, true);
    g.FillRoundedRect(highlight_, Cell(k), 4, 4, nullptr, true);
  }
  if (hovered_ >= 0 && hovered_ < capacity_ && hovered_ != k) g.FillRoundedRect(highlight_, Cell(hovered_), 4, 4, nullptr, true);
  const int end = entryCount_ < firstVisible_ + capacity_ ? entryCount_ : firstVisible_ + capacity_;
  for (int row = 0; firstVisible_ + row < end; ++row) {
    const int i = firstVisible_ + row;
    g.DrawStyledText(i == selected_ ? &selectedStyle_ : &textStyle_, entries_[static_cast<size_t>(i)].text,
                     IArea{rect.L + 2 * margin_, rect.T + row * rowHeight_ + RoundNearestF(0.75f * margin_),
                           rect.L + columnWidth_, rect.T + (row + 1) * rowHeight_});
  }
  if (HasScrollBar()) {
    IRgba track = highlight_;
    track.A -= 20;
    g.OutlineRoundedRect(track, IArea{trackLeft_ - 1, rect.T, trackRight_ + 1, rect.B}, 4, nullptr, true);
    thumbTop_ = rect.T + thumbPos_ + 1;
    thumbBottom_ = thumbTop_ + thumbHeight_;
    IRgba thumb = highlight_;
    if (hovered_ == -1 && !dragging_) thumb.A = track.A + 40;
    g.FillRoundedRect(thumb, IArea{trackLeft_, thumbTop_, trackRight_, thumbBottom_}, 3, 4, nullptr, true);
  }
  return true;
}

void PromptPopup::OnMouseOver(int x, int y, const IPointerState&) {
  int h;
  const bool inTrack = HasScrollBar() && laidOut_ && trackLeft_ <= x && x <= trackRight_;
  if (inTrack && thumbTop_ <= y && y <= thumbBottom_) {
    h = -1;
  } else if (inTrack) {
    h = -2;  // the track outside the thumb highlights no entry
  } else {
    const int row = static_cast<int>(std::floor(static_cast<float>(y - rect.T) / static_cast<float>(rowHeight_)));
    h = row < capacity_ ? row : capacity_;
    if (row >= entryCount_ || row < 0) h = -1;
  }
  if (h != hovered_) {
    hovered_ = h;
    MarkDirty(true);
  }
}

void PromptPopup::OnMouseOut() {
  hovered_ = -2;
  MarkDirty(true);
}

void PromptPopup::OnMouseDown(int x, int y, const IPointerState& mod) {
  if (HasScrollBar() && laidOut_ && trackLeft_ <= x && x <= trackRight_) {
    if (mod.R) return;
    dragging_ = true;
    if (thumbTop_ <= y && y <= thumbBottom_) MarkDirty(true);
    else MoveThumb(y - thumbPos_ - rect.T - RoundNearestF(thumbHeight_ * 0.5f));
    return;
  }
  // Only a visible row chooses: the list's bottom edge (one row past the
  // last visible one) would pick an entry the list does not show.
  const int i = FirstVisible() + hovered_;
  if (hovered_ < 0 || hovered_ >= capacity_ || i < 0 || i >= entryCount_ || !mod.L) return;
  selected_ = i;
  IControl* receiver = owner && owner->owner ? owner->owner : owner;
  if (receiver) {
    const IParamEntry* p = receiver->Param();
    if (p) {
      HostEditScope edit(graphics_, receiver->Plugin(), receiver->paramIdx);
      receiver->ReceiveEnteredValue(p->ToNormalized(i));
    }
    receiver->OnPopupResult(entries_[static_cast<size_t>(i)].text, i);
  }
  if (IGraphics* g = graphics_) {
    g->EndMouseCapture();
    g->mouseOverIdx = -1;
    g->ClosePopup(true);  // deletes this list: nothing of it is used after
  }
}

void PromptPopup::OnMouseUp(int, int, const IPointerState&) {
  if (!HasScrollBar()) return;
  dragging_ = false;
  MarkDirty(true);
}

void PromptPopup::OnMouseDrag(int, int, int, int dY, const IPointerState&) {
  if (!dragging_) return;
  SetThumb(thumbPos_ + dY);
  MarkDirty(true);
}

void PromptPopup::OnMouseWheel(int, int, const IPointerState&, int delta) {
  if (!HasScrollBar()) return;
  SetThumb(thumbPos_ - 3 * delta);
  MarkDirty(true);
}

}  // namespace selvarin
