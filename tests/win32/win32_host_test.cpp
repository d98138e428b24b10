// The bundle as a Windows host meets it: LoadLibraryW on the DLL inside the
// bundle, the exports, the version resource Explorer shows, the editor's
// images among the module's own resources, and the default sound rendered
// through the VST3 interfaces.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"
#include "raster/raster_bitmap.h"
#include "raster/raster_png.h"
#include "tests/vst3/signal_measure.h"
#include "tools/vst3host/host_objects.h"
#include "tools/vst3host/hosted_plugin.h"

namespace selvarin {
namespace test {
namespace {

namespace sb = Steinberg;
namespace sv = Steinberg::Vst;

const wchar_t* ModulePath() {
  static std::wstring path;
  if (path.empty()) {
    const std::string utf8 = std::string(SELVARIN_TEST_BUNDLE) + "/Contents/x86_64-win/Selvarin.vst3";
    path.assign(utf8.begin(), utf8.end());  // the build folder's path is ASCII
  }
  return path.c_str();
}

// The DLL stays loaded for the whole program, as in a host.
HMODULE Module() {
  static HMODULE module = LoadLibraryW(ModulePath());
  return module;
}

template <class Fn>
Fn Export(const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(Module(), name)));
}

TEST(Win32Host, LoadLibraryFindsTheWindowsEntryPointsOnly) {
  ASSERT_NE(Module(), nullptr) << "LoadLibraryW failed with " << GetLastError();
  using BoolFn = bool (*)();
  ASSERT_NE(Export<BoolFn>("InitDll"), nullptr);
  ASSERT_NE(Export<BoolFn>("ExitDll"), nullptr);
  EXPECT_NE(Export<void*>("GetPluginFactory"), nullptr);
  EXPECT_TRUE(Export<BoolFn>("InitDll")());
  EXPECT_TRUE(Export<BoolFn>("ExitDll")());
  // Linux hosts' entry points have no place in a Windows module.
  EXPECT_EQ(Export<void*>("ModuleEntry"), nullptr);
  EXPECT_EQ(Export<void*>("ModuleExit"), nullptr);
}

std::wstring VersionText(const std::vector<char>& info, const wchar_t* name) {
  std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(info.data(), key.c_str(), &value, &length) || !value) return L"";
  return std::wstring(static_cast<const wchar_t*>(value));
}

TEST(Win32Host, VersionResourceNamesTheProductAndItsVersion) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(ModulePath(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoW(ModulePath(), 0, size, info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010001u);  // 1.1
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00000000u);  // .0.0
  EXPECT_EQ(VersionText(info, L"FileVersion"), L"1.1.0");
  EXPECT_EQ(VersionText(info, L"ProductName"), L"Selvarin");
  EXPECT_EQ(VersionText(info, L"CompanyName"), L"Kavelin");
}

// The editor's images by resource id and the size its layout draws them at.
struct ModuleImage {
  int id;
  int width, height;
};
constexpr ModuleImage kEditorImages[] = {
    {100, 550, 363}, {101, 57, 57}, {102, 40, 40},  {103, 464, 58}, {104, 280, 40}, {105, 68, 23},
    {106, 79, 23},   {107, 86, 80}, {108, 90, 91},  {109, 48, 21},  {110, 80, 23},
};

TEST(Win32Host, EditorImagesDecodeFromTheModulesOwnResources) {
  ASSERT_NE(Module(), nullptr);
  for (const ModuleImage& image : kEditorImages) {
    ASSERT_NE(FindResourceA(Module(), MAKEINTRESOURCEA(image.id), "PNG"), nullptr) << image.id;
    std::unique_ptr<RasterBitmap> bitmap(RasterLoadPngFromResource(Module(), image.id));
    ASSERT_NE(bitmap, nullptr) << image.id;
    EXPECT_EQ(bitmap->Width(), image.width) << image.id;
    EXPECT_EQ(bitmap->Height(), image.height) << image.id;
    // The program's own file holds none of them: the handle decides.
    EXPECT_EQ(RasterLoadPngFromResource(nullptr, image.id), nullptr) << image.id;
    // And each one's twice-as-large version for scaled displays, id + 1000.
    std::unique_ptr<RasterBitmap> large(RasterLoadPngFromResource(Module(), image.id + 1000));
    ASSERT_NE(large, nullptr) << image.id + 1000;
    EXPECT_EQ(large->Width(), 2 * image.width) << image.id + 1000;
    EXPECT_EQ(large->Height(), 2 * image.height) << image.id + 1000;
  }
}

TEST(Win32Host, DefaultSoundIs200HzLeftAnd204HzRight) {
  using FactoryFn = sb::IPluginFactory* (*)();
  auto getFactory = Export<FactoryFn>("GetPluginFactory");
  ASSERT_NE(getFactory, nullptr);
  sb::IPluginFactory* factory = getFactory();
  ASSERT_NE(factory, nullptr);
  HostApp host("Selvarin Win32 test host");
  HostedPlugin plugin;
  std::string error;
  ASSERT_TRUE(plugin.Create(factory, &host, &error)) << error;
  plugin.component->activateBus(sv::kAudio, sv::kOutput, 0, true);
  constexpr double kRate = 48000.0;
  constexpr int kBlock = 512, kFrames = 4 * 48000;
  ASSERT_TRUE(plugin.Setup(kRate, kBlock, sv::kSample64, sv::kRealtime));
  ASSERT_TRUE(plugin.SetActive(true));
  plugin.processor->setProcessing(true);

  std::vector<double> left(kFrames), right(kFrames);
  double* channels[2] = {nullptr, nullptr};
  sv::AudioBusBuffers bus;
  bus.numChannels = 2;
  bus.channelBuffers64 = channels;
  sv::ProcessContext context{};
  context.state = sv::ProcessContext::kPlaying | sv::ProcessContext::kTempoValid;
  context.sampleRate = kRate;
  context.tempo = 120.0;
  sv::ProcessData data;
  data.symbolicSampleSize = sv::kSample64;
  data.numOutputs = 1;
  data.outputs = &bus;
  data.processContext = &context;
  for (int done = 0; done < kFrames; done += kBlock) {
    channels[0] = left.data() + done;
    channels[1] = right.data() + done;
    context.projectTimeSamples = done;
    data.numSamples = kBlock;
    ASSERT_EQ(plugin.processor->process(data), sb::kResultOk);
  }
  plugin.processor->setProcessing(false);
  plugin.Destroy();
  factory->release();

  // The last second, after the glide: each ear its own tone, clearly audible.
  EXPECT_NEAR(ZeroCrossingHz(left, {kFrames * 3 / 4, kFrames}, kRate), 200.0, 0.05);
  EXPECT_NEAR(ZeroCrossingHz(right, {kFrames * 3 / 4, kFrames}, kRate), 204.0, 0.05);
  EXPECT_GT(Peak(left, kFrames / 2), 0.2);
  EXPECT_LE(Peak(left), 1.0);
  EXPECT_TRUE(AllFinite(left) && AllFinite(right));
}

// Runs the host's message loop for a while: the editor's timer ticks and
// paints in it.
void PumpFor(DWORD ms) {
  const DWORD start = GetTickCount();
  MSG msg;
  while (GetTickCount() - start < ms) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(5);
  }
}

HWND MakeHostWindow(int x = 40) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "SelvarinWin32Host";
  RegisterClassA(&wc);
  return CreateWindowExA(0, "SelvarinWin32Host", "Selvarin Win32 test host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x,
                         40, 600, 440, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

// Distinct colours in the window's client area, read back from the screen.
size_t DistinctColours(HWND window, int w = 550, int h = 363) {
  HDC screen = GetDC(window);
  HDC copy = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(copy, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(copy, section);
  BitBlt(copy, 0, 0, w, h, screen, 0, 0, SRCCOPY);
  GdiFlush();
  std::set<std::uint32_t> colours;
  const auto* pixels = static_cast<const std::uint32_t*>(bits);
  for (int i = 0; i < w * h; i += 7) colours.insert(pixels[i] & 0xFFFFFFu);
  SelectObject(copy, old);
  DeleteObject(section);
  DeleteDC(copy);
  ReleaseDC(window, screen);
  return colours.size();
}

// The editor's pixels of the knob rectangle of "Base Freq" with its text,
// read back from the screen.
std::vector<std::uint32_t> KnobPixels(HWND editor) {
  constexpr int kLeft = 10, kTop = 95, kW = 80, kH = 85;
  HDC screen = GetDC(editor);
  HDC copy = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = kW;
  info.bmiHeader.biHeight = -kH;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(copy, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(copy, section);
  BitBlt(copy, 0, 0, kW, kH, screen, kLeft, kTop, SRCCOPY);
  GdiFlush();
  const auto* p = static_cast<const std::uint32_t*>(bits);
  std::vector<std::uint32_t> pixels(p, p + kW * kH);
  SelectObject(copy, old);
  DeleteObject(section);
  DeleteDC(copy);
  ReleaseDC(editor, screen);
  return pixels;
}

// Drags "Base Freq" by dy and lets the timer repaint: the value and the
// knob on the screen both move.
void ExpectDragMovesTheKnob(HWND editor, HostedPlugin& plugin, int dy, const char* when) {
  const double before = plugin.controller->getParamNormalized(0);
  const std::vector<std::uint32_t> shown = KnobPixels(editor);
  SendMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(48, 129));
  for (int i = 1; i <= 8; ++i) SendMessageA(editor, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(48, 129 + dy * i / 8));
  SendMessageA(editor, WM_LBUTTONUP, 0, MAKELPARAM(48, 129 + dy));
  PumpFor(200);
  EXPECT_NE(plugin.controller->getParamNormalized(0), before) << when;
  EXPECT_NE(KnobPixels(editor), shown) << when;
}

TEST(Win32Host, ASecondViewOfTheSameInstanceNeverTouchesTheFirst) {
  using FactoryFn = sb::IPluginFactory* (*)();
  sb::IPluginFactory* factory = Export<FactoryFn>("GetPluginFactory")();
  ASSERT_NE(factory, nullptr);
  HostApp host("Selvarin Win32 test host");
  HostedPlugin plugin;
  std::string error;
  ASSERT_TRUE(plugin.Create(factory, &host, &error)) << error;
  HWND frame1 = MakeHostWindow(), frame2 = MakeHostWindow(660);  // side by side
  ASSERT_TRUE(frame1 && frame2);
  sb::IPlugView* view1 = plugin.controller->createView(sv::ViewType::kEditor);
  ASSERT_NE(view1, nullptr);
  ASSERT_EQ(view1->attached(frame1, sb::kPlatformTypeHWND), sb::kResultOk);
  HWND editor = FindWindowExA(frame1, nullptr, "IEditorWndClass", "IEditor");
  ASSERT_NE(editor, nullptr);
  RECT placed{};
  GetWindowRect(editor, &placed);
  PumpFor(150);

  // A second view while the first is attached: refused, no window of its
  // own, and its removal and release leave the first's window (with its
  // timer) where it was.
  sb::IPlugView* view2 = plugin.controller->createView(sv::ViewType::kEditor);
  ASSERT_NE(view2, nullptr);
  EXPECT_EQ(view2->attached(frame2, sb::kPlatformTypeHWND), sb::kResultFalse);
  EXPECT_EQ(FindWindowExA(frame2, nullptr, "IEditorWndClass", nullptr), nullptr);
  EXPECT_TRUE(IsWindow(editor));
  EXPECT_EQ(view2->removed(), sb::kResultOk);
  EXPECT_EQ(view2->release(), 0u);
  ASSERT_TRUE(IsWindow(editor));
  EXPECT_EQ(GetParent(editor), frame1);
  RECT now{};
  GetWindowRect(editor, &now);
  EXPECT_TRUE(EqualRect(&now, &placed));
  ExpectDragMovesTheKnob(editor, plugin, -40, "after a second view came and went");

  // The other order: the first is removed while a refused second view
  // lives on; the second may then attach, and releasing the first leaves
  // the second's window alone.
  view2 = plugin.controller->createView(sv::ViewType::kEditor);
  ASSERT_NE(view2, nullptr);
  EXPECT_EQ(view2->attached(frame2, sb::kPlatformTypeHWND), sb::kResultFalse);
  ASSERT_EQ(view1->removed(), sb::kResultOk);
  EXPECT_FALSE(IsWindow(editor));
  ASSERT_EQ(view2->attached(frame2, sb::kPlatformTypeHWND), sb::kResultOk);
  editor = FindWindowExA(frame2, nullptr, "IEditorWndClass", "IEditor");
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(view1->attached(frame1, sb::kPlatformTypeHWND), sb::kResultFalse);
  EXPECT_EQ(view1->release(), 0u);
  ASSERT_TRUE(IsWindow(editor));
  POINT origin{0, 0};
  ClientToScreen(frame2, &origin);
  GetWindowRect(editor, &now);
  EXPECT_EQ(now.left, origin.x) << "at the top-left of the host's window";
  EXPECT_EQ(now.top, origin.y);
  PumpFor(150);
  ExpectDragMovesTheKnob(editor, plugin, 40, "in the second view, after the first was released");
  EXPECT_EQ(view2->removed(), sb::kResultOk);
  EXPECT_FALSE(IsWindow(editor));
  EXPECT_EQ(view2->release(), 0u);
  DestroyWindow(frame1);
  DestroyWindow(frame2);
  plugin.Destroy();
  factory->release();
}

TEST(Win32Host, TheEditorViewOpensInTheHostsWindowAndAnswersTheMouse) {
  using FactoryFn = sb::IPluginFactory* (*)();
  sb::IPluginFactory* factory = Export<FactoryFn>("GetPluginFactory")();
  ASSERT_NE(factory, nullptr);
  HostApp host("Selvarin Win32 test host");
  HostedPlugin plugin;
  std::string error;
  ASSERT_TRUE(plugin.Create(factory, &host, &error)) << error;
  sb::IPlugView* view = plugin.controller->createView(sv::ViewType::kEditor);
  ASSERT_NE(view, nullptr);
  ASSERT_EQ(view->isPlatformTypeSupported(sb::kPlatformTypeHWND), sb::kResultTrue);
  HWND frame = MakeHostWindow();
  ASSERT_NE(frame, nullptr);
  ASSERT_EQ(view->attached(frame, sb::kPlatformTypeHWND), sb::kResultOk);
  HWND editor = FindWindowExA(frame, nullptr, "IEditorWndClass", "IEditor");
  ASSERT_NE(editor, nullptr);
  PumpFor(200);
  // The panel, drawn from the module's own images, is on the screen.
  EXPECT_GT(DistinctColours(editor), 100u);

  auto plain = [&](sv::ParamID id) {
    return plugin.controller->normalizedParamToPlain(id, plugin.controller->getParamNormalized(id));
  };
  // Drag Base Freq's knob upwards.
  SendMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(48, 129));
  for (int y = 125; y >= 89; y -= 4) SendMessageA(editor, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(48, y));
  SendMessageA(editor, WM_LBUTTONUP, 0, MAKELPARAM(48, 89));
  EXPECT_GT(plain(0), 200.0);

  // Right-click: type a value into the box and commit it with Enter.
  SendMessageA(editor, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(48, 129));
  SendMessageA(editor, WM_RBUTTONUP, 0, MAKELPARAM(48, 129));
  HWND box = FindWindowExA(editor, nullptr, "Edit", nullptr);
  ASSERT_NE(box, nullptr);
  for (char c : std::string("432")) SendMessageA(box, WM_CHAR, static_cast<WPARAM>(c), 0);
  SendMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
  PumpFor(150);  // the commit takes effect at the next timer tick
  EXPECT_EQ(FindWindowExA(editor, nullptr, "Edit", nullptr), nullptr);
  EXPECT_DOUBLE_EQ(plain(0), 432.0);

  // A wheel notch over the knob (the message carries screen coordinates).
  POINT knob{48, 129};
  ClientToScreen(editor, &knob);
  SendMessageA(editor, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(knob.x, knob.y));
  EXPECT_GT(plain(0), 432.0);
  const double wheeled = plain(0);

  // LFO1's target drop-down: open it, choose its fifth row ("Volume").
  SendMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(120, 222));
  SendMessageA(editor, WM_LBUTTONUP, 0, MAKELPARAM(120, 222));
  PumpFor(100);
  SendMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(120, 315));
  SendMessageA(editor, WM_LBUTTONUP, 0, MAKELPARAM(120, 315));
  PumpFor(100);
  EXPECT_EQ(plain(8), 4.0);
  // And LFO1's Sync switch.
  const double sync = plain(10);
  SendMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 204));
  SendMessageA(editor, WM_LBUTTONUP, 0, MAKELPARAM(200, 204));
  EXPECT_NE(plain(10), sync);

  // Removed and attached again: a new window with the same value.
  ASSERT_EQ(view->removed(), sb::kResultOk);
  EXPECT_FALSE(IsWindow(editor));
  ASSERT_EQ(view->attached(frame, sb::kPlatformTypeHWND), sb::kResultOk);
  EXPECT_NE(FindWindowExA(frame, nullptr, "IEditorWndClass", "IEditor"), nullptr);
  EXPECT_DOUBLE_EQ(plain(0), wheeled);

  // The host destroys its window before removing the view: the editor's
  // window went with it, and removed still closes cleanly.
  DestroyWindow(frame);
  PumpFor(50);
  EXPECT_EQ(view->removed(), sb::kResultOk);
  // A parent that is no window gets no editor window, and says so.
  EXPECT_EQ(view->attached(reinterpret_cast<void*>(std::uintptr_t{0x7ffffff0}), sb::kPlatformTypeHWND),
            sb::kResultFalse);
  // A new host window: the view opens again in it.
  frame = MakeHostWindow();
  ASSERT_EQ(view->attached(frame, sb::kPlatformTypeHWND), sb::kResultOk);
  editor = FindWindowExA(frame, nullptr, "IEditorWndClass", "IEditor");
  ASSERT_NE(editor, nullptr);
  // Released while still attached: the editor's window goes with the view.
  EXPECT_EQ(view->release(), 0u);
  EXPECT_FALSE(IsWindow(editor));
  DestroyWindow(frame);
  plugin.Destroy();
  factory->release();
}

// A host's frame: records the sizes asked for and answers at once.
class AnsweringFrame : public sb::IPlugFrame {
 public:
  sb::tresult PLUGIN_API resizeView(sb::IPlugView* view, sb::ViewRect* r) override {
    asked.emplace_back(r->getWidth(), r->getHeight());
    return view->onSize(r) == sb::kResultOk ? sb::kResultTrue : sb::kResultFalse;
  }
  sb::tresult PLUGIN_API queryInterface(const sb::TUID, void** obj) override {
    *obj = nullptr;
    return sb::kNoInterface;
  }
  sb::uint32 PLUGIN_API addRef() override { return 1; }
  sb::uint32 PLUGIN_API release() override { return 1; }
  std::vector<std::pair<int, int>> asked;
};

TEST(Win32Host, TheEditorViewAtTwiceTheScale) {
  using FactoryFn = sb::IPluginFactory* (*)();
  sb::IPluginFactory* factory = Export<FactoryFn>("GetPluginFactory")();
  ASSERT_NE(factory, nullptr);
  HostApp host("Selvarin Win32 test host");
  HostedPlugin plugin;
  std::string error;
  ASSERT_TRUE(plugin.Create(factory, &host, &error)) << error;
  sb::IPlugView* view = plugin.controller->createView(sv::ViewType::kEditor);
  ASSERT_NE(view, nullptr);
  AnsweringFrame frame;
  view->setFrame(&frame);
  HWND window = MakeHostWindow();
  // Room for the editor at twice the size (only what shows is painted).
  SetWindowPos(window, nullptr, 0, 0, 1200, 820, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_EQ(view->attached(window, sb::kPlatformTypeHWND), sb::kResultOk);
  EXPECT_TRUE(frame.asked.empty()) << "at 96 DPI the scale is 1";
  HWND editor = FindWindowExA(window, nullptr, "IEditorWndClass", "IEditor");
  ASSERT_NE(editor, nullptr);

  sb::IPlugViewContentScaleSupport* scaling = nullptr;
  ASSERT_EQ(view->queryInterface(sb::IPlugViewContentScaleSupport::iid, reinterpret_cast<void**>(&scaling)),
            sb::kResultOk);
  EXPECT_EQ(scaling->setContentScaleFactor(2.0f), sb::kResultTrue);
  ASSERT_EQ(frame.asked.size(), 1u);
  EXPECT_EQ(frame.asked[0], std::make_pair(1100, 726));
  sb::ViewRect size;
  ASSERT_EQ(view->getSize(&size), sb::kResultOk);
  EXPECT_EQ(size.getWidth(), 1100);
  EXPECT_EQ(size.getHeight(), 726);
  RECT client{};
  GetClientRect(editor, &client);
  EXPECT_EQ(client.right, 1100);
  EXPECT_EQ(client.bottom, 726);
  // Refused factors change nothing.
  EXPECT_EQ(scaling->setContentScaleFactor(std::numeric_limits<float>::quiet_NaN()), sb::kResultFalse);
  EXPECT_EQ(scaling->setContentScaleFactor(0.0f), sb::kResultFalse);
  EXPECT_EQ(frame.asked.size(), 1u);
  PumpFor(200);
  EXPECT_GT(DistinctColours(editor, 1100, 726), 100u) << "the panel, large, on the screen";

  auto plain = [&](sv::ParamID id) {
    return plugin.controller->normalizedParamToPlain(id, plugin.controller->getParamNormalized(id));
  };
  // Base Freq's knob, dragged up at twice the size.
  SendMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(96, 258));
  for (int y = 250; y >= 178; y -= 8) SendMessageA(editor, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(96, y));
  SendMessageA(editor, WM_LBUTTONUP, 0, MAKELPARAM(96, 178));
  EXPECT_GT(plain(0), 200.0);
  // LFO1's target list: its fifth row, "Volume".
  SendMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(240, 444));
  SendMessageA(editor, WM_LBUTTONUP, 0, MAKELPARAM(240, 444));
  PumpFor(100);
  SendMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(240, 630));
  SendMessageA(editor, WM_LBUTTONUP, 0, MAKELPARAM(240, 630));
  PumpFor(100);
  EXPECT_EQ(plain(8), 4.0);

  scaling->release();
  EXPECT_EQ(view->removed(), sb::kResultOk);
  view->setFrame(nullptr);
  EXPECT_EQ(view->release(), 0u);
  DestroyWindow(window);
  plugin.Destroy();
  factory->release();
}

}  // namespace
}  // namespace test
}  // namespace selvarin
