// What a host lists and converts: busses, parameters and their texts, units,
// the program list, and the controller's answers to odd requests.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "pluginterfaces/vst/vstspeaker.h"
#include "tests/vst3/plugin_fixture.h"

namespace selvarin {
namespace test {
namespace {

namespace sb = Steinberg;
namespace sv = Steinberg::Vst;

std::string Text(sv::IEditController* c, sv::ParamID id, double x) {
  sv::String128 s = {};
  if (c->getParamStringByValue(id, x, s) != sb::kResultOk) return "<false>";
  return Narrow(s);
}

void ToUtf16(const char* text, sv::String128 out) {
  int i = 0;
  for (; text[i] && i < 127; ++i) out[i] = static_cast<sv::TChar>(text[i]);
  out[i] = 0;
}

using ControllerTest = PluginTest;

TEST_F(ControllerTest, BussesAreOneStereoOutputAndAMidiInput) {
  sv::IComponent* c = plugin.component;
  EXPECT_EQ(c->getBusCount(sv::kAudio, sv::kInput), 0);
  ASSERT_EQ(c->getBusCount(sv::kAudio, sv::kOutput), 1);
  ASSERT_EQ(c->getBusCount(sv::kEvent, sv::kInput), 1);
  EXPECT_EQ(c->getBusCount(sv::kEvent, sv::kOutput), 0);
  sv::BusInfo info{};
  ASSERT_EQ(c->getBusInfo(sv::kAudio, sv::kOutput, 0, info), sb::kResultTrue);
  EXPECT_EQ(Narrow(info.name), "Output 1");
  EXPECT_EQ(info.channelCount, 2);
  EXPECT_EQ(info.busType, sv::kMain);
  EXPECT_EQ(info.flags, static_cast<sb::uint32>(sv::BusInfo::kDefaultActive));
  ASSERT_EQ(c->getBusInfo(sv::kEvent, sv::kInput, 0, info), sb::kResultTrue);
  EXPECT_EQ(Narrow(info.name), "MIDI Input");
  EXPECT_EQ(info.channelCount, 1);
  EXPECT_NE(c->getBusInfo(sv::kAudio, sv::kOutput, 1, info), sb::kResultTrue);
  EXPECT_NE(c->getBusInfo(sv::kAudio, sv::kInput, 0, info), sb::kResultTrue);
  EXPECT_NE(c->getBusInfo(sv::kAudio, sv::kOutput, -1, info), sb::kResultTrue);
  EXPECT_NE(c->activateBus(sv::kAudio, sv::kOutput, 5, true), sb::kResultTrue);
  sv::SpeakerArrangement arr = 0;
  ASSERT_EQ(plugin.processor->getBusArrangement(sv::kOutput, 0, arr), sb::kResultTrue);
  EXPECT_EQ(arr, sv::SpeakerArr::kStereo);
  EXPECT_NE(plugin.processor->getBusArrangement(sv::kInput, 0, arr), sb::kResultTrue);
}

TEST_F(ControllerTest, TheLayoutThePlugInHasIsAcceptedOthersAreNot) {
  sv::SpeakerArrangement stereo = sv::SpeakerArr::kStereo, mono = sv::SpeakerArr::kMono;
  EXPECT_EQ(plugin.processor->setBusArrangements(nullptr, 0, &stereo, 1), sb::kResultOk);
  EXPECT_EQ(plugin.processor->setBusArrangements(nullptr, 0, &mono, 1), sb::kResultFalse);
  EXPECT_EQ(plugin.processor->setBusArrangements(&stereo, 1, &stereo, 1), sb::kResultFalse);
  EXPECT_EQ(plugin.processor->setBusArrangements(nullptr, 0, nullptr, 0), sb::kResultFalse);
  // One input bus without channels fits the configuration too.
  sv::SpeakerArrangement none = 0;
  EXPECT_EQ(plugin.processor->setBusArrangements(&none, 1, &stereo, 1), sb::kResultOk);
  sv::BusInfo info{};
  ASSERT_EQ(plugin.component->getBusInfo(sv::kAudio, sv::kOutput, 0, info), sb::kResultTrue);
  EXPECT_EQ(Narrow(info.name), "Output 1");  // the refusals left the busses alone
}

TEST_F(ControllerTest, ProcessorCapabilities) {
  EXPECT_EQ(plugin.processor->canProcessSampleSize(sv::kSample32), sb::kResultTrue);
  EXPECT_EQ(plugin.processor->canProcessSampleSize(sv::kSample64), sb::kResultTrue);
  EXPECT_EQ(plugin.processor->canProcessSampleSize(2), sb::kResultFalse);
  EXPECT_EQ(plugin.processor->getLatencySamples(), 0u);
  EXPECT_EQ(plugin.processor->getTailSamples(), 0u);
  sv::ProcessSetup bad{sv::kRealtime, 2, 512, 48000.0};
  EXPECT_EQ(plugin.processor->setupProcessing(bad), sb::kResultFalse);
  sb::TUID cid;
  EXPECT_EQ(plugin.component->getControllerClassId(cid), sb::kNotImplemented);
  EXPECT_EQ(plugin.controller->createView("Editor"), nullptr);
}

TEST_F(ControllerTest, HostsAreAskedForTheContextTheToneReads) {
  void* obj = nullptr;
  ASSERT_EQ(plugin.component->queryInterface(sv::IProcessContextRequirements::iid, &obj), sb::kResultOk);
  auto* req = static_cast<sv::IProcessContextRequirements*>(obj);
  const sb::uint32 flags = req->getProcessContextRequirements();
  using F = sv::IProcessContextRequirements::Flags;
  EXPECT_TRUE(flags & F::kNeedTempo);
  EXPECT_TRUE(flags & F::kNeedTransportState);
  EXPECT_TRUE(flags & F::kNeedProjectTimeMusic);
  req->release();
}

TEST_F(ControllerTest, PresetsComeFirstThenTheTwentyThreeParameters) {
  sv::IEditController* c = plugin.controller;
  ASSERT_EQ(c->getParameterCount(), 24);
  sv::ParameterInfo info{};
  ASSERT_EQ(c->getParameterInfo(0, info), sb::kResultTrue);
  EXPECT_EQ(Narrow(info.title), "Presets");
  EXPECT_EQ(info.id, kPrst);
  EXPECT_EQ(info.stepCount, 149);
  EXPECT_EQ(info.flags, 0x8008);
  ASSERT_EQ(c->getParameterInfo(1, info), sb::kResultTrue);
  EXPECT_EQ(info.id, 0u);
  EXPECT_EQ(Narrow(info.title), "Base Freq");
  EXPECT_EQ(Narrow(info.units), "Hz");
  EXPECT_EQ(info.stepCount, 0);
  EXPECT_EQ(info.flags, sv::ParameterInfo::kCanAutomate);
  EXPECT_NEAR(info.defaultNormalizedValue, std::sqrt((200.0 - 20.0) / (20000.0 - 20.0)), 1e-12);
  ASSERT_EQ(c->getParameterInfo(3, info), sb::kResultTrue);
  EXPECT_EQ(Narrow(info.title), "Wave");
  EXPECT_EQ(info.stepCount, 7);
  ASSERT_EQ(c->getParameterInfo(12, info), sb::kResultTrue);
  EXPECT_EQ(Narrow(info.title), "LFO1 Rate");
  ASSERT_EQ(c->getParameterInfo(13, info), sb::kResultTrue);
  EXPECT_EQ(Narrow(info.title), "LFO1 Rate");
  EXPECT_EQ(Narrow(info.units), "ms");
  EXPECT_EQ(c->getParameterInfo(24, info), sb::kResultFalse);
  EXPECT_EQ(c->getParameterInfo(-1, info), sb::kResultFalse);
}

TEST_F(ControllerTest, ValueTextsAndConversions) {
  sv::IEditController* c = plugin.controller;
  EXPECT_EQ(Text(c, 2, 2.0 / 7.0), "Saw");
  EXPECT_EQ(Text(c, 4, 1.0), "Monaural");
  EXPECT_EQ(Text(c, 11, 9.0 / 30.0), "1/4");
  EXPECT_EQ(Text(c, 0, 1.0).find("20000"), 0u);
  EXPECT_EQ(Text(c, kPrst, 0.0), "<false>");
  EXPECT_EQ(Text(c, kBpas, 0.0), "<false>");
  EXPECT_EQ(Text(c, 999, 0.0), "<false>");
  // Out-of-range and non-finite positions still give a text, never a crash.
  EXPECT_NE(Text(c, 2, 7.5), "<false>");
  EXPECT_NE(Text(c, 0, std::numeric_limits<double>::quiet_NaN()), "<false>");

  sv::String128 s;
  double x = -1.0;
  ToUtf16("440", s);
  ASSERT_EQ(c->getParamValueByString(0, s, x), sb::kResultTrue);
  EXPECT_NEAR(c->normalizedParamToPlain(0, x), 440.0, 1e-6);
  ToUtf16("1/4", s);
  ASSERT_EQ(c->getParamValueByString(11, s, x), sb::kResultTrue);
  EXPECT_NEAR(x, 9.0 / 30.0, 1e-12);
  ToUtf16("banana", s);
  ASSERT_EQ(c->getParamValueByString(0, s, x), sb::kResultTrue);
  EXPECT_NEAR(c->normalizedParamToPlain(0, x), 20.0, 1e-9);  // no number reads as 0, clamped

  EXPECT_NEAR(c->plainParamToNormalized(kPrst, 75.0), 75.0 / 149.0, 1e-12);
  EXPECT_NEAR(c->plainParamToNormalized(7, 45.0), 0.45, 1e-12);
  EXPECT_DOUBLE_EQ(c->plainParamToNormalized(12345, 3.5), 3.5);
  EXPECT_NEAR(c->normalizedParamToPlain(0, 1.0), 20000.0, 1e-9);
  EXPECT_NEAR(c->normalizedParamToPlain(0, 2.0), 20000.0, 1e-9);
  EXPECT_TRUE(std::isfinite(c->normalizedParamToPlain(kPrst, std::numeric_limits<double>::infinity())));
  // Ids without a parameter object give the value back unchanged.
  EXPECT_DOUBLE_EQ(c->normalizedParamToPlain(12345, 3.5), 3.5);
  EXPECT_DOUBLE_EQ(c->normalizedParamToPlain(kBpas, 0.7), 0.7);
}

TEST_F(ControllerTest, NormalisedValuesOfParametersPresetsAndBypass) {
  sv::IEditController* c = plugin.controller;
  EXPECT_EQ(c->getParamNormalized(kBpas), 0.0);
  EXPECT_EQ(c->setParamNormalized(kBpas, 1.0), sb::kResultOk);
  EXPECT_EQ(c->getParamNormalized(kBpas), 1.0);
  EXPECT_EQ(c->setParamNormalized(kPrst, 0.5), sb::kResultOk);
  EXPECT_NEAR(c->getParamNormalized(kPrst), 75.0 / 149.0, 1e-12);
  EXPECT_EQ(c->setParamNormalized(7, 0.5), sb::kResultOk);
  EXPECT_NEAR(Plain(7), 50.0, 1e-9);
  EXPECT_EQ(c->setParamNormalized(7, 3.0), sb::kResultOk);
  EXPECT_NEAR(Plain(7), 100.0, 1e-9);
  EXPECT_EQ(c->setParamNormalized(7, -3.0), sb::kResultOk);
  EXPECT_NEAR(Plain(7), 0.0, 1e-9);
  EXPECT_EQ(c->setParamNormalized(7, std::numeric_limits<double>::quiet_NaN()), sb::kResultOk);
  EXPECT_NEAR(Plain(7), 0.0, 1e-9);
  EXPECT_EQ(c->setParamNormalized(999, 0.5), sb::kResultFalse);
  EXPECT_EQ(c->getParamNormalized(999), 0.0);
}

TEST_F(ControllerTest, OneRootUnitWithTheFactoryPresetList) {
  sv::IUnitInfo* u = plugin.units;
  ASSERT_NE(u, nullptr);
  EXPECT_EQ(u->getUnitCount(), 1);
  sv::UnitInfo info{};
  ASSERT_EQ(u->getUnitInfo(0, info), sb::kResultTrue);
  EXPECT_EQ(info.id, 0);
  EXPECT_EQ(info.parentUnitId, -1);
  EXPECT_EQ(Narrow(info.name), "Root Unit");
  EXPECT_EQ(info.programListId, static_cast<sv::ProgramListID>(kPrst));
  EXPECT_EQ(u->getUnitInfo(1, info), sb::kResultFalse);
  EXPECT_EQ(u->getProgramListCount(), 1);
  sv::ProgramListInfo list{};
  ASSERT_EQ(u->getProgramListInfo(0, list), sb::kResultTrue);
  EXPECT_EQ(list.id, static_cast<sv::ProgramListID>(kPrst));
  EXPECT_EQ(Narrow(list.name), "Factory Presets");
  EXPECT_EQ(list.programCount, 150);
  EXPECT_EQ(u->getProgramListInfo(1, list), sb::kResultFalse);
  EXPECT_EQ(u->getSelectedUnit(), 0);

  const std::vector<std::string> names = plugin.ProgramNames();
  ASSERT_EQ(names.size(), 150u);
  EXPECT_EQ(names[0], "---- default ----");
  EXPECT_EQ(names[149], "- 150 -");
  sv::String128 name;
  EXPECT_EQ(u->getProgramName(kPrst, 500, name), sb::kResultOk);
  EXPECT_EQ(Narrow(name), "");
  EXPECT_EQ(u->getProgramName(12, 0, name), sb::kResultFalse);
  EXPECT_EQ(u->getProgramInfo(kPrst, 0, "x", name), sb::kNotImplemented);
}

TEST_F(ControllerTest, KnobModeHelpAndControllerState) {
  void* obj = nullptr;
  ASSERT_EQ(plugin.component->queryInterface(sv::IEditController2::iid, &obj), sb::kResultOk);
  auto* c2 = static_cast<sv::IEditController2*>(obj);
  EXPECT_EQ(c2->setKnobMode(sv::kLinearMode), sb::kResultOk);
  EXPECT_EQ(c2->openHelp(false), sb::kResultFalse);
  EXPECT_EQ(c2->openAboutBox(false), sb::kResultFalse);
  c2->release();
  // The controller has no state of its own; the component's stays apart.
  EXPECT_EQ(plugin.controller->getState(nullptr), sb::kResultOk);
  EXPECT_EQ(plugin.controller->setState(nullptr), sb::kResultOk);
  EXPECT_EQ(plugin.controller->setComponentState(nullptr), sb::kNotImplemented);
}

TEST_F(ControllerTest, ConnectionPointAnswersAsTheSdkDoes) {
  void* obj = nullptr;
  ASSERT_EQ(plugin.component->queryInterface(sv::IConnectionPoint::iid, &obj), sb::kResultOk);
  auto* cp = static_cast<sv::IConnectionPoint*>(obj);
  EXPECT_EQ(cp->connect(cp), sb::kResultTrue);
  EXPECT_EQ(cp->disconnect(cp), sb::kResultTrue);
  cp->release();
}

}  // namespace
}  // namespace test
}  // namespace selvarin
