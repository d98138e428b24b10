#pragma once
// A progress bar on the terminal for long renders; silent when stderr is not
// a terminal.
#include <cstdint>

namespace selvarin {

class ProgressBar {
 public:
  ProgressBar(int64_t total, bool enabled);
  void Update(int64_t done);
  void Finish();

 private:
  int64_t total_;
  bool enabled_;
  int lastPermille_ = -1;
};

}  // namespace selvarin
