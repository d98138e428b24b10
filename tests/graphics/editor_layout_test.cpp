// The panel as built: controls in attach order with their places, what
// starts hidden, the texts, the links the engine keeps, and what a first
// look at the window shows.
#include <gtest/gtest.h>

#include <string>
#include <typeinfo>

#include "editor_harness.h"
#include "graphics/dropdown.h"
#include "graphics/image_cache.h"
#include "graphics/knobs.h"
#include "graphics/selvarin/panel_controls.h"
#include "graphics/selvarin/selvarin_layout.h"
#include "raster/raster_sys_bitmap.h"

namespace selvarin::test {
namespace {

TEST(EditorLayout, TwentyNineControlsInAttachOrderWithTheirPlaces) {
  EditorHarness h;
  struct Row {
    int param;
    IArea rect;
  };
  // Indices 0..28: background, indicators, version, link, band label, then
  // the parameter controls (the drop-down and pop-up lists come later).
  const Row rows[] = {
      {-1, {0, 0, 550, 363}},    {-1, {22, 322, 223, 324}},   {-1, {326, 322, 527, 324}}, {-1, {45, 12, 95, 30}},
      {-1, {178, 15, 370, 62}},  {-1, {233, 298, 317, 313}},  {0, {19, 100, 77, 178}},    {1, {93, 100, 151, 178}},
      {2, {157, 100, 237, 178}}, {4, {235, 103, 314, 126}},   {5, {241, 144, 309, 167}},  {6, {322, 100, 382, 178}},
      {3, {397, 100, 455, 178}}, {7, {472, 100, 530, 178}},   {10, {183, 194, 231, 215}}, {8, {84, 213, 170, 231}},
      {14, {25, 257, 65, 317}},  {9, {67, 257, 127, 317}},    {13, {129, 257, 169, 317}}, {11, {181, 257, 221, 317}},
      {12, {171, 257, 231, 317}}, {17, {487, 194, 535, 215}}, {15, {388, 213, 474, 231}}, {21, {329, 257, 369, 317}},
      {16, {371, 257, 431, 317}}, {20, {433, 257, 473, 317}}, {18, {485, 257, 525, 317}}, {19, {475, 257, 535, 317}},
      {22, {235, 323, 315, 346}}};
  ASSERT_EQ(h.g->NControls(), 29);
  for (int i = 0; i < 29; ++i) {
    EXPECT_EQ(h.g->Control(i)->paramIdx, rows[i].param) << i;
    EXPECT_TRUE(h.g->Control(i)->rect == rows[i].rect) << i;
    EXPECT_EQ(h.g->Control(i)->hidden, i == 20 || i == 27) << "only the millisecond rate knobs start hidden: " << i;
  }
  EXPECT_NE(dynamic_cast<IBitmapControl*>(h.g->Control(0)), nullptr);
  EXPECT_NE(dynamic_cast<GRAPH*>(h.g->Control(2)), nullptr);
  EXPECT_NE(dynamic_cast<IKnobMulti*>(h.g->Control(8)), nullptr);
  EXPECT_NE(dynamic_cast<IButtonClick*>(h.g->Control(21)), nullptr);
  EXPECT_NE(dynamic_cast<IDropDown*>(h.g->Control(22)), nullptr);
  EXPECT_NE(dynamic_cast<IButtonHold*>(h.g->Control(28)), nullptr);
  EXPECT_TRUE(h.g->handleMouseOver);
  EXPECT_EQ(h.g->FrameRate(), 24);

  // Another instance shares the decoded images: each is decoded once.
  CLS_SELVARIN second{InstanceInfo{}};
  EXPECT_EQ(EditorImageCache::Instance().Count(), 11);
  EXPECT_EQ(static_cast<IGraphics*>(second.Editor())->CachedImage(100).raster, h.g->CachedImage(100).raster);
}

TEST(EditorLayout, TextsLinksAndTheSharedRatePlace) {
  EditorHarness h;
  auto* version = dynamic_cast<ITextControl*>(h.g->Control(3));
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(version->Text(), "v1.1 i");  // 1.10, no inputs
  auto* band = dynamic_cast<ITextControl*>(h.g->Control(5));
  ASSERT_NE(band, nullptr);
  EXPECT_EQ(band->Text(), "THETA");  // the default 4 Hz, set by the engine

  // The engine writes into the editor's own indicator and label slots.
  EXPECT_EQ(h.plug.State().lfoIndicator[0], static_cast<GRAPH*>(h.g->Control(1))->Values());
  EXPECT_EQ(h.plug.State().lfoIndicator[1], static_cast<GRAPH*>(h.g->Control(2))->Values());
  EXPECT_EQ(h.plug.State().bandLabel, static_cast<LiveTextControl*>(h.g->Control(5))->Slot());

  // One place, two knobs: the hidden one is never hit.
  EXPECT_EQ(h.At(201, 277)->paramIdx, kParamLfo1RateNote);
  EXPECT_EQ(h.At(226, 277)->paramIdx, -1) << "the wider millisecond knob is hidden";
  h.Automate(kParamLfo1Sync, 0.0);
  h.Automate(kParamLfo2Sync, 0.0);
  EXPECT_EQ(h.At(201, 277)->paramIdx, kParamLfo1RateMs);
  EXPECT_EQ(h.At(226, 277)->paramIdx, kParamLfo1RateMs);
  EXPECT_EQ(h.At(505, 277)->paramIdx, kParamLfo2RateMs);
  h.Automate(kParamLfo1Sync, 1.0);
  EXPECT_EQ(h.At(201, 277)->paramIdx, kParamLfo1RateNote);

  // The title link opens the maker's site and draws nothing.
  h.g->LeftDown(300, 40);
  h.g->ButtonUp(300, 40);
  EXPECT_NE(h.g->LastWebAddress().find("http"), std::string::npos);
  EXPECT_TRUE(h.plug.edits.empty());
}

TEST(EditorLayout, ReplacingResizingOrDestroyingTheEditorReleasesTheEngineLinks) {
  EditorHarness h;
  h.g->RightDown(48, 129);  // a value entry open over "Base Freq"
  h.g->TypeText("432\n");
  h.g->Resize(600, 400);  // a resize starts with no controls
  EXPECT_EQ(h.g->NControls(), 0);
  EXPECT_FALSE(h.g->Entry().IsOpen()) << "the entry went with its control";
  // The surface and the window take the new size.
  EXPECT_EQ(h.g->Surface()->Width(), 600);
  EXPECT_EQ(h.g->Surface()->Height(), 400);
  EXPECT_EQ(h.g->Screen()->Width(), 600);
  EXPECT_EQ(h.g->Screen()->Height(), 400);
  EXPECT_EQ(h.plug.State().lfoIndicator[0], nullptr);
  EXPECT_EQ(h.plug.State().bandLabel, nullptr);
  h.RenderBlock();
  h.g->Tick();
  h.plug.AttachEditor(nullptr);
  EXPECT_EQ(h.plug.State().lfoIndicator[0], nullptr);
  EXPECT_EQ(h.plug.State().lfoIndicator[1], nullptr);
  EXPECT_EQ(h.plug.State().bandLabel, nullptr);
  h.Automate(kParamLfo1Target, 0.75);  // the engine runs on without an editor
  h.Automate(kParamBinaural, 0.5);
  h.RenderBlock();

  // An editor built again links the engine to its own controls, and the one
  // it replaces lets go of nothing but its own.
  EngineState& st = const_cast<EngineState&>(h.plug.State());  // the constructor's link fields
  SelvarinEditorLinks links;
  links.lfoIndicator[0] = &st.lfoIndicator[0];
  links.lfoIndicator[1] = &st.lfoIndicator[1];
  links.bandLabel = &st.bandLabel;
  links.syncClickedInEditor = h.plug.SyncClickedFlag();
  BuildSelvarinEditor(&h.plug, links);
  auto* g = static_cast<HeadlessGraphics*>(BuildSelvarinEditor(&h.plug, links));
  ASSERT_EQ(h.plug.Editor(), g);
  EXPECT_EQ(st.lfoIndicator[0], static_cast<GRAPH*>(g->Control(1))->Values());
  EXPECT_EQ(st.lfoIndicator[1], static_cast<GRAPH*>(g->Control(2))->Values());
  EXPECT_EQ(st.bandLabel, static_cast<LiveTextControl*>(g->Control(5))->Slot());
  g->CreateEditorWindow(nullptr);
  h.Automate(kParamBinaural, h.plug.Param(kParamBinaural)->ToNormalized(10.0));
  g->Tick();
  EXPECT_EQ(static_cast<ITextControl*>(g->Control(5))->Text(), "ALPHA");
}

}  // namespace
}  // namespace selvarin::test
