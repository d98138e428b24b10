// Images from the module's "PNG" resources. The module handle must be the
// DLL's own instance handle (from DllMain): the host's would search the
// host's resources. A null handle searches the program's own file.
#include <windows.h>

#include "raster/raster_png.h"

namespace selvarin {

RasterBitmap* RasterLoadPngFromResource(const void* module, int resourceId, RasterBitmap* dest) {
  // Numeric resource ids are 16-bit; anything else cannot name one.
  if (resourceId < 0 || resourceId > 0xFFFF) return nullptr;
  HMODULE instance = static_cast<HMODULE>(const_cast<void*>(module));
  HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(resourceId), "PNG");
  if (!found) return nullptr;
  const DWORD size = SizeofResource(instance, found);
  HGLOBAL loaded = LoadResource(instance, found);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes || size < 8) return nullptr;
  return RasterLoadPngFromMemory(bytes, size, dest);
}

}  // namespace selvarin
