#pragma once
// Opens a web address with the desktop's opener, started directly (no shell
// reads the address). The opener runs detached from the editor: it is never
// waited for on the editor's thread; finished openers are reaped later.
namespace selvarin {

// False when the address is unusable (empty, or taken for an option) or the
// opener cannot be started.
bool LaunchWebAddress(const char* url, const char* opener = "xdg-open");

// Collects openers that have finished; never blocks.
void ReapWebLaunchers();

}  // namespace selvarin
