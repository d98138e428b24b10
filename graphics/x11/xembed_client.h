#pragma once
// The client side of the XEmbed protocol for the editor's window: the
// _XEMBED_INFO property (protocol version 0, "mapped") that an embedding
// host reads right after the window is made, the _XEMBED messages it sends
// afterwards, and the focus request a click in the editor sends back. A
// host that does not speak XEmbed never sends any of them; for it nothing
// changes.
#include <cstdint>

#include <xcb/xcb.h>

namespace selvarin {

// What an _XEMBED message means to the editor. Activation, modality,
// accelerators and anything unknown or malformed mean nothing to it.
enum class XEmbedNews { kNothing, kEmbedded, kFocusIn, kFocusOut };

class XEmbedClient {
 public:
  // Puts the property on `window` before it is mapped, and waits until the
  // server holds it, so a host may look for it as soon as the window is
  // handed over; false when the connection failed. `parent` is the host's
  // window.
  bool Announce(xcb_connection_t* conn, xcb_window_t window, xcb_window_t parent);
  // The window went: no embedder, no atoms.
  void Forget();

  // Reads a client message sent to the window.
  XEmbedNews Read(const xcb_client_message_event_t& ev);
  // A click in the editor asks the embedder for the keyboard focus; without
  // an embedder (a host that does not speak XEmbed) nothing is sent.
  void RequestFocus(xcb_connection_t* conn, xcb_timestamp_t time) const;

 private:
  xcb_atom_t xembed_ = XCB_ATOM_NONE;
  xcb_window_t parent_ = 0;
  xcb_window_t embedder_ = 0;  // named by the embedding notice
};

}  // namespace selvarin
