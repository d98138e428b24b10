#pragma once
// The list the strip opens (presets, devices, rates, buffer sizes): a sheet
// over the whole window with a title, the scrolling list and a Close box.
// A choice or a click beside the list closes it; the caller is told which.
#include <functional>
#include <string>
#include <vector>

namespace selvarin {

class IGraphics;
class ScrollList;

class ListSheet {
 public:
  static constexpr int kListTop = 48, kListInset = 16;

  // width and height in layout pixels, drawn at the display scale;
  // emptyText shows when there is nothing to list.
  ListSheet(int width, int height, double scale, const std::string& title, std::vector<std::string> items,
            int selected, const std::string& emptyText, std::function<void(int)> onChoose,
            std::function<void()> onDismiss);
  ~ListSheet();
  ListSheet(const ListSheet&) = delete;
  ListSheet& operator=(const ListSheet&) = delete;

  IGraphics* Graphics() const { return graphics_; }

 private:
  IGraphics* graphics_ = nullptr;
};

}  // namespace selvarin
