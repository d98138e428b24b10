// Preset slots, the parameter state chunk and the preset bank.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "framework/audio_plugin.h"
#include "framework/bounded_copy.h"

namespace selvarin {

namespace {
constexpr const char kUserPresetName[] = "user preset";
}

// ---- presets ----

void IAudioPlugin::AddDefaultPreset(const char* name, int count) {
  for (int n = 0; n < count; ++n) {
    for (auto& slot : presets_) {
      if (slot->initialized) continue;
      slot->initialized = true;
      CopyBounded(slot->name, name ? name : "Default");
      break;
    }
  }
}

void IAudioPlugin::AddPreset(const char* name, const double* values) {
  for (auto& slot : presets_) {
    if (slot->initialized) continue;
    slot->initialized = true;
    CopyBounded(slot->name, name);
    for (int i = 0; i < NParams(); ++i) {
      double v = values ? values[i] : 0.0;
      // Integer kinds arrive as whole numbers; store them as such.
      // Out-of-range numbers saturate (converting them to int is undefined).
      if (IsIntegerKind(Param(i)->Kind()) && std::isfinite(v))
        v = v >= 2147483647.0 ? 2147483647.0 : v <= -2147483648.0 ? -2147483648.0 : std::trunc(v);
      slot->chunk.PutDouble(v);
    }
    for (auto& s : stateStrings_) slot->chunk.PutString(s.data()[0] ? s.data() : "0");
    return;
  }
}

void IAudioPlugin::NextUserPresetName(char out[256]) const {
  int count = 0;
  for (const auto& slot : presets_)
    if (std::strstr(slot->name, kUserPresetName)) ++count;
  std::snprintf(out, 256, "%s %d", kUserPresetName, count + 1);
}

bool IAudioPlugin::LoadPreset(int idx) {
  if (idx < 0 || idx >= PresetCount()) return false;
  ScopedLock lock(mutex_);
  PresetSlot& slot = *presets_[static_cast<size_t>(idx)];
  bool ok;
  if (!slot.initialized) {
    slot.initialized = true;
    char name[256];
    NextUserPresetName(name);
    CopyBounded(slot.name, name);
    ok = true;
  } else if (slot.chunk.Size() == 0) {
    // A slot made without values (the default entry) stands for the defaults.
    SetCurrentPresetIdx(idx);
    for (int i = 0; i < NParams(); ++i) {
      Param(i)->SetFromReal(Param(i)->DefaultValue());
      OnParameterChanged(i);
    }
    ok = true;
  } else {
    SetCurrentPresetIdx(idx);
    ok = ReadParamState(&slot.chunk, 0) > 0;
  }
  if (ok) {
    SetCurrentPresetIdx(idx);
    PushParamsToEditor();
  }
  return ok;
}

const char* IAudioPlugin::PresetName(int idx) const {
  const PresetSlot* slot = Preset(idx);
  return slot ? slot->name : "";
}

const PresetSlot* IAudioPlugin::Preset(int idx) const {
  return idx >= 0 && idx < PresetCount() ? presets_[static_cast<size_t>(idx)].get() : nullptr;
}

// ---- state strings ----

int IAudioPlugin::AddStateString(int maxLength) {
  if (maxLength < 0) maxLength = 0;
  stateStrings_.emplace_back(static_cast<size_t>(maxLength) + 1, '\0');
  stateStringLengths_.push_back(maxLength);
  return StateStringCount() - 1;
}

char* IAudioPlugin::StateString(int idx) {
  return idx >= 0 && idx < StateStringCount() ? stateStrings_[static_cast<size_t>(idx)].data() : nullptr;
}

// ---- the parameter state chunk ----

bool IAudioPlugin::WriteParamState(StateChunk* chunk) {
  if (!chunk) return false;
  ScopedLock lock(mutex_);
  bool ok = true;
  for (int i = 0; i < NParams() && ok; ++i) ok = chunk->PutDouble(Param(i)->Value());
  for (auto& s : stateStrings_) {
    if (!ok) break;
    if (s.size() > 1 && s[0] == '\0') {
      s[0] = '0';
      s[1] = '\0';
    }
    ok = chunk->PutString(s.data());
  }
  return ok;
}

int IAudioPlugin::ReadParamState(const StateChunk* chunk, int pos) {
  if (!chunk) return -1;
  ScopedLock lock(mutex_);
  for (int i = 0; i < NParams() && pos >= 0; ++i) {
    double x = 0.0;
    pos = chunk->GetDouble(&x, pos);
    // A value that is not there, or not a number, leaves the parameter as it was.
    if (pos < 0 || !std::isfinite(x)) continue;
    if (ShouldRestoreParam(i, CurrentPresetIdx())) {
      Param(i)->SetFromReal(x);
      OnParameterChanged(i);
    }
  }
  const char* previous = "";
  char text[4096];
  for (int j = 0; j < StateStringCount() && pos >= 0; ++j) {
    int32_t len = 0;
    const int at = chunk->GetInt32(&len, pos);
    if (at < 0) {
      pos = -1;
      break;
    }
    const int64_t next = static_cast<int64_t>(at) + (len > 0 ? len : 0);
    if (next > chunk->Size()) {
      pos = -1;
      break;
    }
    pos = static_cast<int>(next);
    if (len > 0) {
      const int n = len < static_cast<int>(sizeof(text)) - 1 ? len : static_cast<int>(sizeof(text)) - 1;
      std::memcpy(text, chunk->Data() + at, static_cast<size_t>(n));
      text[n] = '\0';
      previous = text;
    }
    if (previous[0] == '\0' || std::strcmp(previous, "0") == 0) continue;
    const int limit = commonStateStringLength_ > 0 ? commonStateStringLength_ : stateStringLengths_[static_cast<size_t>(j)];
    std::vector<char>& dst = stateStrings_[static_cast<size_t>(j)];
    CopyBounded(dst.data(), std::min<size_t>(dst.size(), static_cast<size_t>(limit) + 1), previous);
    OnStateStringRestored(j, 0);
  }
  return pos;
}

// ---- the preset bank ----

bool IAudioPlugin::WritePresetBank(StateChunk* chunk) {
  if (!chunk) return false;
  ScopedLock lock(mutex_);
  for (const auto& slot : presets_) {
    const unsigned char made = slot->initialized ? 1 : 0;
    if (!chunk->PutString(slot->name) || !chunk->PutBytes(&made, 1)) return false;
    if (made && !chunk->PutBytes(slot->chunk.Data(), slot->chunk.Size())) return false;
  }
  return true;
}

int IAudioPlugin::ReadPresetBank(const StateChunk* chunk, int pos) {
  if (!chunk) return -1;
  ScopedLock lock(mutex_);
  char name[256] = {};
  for (auto& slot : presets_) {
    if (pos < 0) break;
    int32_t len = 0;
    const int at = chunk->GetInt32(&len, pos);
    if (at >= 0 && len >= 0 && static_cast<int64_t>(at) + len <= chunk->Size()) {
      const int n = len < 255 ? len : 255;
      std::memcpy(name, chunk->Data() + at, static_cast<size_t>(n));
      name[n] = '\0';
      pos = at + len;
    } else {
      pos = -1;
      break;
    }
    unsigned char made = 0;
    pos = chunk->GetBytes(&made, 1, pos);
    if (pos < 0) break;
    CopyBounded(slot->name, name);
    slot->initialized = made != 0;
    if (!slot->initialized) continue;
    const int after = ReadParamState(chunk, pos);
    if (after > 0) {
      slot->chunk.Clear();
      WriteParamState(&slot->chunk);
    }
    pos = after;
  }
  LoadPreset(CurrentPresetIdx());
  return pos;
}

}  // namespace selvarin
