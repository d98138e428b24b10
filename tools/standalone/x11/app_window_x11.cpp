// The application's window on X11 (xcb): a top-level window that the window
// manager may not resize, child windows as panes, WM_DELETE_WINDOW for the
// close button, a passive grab of Space on the top-level window (so the key
// reaches the application whichever pane has the keyboard focus), and the
// poll loop that also runs the editor view's and the panes' handlers.
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "graphics/x11/x11_graphics.h"
#include "tools/standalone/app_window.h"
#include "tools/standalone/display_scale.h"
#include "tools/standalone/posix/poll_loop.h"

namespace selvarin {

namespace {

constexpr uint32_t kBackground = 0x171b21;  // the strip's dark grey
constexpr uint32_t kSpaceKeysym = 0x20;

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* r =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
  const xcb_atom_t atom = r ? r->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
  std::free(r);
  return atom;
}

void SetText(xcb_connection_t* c, xcb_window_t w, xcb_atom_t property, xcb_atom_t type, const std::string& text) {
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, property, type, 8, static_cast<uint32_t>(text.size()), text.data());
}

xcb_window_t WindowOf(void* pane) { return static_cast<xcb_window_t>(reinterpret_cast<uintptr_t>(pane)); }

class X11AppWindow : public AppWindow {
 public:
  ~X11AppWindow() override {
    for (Opened& o : opened_) Forget(o);
    opened_.clear();
    if (conn_) xcb_disconnect(conn_);
  }

  bool Open(const std::string& title, int width, int height, AppWindowEvents* events, std::string* error) override {
    events_ = events;
    int screenNumber = 0;
    conn_ = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(conn_)) {
      const char* display = std::getenv("DISPLAY");
      *error = std::string("cannot open the X display") + (display ? std::string(" ") + display : " (DISPLAY unset)");
      return false;
    }
    const xcb_setup_t* setup = xcb_get_setup(conn_);
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(setup);
    for (int i = 0; it.rem && i < screenNumber; ++i) xcb_screen_next(&it);
    if (!it.rem) {
      *error = "the X display has no screen";
      return false;
    }
    screen_ = it.data;
    scale_ = ScaleFromDpi(XftDpi());

    top_ = xcb_generate_id(conn_);
    const uint32_t values[] = {kBackground,
                               XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE};
    xcb_create_window(conn_, XCB_COPY_FROM_PARENT, top_, screen_->root, 0, 0, static_cast<uint16_t>(width),
                      static_cast<uint16_t>(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen_->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    SetText(conn_, top_, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, title);
    SetText(conn_, top_, Atom(conn_, "_NET_WM_NAME"), Atom(conn_, "UTF8_STRING"), title);
    SetText(conn_, top_, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, std::string("selvarin\0Selvarin\0", 18));
    wmProtocols_ = Atom(conn_, "WM_PROTOCOLS");
    wmDelete_ = Atom(conn_, "WM_DELETE_WINDOW");
    xcb_change_property(conn_, XCB_PROP_MODE_REPLACE, top_, wmProtocols_, XCB_ATOM_ATOM, 32, 1, &wmDelete_);
    FixSize(width, height);
    GrabSpace();
    xcb_flush(conn_);

    loop_.AddDescriptor(xcb_get_file_descriptor(conn_), [this] { ProcessEvents(); });
    loop_.AddTimer(100, [this] { events_->OnTick(); });
    loop_.OnQuitSignal([this] { events_->OnCloseRequested(); });
    return true;
  }

  void Show() override {
    xcb_map_window(conn_, top_);
    xcb_flush(conn_);
  }

  void SetClientSize(int width, int height) override {
    FixSize(width, height);
    const uint32_t size[] = {static_cast<uint32_t>(width), static_cast<uint32_t>(height)};
    xcb_configure_window(conn_, top_, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
    xcb_flush(conn_);
  }

  void* AddPane(int x, int y, int width, int height) override {
    const xcb_window_t w = xcb_generate_id(conn_);
    const uint32_t values[] = {kBackground};
    xcb_create_window(conn_, XCB_COPY_FROM_PARENT, w, top_, static_cast<int16_t>(x), static_cast<int16_t>(y),
                      static_cast<uint16_t>(width), static_cast<uint16_t>(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen_->root_visual, XCB_CW_BACK_PIXEL, values);
    xcb_map_window(conn_, w);
    xcb_flush(conn_);
    return reinterpret_cast<void*>(static_cast<uintptr_t>(w));
  }

  void MovePane(void* pane, int x, int y, int width, int height) override {
    const uint32_t geometry[] = {static_cast<uint32_t>(x), static_cast<uint32_t>(y), static_cast<uint32_t>(width),
                                 static_cast<uint32_t>(height)};
    xcb_configure_window(conn_, WindowOf(pane),
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                         geometry);
    xcb_flush(conn_);
  }

  void ShowPane(void* pane, bool show) override {
    if (show)
      xcb_map_window(conn_, WindowOf(pane));
    else
      xcb_unmap_window(conn_, WindowOf(pane));
    xcb_flush(conn_);
  }

  void RemovePane(void* pane) override {
    xcb_destroy_window(conn_, WindowOf(pane));
    xcb_flush(conn_);
  }

  const char* ViewPlatformType() const override { return "X11EmbedWindowID"; }
  Steinberg::FUnknown* ViewRunLoop() override { return &loop_; }

  bool OpenGraphics(IGraphics* g, void* pane) override {
    auto* x = dynamic_cast<X11Graphics*>(g);
    if (!x || !x->CreateEditorWindow(pane)) return false;
    Opened o{x, 0, 0};
    o.fdToken = loop_.AddDescriptor(x->ConnectionFd(), [this, x] {
      x->ProcessEvents();
      // A connection the server closed stays readable for ever.
      if (x->ConnectionBroken()) CloseGraphics(x);
    });
    o.timerToken = loop_.AddTimer(x->TickPeriodMs(), [x] { x->Tick(); });
    opened_.push_back(o);
    return true;
  }

  void CloseGraphics(IGraphics* g) override {
    for (size_t i = 0; i < opened_.size(); ++i) {
      if (opened_[i].g != g) continue;
      Forget(opened_[i]);
      opened_.erase(opened_.begin() + static_cast<long>(i));
      return;
    }
  }

  double DisplayScale() const override { return scale_; }
  void Post(std::function<void()> fn) override { loop_.Post(std::move(fn)); }
  void Run() override { loop_.Run(); }
  void Quit() override { loop_.Quit(); }

 private:
  struct Opened {
    X11Graphics* g;
    int fdToken;
    int timerToken;
  };

  void Forget(Opened& o) {
    loop_.Remove(o.fdToken);
    loop_.Remove(o.timerToken);
    o.g->DestroyEditorWindow();
  }

  // The window manager keeps the window at the editor's size.
  void FixSize(int width, int height) {
    uint32_t hints[18] = {};
    hints[0] = 16 | 32;  // PMinSize | PMaxSize
    hints[5] = hints[7] = static_cast<uint32_t>(width);
    hints[6] = hints[8] = static_cast<uint32_t>(height);
    xcb_change_property(conn_, XCB_PROP_MODE_REPLACE, top_, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32, 18,
                        hints);
  }

  void GrabSpace() {
    const xcb_setup_t* setup = xcb_get_setup(conn_);
    const uint8_t lo = setup->min_keycode, hi = setup->max_keycode;
    xcb_get_keyboard_mapping_reply_t* map = xcb_get_keyboard_mapping_reply(
        conn_, xcb_get_keyboard_mapping(conn_, lo, static_cast<uint8_t>(hi - lo + 1)), nullptr);
    if (!map) return;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
    const int per = map->keysyms_per_keycode;
    for (int code = lo; code <= hi && spaceCode_ == 0; ++code)
      for (int k = 0; k < per; ++k)
        if (syms[(code - lo) * per + k] == kSpaceKeysym) spaceCode_ = static_cast<xcb_keycode_t>(code);
    std::free(map);
    if (spaceCode_ != 0)
      xcb_grab_key(conn_, 1, top_, XCB_MOD_MASK_ANY, spaceCode_, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
  }

  // Xft.dpi from the resource database on the root window; 0 when unset.
  double XftDpi() {
    xcb_get_property_reply_t* r = xcb_get_property_reply(
        conn_, xcb_get_property(conn_, 0, screen_->root, XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 0, 1 << 16),
        nullptr);
    double dpi = 0.0;
    if (r) {
      const char* data = static_cast<const char*>(xcb_get_property_value(r));
      dpi = XftDpiOfResources(std::string(data, static_cast<size_t>(xcb_get_property_value_length(r))));
      std::free(r);
    }
    return dpi;
  }

  void ProcessEvents() {
    while (xcb_generic_event_t* ev = xcb_poll_for_event(conn_)) {
      Handle(ev);
      std::free(ev);
    }
    if (xcb_connection_has_error(conn_)) {
      // The X server went away: nothing can be shown any more.
      events_->OnCloseRequested();
      loop_.Quit();
    }
  }

  void Handle(const xcb_generic_event_t* ev) {
    switch (ev->response_type & 0x7f) {
      case XCB_CLIENT_MESSAGE: {
        const auto* m = reinterpret_cast<const xcb_client_message_event_t*>(ev);
        if (m->type == wmProtocols_ && m->format == 32 && m->data.data32[0] == wmDelete_) events_->OnCloseRequested();
        break;
      }
      // A window manager unmaps a window it minimises.
      case XCB_UNMAP_NOTIFY:
        if (reinterpret_cast<const xcb_unmap_notify_event_t*>(ev)->window == top_) events_->OnShown(false);
        break;
      case XCB_MAP_NOTIFY:
        if (reinterpret_cast<const xcb_map_notify_event_t*>(ev)->window == top_) events_->OnShown(true);
        break;
      case XCB_KEY_PRESS: {
        const auto* k = reinterpret_cast<const xcb_key_press_event_t*>(ev);
        // A held key repeats as release and press at the same instant.
        const bool repeat = releaseSeen_ && k->time == lastRelease_;
        if (k->detail == spaceCode_ && !repeat) events_->OnPlayKey();
        break;
      }
      case XCB_KEY_RELEASE: {
        const auto* k = reinterpret_cast<const xcb_key_release_event_t*>(ev);
        releaseSeen_ = k->detail == spaceCode_;
        lastRelease_ = k->time;
        break;
      }
      default:
        break;
    }
  }

  xcb_connection_t* conn_ = nullptr;
  const xcb_screen_t* screen_ = nullptr;
  xcb_window_t top_ = 0;
  xcb_atom_t wmProtocols_ = XCB_ATOM_NONE;
  xcb_atom_t wmDelete_ = XCB_ATOM_NONE;
  xcb_keycode_t spaceCode_ = 0;
  bool releaseSeen_ = false;
  xcb_timestamp_t lastRelease_ = 0;
  AppWindowEvents* events_ = nullptr;
  double scale_ = 1.0;
  PollLoop loop_;
  std::vector<Opened> opened_;
};

}  // namespace

std::unique_ptr<AppWindow> AppWindow::Create() { return std::make_unique<X11AppWindow>(); }

}  // namespace selvarin
