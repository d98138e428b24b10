// What an open editor costs while nothing happens, on Windows: the bundle's
// editor view attached to a host window, the host's message loop waiting
// for messages for a while (10 s by default) with the plug-in not
// processing and no input. Prints the CPU time the process used meanwhile
// and how many times the editor's window was painted.
//
//   selvarin_editor_idle.exe [SECONDS] [BUNDLE]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "pluginterfaces/gui/iplugview.h"
#include "tools/vst3host/host_objects.h"
#include "tools/vst3host/hosted_plugin.h"
#include "tools/vst3host/module_loader.h"

namespace {

double ProcessCpuSeconds() {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0.0;
  auto seconds = [](const FILETIME& t) {
    return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) * 1e-7;
  };
  return seconds(kernel) + seconds(user);
}

// The editor window's own procedure, wrapped to count its paints.
WNDPROC editorProc = nullptr;
long paints = 0;
LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) ++paints;
  return CallWindowProcA(editorProc, window, message, wParam, lParam);
}

// Runs the message loop as a host does: it sleeps until a message comes.
void PumpFor(DWORD ms) {
  const DWORD start = GetTickCount();
  for (DWORD now = start; now - start < ms; now = GetTickCount()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - (now - start), QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
  const std::string bundle = argc > 2 ? argv[2] : SELVARIN_BENCH_BUNDLE;
  if (!(seconds > 0.0)) {
    std::fprintf(stderr, "usage: %s [SECONDS] [BUNDLE]\n", argv[0]);
    return 2;
  }
  selvarin::Vst3Module module;
  std::string error;
  if (!module.Load(bundle, &error)) {
    std::fprintf(stderr, "cannot load %s: %s\n", bundle.c_str(), error.c_str());
    return 1;
  }
  int rc = 1;
  {
    selvarin::HostApp app{"Selvarin idle bench"};
    selvarin::HostedPlugin plugin;
    Steinberg::IPlugView* view = nullptr;
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "SelvarinIdleBenchHost";
    RegisterClassA(&wc);
    HWND host = CreateWindowExA(0, wc.lpszClassName, "Selvarin idle bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                600, 440, nullptr, nullptr, wc.hInstance, nullptr);
    if (!host || !plugin.Create(module.Factory(), &app, &error) ||
        !(view = plugin.controller->createView("editor"))) {
      std::fprintf(stderr, "cannot create the host window or the plug-in's editor: %s\n", error.c_str());
    } else if (view->attached(host, Steinberg::kPlatformTypeHWND) != Steinberg::kResultOk) {
      std::fprintf(stderr, "the view refused the window\n");
    } else {
      HWND editor = FindWindowExA(host, nullptr, "IEditorWndClass", nullptr);
      if (editor)
        editorProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingProc)));
      PumpFor(1000);  // the first paint and whatever follows it settle
      paints = 0;
      const double cpu0 = ProcessCpuSeconds();
      const DWORD t0 = GetTickCount();
      PumpFor(static_cast<DWORD>(seconds * 1000.0));
      const double wall = (GetTickCount() - t0) * 1e-3, cpu = ProcessCpuSeconds() - cpu0;
      std::printf("editor open %.1f s, not processing:\n", wall);
      std::printf("  host process  %7.1f ms CPU  (%.2f %% of one core), %ld paints of the editor\n", cpu * 1e3,
                  100.0 * cpu / wall, paints);
      if (editor && editorProc) SetWindowLongPtrA(editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editorProc));
      view->removed();
      rc = 0;
    }
    if (view) view->release();
    plugin.Destroy();
    if (host) DestroyWindow(host);
  }
  module.Unload();
  return rc;
}
