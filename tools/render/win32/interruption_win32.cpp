// Ctrl+C, Ctrl+Break and a closing console window stop a render on Windows.
// The system calls the handler on a thread of its own.
#include <windows.h>

#include <atomic>

#include "tools/render/interruption.h"

namespace selvarin {

namespace {

std::atomic<bool> gInterrupted{false};

BOOL WINAPI OnConsoleEvent(DWORD event) {
  gInterrupted = true;
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
      return TRUE;
    default:
      // A closing window, logoff or shutdown ends the process as soon as
      // this returns: waiting here gives the render the time the system
      // allows (five seconds or more) to remove its unfinished file, and
      // the process ends when the render has.
      Sleep(INFINITE);
      return TRUE;
  }
}

}  // namespace

void CatchInterruptions() { SetConsoleCtrlHandler(OnConsoleEvent, TRUE); }

bool Interrupted() { return gInterrupted; }

}  // namespace selvarin
