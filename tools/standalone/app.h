#pragma once
// The desktop application: the hosted plug-in, the audio output, the window
// with the editor, the strip and its lists, the settings kept between runs,
// and every failure a user meets told in the strip and on stderr.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "pluginterfaces/gui/iplugview.h"
#include "tools/standalone/app_options.h"
#include "tools/standalone/app_settings.h"
#include "tools/standalone/app_strip.h"
#include "tools/standalone/app_window.h"
#include "tools/standalone/audio_output.h"
#include "tools/standalone/list_sheet.h"
#include "tools/standalone/plugin_session.h"
#include "tools/standalone/settings_store.h"

namespace selvarin {

class App : public StripActions, public AppWindowEvents {
 public:
  // startNanos: the steady clock at the start of main.
  App(const AppOptions& options, int64_t startNanos);
  ~App() override;
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  // The application's whole life; returns the exit code.
  int Run();
  // --list-devices: prints them (or that there are none); the exit code.
  static int ListDevices();
  // --list-presets: the named factory presets with their program numbers;
  // --list-params: the parameters -p takes.
  static int ListPresets(bool presets, bool params);

  // ---- StripActions ----
  void OnPresetStep(int delta) override;
  void OnOpenList(ListKind kind) override;
  // ---- AppWindowEvents ----
  void OnCloseRequested() override;
  void OnPlayKey() override;
  void OnTick() override;
  void OnShown(bool shown) override;

  // The frame's resize request from the view: the window follows the editor.
  bool OnViewResize(int width, int height);

 private:
  class ViewFrame;

  bool ApplyStart(std::string* error);
  void StartAudio();
  bool OpenWindow(std::string* error);
  void OpenStrip();
  void CloseWindow();
  // A size in device pixels as layout pixels of the strip and the sheet.
  int Layout(int device) const;
  void SaveSettings();

  // ---- audio ----
  bool OpenAudio(int device, double rate, int frames, std::string* why);
  void StopAudio();
  int FindDevice(const std::string& hostApi, const std::string& name) const;
  double PreferredRate(int device) const;
  void ChooseDevice(int device);
  void ChooseRate(double rate);
  void ChooseBuffer(int frames);
  void ShowAudioChoice();
  std::string StatusText() const;

  // ---- presets, PLAY, lists ----
  void ChoosePreset(int program);
  void WarnIfSilentPlay(double playValue);
  void ChooseListEntry(ListKind kind, int index);
  void CloseSheet();

  void Report(const std::string& text, bool problem);
  std::string DeviceLabel(int device) const;

  AppOptions options_;
  int64_t startNanos_;
  PluginSession session_;
  AudioOutput audio_;
  SettingsStore store_;
  AppSettings settings_;
  std::unique_ptr<AppWindow> window_;
  std::unique_ptr<ViewFrame> frame_;
  Steinberg::IPlugView* view_ = nullptr;
  std::unique_ptr<AppStrip> strip_;
  std::unique_ptr<ListSheet> sheet_;
  void* editorPane_ = nullptr;
  void* stripPane_ = nullptr;
  void* sheetPane_ = nullptr;
  int editorW_ = 0, editorH_ = 0;  // device pixels
  double scale_ = 1.0;             // the display's, for the editor, strip and sheet

  int64_t playParam_ = -1;
  std::vector<int> presets_;  // the named factory presets' program numbers
  int preset_ = -1;           // the program last chosen; -1 none

  // What the user asked for (kept when the device is missing) and what plays.
  std::string wantedHostApi_, wantedDevice_;
  double rate_ = 48000.0;
  int frames_ = 512;
  int openDevice_ = -1;  // index in audio_.Devices() while a stream plays
  std::string openLabel_;

  std::string message_;
  bool messageIsProblem_ = false;
  int ticks_ = 0;
  bool hidden_ = false;  // minimised: the editor and the strip are closed
  bool firstCallbackReported_ = false;
};

}  // namespace selvarin
