// The editor on its Windows window host, driven the way Windows drives it:
// a child window inside a host's top-level window, window messages for the
// mouse and keys, timer ticks, the "EDIT" and "COMBOBOX" entries, and the
// pixels that reach the screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "engine/param_ids.h"
#include "engine/selvarin.h"
#include "framework/param_entry.h"
#include "graphics/win32/igraphics_win.h"
#include "raster/raster_png_write.h"
#include "raster/raster_sys_bitmap.h"

namespace selvarin::test {
namespace {

using Kind = TestAdapter::EditEvent::Kind;

// The host's own top-level window that the editor opens inside.
HWND MakeHostWindow() {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "SelvarinTestHost";
    registered = RegisterClassA(&wc) != 0;
  }
  return CreateWindowExA(0, "SelvarinTestHost", "Selvarin test host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 600,
                         440, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// Paint messages the window received while `during` ran (its procedure is
// wrapped meanwhile).
WNDPROC editorProc = nullptr;
int paints = 0;
LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) ++paints;
  return CallWindowProcA(editorProc, window, message, wParam, lParam);
}
template <class Fn>
int PaintsDuring(HWND window, Fn during) {
  paints = 0;
  editorProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingProc)));
  during();
  SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editorProc));
  return paints;
}

bool WindowClassRegistered(HINSTANCE module) {
  WNDCLASSA wc{};
  return GetClassInfoA(module, IGraphicsWin::kWindowClass, &wc) != 0;
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string TextOf(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

class Win32Editor : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < kNumParams; ++i) plug.OnParameterChanged(i);  // the host's initialisation
    g = dynamic_cast<IGraphicsWin*>(plug.Editor());
    ASSERT_NE(g, nullptr);
    host = MakeHostWindow();
    ASSERT_NE(host, nullptr);
    window = static_cast<HWND>(g->CreateEditorWindow(host));
    ASSERT_NE(window, nullptr);
    Pump();
    Tick();
    plug.edits.clear();
  }
  void TearDown() override {
    g->DestroyEditorWindow();
    DestroyWindow(host);
    Pump();
  }

  // One period of the redraw timer, as Windows delivers it.
  void Tick() {
    SendMessageA(window, WM_TIMER, IGraphicsWin::kTimerId, 0);
    Pump();
  }
  void Send(UINT message, WPARAM wParam, int x, int y) { SendMessageA(window, message, wParam, MAKELPARAM(x, y)); }
  void LeftClick(int x, int y) {
    Send(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
    Send(WM_LBUTTONUP, 0, x, y);
  }
  void RightClick(int x, int y) {
    Send(WM_RBUTTONDOWN, MK_RBUTTON, x, y);
    Send(WM_RBUTTONUP, 0, x, y);
  }
  void Wheel(int x, int y, int delta) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    SendMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), MAKELPARAM(p.x, p.y));
  }
  void Type(HWND entry, const char* text) {
    for (const char* c = text; *c; ++c) SendMessageA(entry, WM_CHAR, static_cast<WPARAM>(*c), 0);
  }
  double Plain(int idx) { return plug.Param(idx)->Value(); }

  // What the window shows, read back from its device context.
  std::unique_ptr<RasterSysBitmap> Screen(int w = 550, int h = 363) {
    auto shot = std::make_unique<RasterSysBitmap>(w, h);
    HDC dc = GetDC(window);
    BitBlt(static_cast<HDC>(shot->DeviceContext()), 0, 0, w, h, dc, 0, 0, SRCCOPY);
    ReleaseDC(window, dc);
    GdiFlush();
    return shot;
  }

  CLS_SELVARIN plug{InstanceInfo{}};
  IGraphicsWin* g = nullptr;
  HWND host = nullptr;
  HWND window = nullptr;
};

TEST_F(Win32Editor, OpensAsAChildWindowOfTheHostAndShowsThePanel) {
  EXPECT_EQ(ClassOf(window), "IEditorWndClass");
  EXPECT_EQ(TextOf(window), "IEditor");
  EXPECT_EQ(GetParent(window), host);
  EXPECT_TRUE(GetWindowLongA(window, GWL_STYLE) & WS_CHILD);
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 550);
  EXPECT_EQ(client.bottom, 363);

  // The first tick painted the whole panel: the screen shows the surface.
  auto shot = Screen();
  RasterSysBitmap* surface = g->Surface();
  ASSERT_NE(surface, nullptr);
  int same = 0, coloured = 0, samples = 0;
  for (int y = 0; y < 363; y += 11) {
    for (int x = 0; x < 550; x += 13) {
      const RasterPixel s = surface->Bits()[y * surface->RowSpan() + x] & 0xFFFFFFu;
      const RasterPixel w = shot->Bits()[y * shot->RowSpan() + x] & 0xFFFFFFu;
      same += s == w;
      coloured += w != 0;
      ++samples;
    }
  }
  EXPECT_EQ(same, samples);
  EXPECT_GT(coloured, samples / 2);
  RasterSavePng(shot.get(), SELVARIN_SCREENSHOT_PATH, true);
}

TEST_F(Win32Editor, TheWindowClassIsSharedByOpenEditorsAndGoesWithTheLast) {
  const HINSTANCE module = g->ModuleHandle();
  EXPECT_EQ(IGraphicsWin::WindowClassUsers(), 1);
  CLS_SELVARIN second{InstanceInfo{}};
  auto* g2 = dynamic_cast<IGraphicsWin*>(second.Editor());
  ASSERT_NE(g2, nullptr);
  HWND host2 = MakeHostWindow();
  ASSERT_NE(g2->CreateEditorWindow(host2), nullptr);
  EXPECT_EQ(IGraphicsWin::WindowClassUsers(), 2);
  g->DestroyEditorWindow();
  EXPECT_FALSE(g->HasEditorWindow());
  EXPECT_TRUE(WindowClassRegistered(module));
  g2->DestroyEditorWindow();
  EXPECT_EQ(IGraphicsWin::WindowClassUsers(), 0);
  EXPECT_FALSE(WindowClassRegistered(module));
  DestroyWindow(host2);

  // Opened again: the same controls, the same values.
  const int controls = g->NControls();
  window = static_cast<HWND>(g->CreateEditorWindow(host));
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(g->NControls(), controls);
  EXPECT_TRUE(WindowClassRegistered(module));
}

TEST_F(Win32Editor, AWindowTheHostDestroyedIsForgotten) {
  // Some hosts close their own window first; the editor must not use the
  // handle of the child that went with it.
  DestroyWindow(host);
  Pump();
  EXPECT_FALSE(g->HasEditorWindow());
  EXPECT_EQ(IGraphicsWin::WindowClassUsers(), 0);
  g->DestroyEditorWindow();  // nothing left to do
  host = MakeHostWindow();
  window = static_cast<HWND>(g->CreateEditorWindow(host));
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(IGraphicsWin::WindowClassUsers(), 1);
}

TEST_F(Win32Editor, DraggingAndTheWheelMoveAKnobInHostEdits) {
  // Base Freq's knob: drag up 40 pixels, in one host edit gesture.
  Send(WM_LBUTTONDOWN, MK_LBUTTON, 48, 129);
  EXPECT_EQ(GetCapture(), window);
  for (int y = 125; y >= 89; y -= 4) Send(WM_MOUSEMOVE, MK_LBUTTON, 48, y);
  Send(WM_LBUTTONUP, 0, 48, 89);
  EXPECT_EQ(GetCapture(), nullptr);
  const double dragged = Plain(kParamBaseFreq);
  EXPECT_GT(dragged, 200.0);
  ASSERT_FALSE(plug.edits.empty());
  EXPECT_EQ(plug.edits.front().kind, Kind::kBegin);
  EXPECT_EQ(plug.edits.back().kind, Kind::kEnd);

  // A wheel notch moves it on; half a notch is delta 0 and moves nothing.
  Wheel(48, 129, 120);
  const double afterNotch = Plain(kParamBaseFreq);
  EXPECT_GT(afterNotch, dragged);
  Wheel(48, 129, 60);
  EXPECT_EQ(Plain(kParamBaseFreq), afterNotch);

  // What moved is what the window shows after the next tick.
  Tick();
  auto shot = Screen();
  RasterSysBitmap* surface = g->Surface();
  for (int y = 100; y < 160; y += 3)
    for (int x = 20; x < 80; x += 3)
      ASSERT_EQ(shot->Bits()[y * shot->RowSpan() + x] & 0xFFFFFFu,
                surface->Bits()[y * surface->RowSpan() + x] & 0xFFFFFFu);
}

TEST_F(Win32Editor, ATickWithNothingNewInvalidatesNothing) {
  // Nothing processed, nothing edited: the window is never invalidated, so
  // it is never painted.
  Tick();
  Tick();
  EXPECT_EQ(PaintsDuring(window, [&] {
              for (int i = 0; i < 5; ++i) Tick();
            }),
            0);
  // A wheel notch on Base Freq: the next tick paints, and once the knob has
  // settled the editor is quiet again.
  Wheel(48, 129, 120);
  EXPECT_GE(PaintsDuring(window, [&] { Tick(); }), 1);
  Tick();
  Tick();
  EXPECT_EQ(PaintsDuring(window, [&] {
              for (int i = 0; i < 5; ++i) Tick();
            }),
            0);
}

TEST_F(Win32Editor, RightClickOpensAnEditBoxThatEnterCommitsAtTheNextTick) {
  RightClick(48, 129);
  HWND entry = g->EntryWindow();
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(ClassOf(entry), "Edit");
  EXPECT_EQ(GetParent(entry), window);
  EXPECT_EQ(TextOf(entry), "200.0");
  EXPECT_EQ(GetFocus(), entry);
  Type(entry, "432");  // the whole text was selected: typing replaces it
  EXPECT_EQ(TextOf(entry), "432");
  SendMessageA(entry, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(Plain(kParamBaseFreq), 200.0) << "not before the tick";
  Tick();
  EXPECT_EQ(g->EntryWindow(), nullptr);
  EXPECT_FALSE(IsWindow(entry));
  EXPECT_DOUBLE_EQ(Plain(kParamBaseFreq), 432.0);

  // A right click in the editor cancels; a left click commits.
  RightClick(48, 129);
  Type(g->EntryWindow(), "999");
  RightClick(300, 300);
  Tick();
  EXPECT_EQ(g->EntryWindow(), nullptr);
  EXPECT_DOUBLE_EQ(Plain(kParamBaseFreq), 432.0);
  RightClick(48, 129);
  Type(g->EntryWindow(), "1000x");
  LeftClick(5, 5);
  Tick();
  EXPECT_DOUBLE_EQ(Plain(kParamBaseFreq), 1000.0);

  // Losing the focus neither commits nor cancels.
  RightClick(48, 129);
  entry = g->EntryWindow();
  Type(entry, "300");
  SetFocus(window);
  Tick();
  EXPECT_EQ(g->EntryWindow(), entry);
  SendMessageA(entry, WM_KEYDOWN, VK_RETURN, 0);
  Tick();
  EXPECT_DOUBLE_EQ(Plain(kParamBaseFreq), 300.0);
}

TEST_F(Win32Editor, AListedParameterGetsADropDownListWhoseChoiceCommits) {
  IControl* waveKnob = nullptr;
  for (int i = 0; i < g->NControls(); ++i)
    if (g->Control(i)->paramIdx == kParamWave) waveKnob = g->Control(i);
  ASSERT_NE(waveKnob, nullptr);
  IParamEntry* wave = plug.Param(kParamWave);
  g->BeginValueEntry(waveKnob, wave, true);
  HWND entry = g->EntryWindow();
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(ClassOf(entry), "ComboBox");
  ASSERT_EQ(SendMessageA(entry, CB_GETCOUNT, 0, 0), wave->DisplayTextCount());
  const LRESULT current = SendMessageA(entry, CB_GETCURSEL, 0, 0);
  ASSERT_GE(current, 0);
  EXPECT_STREQ(wave->DisplayTextAt(static_cast<int>(current))->text,
               wave->DisplayTextFor(static_cast<int>(Plain(kParamWave))));

  // The arrow key picks the next entry; the list tells its parent.
  SendMessageA(entry, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(g->EntryState(), IGraphicsWin::kEntryCommit);
  Tick();
  EXPECT_EQ(g->EntryWindow(), nullptr);
  EXPECT_EQ(Plain(kParamWave), wave->DisplayTextAt(static_cast<int>(current) + 1)->value);
}

TEST_F(Win32Editor, TheLfoTargetDropDownAndTheSyncButtonAnswerClicks) {
  LeftClick(120, 222);  // LFO1 target: the list opens below
  Tick();
  LeftClick(120, 315);  // its fifth row, "Volume"
  Tick();
  EXPECT_EQ(Plain(kParamLfo1Target), 4.0);
  const double sync = Plain(kParamLfo1Sync);
  LeftClick(200, 204);  // "LFO1 Sync"
  EXPECT_NE(Plain(kParamLfo1Sync), sync);
}

TEST_F(Win32Editor, AResizeGrowsTheWindowAndTheHostsAndPathsKeepTheirBackslash) {
  RECT hostBefore{};
  GetWindowRect(host, &hostBefore);
  IControl* baseFreq = nullptr;
  for (int i = 0; i < g->NControls(); ++i)
    if (g->Control(i)->paramIdx == kParamBaseFreq) baseFreq = g->Control(i);
  ASSERT_NE(baseFreq, nullptr);
  g->BeginValueEntry(baseFreq, plug.Param(kParamBaseFreq), false);
  HWND entry = g->EntryWindow();
  ASSERT_NE(entry, nullptr);
  g->Resize(600, 400);  // deletes the controls: the entry goes with its control
  EXPECT_EQ(g->EntryWindow(), nullptr);
  EXPECT_FALSE(IsWindow(entry));
  Tick();
  RECT client{}, hostAfter{};
  GetClientRect(window, &client);
  GetWindowRect(host, &hostAfter);
  EXPECT_EQ(client.right, 600);
  EXPECT_EQ(client.bottom, 400);
  // The host's window (a top-level window, the editor's parent) grows by as much.
  EXPECT_EQ((hostAfter.right - hostAfter.left) - (hostBefore.right - hostBefore.left), 50);
  EXPECT_EQ((hostAfter.bottom - hostAfter.top) - (hostBefore.bottom - hostBefore.top), 37);
  EXPECT_EQ(hostAfter.left, hostBefore.left);  // sizes only

  char folder[300];
  g->HostExecutablePath(folder, sizeof folder);
  ASSERT_GT(std::strlen(folder), 3u);
  EXPECT_EQ(folder[std::strlen(folder) - 1], '\\');
  char exe[300] = {};
  GetModuleFileNameA(nullptr, exe, sizeof exe);
  EXPECT_EQ(std::string(exe).rfind(folder, 0), 0u) << exe;
  char tooSmall[4];
  g->ModuleFolderPath(tooSmall, sizeof tooSmall);
  EXPECT_STREQ(tooSmall, "");  // a folder that does not fit is not cut
}

// An entry window's rectangle in the editor window's client coordinates,
// and the cell height of its font.
RECT EntryRect(HWND entry, HWND parent) {
  RECT r{};
  GetWindowRect(entry, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}
LONG FontHeight(HWND entry) {
  LOGFONTA font{};
  HGDIOBJ f = reinterpret_cast<HGDIOBJ>(SendMessageA(entry, WM_GETFONT, 0, 0));
  return f && GetObjectA(f, sizeof font, &font) ? font.lfHeight : 0;
}

TEST_F(Win32Editor, AtTwiceTheScaleTheWindowTheEntriesAndTheMouseScale) {
  // The same gesture at 1 and at 2: 40 of the editor's pixels up, then
  // 80 window pixels (40 of the editor's) down again, back where it began.
  const double start = Plain(kParamBaseFreq);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, 48, 129);
  for (int y = 125; y >= 89; y -= 4) Send(WM_MOUSEMOVE, MK_LBUTTON, 48, y);
  Send(WM_LBUTTONUP, 0, 48, 89);
  ASSERT_GT(Plain(kParamBaseFreq), start + 50.0);
  RightClick(48, 129);
  const RECT editAtOne = EntryRect(g->EntryWindow(), window);
  EXPECT_EQ(FontHeight(g->EntryWindow()), 14);
  RightClick(300, 300);
  Tick();

  // The host makes room (only what shows in its window is ever painted).
  SetWindowPos(host, nullptr, 0, 0, 1200, 820, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_TRUE(g->SetScale(2.0));
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 1100);
  EXPECT_EQ(client.bottom, 726);
  Tick();
  // The window shows the surface drawn at twice the size.
  auto shot = Screen(1100, 726);
  RasterSysBitmap* surface = g->Surface();
  int same = 0, samples = 0;
  for (int y = 0; y < 726; y += 11)
    for (int x = 0; x < 1100; x += 13, ++samples)
      same += (surface->Bits()[y * surface->RowSpan() + x] & 0xFFFFFFu) == (shot->Bits()[y * shot->RowSpan() + x] & 0xFFFFFFu);
  EXPECT_EQ(same, samples);

  Send(WM_LBUTTONDOWN, MK_LBUTTON, 96, 258);
  for (int y = 266; y <= 338; y += 8) Send(WM_MOUSEMOVE, MK_LBUTTON, 96, y);
  Send(WM_LBUTTONUP, 0, 96, 338);
  EXPECT_NEAR(Plain(kParamBaseFreq), start, 0.05);

  // The native entries: twice the rectangle, twice the font.
  RightClick(96, 258);
  HWND edit = g->EntryWindow();
  ASSERT_NE(edit, nullptr);
  const RECT r = EntryRect(edit, window);
  EXPECT_EQ(r.left, 2 * editAtOne.left);
  EXPECT_EQ(r.top, 2 * editAtOne.top);
  EXPECT_EQ(r.right, 2 * editAtOne.right);
  EXPECT_EQ(r.bottom, 2 * editAtOne.bottom);
  EXPECT_EQ(FontHeight(edit), 28);
  Type(edit, "432");
  SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
  Tick();
  EXPECT_DOUBLE_EQ(Plain(kParamBaseFreq), 432.0);
  IControl* waveKnob = g->Control(g->ControlIndexAt(197, 129));
  ASSERT_NE(waveKnob, nullptr);
  g->BeginValueEntry(waveKnob, plug.Param(kParamWave), true);
  HWND list = g->EntryWindow();
  ASSERT_NE(list, nullptr);
  const RECT lr = EntryRect(list, window);
  size_t longest = 0;
  for (int i = 0; i < plug.Param(kParamWave)->DisplayTextCount(); ++i)
    longest = std::max(longest, std::strlen(plug.Param(kParamWave)->DisplayTextAt(i)->text));
  EXPECT_EQ(lr.right - lr.left, 2 * (8 * static_cast<int>(longest) + 24)) << "as wide as at 1, twice over";
  EXPECT_EQ(FontHeight(list), 28);
  RightClick(600, 600);
  Tick();

  // The LFO 1 target drop-down at twice the size: its fifth row.
  LeftClick(240, 444);
  Tick();
  LeftClick(240, 630);
  Tick();
  EXPECT_EQ(Plain(kParamLfo1Target), 4.0);

  // Back to 1: the window takes the editor's own size again.
  ASSERT_TRUE(g->SetScale(1.0));
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 550);
  EXPECT_EQ(client.bottom, 363);
}

TEST(Win32EditorKeys, TheKeyTableCoversSpaceArrowsDigitsAndLettersOnly) {
  EXPECT_EQ(IGraphicsWin::TranslateVirtualKey(VK_SPACE), 0);
  EXPECT_EQ(IGraphicsWin::TranslateVirtualKey(VK_UP), 1);
  EXPECT_EQ(IGraphicsWin::TranslateVirtualKey(VK_RIGHT), 4);
  EXPECT_EQ(IGraphicsWin::TranslateVirtualKey('0'), 6);
  EXPECT_EQ(IGraphicsWin::TranslateVirtualKey('Z'), 41);
  for (WPARAM key : {WPARAM(VK_F1), WPARAM(VK_NUMPAD5), WPARAM(VK_RETURN), WPARAM(VK_ESCAPE)})
    EXPECT_EQ(IGraphicsWin::TranslateVirtualKey(key), -1) << key;
}

}  // namespace
}  // namespace selvarin::test
