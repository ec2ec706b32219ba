#include "app/startup.h"

#include <gtest/gtest.h>

#include "monitor/startup.h"
#include "platform/dynlib.h"
#include "platform/inifile.h"
#include "platform/message.h"
#include "platform/profile.h"
#include "platform/resourcebundle.h"
#include "platform/resstring.h"
#include "res/string_ids.h"
#include "tests/common/test_util.h"

namespace fw {
namespace {

// Resets the process-wide bundle after a test that loads a library.
struct ResourcesGuard {
  ~ResourcesGuard() { SetCurrentResources(nullptr); }
};

TEST(StartUp, ConfigurationProgramReadsAndWritesItsLanguage) {
  ResourcesGuard guard;
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
  ResourcesGuard guard;
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

}  // namespace
}  // namespace fw
