#include "graphics/x11/x11_keys.h"

#include <cstdlib>
#include <memory>

namespace selvarin {

namespace {
// Keysyms of the core protocol's Latin-1 and function-key sets.
constexpr uint32_t kSymSpace = 0x20, kSym0 = 0x30, kSym9 = 0x39;
constexpr uint32_t kSymUpperA = 0x41, kSymUpperZ = 0x5a, kSymLowerA = 0x61, kSymLowerZ = 0x7a;
constexpr uint32_t kSymLeft = 0xff51, kSymUp = 0xff52, kSymRight = 0xff53, kSymDown = 0xff54;
constexpr uint32_t kSymReturn = 0xff0d, kSymKpEnter = 0xff8d, kSymBackSpace = 0xff08;
constexpr uint16_t kShiftMask = XCB_MOD_MASK_SHIFT, kLockMask = XCB_MOD_MASK_LOCK;

bool IsLetter(uint32_t s) { return (s >= kSymUpperA && s <= kSymUpperZ) || (s >= kSymLowerA && s <= kSymLowerZ); }
}  // namespace

bool X11KeyboardMap::Load(xcb_connection_t* conn) {
  const xcb_setup_t* setup = xcb_get_setup(conn);
  const uint8_t count = static_cast<uint8_t>(setup->max_keycode - setup->min_keycode + 1);
  std::unique_ptr<xcb_get_keyboard_mapping_reply_t, decltype(&std::free)> reply(
      xcb_get_keyboard_mapping_reply(conn, xcb_get_keyboard_mapping(conn, setup->min_keycode, count), nullptr),
      &std::free);
  if (!reply) return false;
  const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply.get());
  const int n = xcb_get_keyboard_mapping_keysyms_length(reply.get());
  minCode_ = setup->min_keycode;
  perCode_ = reply->keysyms_per_keycode;
  syms_.assign(syms, syms + n);
  return perCode_ > 0;
}

uint32_t X11KeyboardMap::KeysymOf(xcb_keycode_t code, uint16_t state) const {
  if (perCode_ <= 0 || code < minCode_) return 0;
  const size_t base = static_cast<size_t>(code - minCode_) * static_cast<size_t>(perCode_);
  if (base >= syms_.size()) return 0;
  uint32_t lower = syms_[base];
  uint32_t upper = perCode_ > 1 ? syms_[base + 1] : 0;
  // A column without a second symbol: a letter's upper case, else the first.
  if (upper == 0) {
    upper = lower;
    if (lower >= kSymLowerA && lower <= kSymLowerZ) upper = lower - 0x20;
  }
  const bool shift = (state & kShiftMask) != 0;
  const bool lock = (state & kLockMask) != 0 && IsLetter(lower);
  return (shift != lock) ? upper : lower;
}

int EditorKeyOfKeysym(uint32_t s) {
  if (s == kSymSpace) return 0;
  if (s == kSymUp) return 1;
  if (s == kSymDown) return 2;
  if (s == kSymLeft) return 3;
  if (s == kSymRight) return 4;
  if (s >= kSym0 && s <= kSym9) return static_cast<int>(s - kSym0) + 6;
  // Letters count as their virtual key, which has no case.
  if (s >= kSymUpperA && s <= kSymUpperZ) return static_cast<int>(s - kSymUpperA) + 16;
  if (s >= kSymLowerA && s <= kSymLowerZ) return static_cast<int>(s - kSymLowerA) + 16;
  return -1;
}

ValueEntryKey EntryKeyOfKeysym(uint32_t s, char* ch) {
  if (s == kSymReturn || s == kSymKpEnter) return kEntryKeyEnter;
  if (s == kSymBackSpace) return kEntryKeyBackspace;
  if (s == kSymUp) return kEntryKeyUp;
  if (s == kSymDown) return kEntryKeyDown;
  // The number pad's digits, point and signs type as their characters.
  if (s >= 0xffaa && s <= 0xffb9 && s != 0xffac) s -= 0xff80;
  if (s >= 0x20 && s <= 0x7e) {
    if (ch) *ch = static_cast<char>(s);
    return kEntryKeyChar;
  }
  return kEntryKeyOther;
}

}  // namespace selvarin
