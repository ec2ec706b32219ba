#include "shell/startup.h"

#include <gtest/gtest.h>

#include <fstream>

#include "monitor/startup.h"
#include "platform/dynlib.h"
#include "platform/inifile.h"
#include "platform/message.h"
#include "platform/modules.h"
#include "platform/profile.h"
#include "platform/resourcebundle.h"
#include "platform/resstring.h"
#include "res/string_ids.h"
#include "tests/common/languages.h"
#include "tests/common/test_util.h"

const char* FenwardleResourceScript(std::size_t* size);

namespace fw {
namespace {

TEST(StartUp, ConfigurationProgramReadsAndWritesItsLanguage) {
  fwtest::ScopedResources guard;
  ScopedMessageSink sink;
  test::TempDir tmp;
  const std::string& dir = tmp.path();
  CProfile profile;
  ASSERT_TRUE(profile.Open(dir, "fenwardle"));
  EXPECT_TRUE(SelectLanguage(profile, ProgramFolder()));
  EXPECT_EQ(profile.GetProfileString("Settings", "Language"), "english");
  EXPECT_EQ(sink->count(), 0u);

  ASSERT_TRUE(profile.WriteProfileString("settings", "language", "French"));
  EXPECT_TRUE(SelectLanguage(profile, ProgramFolder()));
  EXPECT_EQ(LoadResString(IDS_RING), "Anneau");

  ASSERT_TRUE(profile.WriteProfileString("settings", "language", "spanish"));
  EXPECT_FALSE(SelectLanguage(profile, ProgramFolder()));
  ASSERT_EQ(sink->count(), 1u);
  EXPECT_EQ(sink->messages()[0].caption, "Installation Error");

  ASSERT_TRUE(profile.WriteProfileString("settings", "language", "german"));
  EXPECT_FALSE(SelectLanguage(profile, "/nonexistent"));
  EXPECT_EQ(sink->messages()[1].text,
            "Unable to locate language/resource dll <libfenwardle_de.so>. Please re-install.");
}

TEST(StartUp, StatusMonitorUsesZvinfo) {
  fwtest::ScopedResources guard;
  ScopedMessageSink sink;
  test::TempDir tmp;
  const std::string& dir = tmp.path();
  const std::string ini = dir + "/sub/zvinfo.ini";
  EXPECT_TRUE(SelectMonitorLanguage(ini, ProgramFolder()));
  CIniFile f;
  ASSERT_TRUE(f.Load(ini));
  EXPECT_EQ(f.GetString("fenwardle", "language"), "english");

  f.SetString("FENWARDLE", "LANGUAGE", "nonsense");
  ASSERT_TRUE(f.Save());
  EXPECT_FALSE(SelectMonitorLanguage(ini, ProgramFolder()));
  ASSERT_EQ(sink->count(), 1u);
  EXPECT_EQ(sink->messages()[0].text, "Invalid language selection found. Please re-install.");
}

void Touch(const std::string& path) {
  std::ofstream(path) << "x";
}

TEST(StartUpHelpers, TheProgramsOwnValuesComeFromItsBlock) {
  std::size_t size = 0;
  const char* script = FenwardleResourceScript(&size);
  ASSERT_TRUE(RegisterProgramModule("fenwardle", std::string_view(script, size)));
  EXPECT_EQ(ProgramCompanyName(), "ZOLVEX");
  EXPECT_EQ(ProgramVersionValue("ProductName"), "fenwardle");
  EXPECT_FALSE(ProgramVersionValue("LegalCopyright").empty());
  EXPECT_EQ(ProgramVersionValue("Comments"), "");

  std::string error;
  EXPECT_FALSE(RegisterProgramModule("broken", "1 VERSIONINFO\nBEGIN\n BLOCK", &error));
  EXPECT_NE(error.find("broken: line 3"), std::string::npos) << error;
  EXPECT_EQ(ProgramModuleName(), "fenwardle");  // a bad script changes nothing
}

TEST(StartUpHelpers, FoldersLieBesideTheProgram) {
  const std::string folder = ProgramFolder() + "/";
  EXPECT_EQ(GetProgramFolder(), folder);
  EXPECT_EQ(GetProjectsFolder(), folder + "Projects/");
  EXPECT_EQ(GetCustomizeFilePath(), folder + "fenwardle.customize");
  test::TempDir tmp;
  setenv("XDG_CONFIG_HOME", tmp.path().c_str(), 1);
  EXPECT_EQ(MonitorInfoPath("ZOLVEX"), tmp.path() + "/ZOLVEX/zvinfo.ini");
  unsetenv("XDG_CONFIG_HOME");
}

TEST(StartUpHelpers, FirstRunSeedsEachProgramOnce) {
  test::TempDir tmp;
  CProfile profile;
  ASSERT_TRUE(profile.Open(tmp.path(), "fenwardle"));
  ApplyFirstRunDefaults(profile);
  EXPECT_EQ(profile.GetProfileInt("settings", "INIT", 0), 1);
  EXPECT_EQ(profile.GetProfileInt("Settings", "find all wait limit", 0), 3000);
  EXPECT_EQ(profile.GetProfileString("EEROM Debugger", "lower case", "absent"), "0");
  // Later runs keep what the user chose.
  profile.WriteProfileInt("Settings", "find all wait limit", 500);
  profile.WriteProfileInt("EEROM Debugger", "lower case", 1);
  ApplyFirstRunDefaults(profile);
  EXPECT_EQ(profile.GetProfileInt("Settings", "find all wait limit", 0), 500);
  EXPECT_EQ(profile.GetProfileInt("EEROM Debugger", "lower case", 0), 1);

  // The monitor has its own marker: the other program's run does not count.
  CProfile monitor;
  ASSERT_TRUE(monitor.Open(tmp.path(), "calvenor"));
  monitor.WriteProfileInt("Settings", "init", 1);
  ApplyMonitorFirstRunDefaults(monitor);
  EXPECT_EQ(monitor.GetProfileInt("settings", "first", 0), 1);
  EXPECT_EQ(monitor.GetProfileInt("settings", "find all wait limit", 0), 3000);
  monitor.WriteProfileInt("settings", "find all wait limit", 200);
  ApplyMonitorFirstRunDefaults(monitor);
  EXPECT_EQ(monitor.GetProfileInt("settings", "find all wait limit", 0), 200);
}

TEST(StartUpHelpers, HelpFileFollowsLanguageAndCustomisation) {
  test::TempDir tmp;
  const std::string dir = tmp.path() + "/";
  EXPECT_EQ(ChooseHelpFile(dir, "english", false), dir + "fenwardl.html");
  EXPECT_EQ(ChooseHelpFile(dir, "german", false), dir + "fenwardl.html");
  // Customised without a German file: the customised English one.
  EXPECT_EQ(ChooseHelpFile(dir, "german", true), dir + "fenward1.html");
  Touch(dir + "fenwardl_de.html");
  Touch(dir + "fenwardl_fra.html");
  EXPECT_EQ(ChooseHelpFile(dir, "GERMAN", true), dir + "fenwardl_de.html");
  EXPECT_EQ(ChooseHelpFile(dir, "french", false), dir + "fenwardl_fra.html");
  EXPECT_EQ(ChooseHelpFile(dir, "english", true), dir + "fenward1.html");
  EXPECT_EQ(ChooseMonitorHelpFile(dir, false), dir + "fenwardl.html");
  EXPECT_EQ(ChooseMonitorHelpFile(dir, true), dir + "fenward1.html");
}

TEST(StartUpHelpers, ALanguageLibraryMayDemandAFile) {
  ScopedMessageSink sink;
  test::TempDir tmp;
  EXPECT_TRUE(CheckRequiredFile(tmp.path()));  // the shipped libraries demand nothing
  std::string error;
  auto demanding = CResourceBundle::Parse(
      "STRINGTABLE BEGIN 15007, \"needed.cfg\"\n 15008, \"Required\"\n 15300, \"missing <%s>\" END",
      &error);
  ASSERT_TRUE(demanding) << error;
  fwtest::ScopedResources restore;
  SetCurrentResources(demanding.get());
  EXPECT_FALSE(CheckRequiredFile(tmp.path()));
  ASSERT_EQ(sink->count(), 1u);
  EXPECT_EQ(sink->messages()[0].text, "missing <" + tmp.path() + "/needed.cfg>");
  Touch(tmp.file("needed.cfg"));
  EXPECT_TRUE(CheckRequiredFile(tmp.path() + "/"));
  EXPECT_EQ(sink->count(), 1u);
}

TEST(StartUpHelpers, TargetMacIsTheLastArgumentNamingOne) {
  EXPECT_EQ(TargetMacFromArguments({}), "");
  EXPECT_EQ(TargetMacFromArguments({"calvenor"}), "");
  EXPECT_EQ(TargetMacFromArguments({"calvenor", "-mac=02:4b:33:0a:0b:0c"}), "02:4b:33:0a:0b:0c");
  EXPECT_EQ(TargetMacFromArguments({"calvenor", "-mac=a", "other", "-mac=b"}), "b");
  EXPECT_EQ(TargetMacFromArguments({"calvenor", "x-mac=ab-mac=cd"}), "xabcd");
  EXPECT_EQ(TargetMacFromArguments({"calvenor", "-mac=a", "plain"}), "a");
  // The program's own path never counts, whatever its folder is called.
  EXPECT_EQ(TargetMacFromArguments({"/opt/tools-mac=old/calvenor"}), "");
  EXPECT_EQ(TargetMacFromArguments({"/opt/-mac=x/calvenor", "--verbose"}), "");
}

}  // namespace
}  // namespace fw
