// The whole status monitor over the real capture library, against three
// software switches behind a veth pair: its search at start-up lists all
// three. Root only; skipped otherwise.
#include <algorithm>

#include "monitor_fixture.h"
#include "platform/format.h"
#include "tests/e2e/ops_net.h"

namespace fwtest {
namespace {

using fw::ops_e2e::CRestrictedCapture;
using fw::ops_e2e::CSegment;

TEST_F(MonitorTest, TheSearchAtStartUpListsThreeSwitchesBehindAVethPair) {
  const std::string why = CSegment::Unavailable();
  if (!why.empty()) GTEST_SKIP() << why;
  CSegment segment(3, 0x61);
  ASSERT_TRUE(segment.ok()) << segment.error();
  {
    auto lock = segment.Lock();
    const char* names[] = {"Alpha", "Bravo", "Charlie"};
    for (int i = 0; i < 3; ++i)
      fw::ops_e2e::Provision(*segment.cores()[static_cast<std::size_t>(i)], names[i], "0104 e2e");
  }
  CRestrictedCapture backend(std::set<std::string>{segment.host_end()});
  if (!backend.Usable()) GTEST_SKIP() << "no usable libpcap: " << backend.Version();
  SetToolCommEnv(CToolCommEnv{&backend, nullptr, nullptr, nullptr});
  m_ownNetwork = true;

  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitFor([&] { return Grid().RowCount() == 3 && !m_app->m_bSearching; }, 30000))
      << (m_messages->count() ? m_messages->messages()[0].text : "");
  std::vector<std::string> names;
  for (int row = 0; row < 3; ++row) {
    names.push_back(Cell(0, row));
    EXPECT_EQ(Cell(2, row), fw::FormatText("02:4B:33:61:00:%02X", row + 1));
    EXPECT_EQ(Cell(3, row), "0104 e2e");
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "Bravo", "Charlie"}));
  EXPECT_EQ(m_messages->count(), 0u);
  Stop();
  SetToolCommEnv(CToolCommEnv{});
}

}  // namespace
}  // namespace fwtest
