#include "tools/vst3host/module_loader.h"

#include <dlfcn.h>
#include <sys/stat.h>

namespace selvarin {

namespace {

#if defined(__x86_64__)
constexpr const char* kArchFolder = "x86_64-linux";
#elif defined(__aarch64__)
constexpr const char* kArchFolder = "aarch64-linux";
#else
constexpr const char* kArchFolder = "unknown-linux";
#endif

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string BaseName(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string Vst3Module::ModuleFileInBundle(const std::string& bundle) {
  std::string name = BaseName(bundle);
  if (name.size() > 5 && name.compare(name.size() - 5, 5, ".vst3") == 0) name.resize(name.size() - 5);
  std::string dir = bundle;
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir + "/Contents/" + kArchFolder + "/" + name + ".so";
}

Vst3Module::~Vst3Module() { Unload(); }

bool Vst3Module::Load(const std::string& path, std::string* error) {
  Unload();
  std::string file = path;
  if (IsDirectory(path)) file = ModuleFileInBundle(path);
  if (!IsFile(file)) {
    if (error) *error = "no VST3 module at " + file;
    return false;
  }
  handle_ = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* why = dlerror();
    if (error) *error = std::string("cannot load ") + file + ": " + (why ? why : "unknown error");
    return false;
  }
  modulePath_ = file;

  using EntryFn = bool (*)(void*);
  using FactoryFn = Steinberg::IPluginFactory* (*)();
  auto entry = reinterpret_cast<EntryFn>(dlsym(handle_, "ModuleEntry"));
  auto getFactory = reinterpret_cast<FactoryFn>(dlsym(handle_, "GetPluginFactory"));
  if (!entry || !getFactory) {
    if (error) *error = file + " does not export ModuleEntry and GetPluginFactory";
    Unload();
    return false;
  }
  if (!entry(handle_)) {
    if (error) *error = file + ": ModuleEntry failed";
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
    if (entered_) {
      using ExitFn = bool (*)();
      if (auto exitFn = reinterpret_cast<ExitFn>(dlsym(handle_, "ModuleExit"))) exitFn();
    }
    dlclose(handle_);
    handle_ = nullptr;
  }
  entered_ = false;
  modulePath_.clear();
}

}  // namespace selvarin
