// What the application keeps between runs and reads from its command line:
// the settings file written and read back, damaged files refused whole,
// the file replaced in one step, and the options and display scale a user
// or the desktop gives it.
#include "tools/standalone/app_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/platform/file_system.h"
#include "tools/platform/small_files.h"
#include "tools/standalone/app_options.h"
#include "tools/standalone/display_scale.h"
#include "tools/standalone/settings_store.h"

namespace selvarin::test {
namespace {

AppSettings Sample() {
  AppSettings s;
  s.hostApi = "JACK Audio Connection Kit";
  s.device = "system = main (left/right)";
  s.sampleRate = 44100.0;
  s.bufferFrames = 256;
  s.preset = 17;
  for (int i = 0; i < 188; ++i) s.pluginState.push_back(static_cast<uint8_t>(i * 37));
  return s;
}

TEST(AppSettings, ComeBackAsWrittenAndADamagedFileIsRefusedWhole) {
  AppSettings back;
  std::string why;
  ASSERT_TRUE(ParseSettings(FormatSettings(Sample()), &back, &why)) << why;
  EXPECT_EQ(back.hostApi, Sample().hostApi);
  EXPECT_EQ(back.device, Sample().device);
  EXPECT_EQ(back.sampleRate, 44100.0);
  EXPECT_EQ(back.bufferFrames, 256);
  EXPECT_EQ(back.preset, 17);
  EXPECT_EQ(back.pluginState, Sample().pluginState);
  // Windows line ends (a file edited there) read the same.
  std::string crlf;
  for (char c : FormatSettings(Sample())) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  ASSERT_TRUE(ParseSettings(crlf, &back, &why)) << why;
  EXPECT_EQ(back.pluginState, Sample().pluginState);

  const std::string good = FormatSettings(Sample());
  const std::vector<std::string> damaged = {
      "",                                                            // nothing
      "rate=48000\nversion=1\n",                                     // no version first
      "version=2\n",                                                 // a later format
      "version=1\nrate=fast\n",                                      // not a number
      "version=1\nrate=100\n",                                       // no such rate
      "version=1\nbuffer=4\n",                                       // too small a buffer
      "version=1\nplugin-state=abc\n",                               // half a byte
      "version=1\nplugin-state=zz\n",                                // not hexadecimal
      "version=1\ncolour=red\n",                                     // unknown key
      "version=1\njust words\n",                                     // no '='
      good.substr(0, good.find("plugin-state=") + 20) + "\x01\x02",  // cut off and garbled
  };
  for (const std::string& text : damaged) {
    AppSettings kept = Sample();
    EXPECT_FALSE(ParseSettings(text, &kept, &why)) << text;
    EXPECT_EQ(kept.preset, 17) << "a refused file changed the settings: " << text;
  }
}

TEST(AppSettings, StoreReplacesTheFileInOneStepAndReportsADamagedOne) {
  const std::string dir = MakeTempDirectory("selvarin-settings-");
  ASSERT_FALSE(dir.empty());
  const SettingsStore store(dir + "/deeper/selvarin");
  AppSettings loaded;
  std::string message;
  EXPECT_EQ(store.Load(&loaded, &message), SettingsStore::Loaded::kNothing);

  std::string error;
  ASSERT_TRUE(store.Save(Sample(), &error)) << error;  // creates the folders
  AppSettings other = Sample();
  other.preset = 3;
  ASSERT_TRUE(store.Save(other, &error)) << error;
  EXPECT_EQ(ListDirectory(dir + "/deeper/selvarin"), std::vector<std::string>{"selvarin.conf"})
      << "a temporary file was left behind";
  ASSERT_EQ(store.Load(&loaded, &message), SettingsStore::Loaded::kRead);
  EXPECT_EQ(loaded.preset, 3);

  ASSERT_TRUE(WriteFileReplacing(store.Path(), "version=1\nbuffer=lots\n", &error)) << error;
  loaded = AppSettings{};
  EXPECT_EQ(store.Load(&loaded, &message), SettingsStore::Loaded::kIgnored);
  EXPECT_NE(message.find(store.Path()), std::string::npos) << message;
  EXPECT_EQ(loaded.preset, -1);
  RemoveDirectoryTree(dir);
}

TEST(AppOptions, TakeWhatAUserTypesAndSayWhatIsWrong) {
  AppOptions o;
  std::string error;
  const char* run[] = {"selvarin", "--preset", "Sound sleep", "-p",    "Base Freq=432", "--tempo", "90.5",
                       "-d",       "2",        "--rate",      "44100", "--buffer",      "256",     "--verbose"};
  ASSERT_EQ(ParseAppOptions(14, run, &o, &error), AppCommand::kRun) << error;
  EXPECT_EQ(o.preset, "Sound sleep");
  ASSERT_EQ(o.params.size(), 1u);
  EXPECT_EQ(o.params[0].target, "Base Freq");
  EXPECT_EQ(o.params[0].value, "432");
  EXPECT_EQ(o.tempo, 90.5);
  EXPECT_EQ(o.device, "2");
  EXPECT_EQ(o.sampleRate, 44100.0);
  EXPECT_EQ(o.bufferFrames, 256);
  EXPECT_TRUE(o.verbose);

  const std::vector<std::vector<const char*>> wrong = {
      {"selvarin", "--tempo"},       {"selvarin", "--tempo", "0"},      {"selvarin", "--tempo", "1e3"},
      {"selvarin", "--rate", "nan"}, {"selvarin", "--buffer", "100.5"}, {"selvarin", "--buffer", "0x100"},
      {"selvarin", "-p", "=3"},      {"selvarin", "--device", ""},      {"selvarin", "--play"},
  };
  for (const auto& args : wrong) {
    AppOptions w;
    error.clear();
    EXPECT_EQ(ParseAppOptions(static_cast<int>(args.size()), args.data(), &w, &error), AppCommand::kError)
        << args.back();
    EXPECT_FALSE(error.empty());
  }
  const char* help[] = {"selvarin", "-h"};
  EXPECT_EQ(ParseAppOptions(2, help, &o, &error), AppCommand::kHelp);

  // The desktop's scale: Xft.dpi among other resources, 96 dpi being 1.
  EXPECT_EQ(ScaleFromDpi(XftDpiOfResources("Xcursor.size:\t24\nXft.dpi:\t192\nXft.hinting:\t1\n")), 2.0);
  EXPECT_EQ(ScaleFromDpi(XftDpiOfResources("Xft.dpi: 144\n")), 1.5);
  EXPECT_EQ(ScaleFromDpi(XftDpiOfResources("Xft.dpix:\t192\n")), 1.0);
  EXPECT_EQ(ScaleFromDpi(XftDpiOfResources("Xft.dpi:\tlarge\n")), 1.0);
}

}  // namespace
}  // namespace selvarin::test
