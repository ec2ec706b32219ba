// Switches: the new-entry row, switches found on the network, the model and
// MAC columns, Modbus settings, deleting, and the configuration warnings.
#include "doc_fixture.h"

namespace fwtest {
namespace {

using Switches = DocTest;

TEST_F(Switches, TheNewEntryRowAddsASwitchFromOneField) {
  Clean();
  const int named = doc->AddSwitchFromField(kSwitchColName, "North");
  ASSERT_EQ(named, 0);
  EXPECT_EQ(Switch(named).GetName(), "North");
  EXPECT_EQ(log.hints, (std::vector<Hint>{{kHintSwitchAdded, 0}}));
  EXPECT_TRUE(doc->IsModified());

  Clean();
  EXPECT_EQ(doc->AddSwitchFromField(kSwitchColName, "NORTH"), kProjectDuplicate);
  EXPECT_EQ(doc->AddSwitchFromField(kSwitchColName, ",,,"), kProjectInvalidChars);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"The entered name is already in use.",
                                               "The entered name contains invalid characters."}));
  // A MAC of the wrong form adds nothing, and says nothing here (the grid does).
  EXPECT_EQ(doc->AddSwitchFromField(kSwitchColMac, "1a2b3c"), kProjectRefused);
  EXPECT_EQ(doc->AddSwitchFromField(kSwitchColMac, "1a:2b:3g"), kProjectRefused);
  EXPECT_EQ(doc->GetSwitches().GetCount(), 1);
  EXPECT_TRUE(log.hints.empty());
  EXPECT_FALSE(doc->IsModified());

  // Every other column makes a switch with a name of its own; any new switch is a change.
  const int mac = doc->AddSwitchFromField(kSwitchColMac, "1a:2b:3c");
  ASSERT_GE(mac, 0);
  EXPECT_EQ(Switch(mac).GetMacSuffix(), "1A:2B:3C");
  EXPECT_EQ(Switch(mac).GetName(), "RS_1A_2B_3C");
  EXPECT_TRUE(doc->IsModified());
  const int model = doc->AddSwitchFromField(kSwitchColModel, "QV-9KP-1");
  ASSERT_GE(model, 0);
  EXPECT_EQ(Switch(model).GetName(), "NewSwitch1");
  EXPECT_EQ(Switch(model).GetPart().portCount, 9);
  const int config = doc->AddSwitchFromField(kSwitchColConfig, "Plant");
  ASSERT_GE(config, 0);
  EXPECT_EQ(Switch(config).GetConfig().GetName(), "Plant");
  EXPECT_EQ(Switch(config).GetName(), "NewSwitch2");
}

TEST_F(Switches, FoundSwitchesKeepMacAndNamesUnique) {
  AddSwitch("Pump House", "12:AB:EF");
  Clean();
  CSwitchEntry found;
  found.SetMac("02:4B:33:12:ab:ef");
  found.SetName("Elsewhere");
  EXPECT_EQ(doc->AddFoundSwitch(found), kProjectDuplicate);
  EXPECT_EQ(Texts(), std::vector<std::string>{
                         "A switch exists in this project with the same MAC address (12:ab:ef). "
                         "The switch will not be added."});
  EXPECT_EQ(doc->GetSwitches().GetCount(), 1);
  EXPECT_FALSE(doc->IsModified());

  // No name: it gets one from its MAC, without a message.
  Clean();
  CSwitchEntry unnamed;
  unnamed.SetMac("01:02:03");
  const int u = doc->AddFoundSwitch(unnamed);
  ASSERT_GE(u, 0);
  EXPECT_EQ(Switch(u).GetName(), "RS_01_02_03");
  EXPECT_EQ(messages->count(), 0u);
  EXPECT_EQ(log.hints, (std::vector<Hint>{{kHintSwitchAdded, u}}));
  EXPECT_TRUE(doc->IsModified());

  // Same name in other letter case: renamed, and the user is told.
  Clean();
  CSwitchEntry twin;
  twin.SetMac("04:05:06");
  twin.SetName("PUMP HOUSE");
  const int t = doc->AddFoundSwitch(twin);
  ASSERT_GE(t, 0);
  EXPECT_EQ(Switch(t).GetName(), "RS_04_05_06");
  EXPECT_EQ(Texts(), std::vector<std::string>{
                         "A switch exists in this project with the same name (PUMP HOUSE) as the "
                         "switch found with MAC address 04:05:06. The new name assigned is "
                         "RS_04_05_06."});

  // Its generated name taken as well: numbered, never nameless.
  CSwitchEntry third;
  third.SetMac("07:08:09");
  third.SetName("RS_04_05_06");
  doc->RenameSwitch(u, "RS_07_08_09");
  const int n = doc->AddFoundSwitch(third);
  ASSERT_GE(n, 0);
  EXPECT_EQ(Switch(n).GetName(), "NewSwitch1");

  // A name read from a switch follows the naming rules too.
  CSwitchEntry commas;
  commas.SetMac("0A:0B:0C");
  commas.SetName("Tank,Farm");
  const int c = doc->AddFoundSwitch(commas);
  ASSERT_GE(c, 0);
  EXPECT_EQ(Switch(c).GetName(), "TankFarm");
}

TEST_F(Switches, ColumnChangesGoThroughTheDocumentAndCountOnlyWhenTheyChangeSomething) {
  const int s = AddSwitch("S", "01:02:03", "QV-5KP-1");
  Clean();
  // The model brings its port count and display name along.
  EXPECT_EQ(doc->SetSwitchModel(s, "QV-9KP-2"), kProjectOk);
  EXPECT_EQ(Switch(s).GetPart().partNumber, "QV-9KP-2");
  EXPECT_EQ(Switch(s).GetPart().portCount, 9);
  EXPECT_FALSE(Switch(s).GetPart().displayName.empty());
  EXPECT_TRUE(doc->IsModified());
  Clean();
  EXPECT_EQ(doc->SetSwitchModel(s, "QV-9KP-2"), kProjectOk);
  EXPECT_EQ(doc->SetSwitchModel(s, "no such model"), kProjectRefused);
  EXPECT_EQ(Switch(s).GetPart().partNumber, "QV-9KP-2");
  EXPECT_EQ(doc->SetSwitchMac(s, "01:02:03"), kProjectOk);
  EXPECT_EQ(doc->SetSwitchMac(s, "1a2b3c"), kProjectRefused);
  EXPECT_EQ(Switch(s).GetMacSuffix(), "01:02:03");
  EXPECT_EQ(doc->SetSwitchConfigName(s, ""), kProjectOk);
  EXPECT_FALSE(doc->IsModified());
  EXPECT_EQ(doc->SetSwitchMac(s, "ab:cd:ef"), kProjectOk);
  EXPECT_EQ(Switch(s).GetMacSuffix(), "AB:CD:EF");
  EXPECT_TRUE(doc->IsModified());

  Clean();
  CSwitchEntry settings;
  settings.CopyFrom(Switch(s));
  EXPECT_EQ(doc->SetSwitchModbus(s, settings), kProjectOk);
  EXPECT_FALSE(doc->IsModified());
  settings.SetModbusEnable(1);
  settings.SetModbusAddress(17);
  settings.SetIP("10.0.0.2");
  EXPECT_EQ(doc->SetSwitchModbus(s, settings), kProjectOk);
  EXPECT_TRUE(doc->IsModified());
  EXPECT_EQ(Switch(s).GetModbusAddress(), 17);
  EXPECT_EQ(Switch(s).GetIP(), "10.0.0.2");
}

TEST_F(Switches, DeletingASwitchAsksWithItsOwnText) {
  const int a = AddSwitch("Alpha");
  Clean();
  doc->DeleteSwitch(-1);
  doc->DeleteSwitch(7);
  EXPECT_EQ(messages->count(), 0u);
  messages->QueueAnswer(IDNO);
  doc->DeleteSwitch(a);
  ASSERT_EQ(messages->count(), 1u);
  EXPECT_EQ(messages->messages()[0].text, "Delete switch 'Alpha'?");
  EXPECT_EQ(messages->messages()[0].caption, "");
  EXPECT_EQ(messages->messages()[0].type & MB_TYPEMASK, unsigned{MB_YESNO});
  EXPECT_FALSE(Switch(a).IsDeleted());
  EXPECT_FALSE(doc->IsModified());
  messages->QueueAnswer(IDYES);
  doc->DeleteSwitch(a);
  EXPECT_TRUE(Switch(a).IsDeleted());
  EXPECT_EQ(log.hints, (std::vector<Hint>{{kHintSwitchDeleted, a}}));
  EXPECT_TRUE(doc->IsModified());
  // The index stays; the name is free.
  EXPECT_EQ(doc->AddSwitchFromField(kSwitchColName, "alpha"), 1);
}

TEST_F(Switches, DeletingAConfigurationClearsItsSwitchesAndLeavesTheSavedFile) {
  const int plant = doc->AddNewConfig("Plant");
  const int keep = doc->AddNewConfig("Keep");
  const int a = AddSwitch("A");
  const int b = AddSwitch("B");
  doc->SetSwitchConfigName(a, "Plant");
  doc->SetSwitchConfigName(b, "Plant");
  doc->SetSelectedConfigIndex(plant);
  Clean();
  ASSERT_EQ(doc->DeleteConfig(plant), kProjectOk);
  EXPECT_EQ(Switch(a).GetConfig().GetName(), "");
  EXPECT_EQ(Switch(b).GetConfig().GetName(), "");
  EXPECT_EQ(log.hints, (std::vector<Hint>{{kHintConfigDeleted, plant}}));
  EXPECT_TRUE(doc->IsModified());
  // The selection does not point at the deleted configuration.
  EXPECT_EQ(doc->GetSelectedConfigIndex(), -1);
  EXPECT_EQ(doc->DeleteConfig(plant), kProjectRefused);

  const std::string path = dir.file("p.zcf");
  ASSERT_TRUE(doc->OnSaveDocument(path));
  const std::string saved = ReadFile(path);
  EXPECT_EQ(saved.find("Plant"), std::string::npos);
  EXPECT_NE(saved.find("Switch Cfg: Keep"), std::string::npos);
  (void)keep;
}

TEST_F(Switches, TheSelectedConfigurationNeverPointsAtAGoneOne) {
  struct Panes : CFenwardleDoc::IPanes {
    int pane = kConfigListPane;
    int current = -1;
    int ActivePane() const override { return pane; }
    int CurrentSwitchIndex() const override { return current; }
  } panes;
  doc->SetPanes(&panes);
  const int plant = doc->AddNewConfig("Plant");
  const int yard = doc->AddNewConfig("Yard");
  const int s = AddSwitch("S");
  doc->SetSwitchConfigName(s, "Yard");
  doc->SetSelectedConfigIndex(plant);
  EXPECT_EQ(doc->GetSelectedConfigIndex(), plant);
  EXPECT_EQ(doc->GetSelectedSwitchIndex(), -1);
  doc->SetSelectedConfigIndex(42);
  EXPECT_EQ(doc->GetSelectedConfigIndex(), -1);

  // With the switch list active, the configuration of its current switch.
  panes.pane = CFenwardleDoc::IPanes::kSwitchListPane;
  panes.current = s;
  EXPECT_EQ(doc->GetSelectedSwitchIndex(), s);
  EXPECT_EQ(doc->GetSelectedConfigIndex(), yard);
  panes.current = 99;
  EXPECT_EQ(doc->GetSelectedSwitchIndex(), -1);
  EXPECT_EQ(doc->GetSelectedConfigIndex(), -1);
  panes.pane = CFenwardleDoc::IPanes::kNoPane;
  EXPECT_EQ(doc->GetSelectedSwitchIndex(), -1);

  // Emptying the project forgets it.
  panes.pane = CFenwardleDoc::IPanes::kConfigListPane;
  doc->SetSelectedConfigIndex(plant);
  Clean();
  doc->DeleteContents();
  EXPECT_EQ(log.hints, (std::vector<Hint>{{kHintEverything, -1}}));
  EXPECT_EQ(doc->AddNewConfig("New"), 0);
  EXPECT_EQ(doc->GetSelectedConfigIndex(), -1);
  doc->SetPanes(nullptr);
}

TEST_F(Switches, ExplainCellNamesTheConfigurationProblem) {
  const int five = doc->AddNewConfig("Five");
  const int s = AddSwitch("S", "", "QV-5KP-1");
  EXPECT_EQ(doc->ExplainCell(kSwitchColConfig, s),
            "A configuration has not been assigned for this switch.");
  doc->SetSwitchConfigName(s, "Gone");
  EXPECT_EQ(doc->ExplainCell(kSwitchColConfig, s),
            "The switch configuration specified does not exist in the current project file.");
  doc->SetSwitchConfigName(s, "Five");
  EXPECT_EQ(doc->ExplainCell(kSwitchColConfig, s), "");
  EXPECT_EQ(doc->ExplainCell(kSwitchColName, s), "");
  doc->SetSwitchModel(s, "QV-9KP-1");
  EXPECT_EQ(doc->ExplainCell(kSwitchColConfig, s),
            "The selected switch configuration is not compatible with the switch type. The "
            "number of ports must match.");
  EXPECT_EQ(doc->ExplainCell(kSwitchColConfig, 99), "");
  (void)five;
}

}  // namespace
}  // namespace fwtest
