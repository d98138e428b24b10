#pragma once

namespace selvarin {

// What the factory hands every plug-in instance it creates.
struct IPlugInstanceInfo {
  void* hostContext = nullptr;
};

}  // namespace selvarin
