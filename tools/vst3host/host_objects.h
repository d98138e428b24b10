#pragma once
// What a host hands a plug-in on every processing call: parameter-change
// queues and an event list, with fixed capacities so that filling them
// allocates nothing per block; and the host application object.
#include <string>
#include <vector>

#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivsthostapplication.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"

namespace selvarin {

namespace sb = Steinberg;
namespace sv = Steinberg::Vst;

// FUnknown for objects the host owns and keeps alive for the whole call:
// reference counting is a no-op.
#define SELVARIN_HOST_OWNED_UNKNOWN(Interface)                                             \
  sb::tresult PLUGIN_API queryInterface(const sb::TUID iid, void** obj) override {          \
    if (!obj) return sb::kInvalidArgument;                                                   \
    if (sb::FUnknownPrivate::iidEqual(iid, sb::FUnknown::iid) ||                            \
        sb::FUnknownPrivate::iidEqual(iid, Interface::iid)) {                               \
      *obj = static_cast<Interface*>(this);                                                  \
      return sb::kResultOk;                                                                  \
    }                                                                                        \
    *obj = nullptr;                                                                          \
    return sb::kNoInterface;                                                                 \
  }                                                                                          \
  sb::uint32 PLUGIN_API addRef() override { return 1; }                                      \
  sb::uint32 PLUGIN_API release() override { return 1; }

class HostParamQueue : public sv::IParamValueQueue {
 public:
  static constexpr int kMaxPoints = 64;
  void Reset(sv::ParamID id) { id_ = id; count_ = 0; }
  sv::ParamID PLUGIN_API getParameterId() override { return id_; }
  sb::int32 PLUGIN_API getPointCount() override { return count_; }
  sb::tresult PLUGIN_API getPoint(sb::int32 index, sb::int32& offset, sv::ParamValue& value) override;
  sb::tresult PLUGIN_API addPoint(sb::int32 offset, sv::ParamValue value, sb::int32& index) override;
  SELVARIN_HOST_OWNED_UNKNOWN(sv::IParamValueQueue)

 private:
  sv::ParamID id_ = 0;
  sb::int32 count_ = 0;
  sb::int32 offsets_[kMaxPoints] = {};
  sv::ParamValue values_[kMaxPoints] = {};
};

class HostParamChanges : public sv::IParameterChanges {
 public:
  explicit HostParamChanges(int capacity = 64) : queues_(static_cast<size_t>(capacity)) {}
  void Clear() { count_ = 0; }
  // Adds a point to the queue of id (creating the queue); false when full.
  bool Add(sv::ParamID id, sb::int32 offset, sv::ParamValue value);
  sb::int32 PLUGIN_API getParameterCount() override { return count_; }
  sv::IParamValueQueue* PLUGIN_API getParameterData(sb::int32 index) override;
  sv::IParamValueQueue* PLUGIN_API addParameterData(const sv::ParamID& id, sb::int32& index) override;
  SELVARIN_HOST_OWNED_UNKNOWN(sv::IParameterChanges)

 private:
  std::vector<HostParamQueue> queues_;
  sb::int32 count_ = 0;
};

class HostEventList : public sv::IEventList {
 public:
  static constexpr int kMaxEvents = 256;
  void Clear() { count_ = 0; }
  sb::int32 PLUGIN_API getEventCount() override { return count_; }
  sb::tresult PLUGIN_API getEvent(sb::int32 index, sv::Event& e) override;
  sb::tresult PLUGIN_API addEvent(sv::Event& e) override;
  SELVARIN_HOST_OWNED_UNKNOWN(sv::IEventList)

 private:
  sb::int32 count_ = 0;
  sv::Event events_[kMaxEvents] = {};
};

class HostApp : public sv::IHostApplication {
 public:
  explicit HostApp(std::string name) : name_(std::move(name)) {}
  sb::tresult PLUGIN_API getName(sv::String128 name) override;
  sb::tresult PLUGIN_API createInstance(sb::TUID, sb::TUID, void** obj) override {
    if (obj) *obj = nullptr;
    return sb::kResultFalse;  // the host offers no messages: nothing is exchanged
  }
  SELVARIN_HOST_OWNED_UNKNOWN(sv::IHostApplication)

 private:
  std::string name_;
};

}  // namespace selvarin
