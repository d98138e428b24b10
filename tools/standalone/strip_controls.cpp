#include "tools/standalone/strip_controls.h"

#include <algorithm>

#include "graphics/igraphics.h"
#include "raster/raster_font.h"

namespace selvarin {

using namespace strip_colours;

namespace {
// Text drawn centred on a box's height.
IArea TextLine(const IArea& box, const ITextStyle& style, int inset) {
  const int top = box.T + (box.H() - style.size) / 2 - 1;
  return IArea{box.L + inset, top, box.R - inset, top + style.size + 4};
}
}  // namespace

int TextWidth(IGraphics& g, ITextStyle* style, const std::string& text) {
  RasterFont* font = style->cachedFont ? style->cachedFont : g.CacheFontFace(style);
  if (!font || text.empty()) return 0;
  RasterRect r{0, 0, 0, 0};
  font->DrawText(nullptr, text.c_str(), -1, &r, kRasterTextMeasure);
  return r.right - r.left;
}

std::string FitText(IGraphics& g, ITextStyle* style, const std::string& text, int maxWidth) {
  if (TextWidth(g, style, text) <= maxWidth) return text;
  std::string cut = text;
  while (!cut.empty()) {
    cut.pop_back();
    // Whole UTF-8 characters only.
    while (!cut.empty() && (static_cast<unsigned char>(cut.back()) & 0xC0) == 0x80) cut.pop_back();
    if (!cut.empty() && (static_cast<unsigned char>(cut.back()) & 0xC0) == 0xC0) cut.pop_back();
    while (!cut.empty() && cut.back() == ' ') cut.pop_back();
    if (TextWidth(g, style, cut + "...") <= maxWidth) return cut + "...";
  }
  return "...";
}

PanelBackground::PanelBackground(IArea r, IRgba fill, bool topLine, std::function<void()> onClick)
    : IControl(nullptr, r), fill_(fill), topLine_(topLine), onClick_(std::move(onClick)) {
  if (!onClick_) hitRect = IArea{};
}

void PanelBackground::OnMouseDown(int, int, const IPointerState& mod) {
  if (mod.L && onClick_) onClick_();
}

std::string WrapText(IGraphics& g, ITextStyle* style, const std::string& text, int maxWidth, int maxLines) {
  std::string out, line;
  int lines = 1;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find(' ', at);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(at, end - at);
    const std::string longer = line.empty() ? word : line + " " + word;
    if (line.empty() || TextWidth(g, style, longer) <= maxWidth || lines == maxLines) {
      line = longer;
    } else {
      out += line + "\n";
      line = word;
      ++lines;
    }
    at = end + 1;
  }
  return out + FitText(g, style, line, maxWidth);
}

bool PanelBackground::Draw(IGraphics& g) {
  g.FillArea(fill_, rect.Intersect(g.DrawRect()), nullptr);
  if (topLine_) g.FillArea(kLine, IArea{rect.L, rect.T, rect.R, rect.T + 1}.Intersect(g.DrawRect()), nullptr);
  return true;
}

TextBox::TextBox(IArea r, const ITextStyle& style, std::function<void()> onClick, int lines)
    : IControl(nullptr, r), style_(style), onClick_(std::move(onClick)), lines_(lines) {
  if (!onClick_) hitRect = IArea{};  // plain text takes no clicks
}

void TextBox::SetText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  MarkDirty(false);
}

void TextBox::SetColour(IRgba colour) {
  style_.colour = colour;
  MarkDirty(false);
}

void TextBox::OnMouseDown(int, int, const IPointerState& mod) {
  if (mod.L && onClick_) onClick_();
}

void TextBox::OnMouseOver(int, int, const IPointerState&) {
  if (!onClick_ || hovered_) return;
  hovered_ = true;
  MarkDirty(false);
}

void TextBox::OnMouseOut() {
  if (!hovered_) return;
  hovered_ = false;
  MarkDirty(false);
}

bool TextBox::Draw(IGraphics& g) {
  int inset = 0;
  if (onClick_) {
    g.FillRoundedRect(hovered_ ? kBoxHover : kBox, rect, 4, 4, nullptr, true);
    g.OutlineRoundedRect(kBoxEdge, rect, 4, nullptr, true);
    inset = 8;
  }
  if (lines_ > 1) {
    g.DrawStyledText(&style_, WrapText(g, &style_, text_, rect.W(), lines_).c_str(), rect);
    return true;
  }
  const IArea line = TextLine(rect, style_, inset);
  g.DrawStyledText(&style_, FitText(g, &style_, text_, line.W()).c_str(), line);
  return true;
}

ScrollList::ScrollList(IArea r, const ITextStyle& style, std::vector<std::string> items, int selected,
                       std::function<void(int)> onChoose)
    : IControl(nullptr, r),
      style_(style),
      items_(std::move(items)),
      selected_(selected),
      onChoose_(std::move(onChoose)) {
  // The chosen entry shows in the middle when the list opens.
  if (selected_ >= 0) ScrollTo(selected_ - VisibleRows() / 2);
}

int ScrollList::MaxFirst() const { return std::max(0, static_cast<int>(items_.size()) - VisibleRows()); }

void ScrollList::ScrollTo(int first) {
  first = std::clamp(first, 0, MaxFirst());
  if (first == first_) return;
  first_ = first;
  MarkDirty(false);
}

IArea ScrollList::Row(int k) const {
  const int right = HasScrollBar() ? rect.R - 14 : rect.R;
  return IArea{rect.L, rect.T + k * kRowHeight, right, rect.T + (k + 1) * kRowHeight};
}

IArea ScrollList::Track() const { return IArea{rect.R - 10, rect.T, rect.R, rect.T + VisibleRows() * kRowHeight}; }

IArea ScrollList::Thumb() const {
  const IArea t = Track();
  const int n = static_cast<int>(items_.size());
  const int h = std::max(24, t.H() * VisibleRows() / std::max(1, n));
  const int top = MaxFirst() > 0 ? t.T + (t.H() - h) * first_ / MaxFirst() : t.T;
  return IArea{t.L, top, t.R, top + h};
}

void ScrollList::ThumbTo(int y) {
  const IArea t = Track();
  const int h = Thumb().H();
  if (t.H() <= h) return;
  const double f = static_cast<double>(y - grabOffset_ - t.T) / (t.H() - h);
  ScrollTo(RoundNearest(f * MaxFirst()));
}

void ScrollList::OnMouseDown(int x, int y, const IPointerState& mod) {
  if (!mod.L) return;
  if (HasScrollBar() && x >= Track().L - 2) {
    const IArea thumb = Thumb();
    dragging_ = true;
    // A press on the track moves the thumb there; on the thumb it holds on.
    grabOffset_ = thumb.T <= y && y < thumb.B ? y - thumb.T : thumb.H() / 2;
    ThumbTo(y);
    return;
  }
  const int k = (y - rect.T) / kRowHeight;
  const int i = first_ + k;
  if (k < 0 || k >= VisibleRows() || i < 0 || i >= static_cast<int>(items_.size())) return;
  selected_ = i;
  MarkDirty(false);
  if (onChoose_) onChoose_(i);
}

void ScrollList::OnMouseUp(int, int, const IPointerState&) { dragging_ = false; }

void ScrollList::OnMouseDrag(int, int y, int, int, const IPointerState&) {
  if (dragging_) ThumbTo(y);
}

void ScrollList::OnMouseWheel(int, int, const IPointerState&, int delta) { ScrollTo(first_ - 3 * delta); }

void ScrollList::OnMouseOver(int x, int y, const IPointerState&) {
  const int k = HasScrollBar() && x >= Track().L - 2 ? -1 : (y - rect.T) / kRowHeight;
  const int h = k >= 0 && k < VisibleRows() && first_ + k < static_cast<int>(items_.size()) ? k : -1;
  if (h == hovered_) return;
  hovered_ = h;
  MarkDirty(false);
}

void ScrollList::OnMouseOut() {
  if (hovered_ < 0) return;
  hovered_ = -1;
  MarkDirty(false);
}

bool ScrollList::Draw(IGraphics& g) {
  g.FillArea(kPanel, rect, nullptr);
  const int rows = std::min(VisibleRows(), static_cast<int>(items_.size()) - first_);
  for (int k = 0; k < rows; ++k) {
    const int i = first_ + k;
    const IArea row = Row(k);
    const IArea box{row.L, row.T + 1, row.R, row.B - 1};
    if (i == selected_)
      g.FillRoundedRect(kHighlight, box, 4, 4, nullptr, true);
    else if (k == hovered_)
      g.FillRoundedRect(kBoxHover, box, 4, 4, nullptr, true);
    const IArea line = TextLine(row, style_, 8);
    g.DrawStyledText(&style_, FitText(g, &style_, items_[static_cast<size_t>(i)], line.W()).c_str(), line);
  }
  if (HasScrollBar()) {
    g.FillRoundedRect(kBox, Track(), 4, 4, nullptr, true);
    g.FillRoundedRect(dragging_ ? kBoxEdge : kDim, Thumb(), 4, 4, nullptr, true);
  }
  return true;
}

}  // namespace selvarin
