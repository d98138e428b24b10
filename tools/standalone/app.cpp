#include "tools/standalone/app.h"

#include <cstdio>

#include "graphics/igraphics.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "tools/render/param_catalog.h"
#include "tools/render/param_resolve.h"

namespace selvarin {

namespace sb = Steinberg;

namespace {

const int kBufferSizes[] = {64, 128, 256, 512, 1024, 2048, 4096};
constexpr int kDefaultFrames = 512;


std::string Hz(double rate) {
  char text[32];
  std::snprintf(text, sizeof text, "%.0f Hz", rate);
  return text;
}

std::string Frames(int frames) { return std::to_string(frames) + " frames"; }

std::string ShortApi(const std::string& api) {
  if (api == "JACK Audio Connection Kit") return "JACK";
  return api;
}

void RenderBlock(void* session, float* const* channels, int frames) {
  static_cast<PluginSession*>(session)->ProcessOnAudioThread(channels, frames);
}

// An empty preset slot is named "- N -" after its 1-based number.
bool IsEmptySlotName(const std::string& name, int program) {
  return name.empty() || name == "- " + std::to_string(program + 1) + " -";
}

const char kNoDevice[] =
    "No audio output device found: the window works, but there is no sound. Start an audio server or "
    "connect a device, then choose it in the device list.";

}  // namespace

// What the view asks of the window it lives in: a new size, and on Linux
// the run loop its handlers run on.
class App::ViewFrame : public sb::IPlugFrame {
 public:
  ViewFrame(App* app, sb::FUnknown* runLoop) : app_(app), runLoop_(runLoop) {}
  sb::tresult PLUGIN_API resizeView(sb::IPlugView* view, sb::ViewRect* r) override {
    if (!view || !r || view != app_->view_) return sb::kInvalidArgument;
    if (!app_->OnViewResize(r->getWidth(), r->getHeight())) return sb::kResultFalse;
    view->onSize(r);
    return sb::kResultTrue;
  }
  sb::tresult PLUGIN_API queryInterface(const sb::TUID iid, void** obj) override {
    if (!obj) return sb::kInvalidArgument;
    if (sb::FUnknownPrivate::iidEqual(iid, sb::IPlugFrame::iid) ||
        sb::FUnknownPrivate::iidEqual(iid, sb::FUnknown::iid)) {
      *obj = static_cast<sb::IPlugFrame*>(this);
      return sb::kResultOk;
    }
    if (runLoop_) return runLoop_->queryInterface(iid, obj);
    *obj = nullptr;
    return sb::kNoInterface;
  }
  // The frame belongs to the application and outlives the view.
  sb::uint32 PLUGIN_API addRef() override { return 1; }
  sb::uint32 PLUGIN_API release() override { return 1; }

 private:
  App* app_;
  sb::FUnknown* runLoop_;
};

App::App(const AppOptions& options, int64_t startNanos)
    : options_(options), startNanos_(startNanos), session_(options.tempo), store_(AppConfigFolder()) {}

App::~App() {
  CloseWindow();
  StopAudio();
}

// ---- the whole life ----

int App::Run() {
  std::string error;
  if (!session_.Create(&error) || !session_.Prepare(48000.0, kDefaultFrames)) {
    std::fprintf(stderr, "selvarin: the plug-in could not be started: %s\n", error.c_str());
    return 1;
  }
  playParam_ = session_.ParamIdByTitle("Play Anyway");
  const std::vector<std::string>& programs = session_.Programs();
  for (int i = 1; i < static_cast<int>(programs.size()); ++i)
    if (!IsEmptySlotName(programs[static_cast<size_t>(i)], i)) presets_.push_back(i);
  session_.onEditorEdit = [this](uint32_t id, double v) {
    if (static_cast<int64_t>(id) == playParam_) WarnIfSilentPlay(v);
  };

  std::string message;
  if (store_.Load(&settings_, &message) == SettingsStore::Loaded::kIgnored) {
    settings_ = AppSettings{};
    Report(message, true);
  }
  if (!ApplyStart(&error)) {
    std::fprintf(stderr, "selvarin: %s\n", error.c_str());
    return 2;
  }
  StartAudio();
  if (!OpenWindow(&error)) {
    std::fprintf(stderr, "selvarin: %s\n", error.c_str());
    return 1;
  }
  window_->Run();
  CloseWindow();
  StopAudio();
  SaveSettings();
  if (options_.verbose && audio_.Callbacks() > 0)
    std::fprintf(stderr, "selvarin: %llu audio callbacks, %llu drop-outs\n",
                 static_cast<unsigned long long>(audio_.Callbacks()),
                 static_cast<unsigned long long>(audio_.DropOuts()));
  return 0;
}

bool App::ApplyStart(std::string* error) {
  if (!settings_.pluginState.empty()) {
    std::string why;
    if (!session_.RestoreState(settings_.pluginState, &why))
      Report("The saved sound was not restored whole: " + why, true);
  }
  if (settings_.preset > 0 && settings_.preset < static_cast<int>(session_.Programs().size()))
    preset_ = settings_.preset;
  if (!options_.preset.empty()) {
    int index = -1;
    if (!ResolvePreset(session_.Programs(), options_.preset, &index, error)) return false;
    ChoosePreset(index);
  }
  for (const ParamSetting& setting : options_.params) {
    ResolvedParam r;
    auto toNormalized = [this](uint32_t id, double plain) { return session_.PlainToNormalized(id, plain); };
    if (!ResolveParam(session_.Catalog(), setting, toNormalized, &r, error)) return false;
    session_.SetParam(r.id, r.normalized);
  }
  wantedHostApi_ = settings_.hostApi;
  wantedDevice_ = settings_.device;
  if (settings_.sampleRate > 0.0) rate_ = settings_.sampleRate;
  frames_ = settings_.bufferFrames > 0 ? settings_.bufferFrames : kDefaultFrames;
  if (options_.bufferFrames > 0) frames_ = options_.bufferFrames;
  return true;
}

int App::ListDevices() {
  AudioOutput audio;
  std::string error;
  if (!audio.Start(&error)) {
    std::fprintf(stderr, "selvarin: %s\n", error.c_str());
    return 1;
  }
  const std::vector<AudioDevice>& devices = audio.Devices();
  if (devices.empty()) {
    std::printf("No audio output device found.\n");
    return 0;
  }
  for (size_t i = 0; i < devices.size(); ++i)
    std::printf("%3zu  %s (%s)%s\n", i + 1, devices[i].name.c_str(), devices[i].hostApi.c_str(),
                devices[i].isDefault ? ", default" : "");
  return 0;
}

int App::ListPresets(bool presets, bool params) {
  PluginSession session(120.0);
  std::string error;
  if (!session.Create(&error)) {
    std::fprintf(stderr, "selvarin: the plug-in could not be started: %s\n", error.c_str());
    return 1;
  }
  if (params) PrintCatalog(session.Catalog());
  if (params && presets) std::printf("\n");
  const std::vector<std::string>& programs = session.Programs();
  for (int i = 1; presets && i < static_cast<int>(programs.size()); ++i)
    if (!IsEmptySlotName(programs[static_cast<size_t>(i)], i))
      std::printf("%3d  %s\n", i, programs[static_cast<size_t>(i)].c_str());
  return 0;
}

// ---- audio ----

int App::FindDevice(const std::string& hostApi, const std::string& name) const {
  const std::vector<AudioDevice>& devices = audio_.Devices();
  for (size_t i = 0; i < devices.size(); ++i)
    if (devices[i].name == name && (hostApi.empty() || devices[i].hostApi == hostApi)) return static_cast<int>(i);
  return -1;
}

std::string App::DeviceLabel(int device) const {
  const std::vector<AudioDevice>& devices = audio_.Devices();
  if (device < 0 || device >= static_cast<int>(devices.size())) return "";
  const AudioDevice& d = devices[static_cast<size_t>(device)];
  return d.name + " (" + ShortApi(d.hostApi) + ")";
}

double App::PreferredRate(int device) const {
  const AudioDevice& d = audio_.Devices()[static_cast<size_t>(device)];
  for (double r : audio_.SupportedRates(device))
    if (r == 48000.0) return r;
  return d.defaultRate > 0.0 ? d.defaultRate : 48000.0;
}

bool App::OpenAudio(int device, double rate, int frames, std::string* why) {
  StopAudio();
  if (!session_.Prepare(rate, frames)) {
    *why = "the plug-in refused the processing set-up";
    session_.Prepare(48000.0, kDefaultFrames);
    return false;
  }
  session_.SetAudioThreadRunning(true);
  if (!audio_.Open(device, rate, frames, &RenderBlock, &session_, why)) {
    session_.SetAudioThreadRunning(false);
    return false;
  }
  openDevice_ = device;
  openLabel_ = DeviceLabel(device);
  rate_ = rate;
  frames_ = frames;
  if (options_.verbose)
    std::fprintf(stderr, "selvarin: playing through %s at %.0f Hz, %d frames\n", openLabel_.c_str(), rate, frames);
  ShowAudioChoice();
  return true;
}

void App::StopAudio() {
  if (!audio_.IsOpen()) return;
  audio_.Close();
  session_.SetAudioThreadRunning(false);
  openDevice_ = -1;
}

void App::StartAudio() {
  std::string why;
  if (!audio_.Start(&why)) {
    Report("No sound: " + why, true);
    return;
  }
  if (audio_.Devices().empty()) {
    Report(kNoDevice, true);
    return;
  }
  int device = -1;
  if (!options_.device.empty()) {
    double number = 0.0;
    const int count = static_cast<int>(audio_.Devices().size());
    if (ParseDecimal(options_.device, &number) && number >= 1 && number <= count && number == static_cast<int>(number))
      device = static_cast<int>(number) - 1;
    else
      device = FindDevice("", options_.device);
    if (device < 0) {
      device = audio_.DefaultDevice();
      Report("No output device \"" + options_.device + "\": playing through the default device " + DeviceLabel(device) +
                 " instead.",
             true);
    } else {
      wantedHostApi_ = audio_.Devices()[static_cast<size_t>(device)].hostApi;
      wantedDevice_ = audio_.Devices()[static_cast<size_t>(device)].name;
    }
  } else if (!wantedDevice_.empty()) {
    device = FindDevice(wantedHostApi_, wantedDevice_);
    if (device < 0) {
      device = audio_.DefaultDevice();
      Report("The output device \"" + wantedDevice_ + "\" is not there: playing through the default device " +
                 DeviceLabel(device) + " instead.",
             true);
    }
  } else {
    device = audio_.DefaultDevice();
  }
  double rate = options_.sampleRate > 0.0 ? options_.sampleRate : (settings_.sampleRate > 0.0 ? rate_ : 0.0);
  if (rate <= 0.0) rate = PreferredRate(device);
  if (OpenAudio(device, rate, frames_, &why)) return;
  const double fallback = PreferredRate(device);
  std::string second;
  if (fallback != rate && OpenAudio(device, fallback, frames_, &second)) {
    Report(DeviceLabel(device) + " refused " + Hz(rate) + " (" + why + "): playing at " + Hz(fallback) + ".", true);
    return;
  }
  if (frames_ != kDefaultFrames && OpenAudio(device, fallback, kDefaultFrames, &second)) {
    Report(DeviceLabel(device) + " refused " + Frames(frames_) + " (" + why + "): playing with " +
               Frames(kDefaultFrames) + ".",
           true);
    return;
  }
  Report("The output device " + DeviceLabel(device) + " cannot be opened (" + why + "): no sound.", true);
}

void App::ChooseDevice(int device) {
  const int before = openDevice_;
  const std::string beforeApi = before >= 0 ? audio_.Devices()[static_cast<size_t>(before)].hostApi : "";
  const std::string beforeName = before >= 0 ? audio_.Devices()[static_cast<size_t>(before)].name : "";
  const double beforeRate = rate_;
  std::string why;
  const AudioDevice chosen = audio_.Devices()[static_cast<size_t>(device)];
  const std::vector<double> rates = audio_.SupportedRates(device);
  double rate = rate_;
  bool rateFits = false;
  for (double r : rates) rateFits |= r == rate;
  if (!rateFits) rate = PreferredRate(device);
  if (OpenAudio(device, rate, frames_, &why)) {
    wantedHostApi_ = chosen.hostApi;
    wantedDevice_ = chosen.name;
    Report("Playing through " + DeviceLabel(device) + ".", false);
    return;
  }
  Report(
      DeviceLabel(device) + " cannot be opened (" + why + ")" + (before >= 0 ? ": keeping " + beforeName + "." : "."),
      true);
  if (before >= 0) {
    const int again = FindDevice(beforeApi, beforeName);
    std::string ignored;
    if (again >= 0) OpenAudio(again, beforeRate, frames_, &ignored);
  }
}

void App::ChooseRate(double rate) {
  if (openDevice_ < 0) {
    rate_ = rate;
    ShowAudioChoice();
    return;
  }
  const int device = openDevice_;
  const double before = rate_;
  std::string why, ignored;
  if (OpenAudio(device, rate, frames_, &why)) return;
  Report(DeviceLabel(device) + " refused " + Hz(rate) + " (" + why + "): keeping " + Hz(before) + ".", true);
  OpenAudio(device, before, frames_, &ignored);
}

void App::ChooseBuffer(int frames) {
  if (openDevice_ < 0) {
    frames_ = frames;
    ShowAudioChoice();
    return;
  }
  const int device = openDevice_;
  const int before = frames_;
  std::string why, ignored;
  if (OpenAudio(device, rate_, frames, &why)) return;
  Report(DeviceLabel(device) + " refused " + Frames(frames) + " (" + why + "): keeping " + Frames(before) + ".", true);
  OpenAudio(device, rate_, before, &ignored);
}

void App::ShowAudioChoice() {
  if (!strip_) return;
  strip_->SetDevice(openDevice_ >= 0 ? "Output: " + openLabel_ : "Output: none");
  strip_->SetRate(Hz(rate_));
  strip_->SetBuffer(Frames(frames_));
  strip_->SetStatus(StatusText());
}

std::string App::StatusText() const {
  if (!audio_.IsOpen()) return "No sound output";
  char text[256];
  std::snprintf(text, sizeof text, "%s  |  %.0f Hz  |  %d frames  |  CPU %.1f %%  |  %llu drop-outs",
                openLabel_.c_str(), rate_, frames_, audio_.CpuLoad() * 100.0,
                static_cast<unsigned long long>(audio_.DropOuts()));
  return text;
}

// ---- presets and PLAY ----

void App::ChoosePreset(int program) {
  session_.ChooseProgram(program);
  preset_ = program;
  if (strip_) strip_->SetPreset(session_.Programs()[static_cast<size_t>(program)]);
}

void App::OnPresetStep(int delta) {
  if (presets_.empty()) return;
  const int n = static_cast<int>(presets_.size());
  int at = -1;
  for (int i = 0; i < n; ++i)
    if (presets_[static_cast<size_t>(i)] == preset_) at = i;
  // Before the first choice, "next" starts at the first preset and
  // "previous" at the last.
  const int next = at < 0 ? (delta > 0 ? 0 : n - 1) : ((at + delta) % n + n) % n;
  ChoosePreset(presets_[static_cast<size_t>(next)]);
}

void App::WarnIfSilentPlay(double playValue) {
  if (playValue > 0.5 && !audio_.IsOpen())
    Report("PLAY is on, but there is no audio output to play through: choose a device in the device list.", true);
}

void App::OnPlayKey() {
  if (playParam_ < 0) return;
  const uint32_t id = static_cast<uint32_t>(playParam_);
  const double v = session_.ParamNormalized(id) > 0.5 ? 0.0 : 1.0;
  session_.SetParam(id, v);
  WarnIfSilentPlay(v);
}

// ---- lists ----

void App::OnOpenList(ListKind kind) {
  if (sheet_ || !window_) return;
  std::vector<std::string> items;
  int selected = -1;
  std::string title, empty = "Nothing to choose from.";
  switch (kind) {
    case ListKind::kPresets:
      title = "Presets";
      for (size_t i = 0; i < presets_.size(); ++i) {
        items.push_back(session_.Programs()[static_cast<size_t>(presets_[i])]);
        if (presets_[i] == preset_) selected = static_cast<int>(i);
      }
      break;
    case ListKind::kDevices:
      title = "Output device";
      // Devices plugged in since are listed too, when no stream holds the
      // audio system.
      if (!audio_.IsOpen()) audio_.Rescan();
      for (size_t i = 0; i < audio_.Devices().size(); ++i) {
        items.push_back(DeviceLabel(static_cast<int>(i)) + (audio_.Devices()[i].isDefault ? ", default" : ""));
        if (static_cast<int>(i) == openDevice_) selected = static_cast<int>(i);
      }
      empty = "No audio output device found. Start an audio server or connect a device, then open this list again.";
      break;
    case ListKind::kRates: {
      title = "Sample rate";
      const int device = openDevice_ >= 0 ? openDevice_ : FindDevice(wantedHostApi_, wantedDevice_);
      for (double r : audio_.SupportedRates(device)) {
        if (r == rate_) selected = static_cast<int>(items.size());
        items.push_back(Hz(r));
      }
      empty = "No output device to ask for its rates.";
      break;
    }
    case ListKind::kBuffers:
      title = "Buffer size";
      for (int f : kBufferSizes) {
        if (f == frames_) selected = static_cast<int>(items.size());
        char text[64];
        std::snprintf(text, sizeof text, "%d frames (%.1f ms)", f, 1000.0 * f / rate_);
        items.push_back(text);
      }
      break;
  }
  // Over the whole window: the editor's and the strip's height, in layout pixels.
  const int height = Layout(editorH_) + AppStrip::kHeight;
  sheet_ = std::make_unique<ListSheet>(
      Layout(editorW_), height, scale_, title, items, selected, empty,
      [this, kind](int i) {
        window_->Post([this, kind, i] {
          if (!sheet_) return;  // a second click on the way out
          CloseSheet();
          ChooseListEntry(kind, i);
        });
      },
      [this] { window_->Post([this] { CloseSheet(); }); });
  sheetPane_ = window_->AddPane(0, 0, sheet_->Graphics()->ScaledWidth(), sheet_->Graphics()->ScaledHeight());
  window_->ShowPane(editorPane_, false);
  window_->ShowPane(stripPane_, false);
  window_->OpenGraphics(sheet_->Graphics(), sheetPane_);
}

void App::CloseSheet() {
  if (!sheet_) return;
  window_->CloseGraphics(sheet_->Graphics());
  sheet_.reset();
  window_->RemovePane(sheetPane_);
  sheetPane_ = nullptr;
  window_->ShowPane(editorPane_, true);
  window_->ShowPane(stripPane_, true);
}

void App::ChooseListEntry(ListKind kind, int index) {
  switch (kind) {
    case ListKind::kPresets:
      if (index >= 0 && index < static_cast<int>(presets_.size())) ChoosePreset(presets_[static_cast<size_t>(index)]);
      break;
    case ListKind::kDevices:
      if (index >= 0 && index < static_cast<int>(audio_.Devices().size())) ChooseDevice(index);
      break;
    case ListKind::kRates: {
      const int device = openDevice_ >= 0 ? openDevice_ : FindDevice(wantedHostApi_, wantedDevice_);
      const std::vector<double> rates = audio_.SupportedRates(device);
      if (index >= 0 && index < static_cast<int>(rates.size())) ChooseRate(rates[static_cast<size_t>(index)]);
      break;
    }
    case ListKind::kBuffers:
      if (index >= 0 && index < static_cast<int>(sizeof kBufferSizes / sizeof kBufferSizes[0]))
        ChooseBuffer(kBufferSizes[index]);
      break;
  }
}

// ---- the window ----

bool App::OpenWindow(std::string* error) {
  window_ = AppWindow::Create();
  if (!window_->Open("Selvarin", 550, 363 + AppStrip::kHeight, this, error)) return false;
  scale_ = window_->DisplayScale();
  frame_ = std::make_unique<ViewFrame>(this, window_->ViewRunLoop());
  view_ = session_.CreateEditorView();
  editorW_ = RoundNearest(550 * scale_);
  editorH_ = RoundNearest(363 * scale_);
  if (view_) {
    view_->setFrame(frame_.get());
    // The display's scale, as a host tells its plug-in views; the view's
    // size follows it.
    void* scaling = nullptr;
    if (view_->queryInterface(sb::IPlugViewContentScaleSupport::iid, &scaling) == sb::kResultOk && scaling) {
      auto* s = static_cast<sb::IPlugViewContentScaleSupport*>(scaling);
      s->setContentScaleFactor(static_cast<sb::IPlugViewContentScaleSupport::ScaleFactor>(scale_));
      s->release();
    }
    sb::ViewRect r;
    if (view_->getSize(&r) == sb::kResultOk && r.getWidth() > 0 && r.getHeight() > 0) {
      editorW_ = r.getWidth();
      editorH_ = r.getHeight();
    }
  }
  editorPane_ = window_->AddPane(0, 0, editorW_, editorH_);
  const char* type = window_->ViewPlatformType();
  if (!view_ || view_->isPlatformTypeSupported(type) != sb::kResultTrue ||
      view_->attached(editorPane_, type) != sb::kResultOk) {
    Report("The editor cannot be shown in this window system.", true);
    if (view_) {
      view_->setFrame(nullptr);
      view_->release();
      view_ = nullptr;
    }
  }
  OpenStrip();
  window_->Show();
  return true;
}

int App::Layout(int device) const { return RoundNearest(device / scale_); }

// The strip under the editor, as wide as it: a new one for a new width.
void App::OpenStrip() {
  if (strip_) window_->CloseGraphics(strip_->Graphics());
  strip_ = std::make_unique<AppStrip>(Layout(editorW_), scale_, this);
  const int height = strip_->Graphics()->ScaledHeight();
  window_->SetClientSize(editorW_, editorH_ + height);
  if (stripPane_) window_->MovePane(stripPane_, 0, editorH_, editorW_, height);
  else stripPane_ = window_->AddPane(0, editorH_, editorW_, height);
  if (!hidden_) window_->OpenGraphics(strip_->Graphics(), stripPane_);
  strip_->SetPreset(preset_ >= 0 ? session_.Programs()[static_cast<size_t>(preset_)] : "Choose a preset");
  ShowAudioChoice();
  if (!message_.empty()) strip_->SetMessage(message_, messageIsProblem_);
}

bool App::OnViewResize(int width, int height) {
  if (width <= 0 || height <= 0 || !window_) return false;
  CloseSheet();
  editorW_ = width;
  editorH_ = height;
  window_->MovePane(editorPane_, 0, 0, width, height);
  OpenStrip();
  return true;
}

void App::CloseWindow() {
  if (!window_) return;
  CloseSheet();
  if (view_) {
    if (!hidden_) view_->removed();
    view_->setFrame(nullptr);
    view_->release();
    view_ = nullptr;
  }
  if (strip_ && !hidden_) window_->CloseGraphics(strip_->Graphics());
  strip_.reset();
  window_.reset();
  frame_.reset();
}

// Minimised, nothing is drawn: the editor is removed from its window, as a
// DAW removes a closed plug-in window's view, and comes back when shown.
void App::OnShown(bool shown) {
  if (!window_ || shown == !hidden_) return;
  hidden_ = !shown;
  const char* type = window_->ViewPlatformType();
  if (hidden_) {
    CloseSheet();
    if (view_) view_->removed();
    if (strip_) window_->CloseGraphics(strip_->Graphics());
    return;
  }
  if (view_ && view_->attached(editorPane_, type) != sb::kResultOk)
    Report("The editor could not be shown again.", true);
  if (strip_) window_->OpenGraphics(strip_->Graphics(), stripPane_);
}

void App::OnCloseRequested() {
  if (window_) window_->Quit();
}

void App::OnTick() {
  ++ticks_;
  if (audio_.CheckLost()) {
    session_.SetAudioThreadRunning(false);
    const std::string label = openLabel_;
    openDevice_ = -1;
    Report("The output device " + label + " went away: the sound stopped. Choose a device in the list to play again.",
           true);
    ShowAudioChoice();
  }
  if (options_.verbose && !firstCallbackReported_ && audio_.FirstCallbackNanos() != 0) {
    firstCallbackReported_ = true;
    std::fprintf(stderr, "selvarin: first audio callback %.0f ms after start\n",
                 static_cast<double>(audio_.FirstCallbackNanos() - startNanos_) / 1e6);
  }
  if (strip_ && ticks_ % 5 == 0) strip_->SetStatus(StatusText());
}

// ---- settings and messages ----

void App::SaveSettings() {
  AppSettings s;
  s.hostApi = wantedHostApi_;
  s.device = wantedDevice_;
  s.sampleRate = rate_;
  s.bufferFrames = frames_;
  s.preset = preset_;
  if (!session_.SaveState(&s.pluginState)) {
    std::fprintf(stderr, "selvarin: the plug-in gave no state to save; the settings keep the last saved sound\n");
    s.pluginState = settings_.pluginState;
  }
  std::string error;
  if (!store_.Save(s, &error)) std::fprintf(stderr, "selvarin: settings not saved: %s\n", error.c_str());
}

void App::Report(const std::string& text, bool problem) {
  std::fprintf(stderr, "selvarin: %s\n", text.c_str());
  std::fflush(stderr);
  message_ = text;
  messageIsProblem_ = problem;
  if (strip_) strip_->SetMessage(text, problem);
}

}  // namespace selvarin
