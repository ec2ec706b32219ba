#include "tools/moduleversion.h"

#include <gtest/gtest.h>

#include "platform/dynlib.h"
#include "platform/language.h"

const char* FenwardleResourceScript(std::size_t* size);

namespace fw {
namespace {

std::unique_ptr<CResourceBundle> Bundle(const std::string& script) {
  std::string error;
  auto b = CResourceBundle::Parse(script, &error);
  EXPECT_TRUE(b) << error;
  return b;
}

TEST(ModuleVersion, TheProgramReadsItsOwnBlock) {
  std::size_t size = 0;
  const char* script = FenwardleResourceScript(&size);
  ASSERT_TRUE(RegisterProgramModule("fenwardle", std::string_view(script, size)));
  CModuleVersion v;
  ASSERT_TRUE(v.GetFileVersionInfo("fenwardle"));
  EXPECT_EQ(v.dwSignature, kVersionSignature);
  EXPECT_EQ(v.dwFileVersionMS, 0x00000001u);  // 0.1
  EXPECT_EQ(v.dwFileType, 1u);                // a program
  EXPECT_EQ(v.language(), 0x409);
  EXPECT_EQ(v.codePage(), 1200);
  EXPECT_EQ(v.GetValue("ProductName"), "fenwardle");
  EXPECT_EQ(v.GetValue("CompanyName"), "ZOLVEX");
  EXPECT_EQ(v.GetValue("NoSuchValue"), "");
  int major = -1, minor = -1;
  EXPECT_EQ(GetFileVersionString("fenwardle", &major, &minor), kFileVersionOk);
  EXPECT_EQ(major, 0);
  EXPECT_EQ(minor, 1);
}

TEST(ModuleVersion, ALanguageLibraryAnswersOnlyOnceLoaded) {
  CModuleVersion v;
  EXPECT_FALSE(v.GetFileVersionInfo("libfenwardle_de.so"));  // its file is there, unloaded
  EXPECT_EQ(v.GetValue("ProductName"), "");
  // Read from its file, and let go again.
  int major = -1, minor = -1;
  EXPECT_EQ(GetFileVersionString("libfenwardle_de.so", &major, &minor), kFileVersionOk);
  EXPECT_EQ(major, 0);
  EXPECT_EQ(minor, 1);
  EXPECT_EQ(GetModuleHandle("libfenwardle_de.so"), nullptr);

  const LanguageLibraryNames names = {"libfenwardle_eng.so", "libfenwardle_de.so",
                                      "libfenwardle_fra.so"};
  ASSERT_TRUE(LoadLanguageLibrary("german", names, ProgramFolder()).bundle);
  ASSERT_TRUE(v.GetFileVersionInfo("libfenwardle_de.so"));
  EXPECT_EQ(v.language(), 0x407);
  EXPECT_EQ(v.dwFileType, 2u);  // a library
  EXPECT_EQ(v.GetValue("fileversion"), "0.1.0.0");
  // A path names the same module.
  EXPECT_TRUE(v.GetFileVersionInfo(ProgramFolder() + "/libfenwardle_de.so"));
}

TEST(ModuleVersion, EveryReadStartsFromNothing) {
  static auto german = Bundle(
      "1 VERSIONINFO FILEVERSION 4,2,0,0 BEGIN BLOCK \"StringFileInfo\" BEGIN BLOCK \"040704b0\" "
      "BEGIN VALUE \"FileVersion\", \"4.2\" END END BLOCK \"VarFileInfo\" BEGIN VALUE "
      "\"Translation\", 0x407, 1200 END END");
  // No translation of its own: language 0, code page 1252.
  static auto plain = Bundle(
      "1 VERSIONINFO BEGIN BLOCK \"StringFileInfo\" BEGIN BLOCK \"000004e4\" BEGIN VALUE "
      "\"FileVersion\", \" 7 . 3 .9\" END END END");
  static auto none = Bundle("STRINGTABLE BEGIN 1, \"x\" END");
  RegisterModule("german.mod", german.get());
  RegisterModule("plain.mod", plain.get());
  RegisterModule("none.mod", none.get());

  CModuleVersion v;
  ASSERT_TRUE(v.GetFileVersionInfo("german.mod"));
  EXPECT_EQ(v.GetValue("FileVersion"), "4.2");
  ASSERT_TRUE(v.GetFileVersionInfo("plain.mod"));
  EXPECT_EQ(v.language(), 0);
  EXPECT_EQ(v.codePage(), 1252);
  EXPECT_EQ(v.GetValue("FileVersion"), " 7 . 3 .9");
  EXPECT_EQ(v.dwFileVersionMS, 0u);

  ASSERT_TRUE(v.GetFileVersionInfo("german.mod"));
  EXPECT_FALSE(v.GetFileVersionInfo("none.mod"));  // a module without a block
  EXPECT_EQ(v.GetValue("FileVersion"), "");
  EXPECT_EQ(v.dwSignature, 0u);
  EXPECT_EQ(v.dwFileVersionMS, 0u);
  EXPECT_FALSE(v.GetFileVersionInfo("unknown.mod"));

  // A handle is taken as it is.
  EXPECT_TRUE(v.GetFileVersionInfo("", GetModuleHandle("german.mod")));
  EXPECT_EQ(v.dwFileVersionMS, 0x00040002u);

  int major = 0, minor = 0;
  EXPECT_EQ(GetFileVersionString("plain.mod", &major, &minor), kFileVersionOk);
  EXPECT_EQ(major, 7);
  EXPECT_EQ(minor, 3);
}

TEST(ModuleVersion, OtherLibrariesCarryNoBlock) {
  int major = 77, minor = 78;
  EXPECT_EQ(GetFileVersionString("libc.so.6", &major, &minor), kFileVersionUnreadable);
  EXPECT_EQ(GetFileVersionString("libnothing-here.so.9", &major, &minor), kFileVersionOk);
  EXPECT_EQ(GetFileVersionString("", &major, &minor), kFileVersionOk);
  EXPECT_EQ(major, 77);
  EXPECT_EQ(minor, 78);
  CModuleVersion v;
  EXPECT_FALSE(v.GetFileVersionInfo("libc.so.6"));
}

TEST(ModuleVersion, FileVersionFieldsAreReadAsAtoiReadsThem) {
  struct Case {
    const char* text;
    int major, minor;
  } cases[] = {
      {"4.1.2", 4, 1},
      {"  10.20", 10, 20},
      {"3", 3, 0},
      {"", 0, 0},
      {"x.5", 0, 5},
      {"2.y", 2, 0},
      {"4.", 4, 0},
      {"-1.-2", -1, -2},
      {"12345678901.1", 1234567890, 1},  // at most ten characters of a field
  };
  for (const auto& c : cases) {
    int major = -99, minor = -99;
    ParseFileVersionText(c.text, &major, &minor);
    EXPECT_EQ(major, c.major) << c.text;
    EXPECT_EQ(minor, c.minor) << c.text;
  }
}

}  // namespace
}  // namespace fw
