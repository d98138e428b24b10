#pragma once
// The module's class factory: describes its classes and creates instances.
#include <atomic>
#include <vector>

#include "pluginterfaces/base/ipluginbase.h"

namespace selvarin {

// Creates one object of a class and returns one reference to it, or null.
using CreateInstanceFn = Steinberg::FUnknown* (*)(void* context);

class PluginFactory : public Steinberg::IPluginFactory3 {
 public:
  explicit PluginFactory(const Steinberg::PFactoryInfo& info);
  virtual ~PluginFactory();
  PluginFactory(const PluginFactory&) = delete;
  PluginFactory& operator=(const PluginFactory&) = delete;

  void RegisterClass(const Steinberg::PClassInfo2& info, CreateInstanceFn create, void* context);

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override;
  Steinberg::uint32 PLUGIN_API release() override;

  Steinberg::tresult PLUGIN_API getFactoryInfo(Steinberg::PFactoryInfo* info) override;
  Steinberg::int32 PLUGIN_API countClasses() override;
  Steinberg::tresult PLUGIN_API getClassInfo(Steinberg::int32 index, Steinberg::PClassInfo* info) override;
  Steinberg::tresult PLUGIN_API getClassInfo2(Steinberg::int32 index, Steinberg::PClassInfo2* info) override;
  Steinberg::tresult PLUGIN_API createInstance(Steinberg::FIDString cid, Steinberg::FIDString iid,
                                               void** obj) override;
  // The class descriptions with their names and versions in UTF-16.
  Steinberg::tresult PLUGIN_API getClassInfoUnicode(Steinberg::int32 index, Steinberg::PClassInfoW* info) override;
  Steinberg::tresult PLUGIN_API setHostContext(Steinberg::FUnknown* context) override;

  Steinberg::uint32 RefCount() const { return refs_.load(); }
  // Adds a reference unless the last one is already gone (the factory is
  // then being destroyed); true when it added one.
  bool AddRefIfAlive();

 private:
  struct Entry {
    Steinberg::PClassInfo2 info;
    CreateInstanceFn create;
    void* context;
  };
  Steinberg::PFactoryInfo info_;
  std::vector<Entry> classes_;
  std::atomic<Steinberg::uint32> refs_{1};
};

}  // namespace selvarin
