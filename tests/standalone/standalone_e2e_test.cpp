// The desktop application end to end, as a user meets it: a JACK server
// with its dummy driver as the sound card, a private X server as the
// screen, the application started as its own process, clicked and typed at
// through XTest, and what it plays recorded by a JACK client of the test's
// own and measured.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app_process.h"
#include "jack_capture.h"
#include "jack_server.h"
#include "tools/platform/file_system.h"
#include "tools/platform/small_files.h"
#include "tools/standalone/app_settings.h"
#include "tools/vst3host/host_objects.h"
#include "tools/vst3host/hosted_plugin.h"
#include "tools/vst3host/module_loader.h"
#include "tools/vst3host/stereo_output.h"
#include "x_driver.h"
#include "xvfb_session.h"

namespace selvarin::test {
namespace {

namespace sb = Steinberg;
namespace sv = Steinberg::Vst;

// Where a user finds things in the window (window coordinates): the
// editor's controls, the strip below the 363-pixel editor, and the first
// row of the list the strip opens over the window.
struct Spot {
  int x, y;
};
constexpr int kEditorH = 363;
constexpr Spot kPlay{275, 155}, kBaseFreq{48, 129};
constexpr Spot kPresetBox{275, kEditorH + 23};
constexpr Spot kFirstListRow{150, 48 + 11};
struct Area {
  int l, t, r, b;
};
constexpr Area kPresetBoxArea{46, kEditorH + 10, 504, kEditorH + 36};

// Pitch by the median of the periods between rising zero crossings: one
// glitch of a late block moves one period, not the result.
double MedianPitch(const std::vector<double>& x, double rate) {
  std::vector<double> periods;
  double last = -1.0;
  for (size_t i = 1; i < x.size(); ++i) {
    if (x[i - 1] < 0.0 && x[i] >= 0.0) {
      const double t = static_cast<double>(i - 1) + (-x[i - 1]) / (x[i] - x[i - 1]);
      if (last >= 0.0) periods.push_back(t - last);
      last = t;
    }
  }
  if (periods.size() < 8) return 0.0;
  std::nth_element(periods.begin(), periods.begin() + static_cast<long>(periods.size() / 2), periods.end());
  return rate / periods[periods.size() / 2];
}

struct Pitch {
  double left = 0.0, right = 0.0, peak = 0.0;
};

// The base and beat frequency a factory preset sets, asked of the built
// bundle through its VST3 interfaces (program 1 of the plug-in's list).
bool PresetFrequencies(int program, double* base, double* beat) {
  Vst3Module module;
  std::string error;
  if (!module.Load(SELVARIN_TEST_BUNDLE, &error)) return false;
  HostApp host("test");
  HostedPlugin plugin;
  if (!plugin.Create(module.Factory(), &host, &error) || !plugin.Setup(48000.0, 256, sv::kSample32) ||
      !plugin.SetActive(true))
    return false;
  sv::ParamID programId = 0;
  for (const HostParamInfo& p : plugin.Parameters())
    if (p.flags & sv::ParameterInfo::kIsProgramChange) programId = p.id;
  const int count = static_cast<int>(plugin.ProgramNames().size());
  HostParamChanges changes;
  changes.Add(programId, 0, static_cast<double>(program) / (count - 1));
  StereoOutput out(sv::kSample32, 256);
  out.SetInputs(&changes, nullptr, nullptr);
  out.data.numSamples = 0;
  plugin.processor->process(out.data);
  *base = plugin.controller->normalizedParamToPlain(0, plugin.controller->getParamNormalized(0));
  *beat = plugin.controller->normalizedParamToPlain(1, plugin.controller->getParamNormalized(1));
  plugin.Destroy();
  return true;
}

class StandaloneApp : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(xvfb.Start(&error)) << error;
    ASSERT_TRUE(x.Open(xvfb.Display()));
    dir = MakeTempDirectory("selvarin-app-");
    ASSERT_FALSE(dir.empty());
  }
  void TearDown() override {
    app.Kill();
    RemoveDirectoryTree(dir);
  }

  std::vector<std::string> Env(const std::string& jackServer) const {
    return {"DISPLAY=" + xvfb.Display(), "XDG_CONFIG_HOME=" + dir + "/config", "JACK_DEFAULT_SERVER=" + jackServer,
            "JACK_NO_START_SERVER=1"};
  }

  void Launch(const std::string& jackServer, const std::vector<std::string>& args = {}) {
    std::string error;
    ASSERT_TRUE(app.Start(SELVARIN_APP_EXE, args, Env(jackServer), dir + "/stderr-" + std::to_string(runs++), &error))
        << error;
    ASSERT_TRUE(FindWindow()) << "the window did not show; stderr:\n" << app.Stderr();
  }

  // The application's top-level window, mapped and drawn (bounded wait).
  bool FindWindow() {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < end) {
      window = 0;
      Window root, parent, *kids = nullptr;
      unsigned n = 0;
      if (XQueryTree(x.Dpy(), DefaultRootWindow(x.Dpy()), &root, &parent, &kids, &n)) {
        for (unsigned i = 0; i < n; ++i) {
          char* name = nullptr;
          XWindowAttributes a;
          if (XFetchName(x.Dpy(), kids[i], &name) && name && std::string(name) == "Selvarin" &&
              XGetWindowAttributes(x.Dpy(), kids[i], &a) && a.map_state == IsViewable)
            window = kids[i];
          if (name) XFree(name);
        }
        if (kids) XFree(kids);
      }
      if (window) {
        Window child;
        XTranslateCoordinates(x.Dpy(), window, DefaultRootWindow(x.Dpy()), 0, 0, &originX, &originY, &child);
        // Drawn: the editor's panel and the strip's preset box are not black.
        const Pixels p = Shot();
        if (p.w > 0 && p.Lit() > 0.9) return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }

  Pixels Shot() {
    XWindowAttributes a;
    if (!window || !XGetWindowAttributes(x.Dpy(), window, &a)) return Pixels{};
    return x.Grab(originX, originY, a.width, a.height);
  }

  // At a display scale, a spot of the layout lies that much further out.
  void Click(Spot s, double scale = 1.0) {
    x.MoveTo(originX + static_cast<int>(s.x * scale), originY + static_cast<int>(s.y * scale));
    x.Click(1);
  }

  // The desktop's font resolution, as a desktop session publishes it.
  void SetXftDpi(int dpi) {
    const std::string resources = "Xft.dpi:\t" + std::to_string(dpi) + "\n";
    XChangeProperty(x.Dpy(), DefaultRootWindow(x.Dpy()), XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(resources.data()), static_cast<int>(resources.size()));
    XSync(x.Dpy(), False);
  }

  // Presses on a knob and drags it up, as a user turns it.
  void DragUp(Spot s, int pixels) {
    x.MoveTo(originX + s.x, originY + s.y);
    x.Press(1);
    for (int d = 2; d <= pixels; d += 2) {
      x.MoveTo(originX + s.x, originY + s.y - d);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    x.Release(1);
  }

  // The window's close button, as a window manager reports it.
  void CloseWindow() {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = window;
    e.xclient.message_type = XInternAtom(x.Dpy(), "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(x.Dpy(), "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(x.Dpy(), window, False, NoEventMask, &e);
    XSync(x.Dpy(), False);
  }

  Pitch Measure(double seconds) {
    Stereo s;
    EXPECT_TRUE(capture.Record(seconds, &s));
    return Pitch{MedianPitch(s.left, capture.SampleRate()), MedianPitch(s.right, capture.SampleRate()), s.Peak()};
  }

  // Records in short stretches until the sound is (or is not) there.
  bool WaitForSound(bool sounding, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
      Stereo s;
      if (!capture.Record(0.2, &s)) return false;
      if ((s.Peak() > 0.01) == sounding && (sounding || s.Peak() < 1e-4)) return true;
    }
    return false;
  }

  // After a change the tones glide (exponentially, a quarter of the
  // "Fade" time constant): measured once two half seconds agree.
  Pitch Settled() {
    Pitch last = Measure(0.5);
    for (int i = 0; i < 30; ++i) {
      const Pitch now = Measure(0.5);
      if (std::fabs(now.left - last.left) < 0.02 && std::fabs(now.right - last.right) < 0.02) return Measure(1.0);
      last = now;
    }
    return last;
  }

  XvfbSession xvfb;
  XDriver x;
  AppProcess app;
  JackCapture capture;
  std::string dir;
  Window window = 0;
  int originX = 0, originY = 0;
  int runs = 0;
};

TEST_F(StandaloneApp, PlaysWhatTheUserChoosesAndComesBackWithIt) {
  JackServer jack;
  std::string error;
  ASSERT_TRUE(jack.Start(48000, 256, &error)) << error;
  ASSERT_TRUE(capture.Open(jack.Name(), &error)) << error;
  // The test's server by its device name: a machine's own sound card,
  // if it has one, stays out of it.
  Launch(jack.Name(), {"--device", "system", "--buffer", "256"});
  ASSERT_TRUE(capture.ConnectFrom("selvarin", 10000, &error)) << error << "\n" << app.Stderr();

  // A stopped transport and PLAY off: silence.
  Stereo before;
  ASSERT_TRUE(capture.Record(0.5, &before));
  EXPECT_LT(before.Peak(), 1e-4);

  // PLAY: the default sound, 200 Hz left and 204 Hz right.
  Click(kPlay);
  ASSERT_TRUE(WaitForSound(true, 5000)) << app.Stderr();
  const Pitch played = Settled();
  EXPECT_NEAR(played.left, 200.0, 0.2);
  EXPECT_NEAR(played.right, 204.0, 0.2);

  // The first preset of the strip's list: its own frequencies.
  double base = 0.0, beat = 0.0;
  ASSERT_TRUE(PresetFrequencies(1, &base, &beat));
  ASSERT_GT(std::fabs(base - 200.0), 1.0) << "the first preset must sound different from the default";
  Click(kPresetBox);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  Click(kFirstListRow);
  const Pitch preset = Settled();
  EXPECT_NEAR(preset.left, base, 0.2);
  EXPECT_NEAR(preset.right, base + beat, 0.2);

  // Turning "Base Freq" up moves both tones and keeps the beat.
  DragUp(kBaseFreq, 24);
  const Pitch turned = Settled();
  EXPECT_GT(turned.left, base + 2.0);
  EXPECT_NEAR(turned.right - turned.left, beat, 0.3);
  Pixels shot = Shot();
  EXPECT_TRUE(shot.SavePng(SELVARIN_TEST_SCREENSHOT));

  // Space turns PLAY off and on again, wherever the keyboard focus is.
  x.Key(XK_space);
  EXPECT_TRUE(WaitForSound(false, 5000));
  x.Key(XK_space);
  EXPECT_TRUE(WaitForSound(true, 5000));

  CloseWindow();
  EXPECT_EQ(app.Wait(15000), 0) << app.Stderr();

  // Started again: the same sound at once (PLAY was on), the preset's name
  // in the strip as it was.
  Launch(jack.Name());
  ASSERT_TRUE(capture.ConnectFrom("selvarin", 10000, &error)) << error << "\n" << app.Stderr();
  ASSERT_TRUE(WaitForSound(true, 5000)) << app.Stderr();
  const Pitch restored = Settled();
  EXPECT_NEAR(restored.left, turned.left, 0.2);
  EXPECT_NEAR(restored.right, turned.right, 0.2);
  const Pixels again = Shot();
  EXPECT_EQ(again.Differences(shot, kPresetBoxArea.l, kPresetBoxArea.t, kPresetBoxArea.r, kPresetBoxArea.b), 0);

  // The audio server goes away while it plays: said, and the application
  // still closes cleanly.
  ASSERT_TRUE(jack.Stop());
  EXPECT_TRUE(app.WaitForStderr("went away", 10000)) << app.Stderr();
  CloseWindow();
  EXPECT_EQ(app.Wait(15000), 0) << app.Stderr();
}

TEST_F(StandaloneApp, WithoutAnAudioServerSaysSoAndStillWorksAtTheDisplayScale) {
  {
    AppProcess list;
    std::string error;
    ASSERT_TRUE(list.Start(SELVARIN_APP_EXE, {"--list-devices"}, Env("selvarin-test-no-such-server"), dir + "/list.err",
                           &error, dir + "/list.out"))
        << error;
    ASSERT_EQ(list.Wait(15000), 0);
    std::ifstream out(dir + "/list.out");
    const std::string listed((std::istreambuf_iterator<char>(out)), std::istreambuf_iterator<char>());
    if (listed.find("No audio output device found.") == std::string::npos)
      GTEST_SKIP() << "this machine has audio devices of its own:\n" << listed;
  }
  // A damaged settings file from an earlier run.
  const std::string config = dir + "/config/selvarin";
  std::string error;
  ASSERT_TRUE(MakeDirectories(config, &error)) << error;
  std::ofstream(config + "/selvarin.conf") << "version=1\nrate=fast\n\x01\x02garbage";

  // A desktop at 144 dpi: the editor and the strip at one and a half times.
  constexpr double kScale = 1.5;
  SetXftDpi(144);
  Launch("selvarin-test-no-such-server");
  EXPECT_TRUE(app.WaitForStderr("No audio output device", 5000)) << app.Stderr();
  EXPECT_NE(app.Stderr().find("is damaged"), std::string::npos) << app.Stderr();
  const Pixels drawn = Shot();
  EXPECT_EQ(drawn.w, 825);
  EXPECT_EQ(drawn.h, 545 + 177);  // round(363 * 1.5) + round(118 * 1.5)
  EXPECT_GT(drawn.Lit(), 0.9);

  // PLAY still works in the editor and says why there is nothing to hear.
  Click(kPlay, kScale);
  EXPECT_TRUE(app.WaitForStderr("no audio output to play through", 5000)) << app.Stderr();
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const Pixels lit = Shot();
  EXPECT_GT(lit.Differences(drawn, 352, 210, 472, 255), 20) << "PLAY did not light up";
  // The strip's preset box opens the list over the whole window.
  Click(kPresetBox, kScale);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_GT(Shot().Differences(drawn, 0, 0, 825, 545), 825 * 545 / 2) << "no list over the editor";

  CloseWindow();
  EXPECT_EQ(app.Wait(15000), 0) << app.Stderr();
  // A good settings file replaced the damaged one.
  std::ifstream in(config + "/selvarin.conf");
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  AppSettings saved;
  std::string why;
  EXPECT_TRUE(ParseSettings(text, &saved, &why)) << why << "\n" << text;
  EXPECT_FALSE(saved.pluginState.empty());
}

}  // namespace
}  // namespace selvarin::test
