#include "tools/render/session_setup.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>

#include "tools/render/block_processor.h"
#include "tools/render/output_file.h"
#include "tools/render/session_source.h"

namespace selvarin {

namespace {

// The session's text; false when it cannot be read, with the reason in
// *error or (for a wrong line) in *errors.
bool LoadSessionText(const std::string& path, std::string* text, std::vector<SessionError>* errors,
                     std::string* error) {
  SessionError wrong;
  bool read = false;
  if (path == "-") {
    read = ReadSessionText(std::cin, SessionLimits{}, text, &wrong);
  } else {
    // A UTF-8 name, on Windows too (where a plain char name is ANSI).
    std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
    // A folder opens as a stream too, but holds no text.
    if (!in || KindOfPath(path) == PathKind::kDirectory) {
      *error = "cannot read the session file " + path;
      return false;
    }
    read = ReadSessionText(in, SessionLimits{}, text, &wrong);
  }
  if (!read) errors->push_back(wrong);
  return read;
}

// A second instance of the plug-in that loads presets on request, so that
// the session knows every parameter's value after a preset change without
// touching the instance that renders.
class PresetProbe {
 public:
  PresetProbe(const RenderOptions& o, const SessionHostView& v) : o_(o), view_(v) {}

  std::map<uint32_t, double> Values(int index) {
    auto cached = cache_.find(index);
    if (cached != cache_.end()) return cached->second;
    std::map<uint32_t, double> values;
    if (Start()) {
      const size_t count = view_.presets->size();
      proc_->Changes().Add(kPresetParamId, 0, count > 1 ? static_cast<double>(index) / (count - 1) : 0.0);
      proc_->Process(0, 0);
      for (const CatalogParam& p : *view_.catalog) {
        const double x = plugin_.controller->getParamNormalized(p.id);
        values[p.id] = plugin_.controller->normalizedParamToPlain(p.id, x);
      }
    }
    cache_[index] = values;
    return values;
  }

 private:
  bool Start() {
    if (proc_) return true;
    if (tried_) return false;
    tried_ = true;
    std::string error;
    if (!plugin_.Create(view_.factory, view_.hostContext, &error)) return false;
    if (!StartProcessing(o_, plugin_, &error)) return false;
    proc_ = std::make_unique<BlockProcessor>(o_, plugin_);
    return true;
  }

  const RenderOptions& o_;
  SessionHostView view_;
  HostedPlugin plugin_;
  std::unique_ptr<BlockProcessor> proc_;
  bool tried_ = false;
  std::map<int, std::map<uint32_t, double>> cache_;
};

std::string SessionName(const std::string& path) { return path == "-" ? "stdin" : path; }

// Prints every error as FILE:LINE: what is wrong, in line order; returns
// false with the summary.
bool ReportSessionErrors(const RenderOptions& o, std::vector<SessionError>* errors, std::string* error) {
  std::stable_sort(errors->begin(), errors->end(),
                   [](const SessionError& a, const SessionError& b) { return a.line < b.line; });
  std::fputs(FormatSessionErrors(SessionName(o.session), *errors).c_str(), stderr);
  *error = std::to_string(errors->size()) + (errors->size() == 1 ? " error" : " errors") + " in " +
           SessionName(o.session) + "; nothing rendered";
  return false;
}

}  // namespace

TimelinePlugin MakeTimelinePlugin(const RenderOptions& o, const SessionHostView& view) {
  TimelinePlugin tp;
  tp.catalog = view.catalog;
  tp.presets = view.presets;
  sv::IEditController* c = view.plugin->controller;
  tp.toNormalized = [c](uint32_t id, double plain) { return c->plainParamToNormalized(id, plain); };
  tp.toPlain = [c](uint32_t id, double x) { return c->normalizedParamToPlain(id, x); };
  tp.displayText = [c](uint32_t id, double plain) {
    sv::String128 s = {};
    if (c->getParamStringByValue(id, c->plainParamToNormalized(id, plain), s) != sb::kResultOk) return std::string();
    return Narrow(s);
  };
  auto probe = std::make_shared<PresetProbe>(o, view);
  tp.presetValues = [probe](int index) { return probe->Values(index); };
  return tp;
}

bool PrepareTimeline(const RenderOptions& o, const SessionHostView& view, int startPreset,
                     const std::vector<ResolvedParam>& startParams, Timeline* out, std::string* error) {
  const TimelinePlugin tp = MakeTimelinePlugin(o, view);
  // The state at 0:00: defaults, the -P preset, the -p settings.
  std::map<uint32_t, double> start;
  for (const CatalogParam& p : *view.catalog) start[p.id] = p.defaultPlain;
  if (startPreset >= 0)
    for (const auto& kv : tp.presetValues(startPreset)) start[kv.first] = kv.second;
  for (const ResolvedParam& r : startParams) start[r.id] = tp.toPlain(r.id, r.normalized);

  SessionScript script;
  std::vector<SessionError> errors;
  if (!o.session.empty()) {
    std::string text;
    if (!LoadSessionText(o.session, &text, &errors, error))
      return errors.empty() ? false : ReportSessionErrors(o, &errors, error);
    ParseSession(text, SessionName(o.session), &script, &errors);
  }
  ResolveTimeline(script, tp, start, o.sampleRate, o.session.empty() || o.durationGiven ? o.seconds : 0.0, out,
                  &errors);
  return errors.empty() || ReportSessionErrors(o, &errors, error);
}

}  // namespace selvarin
