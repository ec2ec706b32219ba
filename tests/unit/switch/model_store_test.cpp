#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "model_testutil.h"
#include "platform/message.h"
#include "platform/resstring.h"
#include "platform/text.h"
#include "res/string_ids.h"
#include "switch/switchconfigstore.h"

namespace {

using fwtest::ModelTest;

std::vector<std::string> BaseTypeIds(const CSwitchConfigStore& s) {
  std::vector<std::string> ids;
  for (const auto& t : s.GetBaseTypes())
    for (unsigned id = IDS_BASE_TYPE_0; id <= IDS_BASE_TYPE_10; ++id)
      if (t == LoadResString(id)) ids.push_back(std::to_string(id));
  return ids;
}

std::vector<std::string> Range(unsigned from, unsigned to) {
  std::vector<std::string> v;
  for (unsigned id = from; id <= to; ++id) v.push_back(std::to_string(id));
  return v;
}

// ---------------------------------------------------------------- catalogue

class Catalogue : public ModelTest {
 protected:
  void Customize(const std::string& text) {
    const std::string path = m_dir.file("fenwardle.customize");
    fwtest::WriteText(path, text);
    CSwitchConfigStore::SetCustomizeFilePath(path);
  }
};

TEST_F(Catalogue, WithoutCustomisationEveryModelIsOfferedInNameOrder) {
  CSwitchConfigStore store(1);
  std::vector<std::string> names, parts;
  CSwitchConfigStore::FillModelLists(names, &parts);
  ASSERT_EQ(names.size(), 20u);  // 2012 and 2014 are "n/a"
  EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), [](const auto& a, const auto& b) {
    return fw::CompareNoCase(a, b) < 0;
  }));
  EXPECT_EQ(names.front(), "Managed");
  EXPECT_EQ(names.back(), "Stellarix2");
  EXPECT_EQ(names, parts);  // English names are the part numbers
  EXPECT_EQ(std::count(parts.begin(), parts.end(), "QV-5KP-4W"), 0);
  EXPECT_EQ(BaseTypeIds(store), Range(IDS_BASE_TYPE_0, IDS_BASE_TYPE_10));
  EXPECT_EQ(store.Catalogue().size(), 20u);
}

TEST_F(Catalogue, LookupByPartNumberThenDisplayName) {
  Customize("[part numbers]\n0=QV-9KP-1,Line Switch\n1=QV-5KP-1,QV-9KP-1\n");
  CSwitchConfigStore store(1);
  // "QV-9KP-1" is a part number and also the other model's display name: the part number wins.
  ASSERT_NE(CSwitchConfigStore::LookupModel("QV-9KP-1"), nullptr);
  EXPECT_EQ(CSwitchConfigStore::LookupModel("QV-9KP-1")->displayName, "Line Switch");
  EXPECT_EQ(CSwitchConfigStore::LookupModel("Line Switch")->partNumber, "QV-9KP-1");
  EXPECT_EQ(CSwitchConfigStore::LookupModel("line switch"), nullptr);  // exact comparison
  EXPECT_EQ(CSwitchConfigStore::LookupModel("QV-9KP-2"), nullptr);     // not offered
  EXPECT_EQ(CSwitchConfigStore::LookupModel("QV-5KP-4W"), nullptr);    // "n/a"
}

TEST_F(Catalogue, CustomisationRestrictsRenamesAndPicksTheBaseTypes) {
  Customize("[Part Numbers]\r\n0=QV-9KP-1, Ringo Nine\r\n1=QV-9KP-2,`Ringo, Fiber`\r\n");
  CSwitchConfigStore store(1);
  std::vector<std::string> names, parts;
  CSwitchConfigStore::FillModelLists(names, &parts);
  EXPECT_EQ(names, (std::vector<std::string>{"Ringo Nine", "Ringo, Fiber"}));
  EXPECT_EQ(parts, (std::vector<std::string>{"QV-9KP-1", "QV-9KP-2"}));
  EXPECT_EQ(CSwitchConfigStore::LookupModel("QV-9KP-2")->portCount, 9);
  EXPECT_EQ(BaseTypeIds(store), Range(IDS_BASE_TYPE_6, IDS_BASE_TYPE_8));
  // The first store's own catalogue carries the new names.
  EXPECT_EQ(store.FindCatalogueRecord("QV-9KP-1")->displayName, "Ringo Nine");
  EXPECT_EQ(store.FindCatalogueRecord("QV-5KP-1")->displayName, "QV-5KP-1");
}

TEST_F(Catalogue, BaseTypeGroupsComeInFixedOrder) {
  Customize("[part numbers]\n0=QV-9KX-1,G\n1=MW-6KP-2,S\n2=QV-5KP-IP67-1,F\n");
  CSwitchConfigStore store(0);
  std::vector<std::string> expected = Range(IDS_BASE_TYPE_0, IDS_BASE_TYPE_5);
  for (auto& id : Range(IDS_BASE_TYPE_9, IDS_BASE_TYPE_10)) expected.push_back(id);
  EXPECT_EQ(BaseTypeIds(store), expected);
}

TEST_F(Catalogue, CustomisationOfFamilyModelsOnlyOffersNoBaseType) {
  Customize("[part numbers]\n0=Managed,Managed switch\n");
  CSwitchConfigStore store(0);
  EXPECT_TRUE(store.GetBaseTypes().empty());
}

TEST_F(Catalogue, UnknownPartStopsTheCustomisationWithAMessage) {
  Customize("[part numbers]\n0=QV-5KP-2,Two\n1=QV-5KP-4W,Hidden\n2=QV-5KP-3,Three\n");
  fw::ScopedMessageSink sink;
  CSwitchConfigStore store(1);
  ASSERT_EQ(sink->count(), 1u);
  EXPECT_EQ(sink->messages()[0].text, "Unknown part ID found (QV-5KP-4W) in customization file.");
  std::vector<std::string> names;
  CSwitchConfigStore::FillModelLists(names);
  EXPECT_EQ(names, std::vector<std::string>{"Two"});
}

TEST_F(Catalogue, UnknownPartIsSilentWhenMessagesAreOff) {
  Customize("[part numbers]\n0=NOPE,x\n");
  fw::ScopedMessageSink sink;
  CSwitchConfigStore store(0);
  EXPECT_EQ(sink->count(), 0u);
  // Nothing usable was read: every model stays offered.
  std::vector<std::string> names;
  CSwitchConfigStore::FillModelLists(names);
  EXPECT_EQ(names.size(), 20u);
}

TEST_F(Catalogue, RowsEndAtTheFirstEmptyValueAndHalfRowsAreSkipped) {
  Customize("[part numbers]\n0=QV-5KP-1\n1=QV-5KP-2,Two\n2=\n3=QV-5KP-3,Three\n");
  CSwitchConfigStore store(1);
  std::vector<std::string> names;
  CSwitchConfigStore::FillModelLists(names);
  EXPECT_EQ(names, std::vector<std::string>{"Two"});
}

TEST_F(Catalogue, APartNamedTwiceIsOfferedOnce) {
  Customize("[part numbers]\n0=QV-5KP-1,One\n1=QV-5KP-1,Uno\n");
  CSwitchConfigStore store(1);
  std::vector<std::string> names;
  CSwitchConfigStore::FillModelLists(names);
  EXPECT_EQ(names, std::vector<std::string>{"Uno"});
}

TEST_F(Catalogue, LaterStoresNeitherRereadNorChangeTheOfferedList) {
  Customize("[part numbers]\n0=QV-5KP-1,One\n");
  CSwitchConfigStore first(1);
  Customize("[part numbers]\n0=QV-9KP-1,Nine\n");
  CSwitchConfigStore second(1);
  std::vector<std::string> names;
  CSwitchConfigStore::FillModelLists(names);
  EXPECT_EQ(names, std::vector<std::string>{"One"});
  EXPECT_EQ(BaseTypeIds(second), Range(IDS_BASE_TYPE_0, IDS_BASE_TYPE_2));
  // The later store's catalogue keeps the string table's names.
  EXPECT_EQ(second.FindCatalogueRecord("QV-5KP-1")->displayName, "QV-5KP-1");
}

TEST_F(Catalogue, StoresBuiltOnSeveralThreadsShareOneList) {
  std::vector<std::thread> threads;
  std::vector<std::size_t> counts(4);
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&counts, t] {
      CSwitchConfigStore s(0);
      std::vector<std::string> names;
      CSwitchConfigStore::FillModelLists(names);
      counts[static_cast<std::size_t>(t)] = names.size();
    });
  for (auto& th : threads) th.join();
  for (auto c : counts) EXPECT_EQ(c, 20u);
}

// ---------------------------------------------------------------- identity bytes

struct IdentityCase {
  std::vector<std::uint8_t> bytes;
  const char* part;
};

TEST(PartNumberFromIdentity, Table) {
  const IdentityCase cases[] = {
      {{7, 3, 0, 0, 0, 0}, "Managed"},
      {{0, 3, 9, 9, 0, 9}, "Managed"},
      {{0x50, 3, 0, 0, 0, 0}, "Managed"},
      {{0x50, 1, 0, 5, 0, 1}, "Stellarix2"},
      {{0, 1, 0, 5, 0, 1}, "QV-5KP-1"},
      {{0, 1, 0, 5, 0, 5}, "QV-5KP-5"},
      {{0, 1, 0, 5, 0, 6}, "QV-5KP-4W"},
      {{0, 1, 0, 5, 0, 7}, "QV-5KP-"},
      {{0, 1, 0, 9, 0xAA, 6}, "QV-9KP-4W"},
      {{0, 1, 5, 6, 0, 3}, "MW-6KP-3"},
      {{0, 1, 1, 5, 0, 3}, "QV-5KP-IP67-A"},
      {{0, 1, 4, 5, 0, 2}, "QV-5KP-IP67-1"},
      {{0, 2, 7, 5, 0, 16}, "QV-5KX-1"},
      {{0, 2, 0, 9, 0, 17}, "QV-9KX-xx"},
      {{0, 2, 0, 9, 0, 1}, "QV-9KX-"},
      {{0, 1, 0, 6, 0, 1}, ""},
      {{0, 4, 0, 5, 0, 1}, ""},
      {{1, 1, 0, 5, 0, 1}, ""},
      {{0, 1, 0, 5, 0}, ""},  // too short to say
  };
  for (const auto& c : cases)
    EXPECT_EQ(CSwitchConfigStore::PartNumberFromIdentity(c.bytes), c.part);
}

// ---------------------------------------------------------------- configurations

using ConfigStore = ModelTest;

int AddNamed(CSwitchConfigStore& s, const std::string& name) {
  CSwitchConfig c;
  c.SetName(name);
  return s.Add(c);
}

TEST_F(ConfigStore, IterationSkipsDeletedConfigurationsButIndexesStay) {
  CSwitchConfigStore s(0);
  for (const char* n : {"A", "B", "C", "D"}) AddNamed(s, n);
  s.GetAt(0)->SetDeleted(true);
  s.GetAt(2)->SetDeleted(true);
  std::vector<int> seen;
  for (int i = s.First(); i >= 0; i = s.Next(i)) seen.push_back(i);
  EXPECT_EQ(seen, (std::vector<int>{1, 3}));
  EXPECT_EQ(s.GetAt(2)->GetName(), "C");
  EXPECT_EQ(s.GetAt(4), nullptr);
  EXPECT_EQ(s.GetAt(-1), nullptr);
  std::vector<std::string> names{"x"};
  s.AppendNames(names);
  EXPECT_EQ(names, (std::vector<std::string>{"x", "B", "D"}));
  EXPECT_EQ(s.FindIndexByName("C"), -1);
  EXPECT_EQ(s.FindIndexByName("D"), 3);
  EXPECT_EQ(s.FindByName("d"), nullptr);  // exact
  s.Clear();
  EXPECT_EQ(s.First(), -1);
}

TEST_F(ConfigStore, AddKeepsACopyAndRefusesEmptyOrRepeatedNames) {
  CSwitchConfigStore s(0);
  CSwitchConfig c;
  c.SetName("Ring North");
  c.SetPortCount(9);
  EXPECT_EQ(s.Add(c), 0);
  c.SetPortCount(5);
  EXPECT_EQ(s.GetAt(0)->GetPortCount(), 9);
  EXPECT_EQ(AddNamed(s, ""), -1);
  EXPECT_EQ(AddNamed(s, "RING NORTH"), -3);
  EXPECT_EQ(s.GetCount(), 1);
  // A deleted configuration's name is free again.
  s.GetAt(0)->SetDeleted(true);
  EXPECT_EQ(AddNamed(s, "ring north"), 1);
  EXPECT_EQ(s.FindIndexByNameNoCase("Ring North"), 1);
  EXPECT_EQ(s.FindIndexByNameNoCase("Ring North", 1), -1);
}

}  // namespace
