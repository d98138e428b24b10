#pragma once
// Ctrl-C, a closed terminal or console window or a termination request stop
// a render cleanly: the handlers only raise a flag that the render loop
// polls between blocks.
namespace selvarin {

// Catches the interrupt, hang-up and termination signals (on Windows the
// console's control events) from now on.
void CatchInterruptions();

// Whether one of them has arrived.
bool Interrupted();

}  // namespace selvarin
