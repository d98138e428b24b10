#include "jack_capture.h"

#include <jack/jack.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace selvarin::test {

double Stereo::Peak() const {
  double p = 0.0;
  for (double v : left) p = std::max(p, std::fabs(v));
  for (double v : right) p = std::max(p, std::fabs(v));
  return p;
}

JackCapture::~JackCapture() {
  if (client_) jack_client_close(client_);
}

bool JackCapture::Open(const std::string& server, std::string* error) {
  ring_[0].assign(kRing, 0.0f);
  ring_[1].assign(kRing, 0.0f);
  jack_status_t status{};
  const jack_options_t options = static_cast<jack_options_t>(JackNoStartServer | JackServerName);
  client_ = jack_client_open("listener", options, &status, server.c_str());
  if (!client_) {
    *error = "the capture client cannot reach the JACK server";
    return false;
  }
  rate_ = jack_get_sample_rate(client_);
  in_[0] = jack_port_register(client_, "in_left", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
  in_[1] = jack_port_register(client_, "in_right", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
  if (!in_[0] || !in_[1] || jack_set_process_callback(client_, &JackCapture::Process, this) != 0 ||
      jack_activate(client_) != 0) {
    *error = "the capture client cannot start";
    return false;
  }
  return true;
}

int JackCapture::Process(unsigned frames, void* selfPtr) {
  auto* self = static_cast<JackCapture*>(selfPtr);
  const uint64_t w = self->written_.load(std::memory_order_relaxed);
  for (int c = 0; c < 2; ++c) {
    const auto* in = static_cast<const float*>(jack_port_get_buffer(self->in_[c], frames));
    for (unsigned i = 0; i < frames; ++i) self->ring_[c][(w + i) & (kRing - 1)] = in[i];
  }
  self->written_.store(w + frames, std::memory_order_release);
  return 0;
}

bool JackCapture::ConnectFrom(const std::string& client, int timeoutMs, std::string* error) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  const std::string pattern = "^" + client + "[^:]*:";
  while (std::chrono::steady_clock::now() < end) {
    const char** ports = jack_get_ports(client_, pattern.c_str(), JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput);
    std::vector<std::string> names;
    for (int i = 0; ports && ports[i]; ++i) names.push_back(ports[i]);
    if (ports) jack_free(ports);
    if (names.size() >= 2) {
      std::sort(names.begin(), names.end());
      const bool ok = jack_connect(client_, names[0].c_str(), jack_port_name(in_[0])) == 0 &&
                      jack_connect(client_, names[1].c_str(), jack_port_name(in_[1])) == 0;
      if (!ok) *error = "cannot connect " + names[0] + " and " + names[1];
      return ok;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  *error = "no output ports of " + client + " appeared";
  return false;
}

bool JackCapture::Record(double seconds, Stereo* out) {
  const uint64_t frames = static_cast<uint64_t>(seconds * rate_);
  const uint64_t start = written_.load(std::memory_order_acquire);
  const auto end =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(static_cast<int>(seconds * 8000) + 5000);
  while (written_.load(std::memory_order_acquire) < start + frames) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  out->left.resize(frames);
  out->right.resize(frames);
  for (uint64_t i = 0; i < frames; ++i) {
    out->left[i] = ring_[0][(start + i) & (kRing - 1)];
    out->right[i] = ring_[1][(start + i) & (kRing - 1)];
  }
  return true;
}

}  // namespace selvarin::test
