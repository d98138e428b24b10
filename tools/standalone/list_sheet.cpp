#include "tools/standalone/list_sheet.h"

#include "graphics/igraphics.h"
#include "graphics/platform_graphics.h"
#include "tools/standalone/strip_controls.h"

namespace selvarin {

using namespace strip_colours;

ListSheet::ListSheet(int width, int height, double scale, const std::string& title, std::vector<std::string> items,
                     int selected, const std::string& emptyText, std::function<void(int)> onChoose,
                     std::function<void()> onDismiss) {
  graphics_ = CreatePlatformGraphics(nullptr, width, height, 24);
  IGraphics& g = *graphics_;
  ITextStyle heading = MakeTextStyle("Arial", 16, kText);
  heading.style = 1;
  const ITextStyle text = MakeTextStyle("Arial", 14, kText);
  const ITextStyle centred = MakeTextStyle("Arial", 14, kText, 1);

  g.AddControl(new PanelBackground(IArea{0, 0, width, height}, kPanel, false, onDismiss));
  auto* caption = new TextBox(IArea{kListInset, 12, width - 110, 36}, heading);
  caption->SetText(title);
  g.AddControl(caption);
  auto* close = new TextBox(IArea{width - 96, 12, width - kListInset, 36}, centred, onDismiss);
  close->SetText("Close");
  g.AddControl(close);
  const IArea listArea{kListInset, kListTop, width - kListInset, height - 12};
  if (items.empty()) {
    auto* none = new TextBox(IArea{listArea.L, listArea.T, listArea.R, listArea.T + 24}, text);
    none->SetText(emptyText);
    none->SetColour(kWarning);
    g.AddControl(none);
  } else {
    g.AddControl(new ScrollList(listArea, text, std::move(items), selected, std::move(onChoose)));
  }
  g.PrepareSurface();
  g.SetScale(scale);
}

ListSheet::~ListSheet() { delete graphics_; }

}  // namespace selvarin
