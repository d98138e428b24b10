#pragma once
// The test's own listener on a JACK server: a client with two input ports
// connected to another client's outputs, keeping what arrives in a ring so
// the test can take the next stretch of sound and measure it.
#include <atomic>
#include <string>
#include <vector>

typedef struct _jack_client jack_client_t;
typedef struct _jack_port jack_port_t;

namespace selvarin::test {

struct Stereo {
  std::vector<double> left, right;
  double Peak() const;
};

class JackCapture {
 public:
  JackCapture() = default;
  ~JackCapture();
  JackCapture(const JackCapture&) = delete;
  JackCapture& operator=(const JackCapture&) = delete;

  bool Open(const std::string& server, std::string* error);
  // Waits (bounded) for two output ports of a client whose name starts
  // with `client` and connects them to ours.
  bool ConnectFrom(const std::string& client, int timeoutMs, std::string* error);
  // The next `seconds` of sound to arrive; false when it does not within
  // a generous bound (the dummy driver may run late on a busy machine).
  bool Record(double seconds, Stereo* out);
  double SampleRate() const { return rate_; }

 private:
  static int Process(unsigned frames, void* self);

  static constexpr size_t kRing = size_t{1} << 21;  // 43 s at 48 kHz
  jack_client_t* client_ = nullptr;
  jack_port_t* in_[2] = {nullptr, nullptr};
  std::vector<float> ring_[2];
  std::atomic<uint64_t> written_{0};
  double rate_ = 48000.0;
};

}  // namespace selvarin::test
