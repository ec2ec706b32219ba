// A whole ring on one segment: every switch that answers is listed, and none
// is reported unanswered, also when many are read side by side. Run on the
// virtual clock the program tests use and on real time.
#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "platform/message.h"
#include "switch/switchconfigstore.h"
#include "switch/switchdiscovery.h"
#include "switch/switchentry.h"
#include "tests/unit/switch/ops_fixture.h"

namespace fw::ops_test {
namespace {

struct Ring {
  int switches;
  bool realTime;
};

class DiscoveryRing : public ::testing::TestWithParam<Ring> {
 protected:
  void SetUp() override { CSwitchConfigStore::EnsureOfferedModels(0); }

  // Searches a segment of n switches next to an empty one; the names found.
  std::set<std::string> Search(IClock& clock, int n, int wait, std::string* error) {
    CLockedCapture capture(clock);
    capture.fake.AddDevice("veth0", "Segment A", Mac(0xA0, 0xEE));
    capture.fake.AddDevice("veth1", "Segment B", Mac(0xA1, 0xEE));
    std::vector<std::unique_ptr<emu::CSwitchCore>> cores;
    for (int i = 1; i <= n; ++i) {
      cores.push_back(std::make_unique<emu::CSwitchCore>(Mac(static_cast<std::uint8_t>(i)), 5));
      SetIdentity(*cores.back(), 5, false, 1);
      cores.back()->SetName("Unit " + std::to_string(i));
      capture.fake.Attach("veth0", cores.back().get());
    }
    CSwitchDiscovery d(&capture, &clock, &clock);
    d.SetWaitLimit(wait);
    std::vector<std::unique_ptr<CSwitchEntry>> found;
    EXPECT_EQ(d.FindAllSwitches(&found, error), kCommOk);
    std::set<std::string> names;
    for (const auto& f : found) names.insert(f->GetName());
    EXPECT_EQ(names.size(), found.size());  // each switch once
    return names;
  }

  ScopedProfile profile;
  ScopedMessageSink messages;
};

TEST_P(DiscoveryRing, EverySwitchThatAnswersIsListed) {
  const Ring ring = GetParam();
  CLockedClock virtual_clock;
  CSteadyClock steady;
  IClock& clock = ring.realTime ? static_cast<IClock&>(steady) : virtual_clock;
  std::string error;
  const std::set<std::string> names = Search(clock, ring.switches, 300, &error);
  EXPECT_EQ(error, "");
  EXPECT_EQ(static_cast<int>(names.size()), ring.switches);
}

INSTANTIATE_TEST_SUITE_P(Rings, DiscoveryRing,
                         ::testing::Values(Ring{30, false}, Ring{60, false}, Ring{30, true},
                                           Ring{60, true}),
                         [](const auto& info) {
                           return std::to_string(info.param.switches) +
                                  (info.param.realTime ? "RealTime" : "VirtualTime");
                         });

}  // namespace
}  // namespace fw::ops_test
