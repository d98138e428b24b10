#include "tools/vst3host/module_loader.h"

#include "tools/platform/file_system.h"
#include "tools/platform/shared_library.h"
#include "tools/vst3host/module_platform.h"

namespace selvarin {

namespace {

std::string BaseName(std::string path) {
  while (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) path.pop_back();
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string Vst3Module::ModuleFileInBundle(const std::string& bundle) {
  std::string name = BaseName(bundle);
  if (name.size() > 5 && name.compare(name.size() - 5, 5, ".vst3") == 0) name.resize(name.size() - 5);
  std::string dir = bundle;
  while (dir.size() > 1 && (dir.back() == '/' || dir.back() == '\\')) dir.pop_back();
  return dir + "/Contents/" + kVst3ArchFolder + "/" + name + kVst3ModuleExtension;
}

Vst3Module::~Vst3Module() { Unload(); }

bool Vst3Module::Load(const std::string& path, std::string* error) {
  Unload();
  std::string file = path;
  if (PathIsDirectory(path)) file = ModuleFileInBundle(path);
  if (!PathIsFile(file)) {
    if (error) *error = "no VST3 module at " + file;
    return false;
  }
  std::string why;
  handle_ = OpenSharedLibrary(file, &why);
  if (!handle_) {
    if (error) *error = "cannot load " + file + ": " + why;
    return false;
  }
  modulePath_ = file;

  using FactoryFn = Steinberg::IPluginFactory* (*)();
  auto getFactory = reinterpret_cast<FactoryFn>(SharedLibrarySymbol(handle_, "GetPluginFactory"));
  if (!SharedLibrarySymbol(handle_, kVst3EnterExport) || !getFactory) {
    if (error) *error = file + " does not export " + kVst3EnterExport + " and GetPluginFactory";
    Unload();
    return false;
  }
  if (!EnterVst3Module(handle_)) {
    if (error) *error = file + ": " + kVst3EnterExport + " failed";
    Unload();
    return false;
  }
  entered_ = true;
  factory_ = getFactory();
  if (!factory_) {
    if (error) *error = file + ": GetPluginFactory returned no factory";
    Unload();
    return false;
  }
  return true;
}

void Vst3Module::Unload() {
  if (factory_) {
    factory_->release();
    factory_ = nullptr;
  }
  if (handle_) {
    if (entered_) ExitVst3Module(handle_);
    CloseSharedLibrary(handle_);
    handle_ = nullptr;
  }
  entered_ = false;
  modulePath_.clear();
}

}  // namespace selvarin
