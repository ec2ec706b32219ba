#include <gtest/gtest.h>

#include "model_testutil.h"
#include "switch/switchentry.h"

namespace {

class SwitchEntry : public fwtest::ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    const std::string path = m_dir.file("fenwardle.customize");
    fwtest::WriteText(path,
                      "[part numbers]\n0=QV-9KP-1,Nine Port Copper\n1=QV-5KP-2,Five Port Fiber\n");
    CSwitchConfigStore::SetCustomizeFilePath(path);
    CSwitchConfigStore::EnsureOfferedModels(0);
  }
};

TEST_F(SwitchEntry, NewEntryDefaults) {
  CSwitchEntry e;
  EXPECT_EQ(e.GetSubnet(), "255.255.255.255");
  EXPECT_EQ(e.GetModbusAddress(), 1);
  EXPECT_EQ(e.GetModbusEnable(), 0);
  EXPECT_EQ(e.GetMonitorStatus(), -1);
  EXPECT_EQ(e.GetPart().portCount, 5);
  EXPECT_EQ(e.GetPart().partNumber, "");
  EXPECT_EQ(e.GetConfig().GetPortCount(), 5);
  EXPECT_FALSE(e.IsDeleted());
}

TEST_F(SwitchEntry, MacTextKeepsTheSuffix) {
  CSwitchEntry e;
  e.SetMac("ab:0C:1d");
  EXPECT_EQ(e.GetMacSuffix(), "ab:0C:1d");  // stored as given; callers upper-case
  e.SetMac("02:4B:33:12:AB:EF");
  EXPECT_EQ(e.GetMacSuffix(), "12:AB:EF");
  EXPECT_EQ(e.GetMacText(true), "02:4B:33:12:AB:EF");
  EXPECT_EQ(e.GetMacText(false), "12:AB:EF");
  e.SetMac("0123456789");
  EXPECT_EQ(e.GetMacSuffix(), "9");
  e.SetMac("");
  EXPECT_EQ(e.GetMacText(true), "02:4B:33:");
}

TEST_F(SwitchEntry, PartFromTextLooksAtOfferedModelsOnly) {
  CSwitchEntry e;
  EXPECT_TRUE(e.SetPartFromText("", "Nine Port Copper"));
  EXPECT_EQ(e.GetPart().partNumber, "QV-9KP-1");
  EXPECT_EQ(e.GetPart().portCount, 9);
  EXPECT_TRUE(e.SetPartFromText("QV-5KP-2", "ignored"));
  EXPECT_EQ(e.GetPart().displayName, "Five Port Fiber");
  // Not offered here: the part stays as it was.
  EXPECT_FALSE(e.SetPartFromText("QV-9KP-2", ""));
  EXPECT_EQ(e.GetPart().partNumber, "QV-5KP-2");
  EXPECT_TRUE(e.SetPartFromText("", ""));
  EXPECT_EQ(e.GetPart().partNumber, "QV-5KP-2");
}

TEST_F(SwitchEntry, CopyLeavesMonitorStatusAndDeletedFlag) {
  CSwitchEntry a;
  a.SetName("Kiln 1");
  a.SetMac("01:02:03");
  a.SetPartFromText("QV-9KP-1", "");
  a.GetConfig().SetName("Line");
  a.GetConfig().SetPortCount(9);
  a.SetIP("10.0.0.2");
  a.SetSubnet("255.0.0.0");
  a.SetGateway("10.0.0.1");
  a.SetModbusEnable(1);
  a.SetModbusAddress(17);
  a.SetFirmwareRevision("0103");
  a.SetInterface("eth1");
  a.SetMonitorStatus(3);
  a.SetDeleted(true);
  CSwitchEntry b;
  b.CopyFrom(a);
  EXPECT_EQ(b.GetName(), "Kiln 1");
  EXPECT_EQ(b.GetMacSuffix(), "01:02:03");
  EXPECT_EQ(b.GetPart().displayName, "Nine Port Copper");
  EXPECT_EQ(b.GetConfig().GetName(), "Line");
  EXPECT_EQ(b.GetConfig().GetPortCount(), 9);
  EXPECT_EQ(b.GetIP(), "10.0.0.2");
  EXPECT_EQ(b.GetSubnet(), "255.0.0.0");
  EXPECT_EQ(b.GetGateway(), "10.0.0.1");
  EXPECT_EQ(b.GetModbusEnable(), 1);
  EXPECT_EQ(b.GetModbusAddress(), 17);
  EXPECT_EQ(b.GetFirmwareRevision(), "0103");
  EXPECT_EQ(b.GetInterface(), "eth1");
  EXPECT_EQ(b.GetMonitorStatus(), -1);
  EXPECT_FALSE(b.IsDeleted());
}

TEST_F(SwitchEntry, NamesFromASwitchAreCleaned) {
  CSwitchEntry e;
  std::string eerom("Tank[7]\0\0\x1b", 10);
  e.SetName(eerom);
  EXPECT_EQ(e.GetName(), "Tank[7");
}

using SwitchListTest = SwitchEntry;

int AddNamed(CSwitchList& list, const std::string& n) {
  CSwitchEntry e;
  e.SetName(n);
  return list.Add(e);
}

TEST_F(SwitchListTest, IterationSkipsDeletedEntries) {
  CSwitchList list;
  for (const char* n : {"S0", "S1", "S2", "S3"}) AddNamed(list, n);
  list.MarkDeleted(0);
  list.MarkDeleted(2);
  list.MarkDeleted(17);
  list.MarkDeleted(-1);
  std::vector<int> seen;
  for (int i = list.First(); i >= 0; i = list.Next(i)) seen.push_back(i);
  EXPECT_EQ(seen, (std::vector<int>{1, 3}));
  ASSERT_NE(list.GetAt(2), nullptr);
  EXPECT_TRUE(list.GetAt(2)->IsDeleted());
  EXPECT_EQ(list.GetAt(4), nullptr);
  list.Clear();
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_EQ(list.First(), -1);
}

TEST_F(SwitchListTest, AddRefusesEmptyAndRepeatedNames) {
  CSwitchList list;
  EXPECT_EQ(AddNamed(list, "Press"), 0);
  EXPECT_EQ(AddNamed(list, ""), -1);
  EXPECT_EQ(AddNamed(list, "]"), -1);  // nothing left after cleaning
  EXPECT_EQ(AddNamed(list, "PRESS"), -3);
  list.MarkDeleted(0);
  EXPECT_EQ(AddNamed(list, "press"), 1);
  EXPECT_EQ(list.FindIndexByNameNoCase("Press"), 1);
}

}  // namespace
