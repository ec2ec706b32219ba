// Loading the selected switch's configuration into the switch, against a
// software switch on virtual time.
#include "doc_fixture.h"
#include "switch/switchdiscovery.h"
#include "tests/unit/switch/ops_fixture.h"

namespace fwtest {
namespace {

using namespace fw::ops_test;

class LoadConfig : public DocTest {
 protected:
  LoadConfig() : capture(clock), core(Mac(0x07), 5) {
    capture.fake.AddDevice("veth0", "Segment A", Mac(0xA0, 0xEE));
    SetIdentity(core, 5, false, 1);
    core.SetRevision("0104");
  }
  void SetUp() override {
    DocTest::SetUp();
    doc->SetCommFactory(
        [this] { return std::make_unique<CSwitchDiscovery>(&capture, &clock, &clock); });
    config = doc->AddNewConfig("Plant");
    sw = AddSwitch("Ring-7", "10:00:07", "QV-5KP-1");
    doc->SetSwitchConfigName(sw, "Plant");
    messages->clear();
  }

  CLockedClock clock;
  CLockedCapture capture;
  fw::emu::CSwitchCore core;
  int config = -1;
  int sw = -1;
};

TEST_F(LoadConfig, WritesTheConfigurationIntoTheSwitch) {
  capture.fake.Attach("veth0", &core);
  EXPECT_EQ(doc->LoadSelectedConfig(sw), 0);
  EXPECT_EQ(Texts(), std::vector<std::string>{"Load complete."});
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&core.eerom()[144]), 5), "Plant");
}

TEST_F(LoadConfig, EveryFailureIsShown) {
  // The switch is not on the segment.
  EXPECT_EQ(doc->LoadSelectedConfig(sw), -1);
  ASSERT_EQ(messages->count(), 1u);
  EXPECT_NE(messages->messages()[0].text.find("02:4B:33:10:00:07"), std::string::npos)
      << messages->messages()[0].text;

  // A model other than the one the project says.
  messages->clear();
  capture.fake.Attach("veth0", &core);
  SetIdentity(core, 5, false, 2);
  EXPECT_EQ(doc->LoadSelectedConfig(sw), -1);
  ASSERT_EQ(messages->count(), 1u);
  EXPECT_NE(messages->messages()[0].text.find("QV-5KP-2"), std::string::npos);

  // Port counts that differ never reach the switch.
  messages->clear();
  const int requests = core.requests_seen();
  doc->SetSwitchModel(sw, "QV-9KP-1");
  EXPECT_EQ(doc->LoadSelectedConfig(sw), -1);
  EXPECT_EQ(Texts(), std::vector<std::string>{
                         "The selected switch configuration is not compatible with the switch "
                         "type. The number of ports must match."});
  EXPECT_EQ(core.requests_seen(), requests);
}

TEST_F(LoadConfig, NothingHappensWithoutASwitchOrItsConfiguration) {
  EXPECT_EQ(doc->LoadSelectedConfig(-1), 0);
  EXPECT_EQ(doc->LoadSelectedConfig(42), 0);
  doc->SetSwitchConfigName(sw, "Not here");
  EXPECT_EQ(doc->LoadSelectedConfig(sw), 0);
  EXPECT_EQ(messages->count(), 0u);
  EXPECT_EQ(capture.fake.find_calls, 0);
}

}  // namespace
}  // namespace fwtest
