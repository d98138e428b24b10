#include "graphics/x11/xembed_client.h"

#include <cstdlib>
#include <cstring>

namespace selvarin {

namespace {

// The protocol's numbers (freedesktop XEmbed 0.5).
constexpr uint32_t kProtocolVersion = 0;
constexpr uint32_t kFlagMapped = 1u << 0;
enum Message : uint32_t {
  kEmbeddedNotify = 0,
  kRequestFocus = 3,
  kFocusIn = 4,
  kFocusOut = 5,
};

xcb_atom_t AtomOf(xcb_connection_t* conn, xcb_intern_atom_cookie_t cookie) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(conn, cookie, nullptr);
  if (!reply) return XCB_ATOM_NONE;
  const xcb_atom_t atom = reply->atom;
  std::free(reply);
  return atom;
}

}  // namespace

bool XEmbedClient::Announce(xcb_connection_t* conn, xcb_window_t window, xcb_window_t parent) {
  Forget();
  static const char kXEmbed[] = "_XEMBED", kInfo[] = "_XEMBED_INFO";
  // Both names in one round trip.
  const xcb_intern_atom_cookie_t xembedCookie = xcb_intern_atom(conn, 0, sizeof kXEmbed - 1, kXEmbed);
  const xcb_intern_atom_cookie_t infoCookie = xcb_intern_atom(conn, 0, sizeof kInfo - 1, kInfo);
  xembed_ = AtomOf(conn, xembedCookie);
  const xcb_atom_t info = AtomOf(conn, infoCookie);
  if (xembed_ == XCB_ATOM_NONE || info == XCB_ATOM_NONE) {
    Forget();
    return false;
  }
  const uint32_t value[2] = {kProtocolVersion, kFlagMapped};
  xcb_generic_error_t* err = xcb_request_check(
      conn, xcb_change_property_checked(conn, XCB_PROP_MODE_REPLACE, window, info, info, 32, 2, value));
  if (err) {
    std::free(err);
    Forget();
    return false;
  }
  parent_ = parent;
  return true;
}

void XEmbedClient::Forget() {
  xembed_ = XCB_ATOM_NONE;
  parent_ = embedder_ = 0;
}

XEmbedNews XEmbedClient::Read(const xcb_client_message_event_t& ev) {
  if (xembed_ == XCB_ATOM_NONE || ev.type != xembed_ || ev.format != 32) return XEmbedNews::kNothing;
  switch (ev.data.data32[1]) {
    case kEmbeddedNotify:
      // The embedder names its window; an embedder that does not is the
      // window the editor was made in.
      embedder_ = ev.data.data32[3] != 0 ? ev.data.data32[3] : parent_;
      return XEmbedNews::kEmbedded;
    case kFocusIn:
      return XEmbedNews::kFocusIn;
    case kFocusOut:
      return XEmbedNews::kFocusOut;
    default:  // activation shows nothing in this editor; the rest is not for it
      return XEmbedNews::kNothing;
  }
}

void XEmbedClient::RequestFocus(xcb_connection_t* conn, xcb_timestamp_t time) const {
  if (!conn || embedder_ == 0) return;
  xcb_client_message_event_t ev;
  std::memset(&ev, 0, sizeof ev);
  ev.response_type = XCB_CLIENT_MESSAGE;
  ev.format = 32;
  ev.window = embedder_;
  ev.type = xembed_;
  ev.data.data32[0] = time;
  ev.data.data32[1] = kRequestFocus;
  // An embedder that went away answers with an error, which the editor's
  // event loop passes over.
  xcb_send_event(conn, 0, embedder_, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&ev));
}

}  // namespace selvarin
