// The editor view as any host sees it before a window is involved: the one
// view name, the size, the parent types, and the reference the view keeps
// on the plug-in, also after the plug-in was terminated. (Attaching it to a
// real window is the part of the Windows and X11 host tests.)
#include <string>

#include "plugin_fixture.h"
#include "pluginterfaces/gui/iplugview.h"

namespace selvarin {
namespace test {
namespace {

namespace sb = Steinberg;

// A host frame that offers no run loop.
class PlainFrame : public sb::IPlugFrame {
 public:
  sb::tresult PLUGIN_API resizeView(sb::IPlugView*, sb::ViewRect*) override { return sb::kResultFalse; }
  sb::tresult PLUGIN_API queryInterface(const sb::TUID iid, void** obj) override {
    if (sb::FUnknownPrivate::iidEqual(iid, sb::IPlugFrame::iid) ||
        sb::FUnknownPrivate::iidEqual(iid, sb::FUnknown::iid)) {
      *obj = this;
      return sb::kResultOk;
    }
    *obj = nullptr;
    return sb::kNoInterface;
  }
  sb::uint32 PLUGIN_API addRef() override { return 1; }
  sb::uint32 PLUGIN_API release() override { return 1; }
};

class ViewTest : public PluginTest {
 protected:
  sb::uint32 PluginRefs() {
    const sb::uint32 refs = plugin.component->addRef() - 1;
    plugin.component->release();
    return refs;
  }
};

TEST_F(ViewTest, EditorViewSizeTypesAndLifetime) {
  EXPECT_EQ(plugin.controller->createView(nullptr), nullptr);
  EXPECT_EQ(plugin.controller->createView("EDITOR"), nullptr);
  EXPECT_EQ(plugin.controller->createView("Editor"), nullptr);
  EXPECT_EQ(plugin.controller->createView("editor "), nullptr);

  const sb::uint32 refsBefore = PluginRefs();
  sb::IPlugView* view = plugin.controller->createView("editor");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(PluginRefs(), refsBefore + 1) << "the view holds the plug-in";

  sb::ViewRect r;
  ASSERT_EQ(view->getSize(&r), sb::kResultOk);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 550);
  EXPECT_EQ(r.bottom, 363);
  EXPECT_EQ(view->getSize(nullptr), sb::kResultFalse);

  // Exactly the one parent type of this system ("HWND" on Windows,
  // "X11EmbedWindowID" on X11, none headless), compared whole.
  const std::string parentType = SELVARIN_VIEW_PARENT_TYPE;
  for (const char* type : {sb::kPlatformTypeX11EmbedWindowID, sb::kPlatformTypeHWND, "X11EmbedWindowI", "HWNDX",
                           "HWND ", sb::kPlatformTypeNSView})
    EXPECT_EQ(view->isPlatformTypeSupported(type), parentType == type ? sb::kResultTrue : sb::kResultFalse) << type;
  EXPECT_EQ(view->isPlatformTypeSupported(nullptr), sb::kResultFalse);
  EXPECT_EQ(view->canResize(), sb::kResultFalse);
  EXPECT_EQ(view->checkSizeConstraint(&r), sb::kResultFalse);

  // Without the host's run loop (no frame, or a frame without one) nothing
  // could ever paint on X11: no window opens.
  PlainFrame frame;
  if (parentType == sb::kPlatformTypeX11EmbedWindowID) {
    EXPECT_EQ(view->attached(reinterpret_cast<void*>(0x1234), sb::kPlatformTypeX11EmbedWindowID), sb::kResultFalse);
    EXPECT_EQ(view->setFrame(&frame), sb::kResultOk);
    EXPECT_EQ(view->attached(reinterpret_cast<void*>(0x1234), sb::kPlatformTypeX11EmbedWindowID),
              sb::kResultFalse);
  }

  EXPECT_EQ(view->onSize(nullptr), sb::kResultOk);
  sb::ViewRect bigger(0, 0, 600, 400);
  EXPECT_EQ(view->onSize(&bigger), sb::kResultOk);
  EXPECT_EQ(view->onWheel(1.0f), sb::kResultFalse);
  view->setFrame(nullptr);

  void* asked = nullptr;
  ASSERT_EQ(view->queryInterface(sb::IPlugView::iid, &asked), sb::kResultOk);
  EXPECT_EQ(asked, view);
  static_cast<sb::IPlugView*>(asked)->release();

  // Released before terminate: the plug-in is let go.
  EXPECT_EQ(view->release(), 0u);
  EXPECT_EQ(PluginRefs(), refsBefore);

  // Terminated first, released last: the view still lets go of the plug-in.
  view = plugin.controller->createView("editor");
  ASSERT_NE(view, nullptr);
  plugin.component->setActive(false);
  plugin.component->terminate();
  EXPECT_EQ(view->release(), 0u);
  EXPECT_EQ(PluginRefs(), refsBefore);

  // And after the host's own release the view alone keeps it alive.
  view = plugin.controller->createView("editor");
  ASSERT_NE(view, nullptr);
  plugin.Destroy();
  EXPECT_EQ(view->release(), 0u);
}

}  // namespace
}  // namespace test
}  // namespace selvarin
