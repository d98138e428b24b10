#include "request_recorder.h"

#include <X11/extensions/record.h>
#include <poll.h>

#include <chrono>

namespace selvarin {
namespace test {

namespace {
void OnRecorded(XPointer self, XRecordInterceptData* data) {
  reinterpret_cast<RequestRecorder*>(self)->Recorded(data->category, data->data_len > 0 ? data->data[0] : -1);
  XRecordFreeData(data);
}
}  // namespace

RequestRecorder::~RequestRecorder() { Close(); }

void RequestRecorder::Close() {
  if (control_ && context_) XRecordFreeContext(control_, context_);
  context_ = 0;
  if (data_) XCloseDisplay(data_);
  if (control_) XCloseDisplay(control_);
  data_ = control_ = nullptr;
}

bool RequestRecorder::Start(const std::string& display, XID resource) {
  Close();
  requests_.clear();
  ended_ = false;
  control_ = XOpenDisplay(display.c_str());
  data_ = XOpenDisplay(display.c_str());
  int major = 0, minor = 0;
  if (!control_ || !data_ || !XRecordQueryVersion(control_, &major, &minor)) return false;
  XRecordRange* range = XRecordAllocRange();
  if (!range) return false;
  range->core_requests.first = 1;
  range->core_requests.last = 127;
  range->ext_requests.ext_major.first = 128;  // extensions' requests (MIT-SHM among them)
  range->ext_requests.ext_major.last = 255;
  range->ext_requests.ext_minor.first = 0;
  range->ext_requests.ext_minor.last = 0xffff;
  XRecordClientSpec client = resource;
  context_ = XRecordCreateContext(control_, 0, &client, 1, &range, 1);
  XFree(range);
  if (!context_) return false;
  XSync(control_, False);
  // The data connection serves the recording alone from here on.
  return XRecordEnableContextAsync(data_, context_, &OnRecorded, reinterpret_cast<XPointer>(this)) != 0;
}

void RequestRecorder::Recorded(int category, int firstByte) {
  if (category == XRecordFromClient && firstByte >= 0) requests_.push_back(firstByte);
  if (category == XRecordEndOfData) ended_ = true;
}

std::vector<int> RequestRecorder::Stop() {
  if (!control_ || !context_) return requests_;
  XRecordDisableContext(control_, context_);
  XSync(control_, False);
  // The server ends the recording with an end-of-data message.
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!ended_ && std::chrono::steady_clock::now() < end) {
    XRecordProcessReplies(data_);
    if (ended_) break;
    pollfd p{ConnectionNumber(data_), POLLIN, 0};
    poll(&p, 1, 50);
  }
  std::vector<int> got = requests_;
  Close();
  return got;
}

}  // namespace test
}  // namespace selvarin
