// Parameter queries and conversions, and the unit and program-list
// information (user-interface thread; no lock but for preset names).
#include <cmath>

#include "framework/bounded_copy.h"
#include "vst3/normalized.h"
#include "vst3/text16.h"
#include "vst3/vst3_adapter.h"

namespace selvarin {

sb::tresult PLUGIN_API IVST3Adapter::getParameterInfo(sb::int32 paramIndex, sv::ParameterInfo& info) {
  if (paramIndex < 0 || paramIndex >= parameters.getParameterCount()) return sb::kResultFalse;
  return SingleComponentEffect::getParameterInfo(paramIndex, info);
}

sb::tresult PLUGIN_API IVST3Adapter::getParamStringByValue(sv::ParamID id, sv::ParamValue normalized,
                                                           sv::String128 out) {
  if (!out || id >= static_cast<sv::ParamID>(NParams())) return sb::kResultFalse;
  char text[IParamEntry::kTextSize] = {};
  Param(static_cast<int>(id))->FormatValue(SafeNormalized(normalized), true, text);
  Widen8(text, out, 128);
  return sb::kResultOk;
}

sb::tresult PLUGIN_API IVST3Adapter::getParamValueByString(sv::ParamID id, sv::TChar* text,
                                                           sv::ParamValue& normalized) {
  if (!text) return sb::kResultFalse;
  return SingleComponentEffect::getParamValueByString(id, text, normalized);
}

sv::ParamValue PLUGIN_API IVST3Adapter::normalizedParamToPlain(sv::ParamID id, sv::ParamValue normalized) {
  // An id without a parameter object gives the value back unchanged.
  if (!getParameterObject(id)) return normalized;
  return SingleComponentEffect::normalizedParamToPlain(id, SafeNormalized(normalized));
}

sv::ParamValue PLUGIN_API IVST3Adapter::plainParamToNormalized(sv::ParamID id, sv::ParamValue plain) {
  if (id == kPresetParamId) {
    if (PresetCount() < 2 || !std::isfinite(plain)) return 0.0;
    return plain / (PresetCount() - 1);
  }
  if (id < static_cast<sv::ParamID>(NParams())) {
    if (!std::isfinite(plain)) return 0.0;
    return Param(static_cast<int>(id))->ToNormalized(plain);
  }
  return plain;
}

sv::ParamValue PLUGIN_API IVST3Adapter::getParamNormalized(sv::ParamID id) {
  if (id == kBypassParamId) return IsBypassed() ? 1.0 : 0.0;
  if (id == kPresetParamId) return PresetCount() > 1 ? static_cast<double>(CurrentPresetIdx()) / (PresetCount() - 1) : 0.0;
  if (id < static_cast<sv::ParamID>(NParams())) return Param(static_cast<int>(id))->NormalizedValue();
  return 0.0;
}

sb::tresult PLUGIN_API IVST3Adapter::setParamNormalized(sv::ParamID id, sv::ParamValue value) {
  threadCheck_.Enter(HostThread::kUi, "setParamNormalized");
  const bool known = id == kBypassParamId || id == kPresetParamId || id < static_cast<sv::ParamID>(NParams());
  if (!known) return sb::kResultFalse;
  if (!std::isfinite(value)) return sb::kResultOk;  // nothing sensible to set
  value = SafeNormalized(value);
  if (id == kBypassParamId) {
    SetBypassed(value != 0.0);
  } else if (id == kPresetParamId) {
    if (PresetCount() > 0) SetCurrentPresetIdx(PresetIndexFromNormalized(value));
  } else {
    Param(static_cast<int>(id))->SetFromNormalized(value);
  }
  return sb::kResultOk;
}

sb::int32 PLUGIN_API IVST3Adapter::getUnitCount() { return 1 + static_cast<sb::int32>(ParamGroups().size()); }

sb::tresult PLUGIN_API IVST3Adapter::getUnitInfo(sb::int32 unitIndex, sv::UnitInfo& info) {
  if (unitIndex == 0) {
    info.id = sv::kRootUnitId;
    info.parentUnitId = sv::kNoParentUnitId;
    Widen8("Root Unit", info.name, 128);
    info.programListId = static_cast<sv::ProgramListID>(kPresetParamId);
    return sb::kResultTrue;
  }
  if (unitIndex > 0 && unitIndex <= static_cast<sb::int32>(ParamGroups().size())) {
    info.id = unitIndex;
    info.parentUnitId = sv::kRootUnitId;
    Widen8(ParamGroups()[static_cast<size_t>(unitIndex - 1)], info.name, 128);
    info.programListId = sv::kNoProgramListId;
    return sb::kResultTrue;
  }
  return sb::kResultFalse;
}

sb::int32 PLUGIN_API IVST3Adapter::getProgramListCount() { return PresetCount() > 0 ? 1 : 0; }

sb::tresult PLUGIN_API IVST3Adapter::getProgramListInfo(sb::int32 listIndex, sv::ProgramListInfo& info) {
  if (listIndex != 0 || PresetCount() <= 0) return sb::kResultFalse;
  info.id = static_cast<sv::ProgramListID>(kPresetParamId);
  Widen8("Factory Presets", info.name, 128);
  info.programCount = PresetCount();
  return sb::kResultTrue;
}

sb::tresult PLUGIN_API IVST3Adapter::getProgramName(sv::ProgramListID listId, sb::int32 programIndex,
                                                    sv::String128 name) {
  if (listId != static_cast<sv::ProgramListID>(kPresetParamId) || !name) return sb::kResultFalse;
  // Selecting an empty slot names it, on the audio thread: the name is
  // copied under the plug-in lock, the only query here that takes it.
  char text[256];
  {
    ScopedLock lock(Mutex());
    CopyBounded(text, PresetName(programIndex));
  }
  Widen8(text, name, 128);
  return sb::kResultOk;
}

}  // namespace selvarin
