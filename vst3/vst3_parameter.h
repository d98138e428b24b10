#pragma once
// One plug-in parameter as the host sees it: an SDK Parameter whose texts and
// conversions are those of the plug-in's own parameter record.
#include "framework/param_entry.h"
#include "public.sdk/source/vst/vstparameters.h"

namespace selvarin {

class IVST3Parameter : public Steinberg::Vst::Parameter {
 public:
  IVST3Parameter(IParamEntry* entry, Steinberg::Vst::ParamID id, Steinberg::Vst::UnitID unit);

  void toString(Steinberg::Vst::ParamValue normalized, Steinberg::Vst::String128 out) const override;
  bool fromString(const Steinberg::Vst::TChar* text, Steinberg::Vst::ParamValue& normalized) const override;
  Steinberg::Vst::ParamValue toPlain(Steinberg::Vst::ParamValue normalized) const override;
  Steinberg::Vst::ParamValue toNormalized(Steinberg::Vst::ParamValue plain) const override;

  IParamEntry* Entry() const { return entry_; }

  OBJ_METHODS(IVST3Parameter, Steinberg::Vst::Parameter)

 private:
  IParamEntry* entry_;
};

}  // namespace selvarin
