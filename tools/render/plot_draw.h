#pragma once
// Draws the session plot with the project's raster layer and the editor's
// font: the lanes with their value lines, the beat's brain-wave bands behind
// the beat lane, named values and preset changes as labelled marks, and the
// time axis.
#include <string>
#include <utility>
#include <vector>

#include "raster/raster_bitmap.h"
#include "raster/raster_types.h"
#include "tools/render/plot_layout.h"
#include "tools/render/plot_scene.h"

namespace selvarin {

class RasterCachedFont;

// The colour of every lane's value line.
constexpr RasterPixel kPlotValueColour = RasterPackArgb(255, 80, 216, 196);

// The plot's text: the editor's face at any size, made on first use.
class PlotFonts {
 public:
  PlotFonts() = default;
  ~PlotFonts();
  PlotFonts(const PlotFonts&) = delete;
  PlotFonts& operator=(const PlotFonts&) = delete;

  int Width(const std::string& text, int size, bool bold = false);
  // Draws with the text's cell top at y; align: 0 left of x, 1 centred on
  // it, 2 right of it (ending at x).
  void Draw(RasterBitmap* dest, const std::string& text, int x, int y, int size, RasterPixel colour, int align = 0,
            bool bold = false);

 private:
  RasterCachedFont* Font(int size, bool bold);
  std::vector<std::pair<int, RasterCachedFont*>> fonts_;  // keyed by size, negative for bold
};

// Draws the scene on dest, which is the layout's size.
void DrawPlot(const PlotScene& scene, const PlotLayout& layout, PlotFonts& fonts, RasterBitmap* dest);

}  // namespace selvarin
