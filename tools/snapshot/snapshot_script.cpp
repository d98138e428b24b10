#include "tools/snapshot/snapshot_script.h"

#include <cstdlib>
#include <cstring>

#include "framework/audio_plugin.h"
#include "framework/param_entry.h"
#include "graphics/headless/headless_graphics.h"

namespace selvarin {

namespace {
// The centre of the visible control bound to the named parameter.
bool FindControl(HeadlessGraphics& g, const std::string& name, int* x, int* y) {
  if (name == "background") {
    *x = 5;
    *y = 5;
    return true;
  }
  if (name == "title") {
    *x = 274;
    *y = 38;
    return true;
  }
  g.SyncFromPlugin();
  for (int i = 0; i < g.NControls(); ++i) {
    IControl* c = g.Control(i);
    const IParamEntry* p = c->Param();
    if (!p || c->hidden || name != p->Name()) continue;
    *x = (c->rect.L + c->rect.R) / 2;
    // Knobs carry their value text below the image: aim at the image.
    *y = c->rect.T + (c->rect.B - c->rect.T) * 2 / 5;
    return true;
  }
  return false;
}
}  // namespace

bool ParseSnapshotAction(const std::string& text, SnapshotAction* out, std::string* error) {
  const size_t colon = text.find(':');
  const std::string verb = text.substr(0, colon);
  const std::string arg = colon == std::string::npos ? std::string() : text.substr(colon + 1);
  SnapshotAction a;
  a.argument = arg;
  if (verb == "click") a.kind = SnapshotAction::kClick;
  else if (verb == "right-click") a.kind = SnapshotAction::kRightClick;
  else if (verb == "hover") a.kind = SnapshotAction::kHover;
  else if (verb == "type") a.kind = SnapshotAction::kType;
  else if (verb == "type-enter") a.kind = SnapshotAction::kTypeEnter;
  else if (verb == "tick") a.kind = SnapshotAction::kTick;
  else {
    *error = "unknown interaction '" + text + "' (click:, right-click:, hover:, type:, type-enter:, tick:)";
    return false;
  }
  if (a.kind != SnapshotAction::kTick && a.kind != SnapshotAction::kType && a.kind != SnapshotAction::kTypeEnter &&
      arg.empty()) {
    *error = "interaction '" + text + "' names no control";
    return false;
  }
  *out = a;
  return true;
}

bool PerformSnapshotAction(HeadlessGraphics& g, const SnapshotAction& a, std::string* error) {
  int x = 0, y = 0;
  switch (a.kind) {
    case SnapshotAction::kClick:
    case SnapshotAction::kRightClick:
    case SnapshotAction::kHover:
      if (!FindControl(g, a.argument, &x, &y)) {
        *error = "no visible control named '" + a.argument + "'";
        return false;
      }
      // Where that is in the (scaled) window.
      x = g.ToDevice(x);
      y = g.ToDevice(y);
      if (a.kind == SnapshotAction::kHover) {
        g.MouseMove(x, y);
      } else {
        if (a.kind == SnapshotAction::kClick) g.LeftDown(x, y); else g.RightDown(x, y);
        g.ButtonUp(x, y);
      }
      break;
    case SnapshotAction::kType:
    case SnapshotAction::kTypeEnter:
      g.TypeText(a.argument.c_str());
      if (a.kind == SnapshotAction::kTypeEnter) g.KeyDown(kVkReturn);
      break;
    case SnapshotAction::kTick: {
      const int n = a.argument.empty() ? 1 : std::atoi(a.argument.c_str());
      for (int i = 1; i < n; ++i) g.Tick();
      break;
    }
  }
  g.Tick();
  return true;
}

}  // namespace selvarin
