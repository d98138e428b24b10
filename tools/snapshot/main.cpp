// selvarin-snapshot: builds one Selvarin instance with its editor on the
// headless window host, applies a preset and parameters as a host would,
// performs scripted interactions, and writes the editor's window as PNG.
//
//   selvarin-snapshot -o docs/editor.png
//   selvarin-snapshot -P "Sound sleep" -p "LFO1 Target=Volume" -i "click:LFO1 Target" -o open.png
//   selvarin-snapshot -i "right-click:Wave" -o wave-list.png
//   selvarin-snapshot --scale 2 -o docs/editor@2x.png
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/selvarin.h"
#include "framework/param_entry.h"
#include "graphics/headless/headless_graphics.h"
#include "raster/raster_png_write.h"
#include "tools/platform/command_line.h"
#include "tools/render/param_resolve.h"
#include "tools/snapshot/snapshot_script.h"

namespace selvarin {
namespace {

const char kUsage[] =
    "usage: selvarin-snapshot [options]\n"
    "  -o, --output FILE      PNG to write (default editor.png)\n"
    "  -P, --preset NAME|N    load a factory preset first\n"
    "  -p, --param NAME=VALUE set a parameter (plain value or display text), repeatable\n"
    "  -i, --interact ACTION  click:NAME, right-click:NAME, hover:NAME, type:TEXT,\n"
    "                         type-enter:TEXT, tick:N (repeatable, in order)\n"
    "  -b, --blocks N         audio blocks rendered before the picture (default 8)\n"
    "  -s, --scale S          display scale from 1 to 4: the picture is S times\n"
    "                         the editor's size (default 1)\n"
    "  -h, --help             this text\n";

struct Options {
  std::string output = "editor.png";
  std::string preset;
  std::vector<ParamSetting> params;
  std::vector<SnapshotAction> actions;
  int blocks = 8;
  double scale = 1.0;
};

bool Parse(int argc, char** argv, Options* o, std::string* error, bool* help) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&](std::string* out) {
      if (i + 1 >= argc) {
        *error = "option " + a + " needs a value";
        return false;
      }
      *out = argv[++i];
      return true;
    };
    std::string v;
    if (a == "-h" || a == "--help") {
      *help = true;
      return true;
    } else if (a == "-o" || a == "--output") {
      if (!value(&o->output)) return false;
    } else if (a == "-P" || a == "--preset") {
      if (!value(&o->preset)) return false;
    } else if (a == "-p" || a == "--param") {
      if (!value(&v)) return false;
      const size_t eq = v.rfind('=');
      if (eq == std::string::npos || eq == 0) {
        *error = "parameter setting '" + v + "' is not NAME=VALUE";
        return false;
      }
      o->params.push_back(ParamSetting{v.substr(0, eq), v.substr(eq + 1)});
    } else if (a == "-i" || a == "--interact") {
      if (!value(&v)) return false;
      SnapshotAction act;
      if (!ParseSnapshotAction(v, &act, error)) return false;
      o->actions.push_back(act);
    } else if (a == "-b" || a == "--blocks") {
      if (!value(&v)) return false;
      double n = 0;
      if (!ParseNumber(v, &n) || n < 0 || n > 100000) {
        *error = "blocks must be a number from 0 to 100000";
        return false;
      }
      o->blocks = static_cast<int>(n);
    } else if (a == "-s" || a == "--scale") {
      if (!value(&v)) return false;
      double s = 0;
      if (!ParseNumber(v, &s) || !(s >= 1.0 && s <= 4.0)) {
        *error = "scale must be a number from 1 to 4";
        return false;
      }
      o->scale = s;
    } else {
      *error = "unknown option '" + a + "'";
      return false;
    }
  }
  return true;
}

std::vector<CatalogParam> Catalog(IAudioPlugin& plug) {
  std::vector<CatalogParam> out;
  for (int i = 0; i < plug.NParams(); ++i) {
    const IParamEntry* p = plug.Param(i);
    CatalogParam c;
    c.id = static_cast<uint32_t>(i);
    c.title = p->Name();
    c.units = p->Label();
    c.stepCount = p->Kind() == kParamDouble ? 0 : static_cast<int>(p->Max() - p->Min());
    c.minPlain = p->Min();
    c.maxPlain = p->Max();
    c.defaultPlain = p->DefaultValue();
    std::vector<std::string> texts;
    for (int k = 0; k < p->DisplayTextCount(); ++k) texts.emplace_back(p->DisplayTextAt(k)->text);
    if (!texts.empty() && IsTextValued(texts)) c.texts = texts;
    out.push_back(c);
  }
  return out;
}

int Run(const Options& o, std::string* error) {
  CLS_SELVARIN* plug = new CLS_SELVARIN(InstanceInfo{});
  int result = 1;
  do {
    auto* g = dynamic_cast<HeadlessGraphics*>(plug->Editor());
    if (!g) {
      *error = "this build's editor is not headless";
      break;
    }
    // The host's initialisation and processing set-up.
    plug->SetSampleRate(48000.0);
    for (int i = 0; i < plug->NParams(); ++i) plug->OnParameterChanged(i);
    plug->OnReset();

    std::vector<std::string> names;
    for (int i = 0; i < plug->PresetCount(); ++i) names.emplace_back(plug->PresetName(i));
    int preset = -1;
    if (!o.preset.empty() && !ResolvePreset(names, o.preset, &preset, error)) break;
    const std::vector<CatalogParam> catalog = Catalog(*plug);
    auto toNormalized = [&](uint32_t id, double plain) { return plug->Param(static_cast<int>(id))->ToNormalized(plain); };
    std::vector<ResolvedParam> settings;
    bool ok = true;
    for (const ParamSetting& s : o.params) {
      ResolvedParam r;
      if (!(ok = ResolveParam(catalog, s, toNormalized, &r, error))) break;
      settings.push_back(r);
    }
    if (!ok) break;
    if (preset >= 0) plug->LoadPreset(preset);
    for (const ResolvedParam& r : settings) {
      const int idx = static_cast<int>(r.id);
      plug->Param(idx)->SetFromNormalized(r.normalized);
      g->PushParamToControls(idx, r.normalized, true);
      plug->OnParameterChanged(idx);
    }

    // A few blocks so the LFO indicators show where the LFOs are.
    std::vector<double> l(512), rr(512);
    double* outs[2] = {l.data(), rr.data()};
    for (int b = 0; b < o.blocks; ++b) plug->RenderBlock(nullptr, outs, 512);

    g->SetScale(o.scale);
    g->CreateEditorWindow(nullptr);
    g->Tick();
    for (const SnapshotAction& a : o.actions)
      if (!(ok = PerformSnapshotAction(*g, a, error))) break;
    if (!ok) break;
    g->Tick();
    if (!RasterSavePng(g->Screen(), o.output.c_str(), true)) {
      *error = "cannot write " + o.output;
      break;
    }
    std::printf("%s\n", o.output.c_str());
    result = 0;
  } while (false);
  plug->release();
  return result;
}

}  // namespace
}  // namespace selvarin

int main(int argc, char** argv) {
  selvarin::UseUtf8Console();
  selvarin::Utf8Arguments args(argc, argv);
  selvarin::Options o;
  std::string error;
  bool help = false;
  if (!selvarin::Parse(args.Count(), args.Values(), &o, &error, &help)) {
    std::fprintf(stderr, "selvarin-snapshot: %s\n%s", error.c_str(), selvarin::kUsage);
    return 2;
  }
  if (help) {
    std::printf("%s", selvarin::kUsage);
    return 0;
  }
  const int rc = selvarin::Run(o, &error);
  if (rc != 0) std::fprintf(stderr, "selvarin-snapshot: %s\n", error.c_str());
  return rc;
}
