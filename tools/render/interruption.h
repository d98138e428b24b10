#pragma once
// Ctrl-C, a closed terminal, a termination request or any other request
// that would end the process at once stop a render cleanly instead: the
// handlers only raise a flag, which the render loop polls between blocks
// and every wait for the output (output_file.h) polls while it waits.
namespace selvarin {

// From now on, on every system:
// - every request that would end the process by default becomes a stop
//   request that only raises the flag (POSIX: each signal whose default
//   action ends the process, except the faults a program causes itself,
//   such as SIGSEGV; Windows: the console's Ctrl-C, Ctrl-Break and close
//   events). A hang-up the process was started to ignore (nohup) stays
//   ignored;
// - an exceeded file-size limit makes the write fail (EFBIG), like a full
//   disk, instead of ending the process;
// - a reader of the output that goes away makes the write fail
//   (IoStatus::kReaderGone), instead of ending the process.
// A stop request must also end blocking waits for the output within about
// a second (handlers without automatic restart, or waits that poll
// Interrupted()).
void CatchInterruptions();

// Whether a stop request has arrived. Safe to call from any thread.
bool Interrupted();

}  // namespace selvarin
