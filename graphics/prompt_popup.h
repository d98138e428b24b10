#pragma once
// The pop-up value list a right click opens over an enumerated or boolean
// parameter: rows of the parameter's display texts, the current one
// highlighted, with a scroll bar once the entries outgrow the rows.
#include <vector>

#include "graphics/icontrol.h"

namespace selvarin {

class PromptPopup : public IControl {
 public:
  PromptPopup(IAudioPlugin* plug, int x, int y, int minWidth, int columns, const ITextStyle* style,
              const IRgba* background, const IRgba* highlight, const IGraphics& g);

  // Opens a list of the control's parameter texts centred over it.
  static PromptPopup* OpenFor(IGraphics& g, IControl* control);

  void AddItem(const char* text);
  void Open(int paramIdx, IControl* owner);
  void ScrollToSelection();
  void MoveThumb(int delta);

  void OnMouseDown(int x, int y, const IPointerState& mod) override;
  void OnMouseUp(int x, int y, const IPointerState& mod) override;
  void OnMouseDrag(int x, int y, int dX, int dY, const IPointerState& mod) override;
  void OnMouseWheel(int x, int y, const IPointerState& mod, int delta) override;
  void OnMouseOver(int x, int y, const IPointerState& mod) override;
  void OnMouseOut() override;
  bool Draw(IGraphics& g) override;

  int EntryCount() const { return entryCount_; }
  const char* Entry(int i) const { return i >= 0 && i < entryCount_ ? entries_[static_cast<size_t>(i)].text : ""; }
  int Selected() const { return selected_; }
  int Capacity() const { return capacity_; }
  int ThumbHeight() const { return thumbHeight_; }
  int ThumbPosition() const { return thumbPos_; }
  int FirstVisible() const;
  int RowHeight() const { return rowHeight_; }
  int Hovered() const { return hovered_; }
  // The rectangle of visible row k.
  IArea Cell(int k) const;

 private:
  struct Item {
    char text[32];
  };
  bool HasScrollBar() const { return thumbHeight_ >= 1; }
  int ThumbRange() const { return rect.B - rect.T - thumbHeight_ - 2; }
  void SetThumb(int p);

  int columnWidth_;
  int margin_ = 4;
  int hovered_ = -2;
  int capacity_ = 0;
  int firstVisible_ = 0;
  int thumbPos_ = 0;
  int thumbHeight_ = 0;
  int scrollBarWidth_ = 9;
  bool laidOut_ = false;
  bool dragging_ = false;
  std::vector<Item> entries_;
  ITextStyle textStyle_;
  ITextStyle selectedStyle_;
  IRgba background_;
  IRgba highlight_;
  int trackLeft_ = 0, thumbTop_ = 0, trackRight_ = 0, thumbBottom_ = 0;
  int selected_ = -1;
  int rowHeight_;
  int entryCount_ = 0;
  int visibleRows_ = 5;
  bool growRows_ = true;
};

}  // namespace selvarin
