// The naming rules of configurations and switches, as the document applies
// them to every way a name comes in.
#include "doc_fixture.h"

namespace fwtest {
namespace {

using Names = DocTest;

TEST_F(Names, ConfigurationNamesAreCutAndCleanedBeforeTheyAreCheckedAndStored) {
  const std::string forty(40, 'x');
  const int a = doc->AddNewConfig(forty);
  ASSERT_GE(a, 0);
  EXPECT_EQ(Config(a).GetName(), std::string(32, 'x'));
  // One message, not one per naming step.
  EXPECT_EQ(Texts(), std::vector<std::string>{"Configuration names are limited to 32 characters."});

  Clean();
  const int b = doc->AddNewConfig("Pl,ant");
  ASSERT_GE(b, 0);
  EXPECT_EQ(Config(b).GetName(), "Plant");
  EXPECT_EQ(Texts(), std::vector<std::string>{"Invalid character(s) found: ,"});
  EXPECT_EQ(log.hints, (std::vector<Hint>{{kHintConfigAdded, b}}));
  EXPECT_TRUE(doc->IsModified());

  // Line breaks and tabs would break the project file and the reports.
  Clean();
  const int c = doc->AddNewConfig("Line\r\nTwo\tThree");
  ASSERT_GE(c, 0);
  EXPECT_EQ(Config(c).GetName(), "LineTwoThree");

  Clean();
  EXPECT_EQ(doc->AddNewConfig(",, ,"), kProjectRefused);
  EXPECT_EQ(doc->AddNewConfig("   "), kProjectRefused);
  EXPECT_EQ(doc->AddNewConfig(""), kProjectRefused);
  EXPECT_TRUE(log.hints.empty());
  EXPECT_FALSE(doc->IsModified());
}

TEST_F(Names, DuplicateConfigurationNamesAreRefusedInAnyLetterCaseWhateverTheWay) {
  const int plant = doc->AddNewConfig("Plant");
  const int yard = doc->AddNewConfig("Yard");
  ASSERT_GE(yard, 0);
  Clean();
  // Add, also where only cutting or cleaning makes the names equal.
  EXPECT_EQ(doc->AddNewConfig("PLANT"), kProjectDuplicate);
  EXPECT_EQ(doc->AddNewConfig(" plant\t"), kProjectDuplicate);
  EXPECT_EQ(doc->AddNewConfig(std::string(32, 'y') + "tail"), 2);
  EXPECT_EQ(doc->AddNewConfig(std::string(32, 'Y') + "other"), kProjectDuplicate);
  // Rename.
  Clean();
  EXPECT_EQ(doc->SetConfigName(yard, "pLaNt"), kProjectDuplicate);
  EXPECT_EQ(Config(yard).GetName(), "Yard");
  // Adding a given configuration.
  CSwitchConfig copy;
  copy.CopyFrom(Config(plant));
  EXPECT_EQ(doc->AddConfig(copy), kProjectDuplicate);
  EXPECT_TRUE(log.hints.empty());
  EXPECT_FALSE(doc->IsModified());
  // A deleted configuration's name is free again.
  ASSERT_EQ(doc->DeleteConfig(plant), kProjectOk);
  EXPECT_GE(doc->AddNewConfig("plant"), 0);
}

TEST_F(Names, RenamingAConfigurationTakesItsSwitchesAlong) {
  const int plant = doc->AddNewConfig("Plant");
  const int other = doc->AddNewConfig("Other");
  const int a = AddSwitch("A");
  const int b = AddSwitch("B");
  const int c = AddSwitch("C");
  doc->SetSwitchConfigName(a, "Plant");
  doc->SetSwitchConfigName(b, "Plant");
  doc->SetSwitchConfigName(c, "Other");
  Clean();
  ASSERT_EQ(doc->SetConfigName(plant, "Hall"), kProjectOk);
  EXPECT_EQ(Switch(a).GetConfig().GetName(), "Hall");
  EXPECT_EQ(Switch(b).GetConfig().GetName(), "Hall");
  EXPECT_EQ(Switch(c).GetConfig().GetName(), "Other");
  EXPECT_EQ(log.hints, (std::vector<Hint>{{kHintConfigChanged, -1}}));
  EXPECT_TRUE(doc->IsModified());
  // The same name again is no change; another letter case of its own name is.
  Clean();
  EXPECT_EQ(doc->SetConfigName(plant, "Hall"), kProjectOk);
  EXPECT_FALSE(doc->IsModified());
  EXPECT_EQ(doc->SetConfigName(plant, "HALL"), kProjectOk);
  EXPECT_EQ(Switch(a).GetConfig().GetName(), "HALL");
  EXPECT_TRUE(doc->IsModified());
  // The saved project still ties the switches to their configuration.
  const std::string path = dir.file("p.zcf");
  ASSERT_TRUE(doc->OnSaveDocument(path));
  CSwitchConfigStore store(0);
  CSwitchList switches;
  ASSERT_EQ(fw::LoadProjectFile(path, store, switches), 0);
  EXPECT_EQ(switches.GetAt(0)->GetConfig().GetName(), "HALL");
  EXPECT_GE(store.FindIndexByName("HALL"), 0);
  (void)other;
}

TEST_F(Names, ValidateConfigNameReportsWhatItWouldChange) {
  EXPECT_EQ(doc->ValidateConfigName(""), kProjectRefused);
  EXPECT_EQ(messages->count(), 0u);
  EXPECT_EQ(doc->ValidateConfigName(","), kProjectRefused);
  EXPECT_EQ(Texts(), std::vector<std::string>{"Invalid character(s) found: ,"});
  messages->clear();
  EXPECT_EQ(doc->ValidateConfigName("a,b"), kProjectOk);
  EXPECT_EQ(doc->ValidateConfigName("Fine"), kProjectOk);
  EXPECT_EQ(messages->count(), 1u);
}

TEST_F(Names, SwitchNamesFollowTheRulesWithoutMessagesOnRename) {
  const int a = AddSwitch("Alpha");
  const int b = AddSwitch("Beta");
  Clean();
  EXPECT_EQ(doc->RenameSwitch(b, "ALPHA"), kProjectDuplicate);
  EXPECT_EQ(doc->RenameSwitch(b, ",,"), kProjectInvalidChars);
  EXPECT_EQ(doc->RenameSwitch(b, " "), kProjectRefused);
  EXPECT_EQ(Switch(b).GetName(), "Beta");
  EXPECT_FALSE(doc->IsModified());
  EXPECT_EQ(doc->RenameSwitch(b, "Be,ta" + std::string(40, 'z') + "\n"), kProjectOk);
  // Cut to 32 characters first, then the comma goes.
  EXPECT_EQ(Switch(b).GetName(), "Beta" + std::string(27, 'z'));
  EXPECT_TRUE(doc->IsModified());
  // Its own name in another letter case is fine.
  EXPECT_EQ(doc->RenameSwitch(a, "alpha"), kProjectOk);
  EXPECT_EQ(messages->count(), 0u);
  EXPECT_TRUE(log.hints.empty());  // the list redraws itself
}

TEST_F(Names, UniqueSwitchNamesFallBackToNumberedNames) {
  EXPECT_EQ(doc->MakeUniqueSwitchName("12:AB:EF"), "RS_12_AB_EF");
  EXPECT_EQ(doc->MakeUniqueSwitchName(""), "NewSwitch1");
  AddSwitch("rs_12_ab_ef");
  AddSwitch("NewSwitch1");
  // Taken: a numbered name, never an empty one.
  EXPECT_EQ(doc->MakeUniqueSwitchName("12:AB:EF"), "NewSwitch2");
  EXPECT_EQ(doc->MakeUniqueSwitchName(""), "NewSwitch2");
}

}  // namespace
}  // namespace fwtest
