// The bundle as a Windows host meets it: LoadLibraryW on the DLL inside the
// bundle, the exports, the version resource Explorer shows, the editor's
// images among the module's own resources, and the default sound rendered
// through the VST3 interfaces.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

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
  EXPECT_NEAR(ZeroCrossingHz(left, kRate, kFrames * 3 / 4, kFrames), 200.0, 0.05);
  EXPECT_NEAR(ZeroCrossingHz(right, kRate, kFrames * 3 / 4, kFrames), 204.0, 0.05);
  EXPECT_GT(Peak(left, kFrames / 2), 0.2);
  EXPECT_LE(Peak(left), 1.0);
  EXPECT_TRUE(AllFinite(left) && AllFinite(right));
}

}  // namespace
}  // namespace test
}  // namespace selvarin
