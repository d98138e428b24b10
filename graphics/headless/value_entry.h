#pragma once
// The in-place value entry over a control, drawn by the editor itself: a
// one-line text box, or a list of the parameter's display texts for an
// enumerated or boolean parameter. It knows no window system: a window host
// feeds it keys, clicks and focus changes and runs its state machine from
// its timer tick, so the headless host and an X11 host can share it.
//
// State machine: none -> editing (0 or 1) -> commit (3) or cancel (2)
// requested -> closed at the next tick. Enter, a list choice or a left click
// in the editor commit; a right click in the editor cancels; losing the
// focus does neither; Escape has no special meaning.
#include <string>
#include <vector>

#include "graphics/igraphics_types.h"

namespace selvarin {

class IControl;
class IGraphics;
class IParamEntry;
class RasterBitmap;

enum ValueEntryState : int { kEntryIdle = 0, kEntryEditing = 1, kEntryCancel = 2, kEntryCommit = 3 };

enum ValueEntryKey : int {
  kEntryKeyChar = 0,  // a printable character
  kEntryKeyEnter,
  kEntryKeyBackspace,
  kEntryKeyUp,
  kEntryKeyDown,
  kEntryKeyOther,  // any other key (Escape included): no special meaning
};

class ValueEntry {
 public:
  static constexpr int kMaxText = 1000;
  static constexpr int kListRowHeight = 16;

  // Opens an entry for the parameter over the control; false when one is
  // open already or control or parameter is missing. The editor's size
  // keeps a list inside the panel.
  bool Open(IControl* control, IParamEntry* param, bool centred, int editorWidth, int editorHeight);
  bool IsOpen() const { return control_ != nullptr; }
  bool IsList() const { return isList_; }
  IControl* Control() const { return control_; }
  IParamEntry* Param() const { return param_; }
  int State() const { return state_; }
  const IArea& Rect() const { return rect_; }

  // ---- what a window host feeds in ----
  void OnFocus(bool gained) { state_ = gained ? kEntryEditing : kEntryIdle; }
  void OnKey(ValueEntryKey key, char ch = 0);
  void TypeText(const char* text);
  // A press inside the entry's own rectangle (list rows choose).
  void OnClick(int x, int y);
  void RequestCommit() { state_ = kEntryCommit; }
  void RequestCancel() { state_ = kEntryCancel; }

  // The committed text: the typed line, or the chosen list text.
  std::string Text() const;
  int ListSelection() const { return selection_; }
  const std::vector<std::string>& ListTexts() const { return texts_; }

  // Step 1 of the host's tick: commits (through the graphics core) or
  // closes as requested; an editing state goes back to idle.
  void Tick(IGraphics& g);
  // Ends the entry: the control repaints and re-sends its value.
  void Close();
  // Forgets the entry without telling the control (its window went away).
  void Forget();

  // Draws the entry onto a window bitmap in editor coordinates.
  void Draw(IGraphics& g, RasterBitmap* screen) const;

 private:
  IControl* control_ = nullptr;
  IParamEntry* param_ = nullptr;
  int state_ = kEntryIdle;
  bool isList_ = false;
  bool allSelected_ = false;  // the initial text is selected: typing replaces it
  IArea rect_;
  std::string text_;
  std::vector<std::string> texts_;
  int selection_ = -1;
};

// The timer tick of a host that draws its own entry: an open entry takes
// its effect, then only the groups of overlapping dirty rectangles repaint
// (all inside the union the core's NeedsRedraw gives), together with what a
// closed entry uncovered. The host's own duties (its edit-end countdown)
// come after.
constexpr int kMaxRepaintGroups = 8;
void TickEntryAndRepaint(IGraphics& g, ValueEntry& entry);

}  // namespace selvarin
