#pragma once

namespace selvarin {

// What the factory hands every plug-in instance it creates.
struct InstanceInfo {
  void* hostContext = nullptr;
};

}  // namespace selvarin
