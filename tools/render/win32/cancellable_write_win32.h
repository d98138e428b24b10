#pragma once
// A write into a pipe that nobody reads blocks inside WriteFile. While a
// CancellableWrite lives, a stop request cancels its thread's blocking
// write (CancelSynchronousIo), which then fails with
// ERROR_OPERATION_ABORTED. One writer at a time: the renderer writes its
// output from one thread.
namespace selvarin {

class CancellableWrite {
 public:
  CancellableWrite();
  ~CancellableWrite();
  CancellableWrite(const CancellableWrite&) = delete;
  CancellableWrite& operator=(const CancellableWrite&) = delete;
};

}  // namespace selvarin
