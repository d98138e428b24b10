// The editor view as any host sees it before a window is involved: the one
// view name, the size, the parent types, and the reference the view keeps
// on the plug-in after the plug-in was terminated.
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

class ViewTest : public PluginTest {};

TEST_F(ViewTest, EditorViewSizeTypesAndLifetime) {
  EXPECT_EQ(plugin.controller->createView(nullptr), nullptr);
  EXPECT_EQ(plugin.controller->createView("EDITOR"), nullptr);
  EXPECT_EQ(plugin.controller->createView("editor "), nullptr);

  const sb::uint32 refsBefore = plugin.component->addRef() - 1;
  plugin.component->release();
  sb::IPlugView* view = plugin.controller->createView("editor");
  ASSERT_NE(view, nullptr);
  const sb::uint32 refsWithView = plugin.component->addRef() - 1;
  plugin.component->release();
  EXPECT_EQ(refsWithView, refsBefore + 1) << "the view holds the plug-in";

  sb::ViewRect r;
  ASSERT_EQ(view->getSize(&r), sb::kResultOk);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 550);
  EXPECT_EQ(r.bottom, 363);
  EXPECT_EQ(view->getSize(nullptr), sb::kResultFalse);

  // Exactly the one parent type of this system, compared whole.
  const std::string parentType = SELVARIN_VIEW_PARENT_TYPE;
  for (const char* type : {sb::kPlatformTypeX11EmbedWindowID, sb::kPlatformTypeHWND, "X11EmbedWindowI", "HWNDX"})
    EXPECT_EQ(view->isPlatformTypeSupported(type), parentType == type ? sb::kResultTrue : sb::kResultFalse) << type;
  EXPECT_EQ(view->isPlatformTypeSupported(nullptr), sb::kResultFalse);
  EXPECT_EQ(view->canResize(), sb::kResultFalse);

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

  // Terminated first, released last: the view still lets go of the plug-in.
  plugin.component->setActive(false);
  plugin.component->terminate();
  view->release();
  const sb::uint32 refsAfter = plugin.component->addRef() - 1;
  plugin.component->release();
  EXPECT_EQ(refsAfter, refsBefore);
}

}  // namespace
}  // namespace test
}  // namespace selvarin
