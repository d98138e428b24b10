// audio_check: reads a file the Windows renderer wrote with the Linux
// libsndfile and checks what a listener and a player would find in it.
// Built for the build machine (not for Windows) by the Windows test build.
//
//   audio_check FILE [--format wav|rf64|flac|ogg|mpeg] [--subtype pcm16|pcm24|float|vorbis|opus|mp3]
//               [--frames N] [--rate R] [--hz LEFT RIGHT] [--title T] [--comment-has TEXT]
//               [--same-samples OTHER]
//
// Prints every mismatch and exits 1 when there is one; 2 when FILE cannot
// be read.
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "tests/support/zero_crossing.h"

namespace {

struct Audio {
  SF_INFO info{};
  std::vector<double> left, right;
  std::string title, comment;
};

bool Load(const char* path, Audio* a) {
  SNDFILE* f = sf_open(path, SFM_READ, &a->info);
  if (!f) return false;
  std::vector<double> frames(static_cast<size_t>(a->info.frames * a->info.channels));
  const sf_count_t got = sf_readf_double(f, frames.data(), a->info.frames);
  if (const char* t = sf_get_string(f, SF_STR_TITLE)) a->title = t;
  if (const char* c = sf_get_string(f, SF_STR_COMMENT)) a->comment = c;
  sf_close(f);
  const size_t channels = static_cast<size_t>(a->info.channels);
  for (sf_count_t i = 0; i < got; ++i) {
    a->left.push_back(frames[static_cast<size_t>(i) * channels]);
    a->right.push_back(frames[static_cast<size_t>(i) * channels + (channels > 1 ? 1 : 0)]);
  }
  return got == a->info.frames;
}

const std::map<std::string, int> kFormats = {{"wav", SF_FORMAT_WAV},   {"rf64", SF_FORMAT_RF64},
                                             {"flac", SF_FORMAT_FLAC}, {"ogg", SF_FORMAT_OGG},
                                             {"mpeg", SF_FORMAT_MPEG}};
const std::map<std::string, int> kSubtypes = {
    {"pcm16", SF_FORMAT_PCM_16}, {"pcm24", SF_FORMAT_PCM_24}, {"float", SF_FORMAT_FLOAT},
    {"vorbis", SF_FORMAT_VORBIS}, {"opus", SF_FORMAT_OPUS},    {"mp3", SF_FORMAT_MPEG_LAYER_III}};

int gFailures = 0;

void Fail(const char* path, const std::string& what) {
  std::fprintf(stderr, "%s: %s\n", path, what.c_str());
  ++gFailures;
}

std::string Number(double x) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.6g", x);
  return buf;
}

// The pitch over the second half, where a fade-in or a glide has settled
// (within 1 Hz: lossy codecs shift the zero crossings a little).
double Hz(const std::vector<double>& x, int rate) {
  return selvarin::test::ZeroCrossingHz(x, {x.size() / 2, x.size()}, rate);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: audio_check FILE [checks...]\n");
    return 2;
  }
  const char* path = argv[1];
  Audio a;
  if (!Load(path, &a)) {
    std::fprintf(stderr, "%s: libsndfile cannot read it: %s\n", path, sf_strerror(nullptr));
    return 2;
  }
  if (a.info.channels != 2) Fail(path, "channels " + std::to_string(a.info.channels) + ", not 2");
  for (int i = 2; i < argc; ++i) {
    const std::string opt = argv[i];
    auto next = [&]() -> std::string {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "audio_check: %s needs a value\n", opt.c_str());
        std::exit(2);
      }
      return argv[++i];
    };
    if (opt == "--format") {
      const std::string want = next();
      if ((a.info.format & SF_FORMAT_TYPEMASK) != kFormats.at(want)) Fail(path, "not a " + want + " file");
    } else if (opt == "--subtype") {
      const std::string want = next();
      if ((a.info.format & SF_FORMAT_SUBMASK) != kSubtypes.at(want)) Fail(path, "samples are not " + want);
    } else if (opt == "--frames") {
      const long long want = std::atoll(next().c_str());
      if (a.info.frames != want)
        Fail(path, std::to_string(a.info.frames) + " frames, not " + std::to_string(want));
    } else if (opt == "--rate") {
      const int want = std::atoi(next().c_str());
      if (a.info.samplerate != want) Fail(path, "rate " + std::to_string(a.info.samplerate) + ", not " + std::to_string(want));
    } else if (opt == "--hz") {
      const double wantLeft = std::atof(next().c_str()), wantRight = std::atof(next().c_str());
      const double left = Hz(a.left, a.info.samplerate), right = Hz(a.right, a.info.samplerate);
      if (std::fabs(left - wantLeft) > 1.0 || std::fabs(right - wantRight) > 1.0)
        Fail(path, "heard " + Number(left) + " Hz left and " + Number(right) + " Hz right, not " + Number(wantLeft) +
                       " and " + Number(wantRight));
    } else if (opt == "--title") {
      const std::string want = next();
      if (a.title != want) Fail(path, "title '" + a.title + "', not '" + want + "'");
    } else if (opt == "--comment-has") {
      const std::string want = next();
      if (a.comment.find(want) == std::string::npos) Fail(path, "comment '" + a.comment + "' lacks '" + want + "'");
    } else if (opt == "--same-samples") {
      const std::string other = next();
      Audio b;
      if (!Load(other.c_str(), &b)) {
        Fail(path, "cannot read " + other + " to compare");
        continue;
      }
      double worst = a.left.size() == b.left.size() ? 0.0 : INFINITY;
      for (size_t k = 0; k < a.left.size() && k < b.left.size(); ++k)
        worst = std::fmax(worst, std::fmax(std::fabs(a.left[k] - b.left[k]), std::fabs(a.right[k] - b.right[k])));
      if (worst != 0.0) Fail(path, "samples differ from " + other + " by up to " + Number(worst));
    } else {
      std::fprintf(stderr, "audio_check: unknown check %s\n", opt.c_str());
      return 2;
    }
  }
  return gFailures == 0 ? 0 : 1;
}
