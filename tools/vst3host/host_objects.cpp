#include "tools/vst3host/host_objects.h"

namespace selvarin {

sb::tresult PLUGIN_API HostParamQueue::getPoint(sb::int32 index, sb::int32& offset, sv::ParamValue& value) {
  if (index < 0 || index >= count_) return sb::kResultFalse;
  offset = offsets_[index];
  value = values_[index];
  return sb::kResultOk;
}

sb::tresult PLUGIN_API HostParamQueue::addPoint(sb::int32 offset, sv::ParamValue value, sb::int32& index) {
  if (count_ >= kMaxPoints) return sb::kResultFalse;
  offsets_[count_] = offset;
  values_[count_] = value;
  index = count_++;
  return sb::kResultOk;
}

bool HostParamChanges::Add(sv::ParamID id, sb::int32 offset, sv::ParamValue value) {
  sb::int32 index = 0;
  sv::IParamValueQueue* queue = addParameterData(id, index);
  sb::int32 pointIndex = 0;
  return queue && queue->addPoint(offset, value, pointIndex) == sb::kResultOk;
}

sv::IParamValueQueue* PLUGIN_API HostParamChanges::getParameterData(sb::int32 index) {
  if (index < 0 || index >= count_) return nullptr;
  return &queues_[static_cast<size_t>(index)];
}

sv::IParamValueQueue* PLUGIN_API HostParamChanges::addParameterData(const sv::ParamID& id, sb::int32& index) {
  for (sb::int32 i = 0; i < count_; ++i) {
    if (queues_[static_cast<size_t>(i)].getParameterId() == id) {
      index = i;
      return &queues_[static_cast<size_t>(i)];
    }
  }
  if (count_ >= static_cast<sb::int32>(queues_.size())) return nullptr;
  queues_[static_cast<size_t>(count_)].Reset(id);
  index = count_;
  return &queues_[static_cast<size_t>(count_++)];
}

sb::tresult PLUGIN_API HostEventList::getEvent(sb::int32 index, sv::Event& e) {
  if (index < 0 || index >= count_) return sb::kResultFalse;
  e = events_[index];
  return sb::kResultOk;
}

sb::tresult PLUGIN_API HostEventList::addEvent(sv::Event& e) {
  if (count_ >= kMaxEvents) return sb::kResultFalse;
  events_[count_++] = e;
  return sb::kResultOk;
}

sb::tresult PLUGIN_API HostApp::getName(sv::String128 name) {
  if (!name) return sb::kInvalidArgument;
  size_t i = 0;
  for (; i < 127 && i < name_.size(); ++i) name[i] = static_cast<sv::TChar>(static_cast<unsigned char>(name_[i]));
  name[i] = 0;
  return sb::kResultOk;
}

}  // namespace selvarin
