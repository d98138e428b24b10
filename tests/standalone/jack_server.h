#pragma once
// A JACK server of the test's own: jackd with its dummy driver (no sound
// hardware) under a name no other run uses, started and stopped by its
// process id. Every wait is bounded.
#include <sys/types.h>

#include <string>

namespace selvarin::test {

class JackServer {
 public:
  JackServer() = default;
  ~JackServer() { Stop(); }
  JackServer(const JackServer&) = delete;
  JackServer& operator=(const JackServer&) = delete;

  // Starts the server and waits until it takes clients; false with a
  // reason otherwise.
  bool Start(int sampleRate, int period, std::string* error);
  // Stops it (SIGTERM, then SIGKILL) and waits for it; true when it is gone.
  bool Stop();
  const std::string& Name() const { return name_; }

 private:
  pid_t pid_ = -1;
  std::string name_;
};

}  // namespace selvarin::test
