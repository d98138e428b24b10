// The editor inside a Linux host: the built bundle loaded through the VST3
// ABI, its view attached to a real top-level window on a private X server,
// driven with XTest as a user would, the screen read back and the values and
// edit gestures the controller reports checked.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/keysym.h>
#include <stdlib.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "poll_run_loop.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "request_recorder.h"
#include "tools/vst3host/host_objects.h"
#include "tools/vst3host/hosted_plugin.h"
#include "tools/vst3host/module_loader.h"
#include "x_driver.h"
#include "xvfb_session.h"

namespace selvarin {
namespace test {
namespace {

namespace sb = Steinberg;
namespace sv = Steinberg::Vst;

// The editor's controls where a user sees them (editor coordinates).
struct Spot {
  int x, y;
};
constexpr Spot kVolume{501, 129}, kFade{352, 129}, kBaseFreq{48, 129}, kBinaural{122, 129};
constexpr Spot kLfo1Target{120, 221}, kLfo1Sync{207, 204};
constexpr Spot kEmptyPanel{540, 355};  // the background, no control
// The target list opens below its button: five rows from y = 229 down.
constexpr Spot kLfo1TargetListLastRow{110, 310};
constexpr int kEditorW = 550, kEditorH = 363;
// The "Base Freq" knob with its value text.
struct Area {
  int l, t, r, b;
};
constexpr Area kKnobArea{10, 95, 90, 180};

int Count(const Pixels& p, uint32_t rgb, Area a) {
  int n = 0;
  for (int y = a.t; y < a.b; ++y)
    for (int x = a.l; x < a.r; ++x) n += p.At(x, y) == rgb;
  return n;
}

// The XEmbed protocol as an embedding host speaks it (freedesktop XEmbed).
enum XEmbedMessage : long {
  kEmbeddedNotify = 0,
  kWindowActivate = 1,
  kWindowDeactivate = 2,
  kRequestFocus = 3,
  kFocusIn = 4,
  kFocusOut = 5,
  kModalityOn = 10,
  kModalityOff = 11,
};
constexpr long kFocusFirst = 1;

void SendXEmbed(Display* dpy, Window to, long message, long detail = 0, long data1 = 0, long data2 = 0,
                int format = 32) {
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = to;
  ev.xclient.message_type = XInternAtom(dpy, "_XEMBED", False);
  ev.xclient.format = format;
  ev.xclient.data.l[0] = CurrentTime;
  ev.xclient.data.l[1] = message;
  ev.xclient.data.l[2] = detail;
  ev.xclient.data.l[3] = data1;
  ev.xclient.data.l[4] = data2;
  XSendEvent(dpy, to, False, NoEventMask, &ev);
  XSync(dpy, False);
}

// _XEMBED messages of one kind that reached `on` (a window of the test's
// own connection) since the last call.
int XEmbedReceived(Display* dpy, Window on, long message) {
  const Atom xembed = XInternAtom(dpy, "_XEMBED", False);
  int n = 0;
  while (XPending(dpy) > 0) {
    XEvent ev;
    XNextEvent(dpy, &ev);
    n += ev.type == ClientMessage && ev.xclient.window == on && ev.xclient.message_type == xembed &&
         ev.xclient.data.l[1] == message;
  }
  return n;
}

// Keys as an XEmbed embedder forwards them: sent to the editor's window
// while the embedder keeps the X keyboard focus.
void ForwardKeys(Display* dpy, Window to, const char* text) {
  for (const char* c = text; *c; ++c) {
    const KeySym sym = *c == '\n' ? XK_Return : static_cast<KeySym>(*c);
    XKeyEvent key{};
    key.display = dpy;
    key.window = to;
    key.root = DefaultRootWindow(dpy);
    key.time = CurrentTime;
    key.x = key.y = 1;
    key.same_screen = True;
    key.keycode = XKeysymToKeycode(dpy, sym);
    for (int type : {KeyPress, KeyRelease}) {
      key.type = type;
      XSendEvent(dpy, to, False, NoEventMask, reinterpret_cast<XEvent*>(&key));
    }
  }
  XSync(dpy, False);
}

struct Edit {
  char kind;  // 'b' begin, 'p' perform, 'e' end
  sv::ParamID id;
  double value;
};

class RecordingHandler : public sv::IComponentHandler {
 public:
  sb::tresult PLUGIN_API beginEdit(sv::ParamID id) override { return Add('b', id, 0.0); }
  sb::tresult PLUGIN_API performEdit(sv::ParamID id, sv::ParamValue v) override { return Add('p', id, v); }
  sb::tresult PLUGIN_API endEdit(sv::ParamID id) override { return Add('e', id, 0.0); }
  sb::tresult PLUGIN_API restartComponent(sb::int32) override { return sb::kResultOk; }
  SELVARIN_HOST_OWNED_UNKNOWN(sv::IComponentHandler)

  // The gesture letters for one parameter with repeated performs folded:
  // "bpe" is one begin, one or more performs, one end.
  std::string Gestures(sv::ParamID id) const {
    std::string s;
    for (const Edit& e : edits)
      if (e.id == id && !(e.kind == 'p' && !s.empty() && s.back() == 'p')) s.push_back(e.kind);
    return s;
  }
  // A begin, performs whose last value is `value`, and an end.
  bool WholeGestureEndingAt(sv::ParamID id, double value) const {
    bool open = false;
    double last = -1.0;
    for (const Edit& e : edits) {
      if (e.id != id) continue;
      if (e.kind == 'b') open = true, last = -1.0;
      if (e.kind == 'p' && open) last = e.value;
      if (e.kind == 'e' && open && std::fabs(last - value) < 1e-9) return true;
      if (e.kind == 'e') open = false;
    }
    return false;
  }
  int Performs(sv::ParamID id) const {
    int n = 0;
    for (const Edit& e : edits) n += e.id == id && e.kind == 'p';
    return n;
  }
  std::vector<Edit> edits;

 private:
  sb::tresult Add(char k, sv::ParamID id, double v) {
    edits.push_back(Edit{k, id, v});
    return sb::kResultOk;
  }
};

// One plug-in instance with its view, embedded at (x0, y0) on the screen.
struct EditorInstance {
  HostedPlugin plugin;
  RecordingHandler handler;
  sb::IPlugView* view = nullptr;
  Window top = 0;
  int x0 = 0, y0 = 0;

  ~EditorInstance() {
    if (view) view->release();
    plugin.Destroy();
  }
  sv::ParamID Id(const std::string& title) const {
    for (const HostParamInfo& p : plugin.Parameters())
      if (p.title == title) return p.id;
    ADD_FAILURE() << "no parameter " << title;
    return 0;
  }
  double Norm(const std::string& title) const { return plugin.controller->getParamNormalized(Id(title)); }
  double Plain(const std::string& title) const {
    const sv::ParamID id = Id(title);
    return plugin.controller->normalizedParamToPlain(id, plugin.controller->getParamNormalized(id));
  }
  sb::tresult Attach(PollRunLoopFrame& frame) {
    view->setFrame(&frame);
    return view->attached(reinterpret_cast<void*>(static_cast<uintptr_t>(top)), sb::kPlatformTypeX11EmbedWindowID);
  }
};

class X11EditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(xvfb.Start(&error)) << error;
    // The plug-in opens its own connection to the display the host uses.
    setenv("DISPLAY", xvfb.Display().c_str(), 1);
    ASSERT_TRUE(x.Open(xvfb.Display()));
    ASSERT_TRUE(module.Load(SELVARIN_TEST_BUNDLE, &error)) << error;
  }
  void TearDown() override {
    instances.clear();
    module.Unload();
  }

  EditorInstance& NewInstance(int x0, int y0, int w = kEditorW, int h = kEditorH) {
    instances.push_back(std::make_unique<EditorInstance>());
    EditorInstance& e = *instances.back();
    std::string error;
    EXPECT_TRUE(e.plugin.Create(module.Factory(), &app, &error)) << error;
    e.plugin.controller->setComponentHandler(&e.handler);
    e.view = e.plugin.controller->createView("editor");
    EXPECT_NE(e.view, nullptr);
    e.x0 = x0;
    e.y0 = y0;
    // Room around the editor: the pointer can leave it inside the host's window.
    e.top = x.TopLevel(x0, y0, w + 40, h + 30);
    return e;
  }

  Pixels Screen(const EditorInstance& e, int w = kEditorW, int h = kEditorH) { return x.Grab(e.x0, e.y0, w, h); }
  // Waits (bounded) until the editor has painted its panel.
  bool Painted(const EditorInstance& e) {
    return frame.RunUntil([&] { return Screen(e).Lit() > 0.95; }, 5000);
  }
  void MoveTo(const EditorInstance& e, Spot s) { x.MoveTo(e.x0 + s.x, e.y0 + s.y); }
  // Lets the plug-in take the events and paint (a few ticks).
  void Settle(int ms = 150) { frame.RunFor(ms); }
  // Runs the host's loop until done() holds (bounded); the check that
  // follows reports what was seen when it does not.
  void Await(const std::function<bool()>& done) { frame.RunUntil(done, 10000); }
  void Drag(const EditorInstance& e, Spot from, int dy) {
    MoveTo(e, from);
    Settle(50);
    x.Press(1);
    for (int i = 1; i <= 10; ++i) {
      x.MoveTo(e.x0 + from.x, e.y0 + from.y + dy * i / 10);
      frame.RunFor(10);
    }
    x.Release(1);
    Settle();
  }

  XvfbSession xvfb;
  XDriver x;
  Vst3Module module;
  HostApp app{"Selvarin X11 test host"};
  PollRunLoopFrame frame;
  std::vector<std::unique_ptr<EditorInstance>> instances;
};

TEST_F(X11EditorTest, EditsEveryKindOfControlThroughTheHostRunLoop) {
  // Every step waits for what it checks (an edit reaching the host, a
  // repaint reaching the screen), never for a fixed time: on a loaded
  // machine the server and the plug-in may each be late by far more than a
  // tick.
  EditorInstance& e = NewInstance(0, 0);
  ASSERT_EQ(e.Attach(frame), sb::kResultOk);
  EXPECT_EQ(x.Children(e.top), 1) << "one child window inside the host's";
  EXPECT_EQ(frame.Timers(), 1);
  EXPECT_EQ(frame.TimerPeriodMs(), 41) << "the tick at 24 frames per second";
  EXPECT_EQ(frame.Handlers(), 2) << "a timer and the connection's descriptor";
  ASSERT_TRUE(Painted(e));
  const Pixels start = Screen(e);

  // Hover: the Sync button lights up under the pointer and goes dark when
  // the pointer leaves the editor.
  const auto syncButtonChanges = [&] { return Screen(e).Differences(start, 183, 194, 231, 215); };
  MoveTo(e, kLfo1Sync);
  Await([&] { return syncButtonChanges() > 50; });
  EXPECT_GT(syncButtonChanges(), 50);
  x.MoveTo(e.x0 + kEditorW + 20, e.y0 + 100);
  Await([&] { return syncButtonChanges() == 0; });
  EXPECT_EQ(syncButtonChanges(), 0);

  // Drag "Volume" up: one gesture with performs, a higher value, a new knob.
  const sv::ParamID volume = e.Id("Volume");
  const double volumeBefore = e.Norm("Volume");
  Drag(e, kVolume, 50);
  Await([&] { return e.handler.Gestures(volume) == "bpe"; });
  EXPECT_EQ(e.handler.Gestures(volume), "bpe");
  EXPECT_LT(e.Norm("Volume"), volumeBefore - 0.15);
  const auto volumeKnobChanges = [&] { return Screen(e).Differences(start, 470, 100, 532, 175); };
  Await([&] { return volumeKnobChanges() > 100; });
  EXPECT_GT(volumeKnobChanges(), 100) << "the knob and its value text move";

  // Wheel on "Fade": one notch per button 4 press, one gesture that ends
  // about half a second after the last notch.
  const sv::ParamID fade = e.Id("Fade");
  const double fadeBefore = e.Norm("Fade");
  MoveTo(e, kFade);
  for (int i = 0; i < 3; ++i) x.Click(4);
  Await([&] { return e.handler.Performs(fade) >= 3; });
  EXPECT_NEAR(e.Norm("Fade"), fadeBefore + 0.03, 1e-4);
  EXPECT_EQ(e.handler.Performs(fade), 3);
  EXPECT_EQ(e.handler.Gestures(fade), "bp") << "still open right after the notches";
  EXPECT_TRUE(frame.RunUntil([&] { return e.handler.Gestures(fade) == "bpe"; }, 3000));
  x.Click(5);
  Await([&] { return e.handler.Performs(fade) >= 4; });
  EXPECT_NEAR(e.Norm("Fade"), fadeBefore + 0.02, 1e-4) << "button 5 turns back one notch";
  x.Hold(XK_Control_L, true);
  x.Click(4);
  x.Hold(XK_Control_L, false);
  Await([&] { return e.handler.Performs(fade) >= 5; });
  EXPECT_NEAR(e.Norm("Fade"), fadeBefore + 0.021, 1e-4) << "with Control a notch is a tenth";

  // A double-click (two presses close in time and place) resets "Binaural".
  // Both presses go to the server in one batch, so their server times stay
  // close however late the test runs.
  const sv::ParamID binaural = e.Id("Binaural");
  const double binauralDefault = e.Plain("Binaural");
  MoveTo(e, kBinaural);
  for (int i = 0; i < 4; ++i) x.Click(4);
  Await([&] { return e.handler.Performs(binaural) >= 4; });
  ASSERT_GT(e.Plain("Binaural"), binauralDefault + 1.0);
  // The wheel gesture ends before the presses.
  Await([&] { return e.handler.Gestures(binaural) == "bpe"; });
  x.DoubleClick(1);
  Await([&] { return std::fabs(e.Plain("Binaural") - binauralDefault) < 1e-9; });
  EXPECT_NEAR(e.Plain("Binaural"), binauralDefault, 1e-9);

  // Right-click "Base Freq": the in-place entry opens over the knob, typed
  // digits replace its selected text, Enter commits at the next tick.
  const auto entrySelection = [&] { return Count(Screen(e), 0x3399ffu, kKnobArea); };
  const auto entryPixels = [&] {
    const Pixels now = Screen(e);
    return Count(now, 0x3399ffu, kKnobArea) + Count(now, 0xfafafau, kKnobArea);
  };
  const sv::ParamID baseFreq = e.Id("Base Freq");
  const auto committed = [&](double hz) {
    return e.handler.WholeGestureEndingAt(baseFreq, e.plugin.controller->plainParamToNormalized(baseFreq, hz));
  };
  MoveTo(e, kBaseFreq);
  x.Click(3);
  Await([&] { return entrySelection() > 300; });
  EXPECT_GT(entrySelection(), 300) << "the entry shows its text selected";
  x.Type("432\n");
  Await([&] { return committed(432.0); });
  EXPECT_NEAR(e.Plain("Base Freq"), 432.0, 0.05);
  EXPECT_TRUE(committed(432.0));
  Await([&] { return entryPixels() == 0; });
  EXPECT_EQ(entryPixels(), 0) << "the entry closed";

  // A right-click cancels an open entry: nothing typed reaches the host.
  MoveTo(e, kBaseFreq);
  x.Click(3);
  Await([&] { return entrySelection() > 300; });
  x.Type("99");
  x.Click(3);
  // The entry closes at the tick that would have committed it.
  Await([&] { return entryPixels() == 0; });
  EXPECT_NEAR(e.Plain("Base Freq"), 432.0, 0.05);

  // A left click elsewhere in the editor commits what was typed.
  MoveTo(e, kBaseFreq);
  x.Click(3);
  Await([&] { return entrySelection() > 300; });
  x.Type("528");
  MoveTo(e, kEmptyPanel);
  x.Click(1);
  Await([&] { return committed(528.0); });
  EXPECT_NEAR(e.Plain("Base Freq"), 528.0, 0.05);

  // The LFO 1 target drop-down: open the list, choose its last entry.
  const sv::ParamID target = e.Id("LFO1 Target");
  const Pixels beforeList = Screen(e);
  const auto listArea = [&] { return Screen(e).Differences(beforeList, 84, 232, 170, 318); };
  MoveTo(e, kLfo1Target);
  x.Click(1);
  Await([&] { return listArea() > 500; });
  EXPECT_GT(listArea(), 500) << "the list shows";
  MoveTo(e, kLfo1TargetListLastRow);
  x.Click(1);
  Await([&] { return e.Norm("LFO1 Target") == 1.0; });
  EXPECT_DOUBLE_EQ(e.Norm("LFO1 Target"), 1.0);
  EXPECT_NE(e.handler.Gestures(target).find("bpe"), std::string::npos);

  // The LFO 1 Sync button: free-running now, the rate shows milliseconds.
  ASSERT_DOUBLE_EQ(e.Norm("LFO1 Sync"), 1.0);
  const Pixels beforeSync = Screen(e);
  MoveTo(e, kLfo1Sync);
  x.Click(1);
  Await([&] { return e.Norm("LFO1 Sync") == 0.0; });
  EXPECT_DOUBLE_EQ(e.Norm("LFO1 Sync"), 0.0);
  // The screenshot shows the rate knob in milliseconds.
  Await([&] { return Screen(e).Differences(beforeSync, 171, 257, 231, 317) > 0; });

  const Pixels shot = Screen(e);
  EXPECT_TRUE(shot.SavePng(SELVARIN_TEST_SCREENSHOT));

  // Host automation: a processing call carries a new Volume, and the next
  // ticks repaint the knob and its text without any input.
  e.plugin.component->activateBus(sv::kAudio, sv::kOutput, 0, true);
  ASSERT_TRUE(e.plugin.Setup(48000.0, 512, sv::kSample64, sv::kRealtime));
  ASSERT_TRUE(e.plugin.SetActive(true));
  const Pixels beforeAutomation = Screen(e);
  HostParamChanges changes;
  changes.Add(volume, 0, 0.25);
  sv::ProcessData data;
  data.symbolicSampleSize = sv::kSample64;
  data.inputParameterChanges = &changes;
  ASSERT_EQ(e.plugin.processor->process(data), sb::kResultOk);
  EXPECT_DOUBLE_EQ(e.Norm("Volume"), 0.25);
  const auto automatedKnob = [&] { return Screen(e).Differences(beforeAutomation, 470, 100, 532, 175); };
  Await([&] { return automatedKnob() > 100; });
  EXPECT_GT(automatedKnob(), 100);
  EXPECT_EQ(Screen(e).Differences(beforeAutomation, 0, 0, 460, kEditorH), 0) << "nothing else moved";

  // No handler call held the host's loop with long work (generous bound: a
  // paint takes a few milliseconds). Counted in the loop thread's CPU time,
  // which a busy machine does not stretch as it stretches the clock; the
  // wall-clock figure is recorded for the record.
  EXPECT_LT(frame.LongestCallCpu().count(), 500000);
  RecordProperty("longest_handler_call_us", static_cast<int>(frame.LongestCall().count()));
  RecordProperty("longest_handler_call_cpu_us", static_cast<int>(frame.LongestCallCpu().count()));

  EXPECT_EQ(e.view->removed(), sb::kResultOk);
  EXPECT_EQ(x.Children(e.top), 0);
  EXPECT_EQ(frame.Handlers(), 0);
  EXPECT_EQ(frame.OutstandingRefs(), 0) << "the run loop was given back";
}

TEST_F(X11EditorTest, AnXEmbedHostFindsItsInformationAndItsMessagesKeepTheEditorWorking) {
  EditorInstance& e = NewInstance(0, 0);
  Display* dpy = x.Dpy();
  ASSERT_EQ(e.Attach(frame), sb::kResultOk);
  // Right after attached returns, before the run loop turned once: the
  // editor's window carries _XEMBED_INFO, version 0, mapped.
  const Window editor = x.FirstChild(e.top);
  ASSERT_NE(editor, 0u);
  const Atom info = XInternAtom(dpy, "_XEMBED_INFO", False);
  Atom type = None;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  ASSERT_EQ(XGetWindowProperty(dpy, editor, info, 0, 8, False, AnyPropertyType, &type, &format, &items, &after, &data),
            Success);
  EXPECT_EQ(type, info);
  EXPECT_EQ(format, 32);
  ASSERT_EQ(items, 2u);
  const long* fields = reinterpret_cast<const long*>(data);  // Xlib hands 32-bit items over as longs
  EXPECT_EQ(fields[0], 0) << "protocol version";
  EXPECT_EQ(fields[1] & 1, 1) << "XEMBED_MAPPED";
  XFree(data);
  ASSERT_TRUE(Painted(e));

  // Until a host embeds it by XEmbed, a click asks that host for nothing.
  MoveTo(e, kEmptyPanel);
  x.Click(1);
  Settle();
  EXPECT_EQ(XEmbedReceived(dpy, e.top, kRequestFocus), 0);

  // What an embedding host sends (and some it may), a malformed message and
  // an unknown one among them: the editor takes them all and goes on.
  SendXEmbed(dpy, editor, kEmbeddedNotify, 0, static_cast<long>(e.top), 0);
  SendXEmbed(dpy, editor, kWindowActivate);
  SendXEmbed(dpy, editor, kFocusIn, kFocusFirst);
  SendXEmbed(dpy, editor, kModalityOn);
  SendXEmbed(dpy, editor, kModalityOff);
  SendXEmbed(dpy, editor, 99);
  SendXEmbed(dpy, editor, kFocusOut, 0, 0, 0, 8);
  Settle();
  const sv::ParamID volume = e.Id("Volume");
  const double volumeBefore = e.Norm("Volume");
  const Pixels before = Screen(e);
  Drag(e, kVolume, 40);
  EXPECT_LT(e.Norm("Volume"), volumeBefore - 0.1);
  EXPECT_EQ(e.handler.Gestures(volume), "bpe");
  EXPECT_GT(Screen(e).Differences(before, 470, 100, 532, 175), 100);

  // Now a click asks the embedder for the keyboard focus.
  EXPECT_TRUE(frame.RunUntil([&] { return XEmbedReceived(dpy, e.top, kRequestFocus) > 0; }, 3000));

  // The value entry takes the keys the embedder forwards while it keeps
  // the X keyboard focus itself.
  MoveTo(e, kBaseFreq);
  x.Click(3);
  Settle();
  XSetInputFocus(dpy, e.top, RevertToParent, CurrentTime);
  SendXEmbed(dpy, editor, kFocusIn, kFocusFirst);
  ForwardKeys(dpy, editor, "432\n");
  Settle();
  EXPECT_NEAR(e.Plain("Base Freq"), 432.0, 0.05);

  // After the focus and the activation went, the editor still answers.
  SendXEmbed(dpy, editor, kFocusOut);
  SendXEmbed(dpy, editor, kWindowDeactivate);
  Settle();
  const double volumeNow = e.Norm("Volume");
  const Pixels quiet = Screen(e);
  Drag(e, kVolume, -30);
  EXPECT_GT(e.Norm("Volume"), volumeNow + 0.05);
  EXPECT_GT(Screen(e).Differences(quiet, 470, 100, 532, 175), 100);
  EXPECT_EQ(e.view->removed(), sb::kResultOk);
}

TEST_F(X11EditorTest, AnIdleEditorSendsNothingToTheServer) {
  EditorInstance& e = NewInstance(0, 0);
  ASSERT_EQ(e.Attach(frame), sb::kResultOk);
  ASSERT_TRUE(Painted(e));
  Settle(300);
  const Window editor = x.FirstChild(e.top);
  ASSERT_NE(editor, 0u);

  // Nothing processed, nothing edited, no input: a dozen ticks send not one
  // request (no image, no round trip) on the editor's connection.
  RequestRecorder recorder;
  ASSERT_TRUE(recorder.Start(xvfb.Display(), editor));
  Settle(500);
  const std::vector<int> idle = recorder.Stop();
  EXPECT_TRUE(idle.empty()) << idle.size() << " requests, the first with major opcode " << idle.front();

  // The recording sees what the editor does send: hovering the Sync button
  // lights it up.
  ASSERT_TRUE(recorder.Start(xvfb.Display(), editor));
  MoveTo(e, kLfo1Sync);
  Settle();
  EXPECT_FALSE(recorder.Stop().empty());
  EXPECT_EQ(e.view->removed(), sb::kResultOk);
}

TEST_F(X11EditorTest, ASecondViewOfTheSameInstanceNeverTouchesTheFirst) {
  EditorInstance& e = NewInstance(0, 0);
  ASSERT_EQ(e.Attach(frame), sb::kResultOk);
  ASSERT_TRUE(Painted(e));
  const Window second = x.TopLevel(600, 0, kEditorW + 40, kEditorH + 30);
  auto attachSecond = [&](sb::IPlugView* v) {
    v->setFrame(&frame);
    return v->attached(reinterpret_cast<void*>(static_cast<uintptr_t>(second)), sb::kPlatformTypeX11EmbedWindowID);
  };
  // The first view draws and answers a drag: the knob and the value move.
  auto stillWorks = [&](const char* when) {
    const double before = e.Norm("Volume");
    const Pixels shown = Screen(e);
    Drag(e, kVolume, before > 0.5 ? 30 : -30);
    EXPECT_NE(e.Norm("Volume"), before) << when;
    EXPECT_GT(Screen(e).Differences(shown, 470, 100, 532, 175), 50) << when;
  };

  // A second view while the first is attached: refused; its removal and
  // release leave the first's window, timer and descriptor alone.
  sb::IPlugView* view2 = e.plugin.controller->createView("editor");
  ASSERT_NE(view2, nullptr);
  EXPECT_EQ(attachSecond(view2), sb::kResultFalse);
  EXPECT_EQ(x.Children(second), 0) << "no window for the second view";
  EXPECT_EQ(x.Children(e.top), 1);
  EXPECT_EQ(frame.Handlers(), 2) << "only the first view's timer and descriptor";
  EXPECT_EQ(view2->removed(), sb::kResultOk);
  EXPECT_EQ(view2->release(), 0u);
  EXPECT_EQ(x.Children(e.top), 1);
  EXPECT_EQ(frame.Handlers(), 2);
  stillWorks("after a second view came and went");

  // The other order: the first is removed while a refused second view
  // lives on; the second may then attach, and the first view's release
  // leaves it alone.
  view2 = e.plugin.controller->createView("editor");
  ASSERT_NE(view2, nullptr);
  EXPECT_EQ(attachSecond(view2), sb::kResultFalse);
  EXPECT_EQ(e.view->removed(), sb::kResultOk);
  EXPECT_EQ(x.Children(e.top), 0);
  EXPECT_EQ(frame.Handlers(), 0);
  ASSERT_EQ(attachSecond(view2), sb::kResultOk);
  EXPECT_EQ(x.Children(second), 1);
  EXPECT_EQ(e.Attach(frame), sb::kResultFalse) << "now the first view is the second one";
  e.view->release();
  e.view = view2;
  e.top = second;
  e.x0 = 600;
  ASSERT_TRUE(Painted(e));
  EXPECT_EQ(frame.Handlers(), 2);
  stillWorks("in the second view, after the first was released");
  EXPECT_EQ(e.view->removed(), sb::kResultOk);
  EXPECT_EQ(frame.Handlers(), 0);
  EXPECT_EQ(frame.OutstandingRefs(), 0);
}

TEST_F(X11EditorTest, OpensAndClosesRepeatedlyAndSideBySide) {
  EditorInstance& a = NewInstance(0, 0);
  // A parent id that names no window: refused, nothing left registered.
  a.view->setFrame(&frame);
  EXPECT_EQ(a.view->attached(reinterpret_cast<void*>(uintptr_t{0x7ffffff}), sb::kPlatformTypeX11EmbedWindowID),
            sb::kResultFalse);
  EXPECT_EQ(frame.Handlers(), 0);
  EXPECT_EQ(frame.OutstandingRefs(), 0);
  ASSERT_EQ(a.Attach(frame), sb::kResultOk);
  ASSERT_TRUE(Painted(a));
  Drag(a, kVolume, 30);
  const double volume = a.Norm("Volume");
  Settle(100);
  const Pixels before = Screen(a);

  for (int round = 0; round < 5; ++round) {
    ASSERT_EQ(a.view->removed(), sb::kResultOk);
    EXPECT_EQ(x.Children(a.top), 0);
    EXPECT_EQ(frame.Handlers(), 0);
    EXPECT_EQ(frame.OutstandingRefs(), 0);
    ASSERT_EQ(a.Attach(frame), sb::kResultOk);
    EXPECT_EQ(x.Children(a.top), 1);
    ASSERT_TRUE(Painted(a)) << "round " << round;
    Settle(100);
    // The same controls with the same values draw the same panel.
    EXPECT_EQ(Screen(a).Differences(before, 0, 0, kEditorW, kEditorH), 0) << "round " << round;
  }
  EXPECT_DOUBLE_EQ(a.Norm("Volume"), volume);

  // A second instance beside the first, on the same run loop.
  EditorInstance& b = NewInstance(600, 0);
  ASSERT_EQ(b.Attach(frame), sb::kResultOk);
  ASSERT_TRUE(Painted(b));
  EXPECT_EQ(frame.Handlers(), 4);
  const double bVolume = b.Norm("Volume");
  Drag(b, kVolume, 40);
  EXPECT_LT(b.Norm("Volume"), bVolume - 0.1);
  EXPECT_DOUBLE_EQ(a.Norm("Volume"), volume) << "each editor edits its own plug-in";
  EXPECT_EQ(a.handler.Gestures(a.Id("Volume")), "bpe") << "only the first drag";

  // Closing one leaves the other running.
  ASSERT_EQ(a.view->removed(), sb::kResultOk);
  const Pixels bBefore = Screen(b);
  Drag(b, kVolume, 20);
  EXPECT_GT(Screen(b).Differences(bBefore, 470, 100, 532, 175), 50);

  // A view released while still attached closes its window and gives the
  // run loop back.
  b.view->release();
  b.view = nullptr;
  EXPECT_EQ(x.Children(b.top), 0);
  EXPECT_EQ(frame.Handlers(), 0);
  EXPECT_EQ(frame.OutstandingRefs(), 0);

  // A host that destroys its window before removing the view: the editor's
  // window went with it, and the view still closes cleanly.
  ASSERT_EQ(a.Attach(frame), sb::kResultOk);
  ASSERT_TRUE(Painted(a));
  x.Destroy(a.top);
  Settle(100);
  EXPECT_EQ(a.view->removed(), sb::kResultOk);
  EXPECT_EQ(frame.Handlers(), 0);
  EXPECT_EQ(frame.OutstandingRefs(), 0);
  // And it opens again in a new window.
  a.top = x.TopLevel(0, 0, kEditorW + 40, kEditorH + 30);
  ASSERT_EQ(a.Attach(frame), sb::kResultOk);
  EXPECT_TRUE(Painted(a));
  EXPECT_EQ(a.view->removed(), sb::kResultOk);
}

// The editor's window: its size, as the X server has it.
std::pair<int, int> ChildSize(Display* dpy, Window top) {
  Window root, parent, *kids = nullptr;
  unsigned n = 0;
  std::pair<int, int> size{0, 0};
  if (XQueryTree(dpy, top, &root, &parent, &kids, &n) && n == 1) {
    XWindowAttributes a;
    if (XGetWindowAttributes(dpy, kids[0], &a)) size = {a.width, a.height};
  }
  if (kids) XFree(kids);
  return size;
}

TEST_F(X11EditorTest, TwiceTheSizeFromXftDpiOrTheHostsFactor) {
  // The desktop asks for 192 dpi; the host sets no factor at first.
  const char resources[] = "Xcursor.size:\t48\nXft.dpi:\t192\n";
  XChangeProperty(x.Dpy(), DefaultRootWindow(x.Dpy()), XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(resources), sizeof resources - 1);
  XSync(x.Dpy(), False);
  EditorInstance& e = NewInstance(0, 0, 2 * kEditorW, 2 * kEditorH);
  sb::ViewRect size;
  ASSERT_EQ(e.view->getSize(&size), sb::kResultOk);
  EXPECT_EQ(size.getWidth(), kEditorW) << "the system's scale is the parent's, known at attach";
  ASSERT_EQ(e.Attach(frame), sb::kResultOk);
  ASSERT_EQ(frame.Resizes().size(), 1u);
  EXPECT_EQ(frame.Resizes()[0], std::make_pair(1100, 726)) << "the frame is asked for the scaled size";
  ASSERT_EQ(e.view->getSize(&size), sb::kResultOk);
  EXPECT_EQ(size.getWidth(), 1100);
  EXPECT_EQ(size.getHeight(), 726);
  EXPECT_EQ(ChildSize(x.Dpy(), e.top), std::make_pair(1100, 726));
  ASSERT_TRUE(frame.RunUntil([&] { return Screen(e, 1100, 726).Lit() > 0.95; }, 5000)) << "the whole window painted";

  // The host's factor wins over the desktop's, both ways.
  sb::IPlugViewContentScaleSupport* scaling = nullptr;
  ASSERT_EQ(e.view->queryInterface(sb::IPlugViewContentScaleSupport::iid, reinterpret_cast<void**>(&scaling)),
            sb::kResultOk);
  EXPECT_EQ(scaling->setContentScaleFactor(1.0f), sb::kResultTrue);
  EXPECT_EQ(frame.Resizes().back(), std::make_pair(kEditorW, kEditorH));
  EXPECT_EQ(ChildSize(x.Dpy(), e.top), std::make_pair(kEditorW, kEditorH));
  EXPECT_EQ(scaling->setContentScaleFactor(2.0f), sb::kResultTrue);
  EXPECT_EQ(frame.Resizes().back(), std::make_pair(1100, 726));
  EXPECT_EQ(ChildSize(x.Dpy(), e.top), std::make_pair(1100, 726));
  scaling->release();
  Settle();
  const Pixels start = Screen(e, 1100, 726);
  EXPECT_GT(start.Lit(), 0.95);

  // A drag of 100 window pixels is 50 of the editor's: "Volume" turns as
  // far as 50 pixels turn it at 1 (gearing 4 on a 78-pixel knob; the
  // parameter keeps whole percents).
  const double volume = e.Norm("Volume");
  Drag(e, Spot{2 * kVolume.x, 2 * kVolume.y}, 100);
  EXPECT_NEAR(e.Norm("Volume"), volume - 50.0 / (4 * 78), 0.006);
  EXPECT_EQ(e.handler.Gestures(e.Id("Volume")), "bpe");
  EXPECT_GT(Screen(e, 1100, 726).Differences(start, 940, 200, 1064, 350), 400) << "the knob and its text, drawn large";

  // The LFO 1 target list at twice the size: its last row chooses "Volume".
  MoveTo(e, Spot{2 * kLfo1Target.x, 2 * kLfo1Target.y});
  x.Click(1);
  Settle();
  MoveTo(e, Spot{2 * kLfo1TargetListLastRow.x, 2 * kLfo1TargetListLastRow.y});
  x.Click(1);
  Settle();
  EXPECT_DOUBLE_EQ(e.Norm("LFO1 Target"), 1.0);

  EXPECT_EQ(e.view->removed(), sb::kResultOk);
  EXPECT_EQ(x.Children(e.top), 0);
  EXPECT_EQ(frame.Handlers(), 0);
}

}  // namespace
}  // namespace test
}  // namespace selvarin
