#include "vst3/plugin_factory.h"

#include <cstring>

namespace selvarin {

namespace sb = Steinberg;

PluginFactory::PluginFactory(const sb::PFactoryInfo& info) : info_(info) {}

PluginFactory::~PluginFactory() = default;

void PluginFactory::RegisterClass(const sb::PClassInfo2& info, CreateInstanceFn create, void* context) {
  classes_.push_back({info, create, context});
}

sb::tresult PLUGIN_API PluginFactory::queryInterface(const sb::TUID iid, void** obj) {
  if (!obj) return sb::kInvalidArgument;
  if (sb::FUnknownPrivate::iidEqual(iid, sb::FUnknown::iid) ||
      sb::FUnknownPrivate::iidEqual(iid, sb::IPluginFactory::iid) ||
      sb::FUnknownPrivate::iidEqual(iid, sb::IPluginFactory2::iid) ||
      sb::FUnknownPrivate::iidEqual(iid, sb::IPluginFactory3::iid)) {
    addRef();
    *obj = static_cast<sb::IPluginFactory3*>(this);
    return sb::kResultOk;
  }
  *obj = nullptr;
  return sb::kNoInterface;
}

sb::uint32 PLUGIN_API PluginFactory::addRef() { return ++refs_; }

bool PluginFactory::AddRefIfAlive() {
  sb::uint32 n = refs_.load();
  while (n > 0)
    if (refs_.compare_exchange_weak(n, n + 1)) return true;
  return false;
}

sb::uint32 PLUGIN_API PluginFactory::release() {
  const sb::uint32 left = --refs_;
  if (left == 0) delete this;
  return left;
}

sb::tresult PLUGIN_API PluginFactory::getFactoryInfo(sb::PFactoryInfo* info) {
  if (!info) return sb::kInvalidArgument;
  *info = info_;
  return sb::kResultOk;
}

sb::int32 PLUGIN_API PluginFactory::countClasses() { return static_cast<sb::int32>(classes_.size()); }

sb::tresult PLUGIN_API PluginFactory::getClassInfo(sb::int32 index, sb::PClassInfo* info) {
  if (!info || index < 0 || index >= countClasses()) return sb::kInvalidArgument;
  const sb::PClassInfo2& c = classes_[static_cast<size_t>(index)].info;
  *info = sb::PClassInfo();
  std::memcpy(info->cid, c.cid, sizeof(sb::TUID));
  info->cardinality = c.cardinality;
  std::memcpy(info->category, c.category, sizeof info->category);
  std::memcpy(info->name, c.name, sizeof info->name);
  return sb::kResultOk;
}

sb::tresult PLUGIN_API PluginFactory::getClassInfo2(sb::int32 index, sb::PClassInfo2* info) {
  if (!info || index < 0 || index >= countClasses()) return sb::kInvalidArgument;
  *info = classes_[static_cast<size_t>(index)].info;
  return sb::kResultOk;
}

sb::tresult PLUGIN_API PluginFactory::createInstance(sb::FIDString cid, sb::FIDString iid, void** obj) {
  if (!obj) return sb::kInvalidArgument;
  *obj = nullptr;
  if (!cid || !iid) return sb::kInvalidArgument;
  for (const Entry& entry : classes_) {
    if (std::memcmp(entry.info.cid, cid, sizeof(sb::TUID)) != 0) continue;
    sb::FUnknown* instance = entry.create ? entry.create(entry.context) : nullptr;
    if (!instance) return sb::kOutOfMemory;
    const sb::tresult r = instance->queryInterface(iid, obj);
    instance->release();  // the reference the caller asked for is the one queryInterface added
    if (r != sb::kResultOk) *obj = nullptr;
    return r;
  }
  return sb::kNoInterface;
}

sb::tresult PLUGIN_API PluginFactory::getClassInfoUnicode(sb::int32 index, sb::PClassInfoW* info) {
  if (!info || index < 0 || index >= countClasses()) return sb::kInvalidArgument;
  *info = sb::PClassInfoW();
  info->fromAscii(classes_[static_cast<size_t>(index)].info);
  return sb::kResultOk;
}

// The factory needs nothing of the host.
sb::tresult PLUGIN_API PluginFactory::setHostContext(sb::FUnknown*) { return sb::kNotImplemented; }

}  // namespace selvarin
