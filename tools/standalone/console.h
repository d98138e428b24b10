#pragma once
// Text output for a program that is also a windowed application: on
// Windows (a GUI program there) the console of the command line that
// started it, when there is one; elsewhere nothing to do.
namespace selvarin {

void AttachToConsole();

}  // namespace selvarin
