// What an open editor costs while nothing happens: the bundle's editor view
// attached to a window on a private Xvfb, the host's run loop turning for a
// while (10 s by default) with the plug-in not processing and no input.
// Prints the CPU time the host process (with the plug-in in it) and the X
// server used meanwhile.
//
//   selvarin_editor_idle [SECONDS] [BUNDLE]
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "pluginterfaces/gui/iplugview.h"
#include "tests/x11/poll_run_loop.h"
#include "tests/x11/x_driver.h"
#include "tests/x11/xvfb_session.h"
#include "tools/vst3host/host_objects.h"
#include "tools/vst3host/hosted_plugin.h"
#include "tools/vst3host/module_loader.h"

namespace {

using selvarin::test::PollRunLoopFrame;

double ProcessCpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

// User and system time of another process, from /proc; -1 when unreadable.
double OtherCpuSeconds(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(in, line)) return -1.0;
  const size_t close = line.rfind(')');  // the command name may hold spaces
  if (close == std::string::npos) return -1.0;
  std::istringstream fields(line.substr(close + 2));
  std::string f;
  unsigned long long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && fields >> f; ++i) {  // fields 14 and 15 of the whole line
    if (i == 14) utime = std::strtoull(f.c_str(), nullptr, 10);
    if (i == 15) stime = std::strtoull(f.c_str(), nullptr, 10);
  }
  return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
  const std::string bundle = argc > 2 ? argv[2] : SELVARIN_BENCH_BUNDLE;
  if (!(seconds > 0.0)) {
    std::fprintf(stderr, "usage: %s [SECONDS] [BUNDLE]\n", argv[0]);
    return 2;
  }

  selvarin::test::XvfbSession xvfb;
  std::string error;
  if (!xvfb.Start(&error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  setenv("DISPLAY", xvfb.Display().c_str(), 1);
  selvarin::test::XDriver x;
  selvarin::Vst3Module module;
  if (!x.Open(xvfb.Display()) || !module.Load(bundle, &error)) {
    std::fprintf(stderr, "cannot open the display or load %s: %s\n", bundle.c_str(), error.c_str());
    return 1;
  }
  int rc = 1;
  {
    selvarin::HostApp app{"Selvarin idle bench"};
    selvarin::HostedPlugin plugin;
    PollRunLoopFrame frame;
    Steinberg::IPlugView* view = nullptr;
    if (!plugin.Create(module.Factory(), &app, &error) || !(view = plugin.controller->createView("editor"))) {
      std::fprintf(stderr, "cannot create the plug-in's editor: %s\n", error.c_str());
    } else {
      const Window top = x.TopLevel(0, 0, 600, 400);
      view->setFrame(&frame);
      if (view->attached(reinterpret_cast<void*>(static_cast<uintptr_t>(top)),
                         Steinberg::kPlatformTypeX11EmbedWindowID) != Steinberg::kResultOk) {
        std::fprintf(stderr, "the view refused the window\n");
      } else {
        // The first paint and whatever follows it settle before measuring.
        frame.RunUntil([&] { return x.Grab(0, 0, 550, 363).Lit() > 0.95; }, 5000);
        frame.RunFor(1000);
        const double host0 = ProcessCpuSeconds(), server0 = OtherCpuSeconds(xvfb.Pid());
        const auto t0 = std::chrono::steady_clock::now();
        frame.RunFor(static_cast<int>(seconds * 1000.0));
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        const double host = ProcessCpuSeconds() - host0, server = OtherCpuSeconds(xvfb.Pid()) - server0;
        std::printf("editor open %.1f s, not processing (tick %d ms):\n", wall, frame.TimerPeriodMs());
        std::printf("  host process  %7.1f ms CPU  (%.2f %% of one core)\n", host * 1e3, 100.0 * host / wall);
        std::printf("  X server      %7.1f ms CPU  (%.2f %% of one core)\n", server * 1e3, 100.0 * server / wall);
        view->removed();
        rc = 0;
      }
    }
    if (view) view->release();
    plugin.Destroy();
  }
  module.Unload();
  return rc;
}
