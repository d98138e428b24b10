// The editor view as a host sees it: created by name, the platform type it
// takes, its size, and its hold on the plug-in. (Attaching it to a real
// window is the Windows host test's part.)
#include <gtest/gtest.h>

#include "pluginterfaces/gui/iplugview.h"
#include "tests/vst3/plugin_fixture.h"

namespace selvarin {
namespace test {
namespace {

namespace sb = Steinberg;
namespace sv = Steinberg::Vst;

using ViewTest = PluginTest;

TEST_F(ViewTest, OnlyTheNameEditorCreatesAViewOfTheEditorsSize) {
  EXPECT_EQ(plugin.controller->createView(nullptr), nullptr);
  EXPECT_EQ(plugin.controller->createView("Editor"), nullptr);
  EXPECT_EQ(plugin.controller->createView("editor "), nullptr);
  sb::IPlugView* view = plugin.controller->createView("editor");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->isPlatformTypeSupported(sb::kPlatformTypeHWND), sb::kResultTrue);
  EXPECT_EQ(view->isPlatformTypeSupported("HWND "), sb::kResultFalse);
  EXPECT_EQ(view->isPlatformTypeSupported(sb::kPlatformTypeX11EmbedWindowID), sb::kResultFalse);
  sb::ViewRect r;
  ASSERT_EQ(view->getSize(&r), sb::kResultOk);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 550);
  EXPECT_EQ(r.bottom, 363);
  EXPECT_EQ(view->getSize(nullptr), sb::kResultFalse);
  EXPECT_EQ(view->onSize(nullptr), sb::kResultOk);
  EXPECT_EQ(view->canResize(), sb::kResultFalse);
  EXPECT_EQ(view->onWheel(1.0f), sb::kResultFalse);
  void* asked = nullptr;
  ASSERT_EQ(view->queryInterface(sb::IPlugView::iid, &asked), sb::kResultOk);
  EXPECT_EQ(asked, view);
  static_cast<sb::IPlugView*>(asked)->release();
  EXPECT_EQ(view->release(), 0u);
}

TEST_F(ViewTest, TheViewKeepsThePlugInAliveAndOutlivesTerminate) {
  sb::IPlugView* view = plugin.controller->createView("editor");
  ASSERT_NE(view, nullptr);
  // The plug-in is held by the host's reference and the view's.
  plugin.component->addRef();
  const sb::uint32 withView = plugin.component->release();
  view->release();
  plugin.component->addRef();
  EXPECT_EQ(plugin.component->release(), withView - 1);

  // A view released after terminate still lets go of the plug-in.
  view = plugin.controller->createView("editor");
  ASSERT_NE(view, nullptr);
  plugin.Destroy();  // terminate and the host's release: the view still holds it
  EXPECT_EQ(view->release(), 0u);
}

}  // namespace
}  // namespace test
}  // namespace selvarin
