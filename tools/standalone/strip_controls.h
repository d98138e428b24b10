#pragma once
// The application's controls, on the editor's graphics core and drawing
// (fills, rounded boxes, the editor's fonts) in the editor's colours: a
// panel background, text boxes that may be clicked, and the scrolling list
// of the list sheet. None is bound to a plug-in parameter.
#include <functional>
#include <string>
#include <vector>

#include "graphics/icontrol.h"
#include "graphics/igraphics_types.h"

namespace selvarin {

namespace strip_colours {
constexpr IRgba kPanel{255, 23, 27, 33};
constexpr IRgba kLine{255, 52, 128, 122};
constexpr IRgba kBox{255, 34, 40, 49};
constexpr IRgba kBoxHover{255, 44, 53, 65};
constexpr IRgba kBoxEdge{255, 62, 150, 140};
constexpr IRgba kText{255, 222, 232, 236};
constexpr IRgba kDim{255, 128, 146, 156};
constexpr IRgba kWarning{255, 240, 178, 92};
constexpr IRgba kHighlight{255, 48, 118, 112};
}  // namespace strip_colours

// The width of a line of text in a style, in pixels.
int TextWidth(IGraphics& g, ITextStyle* style, const std::string& text);
// The text, cut short with "..." where it is wider than maxWidth.
std::string FitText(IGraphics& g, ITextStyle* style, const std::string& text, int maxWidth);
// The text broken between words into lines no wider than maxWidth, at most
// maxLines of them (the last cut short when the text is longer).
std::string WrapText(IGraphics& g, ITextStyle* style, const std::string& text, int maxWidth, int maxLines);

// Fills its area with a colour, with a thin line along the top edge when
// asked; a click on it runs onClick, when there is one.
class PanelBackground : public IControl {
 public:
  PanelBackground(IArea rect, IRgba fill, bool topLine, std::function<void()> onClick = nullptr);
  void OnMouseDown(int x, int y, const IPointerState& mod) override;
  void OnMouseWheel(int, int, const IPointerState&, int) override {}
  bool Draw(IGraphics& g) override;
  bool ClipsToDrawRect() const override { return true; }

 private:
  IRgba fill_;
  bool topLine_;
  std::function<void()> onClick_;
};

// Text, boxed and clickable when it has an action; plain text may run
// over several lines.
class TextBox : public IControl {
 public:
  TextBox(IArea rect, const ITextStyle& style, std::function<void()> onClick = nullptr, int lines = 1);
  void SetText(const std::string& text);
  const std::string& Text() const { return text_; }
  void SetColour(IRgba colour);
  void OnMouseDown(int x, int y, const IPointerState& mod) override;
  void OnMouseDoubleClick(int x, int y, const IPointerState& mod) override { OnMouseDown(x, y, mod); }
  void OnMouseWheel(int, int, const IPointerState&, int) override {}
  void OnMouseOver(int x, int y, const IPointerState& mod) override;
  void OnMouseOut() override;
  bool Draw(IGraphics& g) override;

 private:
  ITextStyle style_;
  std::function<void()> onClick_;
  int lines_;
  std::string text_;
  bool hovered_ = false;
};

// A scrolling list of texts: the wheel or the scroll bar scrolls it, a
// click on a row chooses it, the chosen row is highlighted.
class ScrollList : public IControl {
 public:
  static constexpr int kRowHeight = 22;
  ScrollList(IArea rect, const ITextStyle& style, std::vector<std::string> items, int selected,
             std::function<void(int)> onChoose);
  int VisibleRows() const { return rect.H() / kRowHeight; }
  int FirstVisible() const { return first_; }
  // The row's rectangle, for visible row k.
  IArea Row(int k) const;

  void OnMouseDown(int x, int y, const IPointerState& mod) override;
  void OnMouseDoubleClick(int x, int y, const IPointerState& mod) override { OnMouseDown(x, y, mod); }
  void OnMouseUp(int x, int y, const IPointerState& mod) override;
  void OnMouseDrag(int x, int y, int dX, int dY, const IPointerState& mod) override;
  void OnMouseWheel(int x, int y, const IPointerState& mod, int delta) override;
  void OnMouseOver(int x, int y, const IPointerState& mod) override;
  void OnMouseOut() override;
  bool Draw(IGraphics& g) override;

 private:
  bool HasScrollBar() const { return static_cast<int>(items_.size()) > VisibleRows(); }
  int MaxFirst() const;
  IArea Track() const;
  IArea Thumb() const;
  void ScrollTo(int first);
  void ThumbTo(int y);

  ITextStyle style_;
  std::vector<std::string> items_;
  int selected_;
  std::function<void(int)> onChoose_;
  int first_ = 0;
  int hovered_ = -1;
  bool dragging_ = false;
  int grabOffset_ = 0;
};

}  // namespace selvarin
