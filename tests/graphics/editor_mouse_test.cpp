// User stories through the entry points a window host calls: drags, wheel
// bursts, double-clicks, right-click lists and value entry, the drop-down,
// the Sync buttons, and what reaches the host on the way.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "editor_harness.h"
#include "graphics/controls.h"
#include "graphics/dropdown.h"
#include "graphics/prompt_popup.h"
#include "graphics/selvarin/selvarin_layout.h"

namespace selvarin::test {
namespace {

using Kind = TestAdapter::EditEvent::Kind;

// The host's view of the edits, as "B0 P0 E0".
std::string EditLog(const TestAdapter& plug) {
  std::string s;
  for (const auto& e : plug.edits) {
    if (!s.empty()) s += ' ';
    s += e.kind == Kind::kBegin ? 'B' : (e.kind == Kind::kPerform ? 'P' : 'E');
    s += std::to_string(e.paramIdx);
  }
  return s;
}

PromptPopup* OpenPopup(EditorHarness& h) { return dynamic_cast<PromptPopup*>(h.g->OpenPopup()); }

// What a host requires of the edits it is told about: every value is
// finite and inside an edit of its parameter, and one parameter's edits are
// never nested or left open. Empty when the log keeps to that.
std::string EditProtocolFault(const TestAdapter& plug) {
  std::vector<int> open(kNumParams, 0);
  for (size_t i = 0; i < plug.edits.size(); ++i) {
    const auto& e = plug.edits[i];
    const std::string at = " at edit " + std::to_string(i) + " of parameter " + std::to_string(e.paramIdx);
    int& n = open[static_cast<size_t>(e.paramIdx)];
    if (e.kind == Kind::kBegin && n++ > 0) return "nested begin" + at;
    if (e.kind == Kind::kEnd && n-- != 1) return "end without begin" + at;
    if (e.kind == Kind::kPerform && (n != 1 || !std::isfinite(e.normalized))) return "stray perform" + at;
  }
  for (int p = 0; p < kNumParams; ++p)
    if (open[static_cast<size_t>(p)] != 0) return "edit left open on parameter " + std::to_string(p);
  return "";
}

TEST(EditorMouse, DraggingBaseFreqFollowsTheGearingInOneHostEdit) {
  EditorHarness h;
  IControl* knob = h.At(48, 129);
  const double start = knob->value;
  // Up by the knob's height (78) with gearing 4: a quarter of the range.
  h.g->LeftDown(48, 129);
  h.g->MouseMove(48, 100, LeftHeld());
  h.g->MouseMove(48, 100, LeftHeld());  // no movement: not delivered
  h.g->MouseMove(48, 51, LeftHeld());
  h.g->MouseMove(300, 51, LeftHeld());  // leaving the knob sideways changes nothing
  h.g->ButtonUp(300, 51);
  EXPECT_NEAR(knob->value, start + 0.25, 1e-12);
  EXPECT_NEAR(h.plug.Param(kParamBaseFreq)->NormalizedValue(), start + 0.25, 1e-12);
  // Begin, a perform per moving drag event and one at the release, end.
  EXPECT_EQ(EditLog(h.plug), "B0 P0 P0 P0 P0 E0");

  // Shift drags ten times finer.
  h.plug.edits.clear();
  IPointerState fine = Shift();
  fine.L = true;
  h.g->LeftDown(48, 129);
  h.g->MouseMove(48, 51, fine);
  h.g->ButtonUp(48, 51);
  EXPECT_NEAR(knob->value, start + 0.275, 1e-12);

  // Double-click restores the value the editor got when it was attached.
  h.g->LeftDoubleClick(48, 129);
  h.g->ButtonUp(48, 129);
  EXPECT_DOUBLE_EQ(knob->value, start);
  EXPECT_DOUBLE_EQ(h.Plain(kParamBaseFreq), 200.0);
  EXPECT_EQ(h.Edits(Kind::kBegin, 0), h.Edits(Kind::kEnd, 0));

  // An editor attached later takes the values of that moment as its own:
  // its double-click restores 432 Hz, not the parameter's default.
  h.Automate(kParamBaseFreq, h.plug.Param(kParamBaseFreq)->ToNormalized(432.0));
  SelvarinEditorLinks links;
  links.syncClickedInEditor = h.plug.SyncClickedFlag();
  h.g = static_cast<HeadlessGraphics*>(BuildSelvarinEditor(&h.plug, links));
  ASSERT_EQ(h.plug.Editor(), h.g);
  h.g->CreateEditorWindow(nullptr);
  h.Automate(kParamBaseFreq, 0.9);
  h.g->LeftDoubleClick(48, 129);
  h.g->ButtonUp(48, 129);
  EXPECT_NEAR(h.Plain(kParamBaseFreq), 432.0, 1e-9);
}

TEST(EditorMouse, AWheelBurstIsOneEditEndingTwelveTicksAfterTheLastNotch) {
  EditorHarness h;
  const double start = h.At(426, 129)->value;  // "Binaural Pan"
  for (int i = 0; i < 3; ++i) {
    h.g->Wheel(426, 129, 1);
    h.g->Tick();
  }
  h.g->Wheel(426, 129, 1, Shift());  // fine: a tenth of a step
  EXPECT_NEAR(h.At(426, 129)->value, std::min(1.0, start + 0.031), 1e-6);
  for (int t = 0; t < 11; ++t) h.g->Tick();
  EXPECT_EQ(h.Edits(Kind::kEnd, kParamPan), 0) << "still inside the burst";
  h.g->Tick();
  EXPECT_EQ(EditLog(h.plug), "B3 P3 P3 P3 P3 E3");

  // A wheel burst on another control ends the running one first.
  h.plug.edits.clear();
  h.g->Wheel(426, 129, -1);
  h.g->Wheel(501, 129, -1);
  EXPECT_EQ(EditLog(h.plug), "B3 P3 E3 B7 P7");
  // Closing the window ends the pending edit at once.
  h.g->DestroyEditorWindow();
  EXPECT_EQ(EditLog(h.plug), "B3 P3 E3 B7 P7 E7");
}

TEST(EditorMouse, RightClickWaveOpensItsListAndAChoiceSetsTheValue) {
  EditorHarness h;
  h.g->RightDown(197, 129);
  h.g->ButtonUp(197, 129);
  PromptPopup* popup = OpenPopup(h);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->EntryCount(), 8);
  EXPECT_EQ(std::string(popup->Entry(4)), "Golden Sine");
  EXPECT_EQ(popup->Selected(), 0);
  EXPECT_EQ(popup->Capacity(), 5) << "five rows below ten entries";
  EXPECT_EQ(popup->ThumbHeight(), 90);
  EXPECT_EQ(h.g->Control(h.g->NControls() - 1), popup) << "attached last, drawn on top";
  h.g->Tick();

  // Hover the fourth row and click it: one edit, framed, and the list goes.
  const IArea cell = popup->Cell(3);
  const int x = cell.L + 10, y = (cell.T + cell.B) / 2;
  h.plug.edits.clear();
  h.g->MouseMove(x, y);
  h.g->LeftDown(x, y);
  h.g->ButtonUp(x, y);
  EXPECT_EQ(h.Plain(kParamWave), 3.0);
  EXPECT_EQ(EditLog(h.plug), "B2 P2 E2");
  EXPECT_EQ(h.g->OpenPopup(), nullptr);
  EXPECT_EQ(h.g->NControls(), 29);
  h.g->Tick();
  EXPECT_TRUE(h.g->LastPresented() == (IArea{0, 0, 550, 363})) << "closing repaints everything";
  EXPECT_EQ(h.g->PresentedInTick(), 1);

  // Double-clicking an entry chooses it: the second click, which lands on
  // the knob under the closed list, does not reset the knob to its default.
  h.g->RightDown(197, 129);
  h.g->ButtonUp(197, 129);
  h.g->Tick();
  const IArea row = OpenPopup(h)->Cell(1);
  const int chosen = OpenPopup(h)->FirstVisible() + 1;
  ASSERT_NE(chosen, 3);
  const int rx = 197, ry = (row.T + row.B) / 2;
  h.g->MouseMove(rx, ry);
  h.g->LeftDown(rx, ry);
  h.g->ButtonUp(rx, ry);
  ASSERT_EQ(h.g->OpenPopup(), nullptr);
  ASSERT_EQ(h.At(rx, ry)->paramIdx, kParamWave);
  h.g->LeftDoubleClick(rx, ry);
  h.g->ButtonUp(rx, ry);
  EXPECT_EQ(h.Plain(kParamWave), chosen);
}

TEST(EditorMouse, TheNoteValueRateListScrollsToItsSelection) {
  EditorHarness h;
  h.Automate(kParamLfo1RateNote, 27.0 / 30.0);  // "16/1"
  h.g->RightDown(201, 277);
  PromptPopup* popup = OpenPopup(h);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->EntryCount(), 31);
  EXPECT_EQ(popup->Capacity(), 8);
  EXPECT_EQ(popup->ThumbHeight(), 37);
  EXPECT_EQ(popup->Selected(), 27);
  // The selection stands in the middle: rows 24..31 show, 27 is the fourth.
  EXPECT_EQ(popup->FirstVisible(), 23);
  EXPECT_LE(popup->rect.B, 363 - 6) << "kept inside the panel";
  h.g->ButtonUp(201, 277);
  h.g->Tick();

  // After the pointer left the editor, a click in the list without a move
  // first chooses nothing (the list's "no row" mark is not a row).
  h.g->MouseMove(popup->rect.L + 10, popup->rect.T + 30);
  h.g->MouseLeave();
  h.plug.edits.clear();
  h.g->LeftDown(popup->rect.L + 10, popup->rect.T + 30);
  h.g->ButtonUp(popup->rect.L + 10, popup->rect.T + 30);
  ASSERT_EQ(OpenPopup(h), popup);
  EXPECT_TRUE(h.plug.edits.empty());

  // Wheel scrolls the list 3 pixels a notch; a click elsewhere dismisses it.
  const int thumb = popup->ThumbPosition();
  h.g->Wheel(popup->rect.L + 5, popup->rect.T + 5, 2);
  EXPECT_EQ(popup->ThumbPosition(), thumb - 6);
  // Scrolled up, the list's bottom edge lies one row past the last entry
  // shown: a click there chooses nothing.
  ASSERT_LT(popup->FirstVisible() + popup->Capacity(), popup->EntryCount());
  h.g->MouseMove(popup->rect.L + 10, popup->rect.B);
  h.g->LeftDown(popup->rect.L + 10, popup->rect.B);
  h.g->ButtonUp(popup->rect.L + 10, popup->rect.B);
  ASSERT_EQ(OpenPopup(h), popup);
  EXPECT_TRUE(h.plug.edits.empty());
  h.plug.edits.clear();
  h.g->LeftDown(5, 5);
  h.g->ButtonUp(5, 5);
  EXPECT_EQ(h.g->NControls(), 29);
  EXPECT_TRUE(h.plug.edits.empty()) << "nothing chosen, nothing sent";
  EXPECT_EQ(h.Plain(kParamLfo1RateNote), 27.0);
  h.g->Tick();
  EXPECT_TRUE(h.g->LastPresented() == (IArea{0, 0, 550, 363}));

  // The right click that dismisses a list opens nothing new.
  h.g->RightDown(197, 129);
  ASSERT_NE(OpenPopup(h), nullptr);
  h.g->RightDown(48, 129);
  EXPECT_FALSE(h.g->Entry().IsOpen());
  EXPECT_EQ(h.g->OpenPopup(), nullptr);
  h.g->RightDown(48, 129);
  EXPECT_TRUE(h.g->Entry().IsOpen());
}

TEST(EditorMouse, TypingAValueIntoBaseFreqTakesEffectAtTheNextTick) {
  EditorHarness h;
  h.g->RightDown(48, 129);
  h.g->ButtonUp(48, 129);
  ASSERT_TRUE(h.g->Entry().IsOpen());
  EXPECT_FALSE(h.g->Entry().IsList());
  EXPECT_EQ(h.g->Entry().Text(), "200.0");
  h.g->TypeText("432");  // replaces the selected text
  h.g->KeyDown(kVkReturn);
  EXPECT_EQ(h.Plain(kParamBaseFreq), 200.0) << "not before the tick";
  h.plug.edits.clear();
  const IArea box = h.g->Entry().Rect();
  EXPECT_NE(h.Pixel(box.L + 1, box.T + 1), h.Pixel(box.L - 3, box.T + 1)) << "the entry shows over the knob";
  h.g->Tick();
  EXPECT_FALSE(h.g->Entry().IsOpen());
  EXPECT_DOUBLE_EQ(h.Plain(kParamBaseFreq), 432.0);
  // Where the entry was, the window shows the panel as a full repaint does.
  std::vector<RasterPixel> after;
  for (int y = box.T; y < box.B; ++y)
    for (int x = box.L; x < box.R; ++x) after.push_back(h.Pixel(x, y));
  h.g->Draw(IArea{0, 0, 550, 363});
  size_t i = 0, same = 0;
  for (int y = box.T; y < box.B; ++y)
    for (int x = box.L; x < box.R; ++x) same += h.Pixel(x, y) == after[i++];
  EXPECT_EQ(same, after.size());
  EXPECT_EQ(EditLog(h.plug).substr(0, 8), "B0 P0 E0");

  // A right click cancels; a left click in the editor commits the typed text.
  h.g->RightDown(48, 129);
  h.g->TypeText("999");
  h.g->RightDown(300, 300);
  h.g->Tick();
  EXPECT_DOUBLE_EQ(h.Plain(kParamBaseFreq), 432.0);
  h.g->RightDown(48, 129);
  h.g->ButtonUp(48, 129);
  h.g->TypeText("1000x");
  h.g->LeftDown(5, 5);
  h.g->ButtonUp(5, 5);
  h.g->Tick();
  EXPECT_DOUBLE_EQ(h.Plain(kParamBaseFreq), 1000.0) << "the leading number counts";

  // Only a decimal number is read: no NaN, infinity or hexadecimal reaches
  // the knob or the host; what is too large clamps to the range.
  const struct {
    const char* typed;
    double hz;
  } typed[] = {{"nan", 20.0}, {"0x20", 20.0}, {"inf", 20.0}, {"1e999", 20000.0}, {" 2.5e2Hz", 250.0}, {"-5", 20.0}};
  for (const auto& t : typed) {
    h.g->RightDown(48, 129);
    h.g->ButtonUp(48, 129);
    h.g->TypeText(t.typed);
    h.g->KeyDown(kVkReturn);
    h.g->Tick();
    EXPECT_DOUBLE_EQ(h.Plain(kParamBaseFreq), t.hz) << t.typed;
    EXPECT_DOUBLE_EQ(h.At(48, 129)->value, h.plug.Param(kParamBaseFreq)->NormalizedValue()) << t.typed;
  }
  EXPECT_EQ(EditProtocolFault(h.plug), "") << EditLog(h.plug);
}

TEST(EditorMouse, AListEntryForANamedParameterCommitsTheChosenText) {
  EditorHarness h;
  h.Automate(kParamWave, 2.0 / 7.0);  // "Saw"
  IControl* wave = h.At(197, 129);
  h.g->BeginValueEntry(wave, wave->Param(), true);
  ValueEntry& e = h.g->Entry();
  ASSERT_TRUE(e.IsOpen());
  ASSERT_TRUE(e.IsList());
  EXPECT_EQ(e.ListTexts().size(), 8u);
  EXPECT_EQ(e.ListSelection(), 2);
  h.g->BeginValueEntry(wave, wave->Param(), true);  // one entry at a time
  h.g->KeyDown(kVkEscape);  // no special meaning
  h.g->KeyDown(kVkReturn);  // left to the list
  h.g->Tick();
  EXPECT_TRUE(e.IsOpen());
  const IArea r = e.Rect();
  h.g->LeftDown(r.L + 5, r.T + 1 + 5 * ValueEntry::kListRowHeight + 4);  // "Sine Half"
  EXPECT_EQ(h.Plain(kParamWave), 2.0);
  h.g->Tick();
  EXPECT_FALSE(e.IsOpen());
  EXPECT_EQ(h.Plain(kParamWave), 5.0);

  // Keys outside the editor's table reach no control; the URL control keeps
  // a link longer than its field cut to 255 characters.
  EXPECT_EQ(HeadlessGraphics::TranslateKey(kVkF1), -1);
  EXPECT_EQ(HeadlessGraphics::TranslateKey('A'), 16);
  const std::string longLink = "https://example.org/" + std::string(600, 'x');
  auto* link = new IURLControl(&h.plug, IArea{0, 0, 10, 10}, longLink.c_str(), nullptr, nullptr);
  h.g->AddControl(link);
  h.g->LeftDown(5, 5);
  h.g->ButtonUp(5, 5);
  EXPECT_EQ(h.g->LastWebAddress(), longLink.substr(0, 255));
}

TEST(EditorMouse, TheLfoTargetDropDownOpensBelowAndChoosesVolume) {
  EditorHarness h;
  h.g->LeftDown(120, 222);
  h.g->ButtonUp(120, 222);
  auto* drop = dynamic_cast<IDropDown*>(h.g->Control(15));
  ASSERT_NE(drop->List(), nullptr);
  EXPECT_TRUE(drop->List()->rect == (IArea{84, 230, 174, 321}));
  EXPECT_EQ(h.g->Control(29), drop->List());
  h.g->Tick();

  h.plug.edits.clear();
  h.g->LeftDown(120, 315);  // the fifth row
  h.g->ButtonUp(120, 315);
  EXPECT_EQ(h.Plain(kParamLfo1Target), 0.0) << "sent when the drop-down next draws";
  h.g->Tick();
  EXPECT_EQ(h.Plain(kParamLfo1Target), 4.0);  // "Volume"
  EXPECT_EQ(EditLog(h.plug), "B8 P8 E8");
  EXPECT_TRUE(drop->List()->hidden);
  EXPECT_FALSE(drop->IsOpen());
  EXPECT_EQ(drop->Frame(), 5);

  // Double-clicking "Binaural" in the list chooses it and leaves the "LFO1
  // Wave" knob under the list alone.
  h.Automate(kParamLfo1Wave, 3.0 / 6.0);
  h.g->LeftDown(120, 222);
  h.g->ButtonUp(120, 222);
  ASSERT_FALSE(drop->List()->hidden);
  h.g->LeftDown(120, 268);
  h.g->ButtonUp(120, 268);
  ASSERT_EQ(h.At(120, 268)->paramIdx, kParamLfo1Wave);
  h.g->LeftDoubleClick(120, 268);
  h.g->ButtonUp(120, 268);
  h.g->Tick();
  EXPECT_EQ(h.Plain(kParamLfo1Target), 2.0);
  EXPECT_EQ(h.Plain(kParamLfo1Wave), 3.0);
  h.Automate(kParamLfo1Target, 1.0);
  h.g->Tick();

  // Left-clicking an open drop-down closes its list without a change.
  h.g->LeftDown(120, 222);
  EXPECT_FALSE(drop->List()->hidden);
  h.g->LeftDown(120, 222);
  EXPECT_TRUE(drop->List()->hidden);
  h.g->Tick();
  EXPECT_EQ(h.Plain(kParamLfo1Target), 4.0);

  // The host moves the target while the list is open; choosing "Volume"
  // again before the next paint still reaches the host, and the host's own
  // changes are shown, never sent back as edits.
  h.g->LeftDown(120, 222);
  h.g->ButtonUp(120, 222);
  h.Automate(kParamLfo1Target, 0.25);
  h.plug.edits.clear();
  h.g->LeftDown(120, 315);
  h.g->ButtonUp(120, 315);
  h.g->Tick();
  EXPECT_EQ(h.Plain(kParamLfo1Target), 4.0);
  EXPECT_EQ(EditLog(h.plug), "B8 P8 E8");
  h.Automate(kParamLfo1Target, 0.5);
  h.g->Tick();
  EXPECT_EQ(drop->Frame(), 3);
  EXPECT_EQ(EditLog(h.plug), "B8 P8 E8");
}

TEST(EditorMouse, ClickingSyncAfterTheFirstBlockConvertsTheRateAndSwapsTheKnob) {
  EditorHarness h;
  h.plug.Play(120.0);
  h.Automate(kParamLfo1RateNote, 12.0 / 30.0);  // "1/2": one second at 120 BPM
  h.RenderBlock();
  h.g->Tick();
  h.g->LeftDown(200, 204);  // "LFO1 Sync" off
  h.g->ButtonUp(200, 204);
  EXPECT_EQ(h.Plain(kParamLfo1Sync), 0.0);
  EXPECT_EQ(h.Plain(kParamLfo1RateMs), 1000.0);
  EXPECT_FALSE(*h.plug.SyncClickedFlag());
  h.g->Tick();
  EXPECT_EQ(h.At(201, 277)->paramIdx, kParamLfo1RateMs);
  EXPECT_TRUE(h.g->Control(19)->hidden);
  EXPECT_NEAR(h.g->Control(20)->value, h.plug.Param(kParamLfo1RateMs)->NormalizedValue(), 1e-12);
  // The conversion reached the host as its own edit of the rate.
  EXPECT_GE(h.Edits(Kind::kPerform, kParamLfo1RateMs), 1);
  EXPECT_EQ(h.Edits(Kind::kBegin, kParamLfo1RateMs), h.Edits(Kind::kEnd, kParamLfo1RateMs));

  // Back on: the nearest note value, and the note knob shows again.
  h.g->LeftDown(200, 204);
  h.g->ButtonUp(200, 204);
  EXPECT_EQ(h.Plain(kParamLfo1RateNote), 12.0);
  EXPECT_EQ(h.At(201, 277)->paramIdx, kParamLfo1RateNote);

  // A right click only re-sends the value; a Sync change from the host
  // afterwards converts nothing (it would run on the audio thread).
  h.g->RightDown(200, 204);
  h.g->ButtonUp(200, 204);
  EXPECT_FALSE(*h.plug.SyncClickedFlag());
  h.plug.edits.clear();
  const double ms = h.Plain(kParamLfo1RateMs);
  h.Automate(kParamLfo1Sync, 0.0);
  EXPECT_EQ(h.Plain(kParamLfo1RateMs), ms);
  EXPECT_TRUE(h.plug.edits.empty());
}

TEST(EditorMouse, EveryHostEditIsWholeAndNeverNested) {
  EditorHarness h;
  h.plug.Play(120.0);
  h.RenderBlock();
  // A wheel notch on "Binaural Pan", then a drag of it before its edit ran out.
  h.g->Wheel(426, 129, 1);
  h.g->Tick();
  h.g->LeftDown(426, 129);
  h.g->MouseMove(426, 110, LeftHeld());
  // Notches while the knob is held, on it and on "Volume".
  h.g->Wheel(426, 110, 1);
  h.g->Wheel(501, 129, -1);
  h.g->ButtonUp(426, 110);
  // Value entries committed, cancelled and left by a click on a knob.
  h.g->RightDown(48, 129);
  h.g->ButtonUp(48, 129);
  h.g->TypeText("300\n");
  h.g->Tick();
  h.g->RightDown(48, 129);
  h.g->ButtonUp(48, 129);
  h.g->RightDown(48, 129);
  h.g->Tick();
  h.g->RightDown(122, 129);
  h.g->ButtonUp(122, 129);
  h.g->TypeText("12");
  h.g->LeftDown(501, 129);
  h.g->MouseMove(501, 120, LeftHeld());
  h.g->ButtonUp(501, 120);
  h.g->Tick();
  // A list choice, a drop-down choice, a Sync click that converts the rate,
  // a double-click.
  h.g->RightDown(197, 129);
  h.g->ButtonUp(197, 129);
  h.g->Tick();
  const IArea cell = OpenPopup(h)->Cell(1);
  h.g->MouseMove(cell.L + 5, cell.T + 5);
  h.g->LeftDown(cell.L + 5, cell.T + 5);
  h.g->ButtonUp(cell.L + 5, cell.T + 5);
  h.g->LeftDown(120, 222);
  h.g->ButtonUp(120, 222);
  h.g->Tick();
  h.g->LeftDown(120, 250);
  h.g->ButtonUp(120, 250);
  h.g->Tick();
  h.g->LeftDown(200, 204);
  h.g->ButtonUp(200, 204);
  h.g->LeftDoubleClick(426, 129);
  h.g->ButtonUp(426, 129);
  for (int t = 0; t < 13; ++t) h.g->Tick();

  EXPECT_NEAR(h.Plain(kParamBaseFreq), 300.0, 1e-9);
  EXPECT_NEAR(h.Plain(kParamBinaural), 12.0, 1e-9);
  EXPECT_EQ(h.Plain(kParamWave), 1.0);
  EXPECT_EQ(h.Plain(kParamLfo1Target), 1.0);
  EXPECT_EQ(h.Plain(kParamLfo1Sync), 0.0);
  EXPECT_GE(h.Edits(Kind::kPerform, kParamLfo1RateMs), 1);
  EXPECT_EQ(EditProtocolFault(h.plug), "") << EditLog(h.plug);
}

TEST(EditorMouse, SwitchesToggleAndHoldButtonsFollowThePress) {
  EditorHarness h;
  h.g->LeftDown(270, 110);  // "Beats"
  h.g->ButtonUp(270, 110);
  EXPECT_EQ(h.Plain(kParamBeats), 1.0);
  h.g->RightDown(270, 110);  // a right click re-sends the value only
  h.g->ButtonUp(270, 110);
  EXPECT_EQ(h.Plain(kParamBeats), 1.0);
  EXPECT_FALSE(h.g->Entry().IsOpen());
  EXPECT_EQ(h.g->OpenPopup(), nullptr);

  h.g->LeftDown(250, 330);  // "LFO's Sync", released outside
  EXPECT_EQ(h.Plain(kParamLfosSync), 1.0);
  h.g->MouseMove(10, 10, LeftHeld());
  h.g->ButtonUp(10, 10);
  EXPECT_EQ(h.Plain(kParamLfosSync), 0.0);
}

}  // namespace
}  // namespace selvarin::test
