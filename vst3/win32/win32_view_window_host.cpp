// The editor view on Windows: the host's HWND is the parent. The editor's
// child window runs itself (its own timer and window procedure), so the
// host's frame is not needed to open it.
#include <cstring>

#include "graphics/win32/igraphics_win.h"
#include "graphics/win32/win32_dpi.h"
#include "vst3/view_window_host.h"

namespace selvarin {

using namespace Steinberg;

namespace {

class Win32ViewWindowHost : public ViewWindowHost {
 public:
  ~Win32ViewWindowHost() override { Close(); }

  bool IsPlatformTypeSupported(FIDString type) const override {
    return type && std::strcmp(type, kPlatformTypeHWND) == 0;
  }

  bool Open(IGraphics& graphics, void* parent, FIDString, IPlugFrame*) override {
    Close();
    auto* editor = dynamic_cast<IGraphicsWin*>(&graphics);
    if (!editor || !parent) return false;
    // A parent that is no window gets no child: nothing is open then.
    if (!editor->CreateEditorWindow(parent)) return false;
    editor_ = editor;
    return true;
  }

  // The parent's DPI, and its changes while open.
  double SystemScale(void* parent) const override { return Win32WindowScale(static_cast<HWND>(parent)); }
  void FollowSystemScale(std::function<void(double)> onChange) override {
    if (editor_) editor_->FollowParentScale(std::move(onChange));
  }

  // Also safe after the host destroyed its window (and the editor's with
  // it): the editor has already forgotten that window.
  void Close() override {
    if (editor_) editor_->DestroyEditorWindow();
    editor_ = nullptr;
  }

 private:
  IGraphicsWin* editor_ = nullptr;
};

}  // namespace

std::unique_ptr<ViewWindowHost> CreateViewWindowHost() { return std::make_unique<Win32ViewWindowHost>(); }

}  // namespace selvarin
