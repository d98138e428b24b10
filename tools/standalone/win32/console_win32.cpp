// A Windows GUI program has no console of its own: output that goes nowhere
// (no pipe or file was handed over) goes to the console of the command line
// that started it, when there is one.
#include <windows.h>

#include <cstdio>

#include "tools/standalone/console.h"

namespace selvarin {

namespace {
bool Usable(DWORD which) {
  HANDLE h = GetStdHandle(which);
  return h != nullptr && h != INVALID_HANDLE_VALUE && GetFileType(h) != FILE_TYPE_UNKNOWN;
}
}  // namespace

void AttachToConsole() {
  const bool out = Usable(STD_OUTPUT_HANDLE), err = Usable(STD_ERROR_HANDLE);
  if (out && err) return;
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
  if (!out) std::freopen("CONOUT$", "w", stdout);
  if (!err) std::freopen("CONOUT$", "w", stderr);
}

}  // namespace selvarin
