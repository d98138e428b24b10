// selvarin (Selvarin.exe on Windows): Selvarin as a desktop application.
// The plug-in's module is linked in and hosted through its VST3 interfaces;
// its editor shows in a window with the application's strip, and the sound
// goes live to the system's audio output.
#include <chrono>
#include <cstdio>

#include "selvarin_version.h"
#include "tools/standalone/app.h"
#include "tools/standalone/console.h"

int main(int argc, char** argv) {
  using namespace selvarin;
  const int64_t start =
      std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
  AttachToConsole();
  AppOptions options;
  std::string error;
  switch (ParseAppOptions(argc, argv, &options, &error)) {
    case AppCommand::kHelp:
      std::fputs(AppUsage(), stdout);
      return 0;
    case AppCommand::kVersion:
      std::printf("selvarin %s\n", SELVARIN_VERSION_STRING);
      return 0;
    case AppCommand::kError:
      std::fprintf(stderr, "selvarin: %s\n", error.c_str());
      return 2;
    case AppCommand::kRun:
      break;
  }
  if (options.listDevices) return App::ListDevices();
  if (options.listPresets || options.listParams) return App::ListPresets(options.listPresets, options.listParams);
  App app(options, start);
  return app.Run();
}
