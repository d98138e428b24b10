// A build whose editor has no window system: no parent type is embedded.
#include "vst3/view_window_host.h"

namespace selvarin {

namespace {
class NoViewWindowHost : public ViewWindowHost {
 public:
  bool IsPlatformTypeSupported(Steinberg::FIDString) const override { return false; }
  bool Open(IGraphics&, void*, Steinberg::FIDString, Steinberg::IPlugFrame*) override { return false; }
  void Close() override {}
};
}  // namespace

std::unique_ptr<ViewWindowHost> CreateViewWindowHost() { return std::make_unique<NoViewWindowHost>(); }

}  // namespace selvarin
