#include "graphics/x11/x11_graphics.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "framework/audio_plugin.h"
#include "graphics/x11/web_launcher.h"
#include "raster/raster_draw.h"
#include "raster/raster_mem_bitmap.h"
#include "raster/raster_png.h"
#include "raster/raster_sys_bitmap.h"

namespace selvarin {

namespace {

// The surface's pixels (bytes B, G, R, A) go to the window unchanged only on
// a true-colour visual with 32 bits per pixel in the client's byte order.
bool VisualTakesSurfacePixels(const xcb_setup_t* setup, const xcb_screen_t* screen) {
  if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) return false;
  bool bpp32 = false;
  for (xcb_format_iterator_t f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
    if (f.data->depth == screen->root_depth) bpp32 = f.data->bits_per_pixel == 32;
  if (!bpp32) return false;
  for (xcb_depth_iterator_t d = xcb_screen_allowed_depths_iterator(screen); d.rem; xcb_depth_next(&d)) {
    for (xcb_visualtype_iterator_t v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v)) {
      if (v.data->visual_id != screen->root_visual) continue;
      return v.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR && v.data->red_mask == 0xff0000 &&
             v.data->green_mask == 0xff00 && v.data->blue_mask == 0xff;
    }
  }
  return false;
}

const xcb_screen_t* ScreenOf(const xcb_setup_t* setup, int number) {
  xcb_screen_iterator_t it = xcb_setup_roots_iterator(setup);
  for (int i = 0; it.rem && i < number; ++i) xcb_screen_next(&it);
  return it.rem ? it.data : nullptr;
}

IPointerState ModifiersOf(uint16_t state) {
  IPointerState mod;
  mod.L = (state & XCB_BUTTON_MASK_1) != 0;
  mod.R = (state & XCB_BUTTON_MASK_3) != 0;
  mod.S = (state & XCB_MOD_MASK_SHIFT) != 0;
  mod.C = (state & XCB_MOD_MASK_CONTROL) != 0;
  mod.A = (state & XCB_MOD_MASK_1) != 0;  // Alt on every usual keyboard map
  return mod;
}

constexpr uint16_t kButtonsHeld = XCB_BUTTON_MASK_1 | XCB_BUTTON_MASK_3;

// Copies the folder of a path (with its trailing '/') into out; empty when
// the path has no folder.
void FolderOf(const char* path, char* out, int capacity) {
  if (!out || capacity <= 0) return;
  out[0] = '\0';
  if (!path) return;
  const char* slash = std::strrchr(path, '/');
  if (!slash) return;
  const size_t n = static_cast<size_t>(slash - path) + 1;
  if (n >= static_cast<size_t>(capacity)) return;
  std::memcpy(out, path, n);
  out[n] = '\0';
}

}  // namespace

X11Graphics::X11Graphics(IAudioPlugin* plug, int width, int height, int frameRate)
    : IGraphics(plug, width, height, frameRate) {}

X11Graphics::~X11Graphics() { DestroyEditorWindow(); }

void* X11Graphics::CreateEditorWindow(void* parent) {
  if (conn_) DestroyEditorWindow();
  const auto parentId = static_cast<xcb_window_t>(reinterpret_cast<uintptr_t>(parent));
  if (parentId == 0) return nullptr;

  // A connection of the editor's own: its errors and events never mix with
  // the host's, and no process-wide error handler is touched.
  int screenNumber = 0;
  conn_ = xcb_connect(nullptr, &screenNumber);
  if (xcb_connection_has_error(conn_)) {
    CloseConnection();
    return nullptr;
  }
  const xcb_setup_t* setup = xcb_get_setup(conn_);
  const xcb_screen_t* screen = ScreenOf(setup, screenNumber);
  if (!screen || !VisualTakesSurfacePixels(setup, screen)) {
    CloseConnection();
    return nullptr;
  }

  window_ = xcb_generate_id(conn_);
  const uint32_t mask = XCB_CW_BACK_PIXEL | XCB_CW_BORDER_PIXEL | XCB_CW_EVENT_MASK | XCB_CW_COLORMAP;
  const uint32_t values[] = {
      screen->black_pixel, 0,
      XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
          XCB_EVENT_MASK_POINTER_MOTION | XCB_EVENT_MASK_ENTER_WINDOW | XCB_EVENT_MASK_LEAVE_WINDOW |
          XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_FOCUS_CHANGE,
      screen->default_colormap};
  // The screen's own visual and colour map, whatever the host's window uses.
  xcb_generic_error_t* err = xcb_request_check(
      conn_, xcb_create_window_checked(conn_, screen->root_depth, window_, parentId, 0, 0,
                                       static_cast<uint16_t>(ScaledWidth()), static_cast<uint16_t>(ScaledHeight()), 0,
                                       XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, mask, values));
  if (err) {  // for example a parent id that names no window
    std::free(err);
    window_ = 0;
    CloseConnection();
    return nullptr;
  }
  // An embedding host looks for the XEmbed information as soon as it has the
  // window: it is there before the window is mapped or handed over.
  xembed_.Announce(conn_, window_, parentId);
  keys_.Load(conn_);
  presenter_.Init(conn_, window_, screen->root_depth, ScaledWidth(), ScaledHeight());
  if (!screen_) screen_.reset(new RasterMemBitmap(ScaledWidth(), ScaledHeight()));
  else screen_->Resize(ScaledWidth(), ScaledHeight());
  entry_.Forget();
  clicks_.Reset();
  exposed_ = IArea{};
  for (bool& b : pressReachedCore_) b = false;
  xcb_map_window(conn_, window_);
  xcb_flush(conn_);
  MarkBackgroundDirty();  // the first tick paints everything
  return reinterpret_cast<void*>(static_cast<uintptr_t>(window_));
}

void X11Graphics::DestroyEditorWindow() {
  if (!conn_) return;
  if (countdown_ > 0 && Plugin()) Plugin()->FlushDeferredEndEdit();
  countdown_ = 0;
  entry_.Forget();  // the entry goes with the window
  CloseConnection();
  ReapWebLaunchers();
}

void X11Graphics::CloseConnection() {
  presenter_.Release();
  xembed_.Forget();
  if (window_ && !xcb_connection_has_error(conn_)) {
    xcb_destroy_window(conn_, window_);
    xcb_flush(conn_);
  }
  window_ = 0;
  xcb_disconnect(conn_);
  conn_ = nullptr;
}

void* X11Graphics::EditorWindowHandle() {
  return window_ ? reinterpret_cast<void*>(static_cast<uintptr_t>(window_)) : nullptr;
}

int X11Graphics::ConnectionFd() const { return conn_ ? xcb_get_file_descriptor(conn_) : -1; }

bool X11Graphics::ConnectionBroken() const { return conn_ && xcb_connection_has_error(conn_) != 0; }

// ---- drawing to the window ----

bool X11Graphics::PresentSurface(const IArea& rect) {
  ShowOnWindow(rect);
  return true;
}

void X11Graphics::ShowOnWindow(const IArea& rect) {
  if (!conn_ || !screen_ || !Surface()) return;
  IArea r = rect.Intersect(IArea{0, 0, Width(), Height()});
  if (r.Empty()) return;
  IArea d = ToDevice(r);
  RasterBlit(screen_.get(), Surface(), d.L, d.T, d.L, d.T, d.W(), d.H(), 1.0f, kRasterCopy);
  // The entry lies above the panel, as a child window would.
  if (entry_.IsOpen() && entry_.Rect().Overlaps(r)) {
    entry_.Draw(*this, screen_.get());
    d = ToDevice(r.Union(entry_.Rect()).Intersect(IArea{0, 0, Width(), Height()}));
  }
  presenter_.Put(reinterpret_cast<const uint32_t*>(screen_->Bits()), screen_->RowSpan(), d.L, d.T, d.W(), d.H());
}

void X11Graphics::Resize(int width, int height) {
  entry_.Forget();  // its control goes with the others
  IGraphics::Resize(width, height);
  if (Surface()) Surface()->Resize(ScaledWidth(), ScaledHeight());
  FitWindowToScaledSize();
}

void X11Graphics::OnScaleChanged() { FitWindowToScaledSize(); }

void X11Graphics::FitWindowToScaledSize() {
  if (!conn_) return;
  const int width = ScaledWidth(), height = ScaledHeight();
  if (screen_) screen_->Resize(width, height);
  const uint32_t size[] = {static_cast<uint32_t>(width), static_cast<uint32_t>(height)};
  xcb_configure_window(conn_, window_, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
  presenter_.Init(conn_, window_, presenter_.Depth(), width, height);
  MarkBackgroundDirty();
  xcb_flush(conn_);
}

// ---- the entry ----

void X11Graphics::BeginValueEntry(IControl* control, IParamEntry* param, bool centred) {
  if (!entry_.Open(control, param, centred, Width(), Height())) return;
  if (conn_ && screen_) {
    const IArea r = ToDevice(entry_.Rect());
    entry_.Draw(*this, screen_.get());
    presenter_.Put(reinterpret_cast<const uint32_t*>(screen_->Bits()), screen_->RowSpan(), r.L, r.T, r.W(), r.H());
  }
}

// ---- the tick ----

void X11Graphics::Tick() {
  if (!conn_) return;
  ReapWebLaunchers();
  TickEntryAndRepaint(*this, entry_);  // each group is copied to the window on its own
  if (countdown_ > 0 && --countdown_ == 0 && Plugin()) Plugin()->FlushDeferredEndEdit();
  // Replies read while painting may have brought events along.
  ProcessEvents();
}

// ---- services ----

void X11Graphics::HostExecutablePath(char* out, int capacity) {
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) {
    FolderOf(nullptr, out, capacity);
    return;
  }
  path[n] = '\0';
  FolderOf(path, out, capacity);
}

void X11Graphics::ModuleFolderPath(char* out, int capacity) {
  Dl_info info{};
  const bool found = dladdr(reinterpret_cast<void*>(&ModifiersOf), &info) != 0;
  FolderOf(found ? info.dli_fname : nullptr, out, capacity);
}

void X11Graphics::AskForFile(char* inOut, int capacity, int, const char*, const char*) {
  if (inOut && capacity > 0) inOut[0] = '\0';  // no file dialog here: nothing chosen
}

bool X11Graphics::AskForColor(IRgba*, const char*) { return false; }

bool X11Graphics::OpenWebAddress(const char* url, const char*, const char* confirmText, const char*) {
  // Without a dialog to ask in, an address that needs a yes is not opened.
  if (confirmText) return false;
  return LaunchWebAddress(url);
}

RasterBitmap* X11Graphics::LoadPlatformImage(int resourceId, const char*) {
  return RasterLoadPngFromResource(nullptr, resourceId);
}

// ---- events ----

void X11Graphics::ProcessEvents() {
  while (conn_) {
    xcb_generic_event_t* ev = xcb_poll_for_event(conn_);
    if (!ev) break;
    HandleEvent(ev);
    std::free(ev);
  }
  if (conn_) xcb_flush(conn_);
}

void X11Graphics::HandleEvent(const xcb_generic_event_t* ev) {
  switch (ev->response_type & 0x7f) {
    case XCB_BUTTON_PRESS:
      OnButtonPress(reinterpret_cast<const xcb_button_press_event_t*>(ev));
      break;
    case XCB_BUTTON_RELEASE:
      OnButtonRelease(reinterpret_cast<const xcb_button_release_event_t*>(ev));
      break;
    case XCB_MOTION_NOTIFY:
      OnMotion(reinterpret_cast<const xcb_motion_notify_event_t*>(ev));
      break;
    case XCB_ENTER_NOTIFY: {
      const auto* e = reinterpret_cast<const xcb_enter_notify_event_t*>(ev);
      pointerX_ = ToLayout(e->event_x);
      pointerY_ = ToLayout(e->event_y);
      if (!(e->state & kButtonsHeld)) OnMouseOver(pointerX_, pointerY_, ModifiersOf(e->state));
      break;
    }
    case XCB_LEAVE_NOTIFY: {
      const auto* e = reinterpret_cast<const xcb_leave_notify_event_t*>(ev);
      // A drag keeps its control until the release, wherever the pointer goes.
      if (!(e->state & kButtonsHeld) && e->mode != XCB_NOTIFY_MODE_GRAB) OnMouseOut();
      break;
    }
    case XCB_KEY_PRESS:
      OnKeyPress(reinterpret_cast<const xcb_key_press_event_t*>(ev));
      break;
    case XCB_FOCUS_IN:
    case XCB_FOCUS_OUT: {
      const auto* e = reinterpret_cast<const xcb_focus_in_event_t*>(ev);
      if (e->detail == XCB_NOTIFY_DETAIL_POINTER || e->mode == XCB_NOTIFY_MODE_GRAB ||
          e->mode == XCB_NOTIFY_MODE_UNGRAB)
        break;
      OnKeyboardFocus((ev->response_type & 0x7f) == XCB_FOCUS_IN);
      break;
    }
    case XCB_CLIENT_MESSAGE:
      OnClientMessage(reinterpret_cast<const xcb_client_message_event_t*>(ev));
      break;
    case XCB_EXPOSE:
      OnExpose(reinterpret_cast<const xcb_expose_event_t*>(ev));
      break;
    case XCB_MAPPING_NOTIFY:
      keys_.Load(conn_);
      break;
    default:
      break;  // errors of our own requests and other events: nothing to do
  }
}

void X11Graphics::OnButtonPress(const xcb_button_press_event_t* ev) {
  const int x = ToLayout(ev->event_x), y = ToLayout(ev->event_y);
  pointerX_ = x;
  pointerY_ = y;
  IPointerState mod = ModifiersOf(ev->state);
  const int button = ev->detail;
  if (button == 4 || button == 5) {  // one wheel notch each
    OnMouseWheel(x, y, mod, button == 4 ? 1 : -1);
    return;
  }
  if (button != 1 && button != 3) return;
  // A press in the editor gives it the keyboard, as a click on Windows does;
  // an XEmbed embedder is asked too, so that it forwards the keys it gets.
  xcb_set_input_focus(conn_, XCB_INPUT_FOCUS_PARENT, window_, ev->time);
  xembed_.RequestFocus(conn_, ev->time);
  bool& reached = pressReachedCore_[button == 1 ? 0 : 1];
  reached = false;
  if (button == 3) {
    clicks_.Reset();
    mod.R = true;
    if (entry_.IsOpen()) {
      entry_.RequestCancel();
      return;
    }
    reached = true;
    OnMouseDown(x, y, mod);
    return;
  }
  mod.L = true;
  if (entry_.IsOpen()) {
    if (entry_.Rect().Contains(x, y)) {
      entry_.OnClick(x, y);  // the entry takes the press
      clicks_.Reset();
      ShowOnWindow(entry_.Rect());
      return;
    }
    entry_.RequestCommit();
  }
  reached = true;
  // Two presses count as one double-click by where they were on the screen.
  if (clicks_.Press(ev->event_x, ev->event_y, ev->time)) OnMouseDoubleClick(x, y, mod);
  else OnMouseDown(x, y, mod);
}

void X11Graphics::OnButtonRelease(const xcb_button_release_event_t* ev) {
  const int button = ev->detail;
  if (button != 1 && button != 3) return;
  pointerX_ = ToLayout(ev->event_x);
  pointerY_ = ToLayout(ev->event_y);
  // A press the entry took (or that cancelled it) has no release for the panel.
  bool& reached = pressReachedCore_[button == 1 ? 0 : 1];
  if (!reached) return;
  reached = false;
  IPointerState mod = ModifiersOf(ev->state);
  // The state is the one before the release: this button is up now.
  if (button == 1) mod.L = false;
  else mod.R = false;
  OnMouseUp(pointerX_, pointerY_, mod);
}

void X11Graphics::OnMotion(const xcb_motion_notify_event_t* ev) {
  pointerX_ = ToLayout(ev->event_x);
  pointerY_ = ToLayout(ev->event_y);
  const IPointerState mod = ModifiersOf(ev->state);
  if (ev->state & kButtonsHeld) {
    if (CaptureIndex() >= 0) OnMouseDrag(pointerX_, pointerY_, mod);
  } else {
    OnMouseOver(pointerX_, pointerY_, mod);
  }
}

void X11Graphics::OnKeyPress(const xcb_key_press_event_t* ev) {
  const uint32_t sym = keys_.KeysymOf(ev->detail, ev->state);
  if (entry_.IsOpen()) {
    char ch = 0;
    const ValueEntryKey key = EntryKeyOfKeysym(sym, &ch);
    entry_.OnKey(key, ch);
    ShowOnWindow(entry_.Rect());
    return;
  }
  const int key = EditorKeyOfKeysym(sym);
  if (key >= 0) OnKeyDown(ToLayout(ev->event_x), ToLayout(ev->event_y), key);
}

void X11Graphics::OnExpose(const xcb_expose_event_t* ev) {
  exposed_ = exposed_.Union(IArea{ev->x, ev->y, ev->x + ev->width, ev->y + ev->height});
  if (ev->count > 0) return;  // more of the same exposure follows
  const IArea r = LayoutCovering(exposed_).Intersect(IArea{0, 0, Width(), Height()});
  exposed_ = IArea{};
  if (!r.Empty()) Draw(r);
}

void X11Graphics::OnClientMessage(const xcb_client_message_event_t* ev) {
  switch (xembed_.Read(*ev)) {
    case XEmbedNews::kFocusIn:
      OnKeyboardFocus(true);
      break;
    case XEmbedNews::kFocusOut:
      OnKeyboardFocus(false);
      break;
    default:
      break;
  }
}

void X11Graphics::OnKeyboardFocus(bool gained) {
  // A commit or cancel asked for by a click stays asked for: on Windows the
  // focus moves before the click arrives, here it moves after.
  if (entry_.IsOpen() && entry_.State() != kEntryCommit && entry_.State() != kEntryCancel) entry_.OnFocus(gained);
}

}  // namespace selvarin
