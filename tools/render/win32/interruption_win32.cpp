// Ctrl+C, Ctrl+Break and a closing console window are the stop requests on
// Windows. The system calls the handler on a thread of its own.
#include <windows.h>

#include <atomic>

#include "tools/render/interruption.h"
#include "tools/render/win32/cancellable_write_win32.h"

namespace selvarin {

namespace {

std::atomic<bool> gInterrupted{false};
// The thread inside a write that a stop request cancels, or null.
std::atomic<HANDLE> gWriter{nullptr};

// Cancels the registered write until it has given up: the writer may be
// just about to enter WriteFile when the first cancel comes.
void CancelBlockedWrite() {
  for (int i = 0; i < 100; ++i) {
    HANDLE writer = gWriter.load();
    if (!writer) return;
    CancelSynchronousIo(writer);
    Sleep(10);
  }
}

BOOL WINAPI OnConsoleEvent(DWORD event) {
  gInterrupted = true;
  CancelBlockedWrite();
  if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) return TRUE;
  // A closing window, logoff or shutdown ends the process as soon as this
  // returns: waiting here gives the render the time the system allows (five
  // seconds or more) to remove its unfinished file; the process ends when
  // the render has.
  Sleep(INFINITE);
  return TRUE;
}

}  // namespace

CancellableWrite::CancellableWrite() {
  // A real handle of this thread, opened once per thread.
  thread_local HANDLE self = OpenThread(THREAD_TERMINATE, FALSE, GetCurrentThreadId());
  gWriter.store(self);
}

CancellableWrite::~CancellableWrite() { gWriter.store(nullptr); }

void CatchInterruptions() { SetConsoleCtrlHandler(OnConsoleEvent, TRUE); }

bool Interrupted() { return gInterrupted; }

}  // namespace selvarin
