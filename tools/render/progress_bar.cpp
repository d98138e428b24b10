#include "tools/render/progress_bar.h"

#include <cstdio>

#include "tools/platform/file_system.h"

namespace selvarin {

ProgressBar::ProgressBar(int64_t total, bool enabled)
    : total_(total > 0 ? total : 1), enabled_(enabled && StderrIsTerminal()) {}

void ProgressBar::Update(int64_t done) {
  if (!enabled_) return;
  const int permille = static_cast<int>(done * 1000 / total_);
  if (permille == lastPermille_) return;
  lastPermille_ = permille;
  constexpr int kWidth = 40;
  char bar[kWidth + 1];
  const int filled = permille * kWidth / 1000;
  for (int i = 0; i < kWidth; ++i) bar[i] = i < filled ? '#' : '.';
  bar[kWidth] = 0;
  std::fprintf(stderr, "\r[%s] %5.1f%%", bar, permille / 10.0);
  std::fflush(stderr);
}

void ProgressBar::Finish() {
  if (!enabled_ || lastPermille_ < 0) return;
  std::fprintf(stderr, "\n");
}

}  // namespace selvarin
