#include "framework/host_info.h"

#include <cctype>
#include <cstring>

namespace selvarin {

namespace {
struct HostKey {
  const char* key;
  HostId id;
};

// Tested in order; the first key found in the name wins.
constexpr HostKey kHostKeys[] = {
    {"entrainstudio", kHostEntrainStudio},
    {"cubase", kHostCubase},
    {"reaper", kHostReaper},
    {"nuendo", kHostNuendo},
    {"cakewalk", kHostCakewalk},
    {"samplitude", kHostSamplitude},
    {"fruity", kHostFruity},
    {"live", kHostLive},
    {"melodyne", kHostMelodyne},
    {"vstmanlib", kHostVstManLib},
    {"aulab", kHostAuLab},
    {"forte", kHostForte},
    {"chainer", kHostChainer},
    {"audition", kHostAudition},
    {"orion", kHostOrion},
    {"sawstudio", kHostSawStudio},
    {"logic", kHostLogic},
    {"digital", kHostDigital},
    {"audiomulch", kHostAudioMulch},
    {"presonus", kHostPresonus},
    {"acoustica", kHostAcoustica},
    {"garageband", kHostGarageBand},
    {"ardour", kHostArdour},
    {"wavelab", kHostWavelab},
    {"gold", kHostGold},
};
}  // namespace

HostId HostIdFromName(const char* name) {
  char lower[256];
  std::size_t n = 0;
  if (name) {
    for (; n < sizeof(lower) - 1 && name[n] != '\0'; ++n)
      lower[n] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[n])));
  }
  lower[n] = '\0';
  for (const HostKey& k : kHostKeys)
    if (std::strstr(lower, k.key)) return k.id;
  return kHostOther;
}

}  // namespace selvarin
