#include "tools/render/interruption.h"

#include <signal.h>

namespace selvarin {

namespace {
volatile sig_atomic_t gInterrupted = 0;
void OnInterrupt(int) { gInterrupted = 1; }
}  // namespace

void CatchInterruptions() {
  signal(SIGINT, OnInterrupt);
  signal(SIGTERM, OnInterrupt);
  signal(SIGHUP, OnInterrupt);
}

bool Interrupted() { return gInterrupted != 0; }

}  // namespace selvarin
