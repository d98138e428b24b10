#pragma once
// Keys on X: a key press carries a keycode and the modifier state; the
// server's keyboard mapping turns them into a keysym, which the editor's key
// table (the one the Windows host uses for virtual keys) turns into a key
// value, or which an open value entry takes as a character or edit key.
#include <cstdint>
#include <vector>

#include <xcb/xcb.h>

#include "graphics/headless/value_entry.h"

namespace selvarin {

class X11KeyboardMap {
 public:
  // Reads the server's mapping (one round trip); false when it cannot.
  bool Load(xcb_connection_t* conn);
  // The keysym of a key press: Shift (or Lock on a letter) picks the second
  // column, as the core protocol's rules say. 0 when the keycode has none.
  uint32_t KeysymOf(xcb_keycode_t code, uint16_t state) const;

 private:
  uint8_t minCode_ = 0;
  int perCode_ = 0;
  std::vector<uint32_t> syms_;
};

// The editor's key value of a keysym (space 0, up 1, down 2, left 3, right 4,
// digits 6 to 15, letters 16 to 41), or -1 when the key is not translated.
int EditorKeyOfKeysym(uint32_t keysym);

// What an open value entry makes of a keysym; *ch receives the character
// for kEntryKeyChar.
ValueEntryKey EntryKeyOfKeysym(uint32_t keysym, char* ch);

}  // namespace selvarin
