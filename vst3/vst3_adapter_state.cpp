// Saving and restoring the plug-in state through the host's streams.
#include <cstring>

#include "pluginterfaces/base/ibstream.h"
#include "vst3/vst3_adapter.h"

namespace selvarin {

namespace {

constexpr int kReadPiece = 128;
// A state stream is a few hundred bytes; a stream that keeps delivering
// beyond this is not one of ours and is not read further.
constexpr int kMaxStateBytes = 1 << 20;

}  // namespace

sb::tresult IVST3Adapter::getComponentStateForHost(sb::IBStream* stream) {
  threadCheck_.Enter(HostThread::kUi, "getState");
  if (!stream) return sb::kInvalidArgument;
  // The state is taken under the plug-in lock into a buffer of our own; the
  // host's stream, which may be slow (a file, a network share), is written
  // after the lock is released, so processing goes on meanwhile.
  StateChunk chunk;
  {
    ScopedLock lock(Mutex());
    if (!WriteState(&chunk)) return sb::kResultFalse;
    const unsigned char flag[4] = {static_cast<unsigned char>(IsBypassed() ? 1 : 0), 0, 0, 0};
    if (!chunk.PutBytes(flag, 4)) return sb::kResultFalse;
  }
  sb::int32 written = 0;
  if (stream->write(chunk.Data(), chunk.Size(), &written) != sb::kResultOk || written != chunk.Size())
    return sb::kResultFalse;
  return sb::kResultOk;
}

sb::tresult IVST3Adapter::setComponentStateFromHost(sb::IBStream* stream) {
  threadCheck_.Enter(HostThread::kUi, "setState");
  if (!stream) return sb::kInvalidArgument;

  // The host's stream may be slow (a file, a network share): it is read
  // without the plug-in lock, so processing goes on meanwhile; only
  // applying what was read takes the lock.
  sb::int64 start = 0;
  if (stream->tell(&start) != sb::kResultOk || start < 0) start = 0;

  StateChunk chunk;
  unsigned char piece[kReadPiece];
  while (chunk.Size() < kMaxStateBytes) {
    // A stream may claim more bytes than it wrote: what it did not write
    // reads as zeros, never as what the stack held before.
    std::memset(piece, 0, sizeof piece);
    sb::int32 got = 0;
    const sb::tresult r = stream->read(piece, kReadPiece, &got);
    if (got < 0 || got > kReadPiece) break;  // a count no read can have: nothing of it is trusted
    // WaveLab's streams report an error on reads that still deliver bytes, so
    // an error there would cut off a good state: for WaveLab the bytes count
    // and reading goes on until a read delivers none. Elsewhere an error ends it.
    if (r != sb::kResultOk && CurrentHostId() != kHostWavelab) break;
    if (got == 0) break;
    if (!chunk.PutBytes(piece, got)) break;
  }

  // The base keeps a parameter whose value is missing or not a number.
  int pos;
  {
    ScopedLock lock(Mutex());
    pos = ReadState(&chunk, 0);
    PushParamsToEditor();
  }
  if (pos < 0) return sb::kResultFalse;  // the data ran out: there is no bypass flag to read

  if (stream->seek(start + pos, sb::IBStream::kIBSeekSet, nullptr) != sb::kResultOk) return sb::kResultFalse;
  unsigned char flag[4];
  sb::int32 got = 0;
  if (stream->read(flag, 4, &got) != sb::kResultOk || got != 4) return sb::kResultFalse;
  return sb::kResultOk;
}

sb::tresult IVST3Adapter::setControllerState(sb::IBStream* /*stream*/) {
  ScopedLock lock(Mutex());
  return sb::kResultOk;
}

sb::tresult IVST3Adapter::getControllerState(sb::IBStream* /*stream*/) {
  ScopedLock lock(Mutex());
  return sb::kResultOk;
}

}  // namespace selvarin
