#pragma once
// Runs a command line through the system's shell and collects what it
// writes to standard output (add "2>&1" to the command for standard error).
#include <string>

namespace selvarin {

// The command's exit code, or -1 when it could not be run or did not exit.
int RunCommand(const std::string& commandLine, std::string* output);

}  // namespace selvarin
