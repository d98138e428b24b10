#pragma once
// The requests another X client sends to the server, seen through the
// server's RECORD extension: the test counts what the editor's own
// connection sends while nothing on the panel changes.
#include <X11/Xlib.h>

#include <string>
#include <vector>

namespace selvarin {
namespace test {

class RequestRecorder {
 public:
  RequestRecorder() = default;
  ~RequestRecorder();
  RequestRecorder(const RequestRecorder&) = delete;
  RequestRecorder& operator=(const RequestRecorder&) = delete;

  // Starts recording every request of the client that owns `resource` (a
  // window of its); false when the server cannot record.
  bool Start(const std::string& display, XID resource);
  // Stops, waits (bounded) until the server has delivered all it recorded,
  // and returns the major opcodes of the requests, in order.
  std::vector<int> Stop();

  // What the recording delivers: one recorded datum (category, first byte).
  void Recorded(int category, int firstByte);

 private:
  void Close();

  Display* control_ = nullptr;
  Display* data_ = nullptr;
  unsigned long context_ = 0;
  bool ended_ = false;
  std::vector<int> requests_;
};

}  // namespace test
}  // namespace selvarin
