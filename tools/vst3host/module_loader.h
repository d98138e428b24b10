#pragma once
// Loads a VST3 bundle the way a host does: load the module in the bundle's
// architecture folder, call its entry export (ModuleEntry on Linux, InitDll
// on Windows), ask GetPluginFactory.
#include <string>

#include "pluginterfaces/base/ipluginbase.h"

namespace selvarin {

class Vst3Module {
 public:
  Vst3Module() = default;
  ~Vst3Module();
  Vst3Module(const Vst3Module&) = delete;
  Vst3Module& operator=(const Vst3Module&) = delete;

  // path: the bundle folder (Name.vst3) or the module file itself. On
  // failure returns false with a one-line reason in *error.
  bool Load(const std::string& path, std::string* error);
  void Unload();

  Steinberg::IPluginFactory* Factory() const { return factory_; }
  void* Handle() const { return handle_; }
  const std::string& ModulePath() const { return modulePath_; }

  // The module file inside a bundle folder for this machine's architecture.
  static std::string ModuleFileInBundle(const std::string& bundle);

 private:
  void* handle_ = nullptr;
  Steinberg::IPluginFactory* factory_ = nullptr;
  bool entered_ = false;
  std::string modulePath_;
};

}  // namespace selvarin
