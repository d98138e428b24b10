// Selvarin.exe as a Windows user starts it: from a command line it lists
// the output devices (or says there are none); started plainly it shows its
// window with the editor and the strip, and the close button ends it
// cleanly with its settings written to %APPDATA%\Selvarin.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "raster/raster_png_write.h"
#include "raster/raster_sys_bitmap.h"
#include "tools/platform/file_system.h"

namespace selvarin::test {
namespace {

std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }  // the build paths are ASCII

// This process's environment with APPDATA pointing elsewhere, as a block
// CreateProcessW takes.
std::vector<wchar_t> EnvironmentWithAppData(const std::string& appData) {
  std::vector<wchar_t> block;
  wchar_t* env = GetEnvironmentStringsW();
  for (const wchar_t* e = env; *e; e += wcslen(e) + 1) {
    if (_wcsnicmp(e, L"APPDATA=", 8) == 0) continue;
    block.insert(block.end(), e, e + wcslen(e) + 1);
  }
  FreeEnvironmentStringsW(env);
  const std::wstring mine = L"APPDATA=" + Wide(appData);
  block.insert(block.end(), mine.c_str(), mine.c_str() + mine.size() + 1);
  block.push_back(L'\0');
  return block;
}

struct Started {
  PROCESS_INFORMATION pi{};
  std::string out;
};

// Starts the application with arguments; with `capture`, its standard
// output and error are read until it ends (bounded by the caller's wait).
bool Start(const std::string& args, const std::string& appData, bool capture, Started* s) {
  std::wstring cmd = L"\"" + Wide(SELVARIN_APP_EXE) + L"\" " + Wide(args);
  std::vector<wchar_t> env = EnvironmentWithAppData(appData);
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  if (capture) {
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return false;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = writeEnd;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  }
  const BOOL ok = CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, capture, CREATE_UNICODE_ENVIRONMENT, env.data(),
                                 nullptr, &si, &s->pi);
  if (capture) {
    CloseHandle(writeEnd);
    char buf[512];
    DWORD n = 0;
    while (ok && ReadFile(readEnd, buf, sizeof buf, &n, nullptr) && n > 0) s->out.append(buf, n);
    CloseHandle(readEnd);
  }
  return ok != 0;
}

DWORD WaitForExit(Started& s, DWORD ms) {
  DWORD code = 0xFFFFFFFF;
  if (WaitForSingleObject(s.pi.hProcess, ms) == WAIT_OBJECT_0)
    GetExitCodeProcess(s.pi.hProcess, &code);
  else
    TerminateProcess(s.pi.hProcess, 99);
  CloseHandle(s.pi.hProcess);
  CloseHandle(s.pi.hThread);
  return code;
}

struct Search {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK OwnWindow(HWND w, LPARAM param) {
  auto* s = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  wchar_t title[64] = {};
  GetWindowTextW(w, title, 64);
  if (pid == s->pid && IsWindowVisible(w) && std::wstring(title) == L"Selvarin") {
    s->found = w;
    return FALSE;
  }
  return TRUE;
}

// The window's client area as the screen shows it.
std::unique_ptr<RasterSysBitmap> ClientPixels(HWND w) {
  RECT r{};
  GetClientRect(w, &r);
  POINT origin{0, 0};
  ClientToScreen(w, &origin);
  auto shot = std::make_unique<RasterSysBitmap>(r.right, r.bottom);
  HDC screen = GetDC(nullptr);
  BitBlt(static_cast<HDC>(shot->DeviceContext()), 0, 0, r.right, r.bottom, screen, origin.x, origin.y, SRCCOPY);
  ReleaseDC(nullptr, screen);
  GdiFlush();
  return shot;
}

double Lit(RasterSysBitmap& b) {
  size_t lit = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) lit += (b.Bits()[y * b.RowSpan() + x] & 0xFFFFFF) != 0;
  return b.Width() > 0 ? static_cast<double>(lit) / (b.Width() * b.Height()) : 0.0;
}

TEST(Win32Standalone, ListsDevicesShowsItsWindowAndClosesCleanly) {
  const std::string appData = MakeTempDirectory("selvarin-appdata-");
  ASSERT_FALSE(appData.empty());

  Started list;
  ASSERT_TRUE(Start("--list-devices", appData, true, &list));
  EXPECT_EQ(WaitForExit(list, 30000), 0u) << list.out;
  // Devices, numbered (the first is 1), or the message that there are none.
  EXPECT_TRUE(list.out.find("  1  ") != std::string::npos ||
              list.out.find("No audio output device found.") != std::string::npos)
      << list.out;

  Started app;
  ASSERT_TRUE(Start("", appData, false, &app));
  Search search{app.pi.dwProcessId, nullptr};
  std::unique_ptr<RasterSysBitmap> shot;
  for (int i = 0; i < 300 && !(shot && Lit(*shot) > 0.9); ++i) {
    Sleep(50);
    if (!search.found) EnumWindows(&OwnWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found) shot = ClientPixels(search.found);
  }
  ASSERT_NE(search.found, nullptr) << "no window appeared";
  ASSERT_TRUE(shot);
  EXPECT_EQ(shot->Width(), 550);
  EXPECT_GT(shot->Height(), 363);  // the editor and the strip under it
  EXPECT_GT(Lit(*shot), 0.9) << "the window stayed black";
  EXPECT_TRUE(RasterSavePng(shot.get(), SELVARIN_SCREENSHOT_PATH, true));

  PostMessageW(search.found, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForExit(app, 30000), 0u);
  EXPECT_TRUE(PathIsFile(appData + "\\Selvarin\\selvarin.conf"));
  RemoveDirectoryTree(appData);
}

}  // namespace
}  // namespace selvarin::test
