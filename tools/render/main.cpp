// selvarin-render: renders the Selvarin VST3 instrument to an audio file.
#include <cstdio>
#include <string>

#include "tools/platform/command_line.h"
#include "tools/render/render_options.h"
#include "tools/render/render_session.h"
#include "tools/render/session_file.h"

int main(int argc, char** argv) {
  selvarin::UseUtf8Console();
  selvarin::Utf8Arguments args(argc, argv);
  selvarin::RenderOptions options;
  std::string error;
  switch (selvarin::ParseRenderOptions(args.Count(), args.Values(), &options, &error)) {
    case selvarin::ParseResult::kHelp:
      std::fputs(selvarin::RenderUsage(), stdout);
      return 0;
    case selvarin::ParseResult::kSessionHelp:
      std::fputs(selvarin::SessionHelp(), stdout);
      return 0;
    case selvarin::ParseResult::kError:
      std::fprintf(stderr, "selvarin-render: %s\n", error.c_str());
      return 2;
    case selvarin::ParseResult::kRun:
      break;
  }
  const int code = selvarin::RunRender(options, args.Values()[0], &error);
  // A render whose reader went away ends without a word.
  if (code != 0 && !error.empty()) std::fprintf(stderr, "selvarin-render: %s\n", error.c_str());
  return code;
}
