#pragma once
// The interactions selvarin-snapshot performs before it takes the picture,
// one per -i option: "click:NAME", "right-click:NAME", "hover:NAME",
// "type:TEXT" (Enter with "\n" or a final "type-enter:TEXT"), "tick:N".
// NAME is a parameter's name as the editor shows it (the visible control
// of that name is used) or one of "background", "title".
#include <string>
#include <vector>

namespace selvarin {

class HeadlessGraphics;

struct SnapshotAction {
  enum Kind { kClick, kRightClick, kHover, kType, kTypeEnter, kTick } kind = kTick;
  std::string argument;
};

// Parses one -i argument; false with a message for anything else.
bool ParseSnapshotAction(const std::string& text, SnapshotAction* out, std::string* error);

// Performs the action on the open editor, followed by a tick.
bool PerformSnapshotAction(HeadlessGraphics& g, const SnapshotAction& action, std::string* error);

}  // namespace selvarin
