// A resize the plug-in asks for, in process: the first open view with a host
// frame carries it to the host, and only the host's answer to that request
// reaches the plug-in's size hook. Views leave the adapter's list when they
// are released, and terminate empties it without destroying them.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "engine/selvarin.h"
#include "graphics/headless/headless_graphics.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "raster/raster_bitmap.h"
#include "vst3/vst3_view.h"

namespace selvarin {
namespace test {
namespace {

namespace sb = Steinberg;

struct Rect {
  int l, t, r, b;
  bool operator==(const Rect& o) const { return l == o.l && t == o.t && r == o.r && b == o.b; }
};

class SizeRecordingSelvarin : public CLS_SELVARIN {
 public:
  SizeRecordingSelvarin() : CLS_SELVARIN(InstanceInfo{}) {}
  void OnEditorSizeChanged(int left, int top, int right, int bottom) override {
    sizes.push_back(Rect{left, top, right, bottom});
  }
  std::vector<Rect> sizes;
};

// A host frame that records the sizes asked for and, when answering, calls
// the view's onSize at once as most hosts do.
class RecordingFrame : public sb::IPlugFrame {
 public:
  explicit RecordingFrame(bool answers) : answers_(answers) {}
  sb::tresult PLUGIN_API resizeView(sb::IPlugView* view, sb::ViewRect* r) override {
    asked.push_back(Rect{r->left, r->top, r->right, r->bottom});
    if (answers_) view->onSize(r);
    return sb::kResultTrue;
  }
  sb::tresult PLUGIN_API queryInterface(const sb::TUID, void** obj) override {
    *obj = nullptr;
    return sb::kNoInterface;
  }
  sb::uint32 PLUGIN_API addRef() override { return 1; }
  sb::uint32 PLUGIN_API release() override { return 1; }
  std::vector<Rect> asked;

 private:
  bool answers_;
};

TEST(ViewResize, TheFirstViewCarriesThePlugInsResizeAndOnlyItsAnswerIsDelivered) {
  auto* plug = new SizeRecordingSelvarin;
  ASSERT_NE(plug->EditorGraphics(), nullptr);
  plug->ResizeEditor(600, 400);  // no view: nothing to ask

  sb::IPlugView* first = plug->createView("editor");
  sb::IPlugView* second = plug->createView("editor");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  ASSERT_EQ(plug->Views().size(), 2u);
  EXPECT_EQ(plug->Views()[0], static_cast<IVST3View*>(first));

  // The first view has no frame yet: the second one's frame is not asked.
  RecordingFrame secondFrame(true);
  second->setFrame(&secondFrame);
  plug->ResizeEditor(600, 400);
  EXPECT_TRUE(secondFrame.asked.empty());
  EXPECT_TRUE(plug->sizes.empty());

  // A host that answers at once: the size reaches the plug-in once.
  RecordingFrame answering(true);
  first->setFrame(&answering);
  plug->ResizeEditor(600, 400);
  ASSERT_EQ(answering.asked.size(), 1u);
  EXPECT_EQ(answering.asked[0], (Rect{0, 0, 600, 400}));
  ASSERT_EQ(plug->sizes.size(), 1u);
  EXPECT_EQ(plug->sizes[0], (Rect{0, 0, 600, 400}));
  // A size the host sets on its own is the view's, not a plug-in request.
  sb::ViewRect hostOwn(0, 0, 640, 480);
  EXPECT_EQ(first->onSize(&hostOwn), sb::kResultOk);
  EXPECT_EQ(plug->sizes.size(), 1u);

  // A host that answers later: the pending request takes its first answer only.
  RecordingFrame later(false);
  first->setFrame(&later);
  plug->ResizeEditor(700, 500);
  EXPECT_EQ(plug->sizes.size(), 1u);
  sb::ViewRect answer(0, 0, 700, 500);
  EXPECT_EQ(first->onSize(&answer), sb::kResultOk);
  EXPECT_EQ(first->onSize(&answer), sb::kResultOk);
  ASSERT_EQ(plug->sizes.size(), 2u);
  EXPECT_EQ(plug->sizes[1], (Rect{0, 0, 700, 500}));

  // The first view gone, the second one carries the next request.
  EXPECT_EQ(first->release(), 0u);
  ASSERT_EQ(plug->Views().size(), 1u);
  EXPECT_EQ(plug->Views()[0], static_cast<IVST3View*>(second));
  plug->ResizeEditor(550, 363);
  ASSERT_EQ(secondFrame.asked.size(), 1u);
  EXPECT_EQ(plug->sizes.back(), (Rect{0, 0, 550, 363}));

  // Terminate forgets the views without destroying them; the last one
  // released after it still lets the plug-in go.
  plug->terminate();
  EXPECT_TRUE(plug->Views().empty());
  plug->ResizeEditor(600, 400);
  EXPECT_EQ(secondFrame.asked.size(), 1u);
  second->setFrame(nullptr);
  plug->release();  // the view's reference keeps it alive
  EXPECT_EQ(second->release(), 0u);
}

Rect SizeOf(sb::IPlugView* view) {
  sb::ViewRect r;
  EXPECT_EQ(view->getSize(&r), sb::kResultOk);
  return Rect{r.left, r.top, r.right, r.bottom};
}

TEST(ViewScale, TheHostsFactorSizesTheViewAndBadFactorsLeaveAWorkingEditor) {
  auto* plug = new SizeRecordingSelvarin;
  for (int i = 0; i < plug->NParams(); ++i) plug->OnParameterChanged(i);
  sb::IPlugView* view = plug->createView("editor");
  ASSERT_NE(view, nullptr);
  sb::IPlugViewContentScaleSupport* scaling = nullptr;
  ASSERT_EQ(view->queryInterface(sb::IPlugViewContentScaleSupport::iid, reinterpret_cast<void**>(&scaling)),
            sb::kResultOk);
  ASSERT_NE(scaling, nullptr);
  RecordingFrame frame(true);
  view->setFrame(&frame);

  // Nothing usable: refused, the editor keeps its size.
  for (float bad : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN(), -std::numeric_limits<float>::infinity()})
    EXPECT_EQ(scaling->setContentScaleFactor(bad), sb::kResultFalse) << bad;
  EXPECT_EQ(SizeOf(view), (Rect{0, 0, 550, 363}));
  // Outside 1..4: limited to it.
  EXPECT_EQ(scaling->setContentScaleFactor(100.0f), sb::kResultTrue);
  EXPECT_EQ(SizeOf(view), (Rect{0, 0, 2200, 1452}));
  EXPECT_EQ(scaling->setContentScaleFactor(0.5f), sb::kResultTrue);
  EXPECT_EQ(SizeOf(view), (Rect{0, 0, 550, 363}));
  EXPECT_EQ(scaling->setContentScaleFactor(1.5f), sb::kResultTrue);
  EXPECT_EQ(SizeOf(view), (Rect{0, 0, 825, 545}));
  EXPECT_TRUE(frame.asked.empty()) << "a view not attached asks its frame for nothing";
  // The plug-in's own resize asks for its size at the scale.
  plug->ResizeEditor(600, 400);
  ASSERT_EQ(frame.asked.size(), 1u);
  EXPECT_EQ(frame.asked[0], (Rect{0, 0, 900, 600}));

  // After all that, the editor draws at the last good factor and answers a
  // click where the window shows the control.
  auto* g = dynamic_cast<HeadlessGraphics*>(plug->EditorGraphics());
  ASSERT_NE(g, nullptr);
  g->CreateEditorWindow(nullptr);
  g->Tick();
  EXPECT_EQ(g->Screen()->Width(), 825);
  EXPECT_EQ(g->Screen()->Height(), 545);
  const double beats = plug->Param(4)->Value();
  g->LeftDown(g->ToDevice(274), g->ToDevice(114));
  g->ButtonUp(g->ToDevice(274), g->ToDevice(114));
  EXPECT_NE(plug->Param(4)->Value(), beats) << "the Beats switch took the click";
  g->DestroyEditorWindow();

  // A second view's factor waits while the first one shows the editor.
  sb::IPlugView* second = plug->createView("editor");
  ASSERT_NE(second, nullptr);
  view->attached(reinterpret_cast<void*>(1), "no window system");  // attached, without a window
  sb::IPlugViewContentScaleSupport* secondScaling = nullptr;
  ASSERT_EQ(second->queryInterface(sb::IPlugViewContentScaleSupport::iid, reinterpret_cast<void**>(&secondScaling)),
            sb::kResultOk);
  EXPECT_EQ(secondScaling->setContentScaleFactor(3.0f), sb::kResultTrue);
  EXPECT_EQ(SizeOf(view), (Rect{0, 0, 825, 545}));
  view->removed();
  secondScaling->release();
  EXPECT_EQ(second->release(), 0u);

  view->setFrame(nullptr);
  scaling->release();
  EXPECT_EQ(view->release(), 0u);
  plug->release();
}

}  // namespace
}  // namespace test
}  // namespace selvarin
