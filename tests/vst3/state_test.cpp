// Saving and restoring: the 188-byte state, and streams that are short,
// empty, garbage, failing or endless.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "tests/vst3/plugin_fixture.h"
#include "tests/vst3/signal_measure.h"
#include "tests/vst3/test_stream.h"

namespace selvarin {
namespace test {
namespace {

namespace sb = Steinberg;
namespace sv = Steinberg::Vst;

class StateTest : public PluginTest {
 protected:
  std::vector<unsigned char> Save() {
    TestStream s;
    EXPECT_EQ(plugin.component->getState(&s), sb::kResultOk);
    return s.Bytes();
  }
  std::vector<double> Values() {
    std::vector<double> v;
    for (sv::ParamID id = 0; id < 23; ++id) v.push_back(Plain(id));
    return v;
  }
  static double DoubleAt(const std::vector<unsigned char>& b, size_t i) {
    double x;
    std::memcpy(&x, b.data() + 8 * i, 8);
    return x;
  }
  static void PutDouble(std::vector<unsigned char>* b, size_t i, double x) { std::memcpy(b->data() + 8 * i, &x, 8); }
};

TEST_F(StateTest, StateIsTwentyThreeDoublesAndABypassFlag) {
  plugin.controller->setParamNormalized(kBpas, 1.0);
  const std::vector<unsigned char> bytes = Save();
  ASSERT_EQ(bytes.size(), 188u);
  EXPECT_DOUBLE_EQ(DoubleAt(bytes, 0), 200.0);
  EXPECT_DOUBLE_EQ(DoubleAt(bytes, 1), 4.0);
  EXPECT_DOUBLE_EQ(DoubleAt(bytes, 7), 90.0);
  EXPECT_EQ(bytes[184], 1);
  EXPECT_EQ(bytes[185] | bytes[186] | bytes[187], 0);
}

TEST_F(StateTest, RoundTripRestoresEveryValue) {
  plugin.controller->setParamNormalized(0, 0.7);
  plugin.controller->setParamNormalized(2, 3.0 / 7.0);
  plugin.controller->setParamNormalized(19, 0.25);
  const std::vector<double> before = Values();
  const std::vector<unsigned char> bytes = Save();

  plugin.Destroy();
  SetUp();
  TestStream in(bytes);
  EXPECT_EQ(plugin.component->setState(&in), sb::kResultOk);
  const std::vector<double> after = Values();
  for (size_t i = 0; i < before.size(); ++i) EXPECT_NEAR(after[i], before[i], 1e-9) << i;
  // And the restored state is what plays.
  Prepare();
  const Rendered r = Render(192000);
  EXPECT_NEAR(ZeroCrossingHz(r.left, {144000, 192000}, 48000.0), before[0], 0.1);
}

TEST_F(StateTest, WithoutTheBypassFlagValuesAreRestoredButTheAnswerIsFalse) {
  std::vector<unsigned char> bytes = Save();
  PutDouble(&bytes, 0, 1000.0);
  bytes.resize(184);
  TestStream in(bytes);
  EXPECT_EQ(plugin.component->setState(&in), sb::kResultFalse);
  EXPECT_NEAR(Plain(0), 1000.0, 1e-9);
}

TEST_F(StateTest, ShortStreamSetsWhatIsThereAndLeavesTheRest) {
  plugin.controller->setParamNormalized(13, 0.5);
  const std::vector<double> before = Values();
  std::vector<unsigned char> bytes = Save();
  PutDouble(&bytes, 0, 880.0);
  bytes.resize(100);  // 12 whole values and half of the 13th
  TestStream in(bytes);
  EXPECT_EQ(plugin.component->setState(&in), sb::kResultFalse);
  EXPECT_NEAR(Plain(0), 880.0, 1e-9);
  for (size_t i = 12; i < 23; ++i) EXPECT_NEAR(Values()[i], before[i], 1e-9) << i;
}

TEST_F(StateTest, EmptyStreamChangesNothing) {
  const std::vector<double> before = Values();
  TestStream in;
  EXPECT_EQ(plugin.component->setState(&in), sb::kResultFalse);
  EXPECT_EQ(Values(), before);
  EXPECT_NE(plugin.component->setState(nullptr), sb::kResultOk);
  EXPECT_NE(plugin.component->getState(nullptr), sb::kResultOk);
}

TEST_F(StateTest, GarbageIsClampedAndNonNumbersAreIgnored) {
  std::vector<unsigned char> bytes(188, 0);
  for (size_t i = 0; i < 23; ++i) PutDouble(&bytes, i, 1e300);
  PutDouble(&bytes, 1, std::numeric_limits<double>::quiet_NaN());
  PutDouble(&bytes, 7, -std::numeric_limits<double>::infinity());
  TestStream in(bytes);
  EXPECT_EQ(plugin.component->setState(&in), sb::kResultOk);
  EXPECT_NEAR(Plain(0), 20000.0, 1e-6);
  EXPECT_NEAR(Plain(1), 4.0, 1e-9);
  EXPECT_NEAR(Plain(7), 90.0, 1e-9);
  Prepare();
  const Rendered r = Render(20000);
  EXPECT_TRUE(AllFinite(r.left));
  EXPECT_TRUE(AllFinite(r.right));
  EXPECT_LE(Peak(r.left), 1.0);
}

TEST_F(StateTest, FailingAndEndlessStreamsEndSafely) {
  const std::vector<double> before = Values();
  TestStream failing(std::vector<unsigned char>(188, 0));
  failing.failReads = true;
  EXPECT_EQ(plugin.component->setState(&failing), sb::kResultFalse);
  EXPECT_EQ(Values(), before);

  TestStream endless;
  endless.endless = true;
  EXPECT_EQ(plugin.component->setState(&endless), sb::kResultOk);
  EXPECT_LT(endless.readCalls, 20000);  // reading stopped on its own
  for (double v : Values()) EXPECT_TRUE(std::isfinite(v));
}

TEST_F(StateTest, OnlyWaveLabsStreamsAreReadOnAfterAReadReportsAnError) {
  std::vector<unsigned char> bytes = Save();
  PutDouble(&bytes, 0, 1234.0);
  const double before = Plain(0);
  // Another host: the first failing read ends the reading, nothing is applied.
  TestStream other(bytes);
  other.errorWithBytes = true;
  EXPECT_EQ(plugin.component->setState(&other), sb::kResultFalse);
  EXPECT_NEAR(Plain(0), before, 1e-9);

  // WaveLab's streams report errors on reads that deliver: they are read to the end.
  HostApp wavelab("WaveLab Pro 12");
  HostedPlugin p;
  std::string error;
  ASSERT_TRUE(p.Create(SharedModule().Factory(), &wavelab, &error)) << error;
  TestStream in(bytes);
  in.errorWithBytes = true;
  EXPECT_EQ(p.component->setState(&in), sb::kResultFalse);  // the bypass flag's read still reports the error
  EXPECT_NEAR(p.controller->normalizedParamToPlain(0, p.controller->getParamNormalized(0)), 1234.0, 1e-9);
}

TEST_F(StateTest, StreamsThatClaimMoreThanTheyWroteNeverYieldStrayBytes) {
  plugin.controller->setParamNormalized(0, 0.7);
  plugin.controller->setParamNormalized(12, 0.3);
  plugin.controller->setParamNormalized(20, 0.6);
  const std::vector<unsigned char> saved = Save();

  // Each read writes 100 bytes but claims 128: the 28 bytes it did not
  // write count as zeros.
  std::vector<unsigned char> asRead(saved.begin(), saved.begin() + 100);
  asRead.resize(128, 0);
  asRead.insert(asRead.end(), saved.begin() + 100, saved.end());
  asRead.resize(256, 0);
  plugin.Destroy();
  SetUp();
  TestStream honest(asRead);
  const sb::tresult expectedResult = plugin.component->setState(&honest);
  const std::vector<double> expected = Values();

  plugin.Destroy();
  SetUp();
  TestStream lying(saved);
  lying.deliverAtMost = 100;
  lying.claimWholeRequest = true;
  EXPECT_EQ(plugin.component->setState(&lying), expectedResult);
  EXPECT_EQ(Values(), expected);

  // A count past the request is no count at all: nothing of it is applied.
  plugin.Destroy();
  SetUp();
  const std::vector<double> before = Values();
  TestStream beyond(saved);
  beyond.claimBeyond = 1000;
  EXPECT_EQ(plugin.component->setState(&beyond), sb::kResultFalse);
  EXPECT_EQ(Values(), before);
}

TEST_F(StateTest, StateAtAnOffsetInTheHostsStreamIsReadFromThere) {
  const std::vector<unsigned char> saved = Save();
  std::vector<unsigned char> bytes(16, 0xEE);
  bytes.insert(bytes.end(), saved.begin(), saved.end());
  TestStream in(bytes);
  in.seek(16, sb::IBStream::kIBSeekSet, nullptr);
  EXPECT_EQ(plugin.component->setState(&in), sb::kResultOk);
  EXPECT_NEAR(Plain(0), 200.0, 1e-9);
}

}  // namespace
}  // namespace test
}  // namespace selvarin
