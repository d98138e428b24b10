#include "tools/render/frame_pipe.h"

#include <cmath>

namespace selvarin {

namespace {
constexpr size_t kFrames = 1 << 15;  // 256 KB of float frames per buffer
}

FramePipe::FramePipe(const Settings& s)
    : writer_(s.writer),
      meter_(s.meter),
      use64_(s.precision == 64),
      countClips_(s.countClips),
      gain_(s.gain),
      capacity_(s.minFrames > kFrames ? s.minFrames : kFrames) {
  for (Buffer& b : buffers_) b.samples.resize(capacity_ * 2);
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
  float* dst = b->samples.data() + 2 * b->frames;
  if (use64_) Interleave(ch64[0], ch64[1], n, dst); else Interleave(ch32[0], ch32[1], n, dst);
  b->frames += static_cast<size_t>(n);
  return true;
}

template <typename T>
void FramePipe::Interleave(const T* left, const T* right, int n, float* dst) {
  if (gain_ == 1.0) {
    for (int i = 0; i < n; ++i) {
      dst[2 * i] = static_cast<float>(left[i]);
      dst[2 * i + 1] = static_cast<float>(right[i]);
    }
    return;
  }
  // In the channels' own precision, so that a 32-bit render scaled is the
  // unscaled file's samples times the gain, rounded once.
  const T g = static_cast<T>(gain_);
  for (int i = 0; i < n; ++i) {
    dst[2 * i] = static_cast<float>(left[i] * g);
    dst[2 * i + 1] = static_cast<float>(right[i] * g);
  }
}

// On the writer thread, which has time to spare while the next frames render.
void FramePipe::CountClips(const float* samples, size_t count) {
  long long clipped = 0;
  float peak = static_cast<float>(peak_);
  for (size_t i = 0; i < count; ++i) {
    const float a = std::fabs(samples[i]);
    clipped += a > 1.0f;
    peak = a > peak ? a : peak;
  }
  clipped_ += clipped;
  peak_ = peak;
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
    if (countClips_) CountClips(b.samples.data(), b.frames * 2);
    if (meter_) meter_->Add(b.samples.data(), b.frames);
    const bool ok = !writer_ || writer_->WriteFloat(b.samples.data(), n, &error);
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
