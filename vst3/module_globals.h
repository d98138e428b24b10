#pragma once

namespace selvarin {

// The module's handle as the host's loader gave it, and the handle the
// editor loads its images through (set by InitDll).
extern void* gModuleHandle;
extern void* gResourceHandle;

}  // namespace selvarin
