// The editor view on Linux: the host's X11 window id is the parent, and the
// host's run loop (offered by its frame) drives the editor: a timer handler
// runs the editor's tick, an event handler takes the editor connection's
// events when its descriptor is readable. The plug-in starts no thread.
#include <atomic>
#include <cstring>
#include <functional>

#include "graphics/x11/x11_graphics.h"
#include "graphics/x11/x11_resources.h"
#include "vst3/view_window_host.h"

namespace selvarin {

using namespace Steinberg;

namespace {

constexpr char kX11EmbedWindowId[] = "X11EmbedWindowID";

// A reference-counted handler the run loop may keep; the window host cuts
// it loose before it lets go of it, so a late call does nothing.
template <class Interface>
class RunLoopHandler : public Interface {
 public:
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override {
    if (!obj) return kInvalidArgument;
    if (FUnknownPrivate::iidEqual(iid, FUnknown::iid) || FUnknownPrivate::iidEqual(iid, Interface::iid)) {
      addRef();
      *obj = static_cast<Interface*>(this);
      return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
  }
  uint32 PLUGIN_API addRef() override { return ++refs_; }
  uint32 PLUGIN_API release() override {
    const uint32 left = --refs_;
    if (left == 0) delete this;
    return left;
  }
  void Detach() { target_ = nullptr; }

 protected:
  explicit RunLoopHandler(std::function<void()> target) : target_(std::move(target)) {}
  virtual ~RunLoopHandler() = default;
  void Call() {
    if (target_) target_();
  }

 private:
  std::atomic<uint32> refs_{1};
  std::function<void()> target_;
};

class TickHandler : public RunLoopHandler<Linux::ITimerHandler> {
 public:
  explicit TickHandler(std::function<void()> target) : RunLoopHandler(std::move(target)) {}
  void PLUGIN_API onTimer() override { Call(); }
};

class EventsHandler : public RunLoopHandler<Linux::IEventHandler> {
 public:
  explicit EventsHandler(std::function<void()> target) : RunLoopHandler(std::move(target)) {}
  void PLUGIN_API onFDIsSet(Linux::FileDescriptor) override { Call(); }
};

class X11ViewWindowHost : public ViewWindowHost {
 public:
  ~X11ViewWindowHost() override { Close(); }

  bool IsPlatformTypeSupported(FIDString type) const override {
    return type && std::strcmp(type, kX11EmbedWindowId) == 0;
  }

  // Desktops state their scale as the Xft.dpi resource.
  double SystemScale(void*) const override { return XDisplayScale(); }

  bool Open(IGraphics& graphics, void* parent, FIDString, IPlugFrame* frame) override {
    Close();
    auto* editor = dynamic_cast<X11Graphics*>(&graphics);
    if (!editor || !frame || !parent) return false;
    Linux::IRunLoop* loop = nullptr;
    // Without the host's run loop nothing would ever paint: refuse.
    if (frame->queryInterface(Linux::IRunLoop::iid, reinterpret_cast<void**>(&loop)) != kResultOk || !loop)
      return false;
    if (!editor->CreateEditorWindow(parent)) {
      loop->release();
      return false;
    }
    loop_ = loop;
    editor_ = editor;
    timer_ = new TickHandler([editor] { editor->Tick(); });
    events_ = new EventsHandler([this] { OnEvents(); });
    watching_ = true;
    const bool ok = loop_->registerTimer(timer_, static_cast<Linux::TimerInterval>(editor->TickPeriodMs())) ==
                        kResultOk &&
                    loop_->registerEventHandler(events_, editor->ConnectionFd()) == kResultOk;
    if (!ok) {
      Close();
      return false;
    }
    return true;
  }

  void Close() override {
    if (loop_) {
      loop_->unregisterTimer(timer_);
      if (watching_) loop_->unregisterEventHandler(events_);
    }
    watching_ = false;
    if (timer_) timer_->Detach();
    if (events_) events_->Detach();
    // The handlers stay valid for a run loop that still holds a reference.
    if (timer_) timer_->release();
    if (events_) events_->release();
    timer_ = nullptr;
    events_ = nullptr;
    if (loop_) loop_->release();
    loop_ = nullptr;
    if (editor_) editor_->DestroyEditorWindow();
    editor_ = nullptr;
  }

 private:
  void OnEvents() {
    if (!editor_ || !watching_) return;
    editor_->ProcessEvents();
    // A connection the server closed stays readable for ever: stop watching.
    if (editor_->ConnectionBroken()) {
      watching_ = false;
      loop_->unregisterEventHandler(events_);
    }
  }

  Linux::IRunLoop* loop_ = nullptr;
  X11Graphics* editor_ = nullptr;
  TickHandler* timer_ = nullptr;
  EventsHandler* events_ = nullptr;
  bool watching_ = false;  // the event handler is registered
};

}  // namespace

std::unique_ptr<ViewWindowHost> CreateViewWindowHost() { return std::make_unique<X11ViewWindowHost>(); }

}  // namespace selvarin
