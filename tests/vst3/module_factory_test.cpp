// The module as a host first meets it: exports, factory, class description,
// class ID and the bundle's moduleinfo.json.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/vst3/plugin_fixture.h"
#include "tools/platform/shared_library.h"
#include "tools/vst3host/module_platform.h"

namespace selvarin {
namespace test {
namespace {

namespace sb = Steinberg;
namespace sv = Steinberg::Vst;

}  // namespace
// The class ID's 16 bytes as this platform's hosts store them.
extern const unsigned char kPlatformClassIdBytes[16];
namespace {

TEST(ModuleTest, ExportsTheEntryPointsThisPlatformsHostsCall) {
  void* h = SharedModule().Handle();
  ASSERT_NE(h, nullptr);
  for (const char* name : {"GetPluginFactory", "InitDll", "ExitDll", kVst3EnterExport, kVst3ExitExport})
    EXPECT_NE(SharedLibrarySymbol(h, name), nullptr) << name;
  using BoolFn = bool (*)();
  EXPECT_TRUE(reinterpret_cast<BoolFn>(SharedLibrarySymbol(h, "InitDll"))());
  EXPECT_TRUE(reinterpret_cast<BoolFn>(SharedLibrarySymbol(h, "ExitDll"))());
  // Nothing of the SDK or the framework leaks out of the module.
  EXPECT_EQ(SharedLibrarySymbol(h, "_ZN9Steinberg7FObject7releaseEv"), nullptr);
}

TEST(ModuleTest, GetPluginFactoryReturnsOneFactoryAndCountsReferences) {
  using FactoryFn = sb::IPluginFactory* (*)();
  auto get = reinterpret_cast<FactoryFn>(SharedLibrarySymbol(SharedModule().Handle(), "GetPluginFactory"));
  ASSERT_NE(get, nullptr);
  sb::IPluginFactory* a = get();
  sb::IPluginFactory* b = get();
  EXPECT_EQ(a, SharedModule().Factory());
  EXPECT_EQ(a, b);
  // The loader holds one reference, the two calls one each.
  EXPECT_EQ(a->addRef(), 4u);
  EXPECT_EQ(a->release(), 3u);
  b->release();
  EXPECT_EQ(a->release(), 1u);
}

TEST(ModuleTest, FactoryAndClassInformation) {
  sb::IPluginFactory* f = SharedModule().Factory();
  sb::PFactoryInfo fi;
  ASSERT_EQ(f->getFactoryInfo(&fi), sb::kResultOk);
  EXPECT_STREQ(fi.vendor, "Kavelin");
  EXPECT_STREQ(fi.email, "");
  EXPECT_EQ(fi.flags, 16);
  EXPECT_GT(std::strlen(fi.url), 0u);

  ASSERT_EQ(f->countClasses(), 1);
  void* obj = nullptr;
  ASSERT_EQ(f->queryInterface(sb::IPluginFactory2::iid, &obj), sb::kResultOk);
  auto* f2 = static_cast<sb::IPluginFactory2*>(obj);
  sb::PClassInfo2 ci;
  ASSERT_EQ(f2->getClassInfo2(0, &ci), sb::kResultOk);
  EXPECT_EQ(ci.cardinality, 0x7FFFFFFF);
  EXPECT_STREQ(ci.category, "Audio Module Class");
  EXPECT_STREQ(ci.name, "Selvarin");
  EXPECT_EQ(ci.classFlags, 2u);
  EXPECT_STREQ(ci.subCategories, "Instrument");
  EXPECT_STREQ(ci.vendor, "");
  EXPECT_STREQ(ci.version, "1.1.0");
  EXPECT_STREQ(ci.sdkVersion, "VST 3.6.5");
  EXPECT_EQ(f2->getClassInfo2(1, &ci), sb::kInvalidArgument);
  f2->release();

  sb::PClassInfo c1;
  ASSERT_EQ(f->getClassInfo(0, &c1), sb::kResultOk);
  EXPECT_STREQ(c1.name, "Selvarin");
  EXPECT_EQ(f->getClassInfo(-1, &c1), sb::kInvalidArgument);
}

TEST(ModuleTest, UnicodeClassInformationForHostsThatAskForIt) {
  void* obj = nullptr;
  ASSERT_EQ(SharedModule().Factory()->queryInterface(sb::IPluginFactory3::iid, &obj), sb::kResultOk);
  auto* f3 = static_cast<sb::IPluginFactory3*>(obj);
  sb::PClassInfoW ci;
  ASSERT_EQ(f3->getClassInfoUnicode(0, &ci), sb::kResultOk);
  sb::PClassInfo c1;
  ASSERT_EQ(f3->getClassInfo(0, &c1), sb::kResultOk);
  EXPECT_EQ(std::memcmp(ci.cid, c1.cid, 16), 0);
  EXPECT_EQ(ci.cardinality, 0x7FFFFFFF);
  EXPECT_STREQ(ci.category, "Audio Module Class");
  EXPECT_EQ(Narrow(ci.name), "Selvarin");
  EXPECT_EQ(ci.classFlags, 2u);
  EXPECT_STREQ(ci.subCategories, "Instrument");
  EXPECT_EQ(Narrow(ci.vendor), "");
  EXPECT_EQ(Narrow(ci.version), "1.1.0");
  EXPECT_EQ(Narrow(ci.sdkVersion), "VST 3.6.5");
  EXPECT_EQ(f3->getClassInfoUnicode(1, &ci), sb::kInvalidArgument);
  f3->release();
}

TEST(ModuleTest, ClassIdFollowsThePlatformRuleSoItsStringIsTheSameEverywhere) {
  sb::PClassInfo ci;
  ASSERT_EQ(SharedModule().Factory()->getClassInfo(0, &ci), sb::kResultOk);
  EXPECT_EQ(std::memcmp(ci.cid, kPlatformClassIdBytes, 16), 0);
  char text[33] = {};
  sb::FUID::fromTUID(ci.cid).toString(text);
  EXPECT_STREQ(text, "F2AEE70D00DE4F4E4B764C6E76316964");
}

TEST(ModuleTest, CreatingWithAnUnknownClassIdOrNoResultPointerFails) {
  sb::IPluginFactory* f = SharedModule().Factory();
  sb::TUID wrong = {};
  void* obj = reinterpret_cast<void*>(1);
  EXPECT_NE(f->createInstance(wrong, sv::IComponent::iid, &obj), sb::kResultOk);
  EXPECT_EQ(obj, nullptr);
  sb::PClassInfo ci;
  f->getClassInfo(0, &ci);
  EXPECT_NE(f->createInstance(ci.cid, sv::IComponent::iid, nullptr), sb::kResultOk);
  EXPECT_NE(f->createInstance(nullptr, sv::IComponent::iid, &obj), sb::kResultOk);
}

TEST(ModuleTest, TwoInstancesAreIndependent) {
  HostApp host("test");
  HostedPlugin a, b;
  std::string error;
  ASSERT_TRUE(a.Create(SharedModule().Factory(), &host, &error)) << error;
  ASSERT_TRUE(b.Create(SharedModule().Factory(), &host, &error)) << error;
  EXPECT_NE(a.component, b.component);
  a.controller->setParamNormalized(0, 1.0);
  EXPECT_DOUBLE_EQ(a.controller->normalizedParamToPlain(0, a.controller->getParamNormalized(0)), 20000.0);
  EXPECT_NEAR(b.controller->normalizedParamToPlain(0, b.controller->getParamNormalized(0)), 200.0, 1e-9);
}

TEST(ModuleTest, InstancesCreatedFromSeveralThreadsAreAllWhole) {
  HostApp host("test");
  std::vector<sb::FUnknown*> made[2];
  auto create = [&](int t) {
    sb::PClassInfo ci;
    SharedModule().Factory()->getClassInfo(0, &ci);
    for (int i = 0; i < 4; ++i) {
      void* obj = nullptr;
      if (SharedModule().Factory()->createInstance(ci.cid, sv::IComponent::iid, &obj) == sb::kResultOk)
        made[t].push_back(static_cast<sb::FUnknown*>(obj));
    }
  };
  std::thread a(create, 0), b(create, 1);
  a.join();
  b.join();
  ASSERT_EQ(made[0].size() + made[1].size(), 8u);
  for (auto& list : made) {
    for (sb::FUnknown* u : list) {
      auto* c = static_cast<sv::IComponent*>(u);
      EXPECT_EQ(c->initialize(&host), sb::kResultOk);
      void* ec = nullptr;
      ASSERT_EQ(c->queryInterface(sv::IEditController::iid, &ec), sb::kResultOk);
      EXPECT_EQ(static_cast<sv::IEditController*>(ec)->getParameterCount(), 24);
      static_cast<sv::IEditController*>(ec)->release();
      c->terminate();
      c->release();
    }
  }
}

TEST(ModuleTest, ModuleInfoDescribesTheClassForHostsThatDoNotLoadIt) {
  std::ifstream in(std::string(SELVARIN_TEST_BUNDLE) + "/Contents/Resources/moduleinfo.json");
  ASSERT_TRUE(in.good());
  std::stringstream text;
  text << in.rdbuf();
  const std::string json = text.str();
  for (const char* s : {"\"CID\": \"F2AEE70D00DE4F4E4B764C6E76316964\"", "\"Category\": \"Audio Module Class\"",
                        "\"Name\": \"Selvarin\"", "\"Vendor\": \"Kavelin\"", "\"Instrument\"",
                        "\"SDKVersion\": \"VST 3.6.5\"", "\"Version\": \"1.1.0\"", "\"Cardinality\": 2147483647",
                        "\"Class Flags\": 2"})
    EXPECT_NE(json.find(s), std::string::npos) << s;
}

}  // namespace
}  // namespace test
}  // namespace selvarin
