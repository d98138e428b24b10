#include "graphics/x11/x11_resources.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include <xcb/xcb.h>

#include "framework/decimal_number.h"

namespace selvarin {

namespace {
std::string Trimmed(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t");
  if (a == std::string::npos) return std::string();
  const size_t b = s.find_last_not_of(" \t\r");
  return s.substr(a, b - a + 1);
}
}  // namespace

double ScaleFromXResources(const char* text, std::size_t length) {
  if (!text) return 1.0;
  double dpi = 0.0;
  size_t pos = 0;
  while (pos < length) {
    size_t end = pos;
    while (end < length && text[end] != '\n' && text[end] != '\0') ++end;
    const std::string line(text + pos, end - pos);
    pos = end + 1;
    const size_t colon = line.find(':');
    if (colon == std::string::npos || Trimmed(line.substr(0, colon)) != "Xft.dpi") continue;
    const std::string value = Trimmed(line.substr(colon + 1));
    double v = 0.0;
    if (ParseDecimal(value.data(), value.size(), &v)) dpi = v;  // the last one wins, as in xrdb
  }
  if (!(dpi > 0.0)) return 1.0;
  const double scale = std::round(dpi / 96.0 * 4.0) / 4.0;
  return scale < 1.0 ? 1.0 : (scale > 4.0 ? 4.0 : scale);
}

double XDisplayScale() {
  xcb_connection_t* conn = xcb_connect(nullptr, nullptr);
  double scale = 1.0;
  const xcb_screen_iterator_t first =
      xcb_connection_has_error(conn) ? xcb_screen_iterator_t{} : xcb_setup_roots_iterator(xcb_get_setup(conn));
  if (first.rem) {
    // The resources live on the first screen's root.
    const xcb_window_t root = first.data->root;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        conn, xcb_get_property(conn, 0, root, XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 0, 1 << 20), nullptr);
    if (reply && reply->format == 8) {
      scale = ScaleFromXResources(static_cast<const char*>(xcb_get_property_value(reply)),
                                  static_cast<std::size_t>(xcb_get_property_value_length(reply)));
    }
    std::free(reply);
  }
  xcb_disconnect(conn);
  return scale;
}

}  // namespace selvarin
