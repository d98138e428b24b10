#include "tools/render/frame_pipe.h"

namespace selvarin {

namespace {
constexpr size_t kFrames = 1 << 15;  // 256 KB of float frames per buffer
}

FramePipe::FramePipe(AudioWriter* writer, int precision, size_t minFrames)
    : writer_(writer), use64_(precision == 64), capacity_(minFrames > kFrames ? minFrames : kFrames) {
  for (Buffer& b : buffers_) {
    if (use64_) b.f64.resize(capacity_ * 2); else b.f32.resize(capacity_ * 2);
  }
  thread_ = std::thread([this] { WriterLoop(); });
}

FramePipe::~FramePipe() {
  {
    std::lock_guard<std::mutex> lock(m_);
    stop_ = true;
  }
  cv_.notify_all();
  if (thread_.joinable()) thread_.join();
}

bool FramePipe::Append(double* const* ch64, float* const* ch32, int n, std::string* error) {
  Buffer* b = &buffers_[filling_];
  if (b->frames + static_cast<size_t>(n) > capacity_) {
    if (!Hand(error)) return false;
    b = &buffers_[filling_];
  }
  if (use64_) {
    double* dst = b->f64.data() + 2 * b->frames;
    for (int i = 0; i < n; ++i) {
      dst[2 * i] = ch64[0][i];
      dst[2 * i + 1] = ch64[1][i];
    }
  } else {
    float* dst = b->f32.data() + 2 * b->frames;
    for (int i = 0; i < n; ++i) {
      dst[2 * i] = ch32[0][i];
      dst[2 * i + 1] = ch32[1][i];
    }
  }
  b->frames += static_cast<size_t>(n);
  return true;
}

bool FramePipe::Hand(std::string* error) {
  std::unique_lock<std::mutex> lock(m_);
  cv_.wait(lock, [this] { return queued_ < 0 || failed_; });
  if (failed_) {
    *error = error_;
    return false;
  }
  queued_ = filling_;
  filling_ = 1 - filling_;
  buffers_[filling_].frames = 0;
  lock.unlock();
  cv_.notify_all();
  return true;
}

bool FramePipe::Finish(std::string* error) {
  if (buffers_[filling_].frames > 0 && !Hand(error)) return false;
  std::unique_lock<std::mutex> lock(m_);
  cv_.wait(lock, [this] { return queued_ < 0 || failed_; });
  if (failed_) {
    *error = error_;
    return false;
  }
  return true;
}

void FramePipe::WriterLoop() {
  std::unique_lock<std::mutex> lock(m_);
  while (true) {
    cv_.wait(lock, [this] { return queued_ >= 0 || stop_; });
    if (queued_ < 0) return;  // stopped with nothing left to write
    Buffer& b = buffers_[queued_];
    lock.unlock();
    std::string error;
    const long n = static_cast<long>(b.frames);
    const bool ok = use64_ ? writer_->WriteDouble(b.f64.data(), n, &error) : writer_->WriteFloat(b.f32.data(), n, &error);
    lock.lock();
    if (!ok && !failed_) {
      failed_ = true;
      error_ = error;
    }
    queued_ = -1;
    cv_.notify_all();
    if (failed_) return;
  }
}

}  // namespace selvarin
