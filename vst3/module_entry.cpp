// The module's exported entry points and its one factory. The platform's
// own entry (DllMain on Windows, ModuleEntry on Linux) records the module
// handle; see the platform folders.
#include <cstring>
#include <mutex>
#include <new>

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "vst3/class_id.h"
#include "vst3/module_entry_platform.h"
#include "vst3/module_globals.h"
#include "vst3/plugin_factory.h"
#include "vst3/plugin_instance.h"
#include "selvarin_version.h"

namespace sb = Steinberg;

namespace selvarin {

void* gModuleHandle = nullptr;
void* gResourceHandle = nullptr;

namespace {

// The one factory, while the host holds a reference to it. Guarded by
// FactoryMutex: two first calls from two threads must not make two.
PluginFactory* gFactory = nullptr;

// Recursive: a factory that fails half-way is released (and destroyed)
// while its creator holds the lock.
std::recursive_mutex& FactoryMutex() {
  static std::recursive_mutex m;
  return m;
}

// Instances are built one at a time, even when a host creates several from
// different threads.
std::mutex& CreationMutex() {
  static std::mutex m;
  return m;
}

template <size_t N>
void CopyField(char (&field)[N], const char* text) {
  std::memset(field, 0, N);
  std::strncpy(field, text, N - 1);
}

sb::FUnknown* CreateSelvarin(void* /*context*/) {
  std::lock_guard<std::mutex> lock(CreationMutex());
  try {
    IVST3Adapter* plugin = CreatePluginInstance(InstanceInfo{});
    return plugin ? static_cast<sb::Vst::IAudioProcessor*>(plugin) : nullptr;
  } catch (...) {
    return nullptr;  // out of memory: the factory reports the failure
  }
}

// Forgets the factory when the host releases the last reference to it.
class SelvarinFactory : public PluginFactory {
 public:
  using PluginFactory::PluginFactory;
  ~SelvarinFactory() override {
    std::lock_guard<std::recursive_mutex> lock(FactoryMutex());
    if (gFactory == this) gFactory = nullptr;
  }
};

PluginFactory* MakeFactory() {
  sb::PFactoryInfo factoryInfo;
  CopyField(factoryInfo.vendor, "Kavelin");
  CopyField(factoryInfo.url, "https://kavelin.example");
  CopyField(factoryInfo.email, "");
  factoryInfo.flags = sb::PFactoryInfo::kUnicode;
  auto* factory = new (std::nothrow) SelvarinFactory(factoryInfo);
  if (!factory) return nullptr;

  sb::PClassInfo2 c;  // every field zeroed by its constructor
  SelvarinClassId(c.cid);
  c.cardinality = sb::PClassInfo::kManyInstances;
  CopyField(c.category, "Audio Module Class");
  CopyField(c.name, "Selvarin");
  c.classFlags = 2;  // simple mode supported
  CopyField(c.subCategories, "Instrument");
  CopyField(c.vendor, "");
  CopyField(c.version, SELVARIN_VERSION_STRING);
  CopyField(c.sdkVersion, "VST 3.6.5");
  try {
    factory->RegisterClass(c, &CreateSelvarin, nullptr);
  } catch (...) {
    factory->release();
    return nullptr;
  }
  return factory;
}

}  // namespace
}  // namespace selvarin

extern "C" {

SMTG_EXPORT_SYMBOL sb::IPluginFactory* PLUGIN_API GetPluginFactory() {
  using selvarin::gFactory;
  std::lock_guard<std::recursive_mutex> lock(selvarin::FactoryMutex());
  // A factory whose last reference was just released is on its way out:
  // the caller gets a new one.
  if (gFactory && gFactory->AddRefIfAlive()) return gFactory;
  gFactory = selvarin::MakeFactory();
  return gFactory;
}

SMTG_EXPORT_SYMBOL bool InitDll() {
  selvarin::gResourceHandle = selvarin::gModuleHandle;
  return true;
}

SMTG_EXPORT_SYMBOL bool ExitDll() { return true; }

}  // extern "C"
