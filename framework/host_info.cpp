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
    {"entrainstudio", 29}, {"cubase", 3},     {"reaper", 1},     {"nuendo", 4},       {"cakewalk", 5},
    {"samplitude", 8},     {"fruity", 7},     {"live", 9},       {"melodyne", 12},    {"vstmanlib", 13},
    {"aulab", 14},         {"forte", 15},     {"chainer", 16},   {"audition", 17},    {"orion", 18},
    {"sawstudio", 20},     {"logic", 21},     {"digital", 22},   {"audiomulch", 23},  {"presonus", 24},
    {"acoustica", 25},     {"garageband", 26}, {"ardour", 27},   {"wavelab", 28},     {"gold", 30},
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
