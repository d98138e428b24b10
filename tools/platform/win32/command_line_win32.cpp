#include <windows.h>
#include <shellapi.h>

#include <cstdlib>

#include "tools/platform/command_line.h"
#include "tools/platform/win32/wide_path.h"

namespace selvarin {

// argv holds the arguments in the ANSI code page, which cannot spell every
// name; the UTF-16 command line can.
Utf8Arguments::Utf8Arguments(int argc, char** argv) {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide) {
    for (int i = 0; i < count; ++i) strings_.push_back(Utf8Path(wide[i]));
    LocalFree(wide);
  } else {
    strings_.assign(argv, argv + argc);
  }
  for (std::string& s : strings_) pointers_.push_back(&s[0]);
  pointers_.push_back(nullptr);
}

namespace {
UINT gConsoleCodePage = 0;
void RestoreConsoleCodePage() { SetConsoleOutputCP(gConsoleCodePage); }
}  // namespace

// The console's code page belongs to the console, shared with the shell
// that started us: it is set back when the program ends.
void UseUtf8Console() {
  const UINT current = GetConsoleOutputCP();
  if (current == 0 || current == CP_UTF8 || gConsoleCodePage != 0) return;  // no console, or nothing to do
  if (!SetConsoleOutputCP(CP_UTF8)) return;
  gConsoleCodePage = current;
  std::atexit(RestoreConsoleCodePage);
}

}  // namespace selvarin
