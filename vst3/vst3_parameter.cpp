#include "vst3/vst3_parameter.h"

#include <cmath>
#include <cstdlib>

#include "framework/decimal_number.h"
#include "vst3/normalized.h"
#include "vst3/text16.h"

namespace selvarin {

namespace sv = Steinberg::Vst;

IVST3Parameter::IVST3Parameter(IParamEntry* entry, sv::ParamID id, sv::UnitID unit) : entry_(entry) {
  info.id = id;
  Widen8(entry->Name(), info.title, 128);
  Widen8(entry->Label(), info.units, 128);
  info.shortTitle[0] = 0;
  const double range = entry->Max() - entry->Min();
  info.stepCount = entry->Kind() == kParamDouble ? 0 : static_cast<Steinberg::int32>(range);
  double def = 0.0;
  if (range > 0.0) {
    const double shape = entry->Shape() > 0.0 ? entry->Shape() : 1.0;
    def = std::pow((entry->DefaultValue() - entry->Min()) / range, 1.0 / shape);
  }
  info.defaultNormalizedValue = valueNormalized = def;
  info.unitId = unit;
  info.flags = entry->CanAutomate() ? sv::ParameterInfo::kCanAutomate : 0;
  precision = entry->Precision();
}

void IVST3Parameter::toString(sv::ParamValue normalized, sv::String128 out) const {
  char text[IParamEntry::kTextSize] = {};
  entry_->FormatValue(SafeNormalized(normalized), true, text);
  Widen8(text, out, 128);
}

bool IVST3Parameter::fromString(const sv::TChar* text, sv::ParamValue& normalized) const {
  char narrow[256];
  Narrow16(text, narrow, sizeof narrow, 255);
  // A display text the host shows ("Sine", "1/4") reads back as its entry.
  int entryValue = 0;
  if (entry_->ParseDisplayText(narrow, &entryValue)) {
    normalized = SafeNormalized(entry_->ToNormalized(entryValue));
    return true;
  }
  double v = LeadingDecimal(narrow);  // a host may run with a comma for its decimal mark
  if (!std::isfinite(v)) v = 0.0;
  normalized = SafeNormalized(entry_->ToNormalized(v));
  return true;
}

sv::ParamValue IVST3Parameter::toPlain(sv::ParamValue normalized) const {
  return entry_->FromNormalized(SafeNormalized(normalized));
}

sv::ParamValue IVST3Parameter::toNormalized(sv::ParamValue plain) const {
  if (!std::isfinite(plain)) return 0.0;
  return SafeNormalized(entry_->ToNormalized(plain));
}

}  // namespace selvarin
