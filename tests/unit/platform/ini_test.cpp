#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <future>
#include <set>

#include "platform/atomicfile.h"
#include "platform/inifile.h"
#include "platform/profile.h"
#include "tests/common/test_util.h"

namespace fw {
namespace {

using fw::test::TempDir;

CIniFile Parsed(std::string_view text) {
  CIniFile f;
  f.Parse(text);
  return f;
}

TEST(IniLookup, SectionAndKeyNamesIgnoreCaseAndFirstOccurrenceWins) {
  auto f = Parsed("[Settings]\nWait=1\nwait=2\n[settings]\nwait=3\nother=4\n");
  EXPECT_EQ(f.GetString("SETTINGS", "WAIT"), "1");
  // The second "[settings]" is shadowed entirely, as with the Windows profile API.
  EXPECT_FALSE(f.Get("Settings", "other").has_value());
  EXPECT_EQ(f.SectionNames(), std::vector<std::string>{"Settings"});
  EXPECT_EQ(f.KeyNames("settings"), std::vector<std::string>{"Wait"});
}

TEST(IniLookup, LatinLettersFoldToo) {
  auto f = Parsed("[Switch Entry: ÄRGER]\nMAC=1\n");
  EXPECT_EQ(f.GetString("Switch Entry: ärger", "mac"), "1");
}

TEST(IniLookup, ValuesAreTrimmedAndLoseOuterQuotes) {
  auto f = Parsed(
      "[a]\n  k1 =  value with spaces  \nk2=\"quoted \"\nk3='x'\nk4=\"unbalanced\nk5=\n; "
      "k6=comment\n"
      "k7=a;b\n");
  EXPECT_EQ(f.GetString("a", "k1"), "value with spaces");
  EXPECT_EQ(f.GetString("a", "k2"), "quoted ");
  EXPECT_EQ(f.GetString("a", "k3"), "x");
  EXPECT_EQ(f.GetString("a", "k4"), "\"unbalanced");
  EXPECT_EQ(f.Get("a", "k5"), std::optional<std::string>(""));
  EXPECT_FALSE(f.Get("a", "; k6").has_value());
  EXPECT_FALSE(f.Get("a", "k6").has_value());
  EXPECT_EQ(f.GetString("a", "k7"), "a;b");  // no trailing comments in values
  EXPECT_EQ(f.GetString("a", "missing", " def "), "def");
}

TEST(IniLookup, GetIntReadsLikeAtoi) {
  auto f = Parsed("[a]\nn=42abc\nm=-7\nx=abc\nbig=99999999999\n");
  EXPECT_EQ(f.GetInt("a", "n", 0), 42);
  EXPECT_EQ(f.GetInt("a", "m", 0), -7);
  EXPECT_EQ(f.GetInt("a", "x", 5), 0);
  EXPECT_EQ(f.GetInt("a", "absent", 5), 5);
  EXPECT_EQ(f.GetInt("a", "big", 0), INT32_MAX);
}

TEST(IniLineEnds, CrLfLfCrAndBomAllRead) {
  for (std::string text : {"[a]\r\nk=v\r\n", "[a]\nk=v\n", "[a]\rk=v", "\xEF\xBB\xBF[a]\r\nk=v"}) {
    auto f = Parsed(text);
    EXPECT_EQ(f.GetString("a", "k"), "v") << text;
  }
  EXPECT_EQ(Parsed("[a]\nk=v\n").Serialize(), "[a]\r\nk=v\r\n");
}

TEST(IniEncoding, Cp1252IsReadAndWrittenBack) {
  auto f = Parsed("[a]\r\nname=M\xFCller \x80\r\n");
  EXPECT_EQ(f.GetString("a", "name"), "Müller €");
  EXPECT_EQ(f.Encode(), "[a]\r\nname=M\xFCller \x80\r\n");
  // A character cp1252 cannot hold makes the whole file UTF-8.
  f.SetString("a", "jp", "日本");
  EXPECT_EQ(f.Encode(), "[a]\r\nname=Müller €\r\njp=日本\r\n");
  auto g = Parsed(f.Encode());
  EXPECT_EQ(g.GetString("a", "jp"), "日本");
}

TEST(IniEncoding, TextsThatStartWithAByteOrderMarkKeepIt) {
  // A second mark (UTF-8 text), and cp1252 letters whose bytes are a mark.
  for (std::string_view bytes :
       {std::string_view("\xEF\xBB\xBF\xEF\xBB\xBF[s]\r\nk=1\r\n"),
        std::string_view("\xEF\xBB\xBF\xEF\xBB\xBF\xFF=1\r\n[s]\r\nk=1\r\n")}) {
    CIniFile f;
    f.Parse(bytes);
    CIniFile g;
    g.Parse(f.Encode());
    EXPECT_EQ(g.SectionNames(), f.SectionNames());
    EXPECT_EQ(g.Serialize(), f.Serialize());
  }
}

TEST(IniEncoding, Cp1252ThatWouldReadAsUtf8IsWrittenAsUtf8) {
  // In cp1252 these are the bytes C3 BC, which a reader takes for UTF-8 "ü".
  CIniFile f;
  f.SetString("a", "name",
              "\xC3\x83\xC2\xBC"
              "ber");
  EXPECT_EQ(Parsed(f.Encode()).GetString("a", "name"),
            "\xC3\x83\xC2\xBC"
            "ber");
  f.SetString("a", "name", "M\xC3\xBCller");
  EXPECT_EQ(f.Encode(), "[a]\r\nname=M\xFCller\r\n");
}

TEST(IniWrite, ValuesReadBackAsWritten) {
  // The reader trims values and takes off one pair of outer quotes.
  const std::vector<std::string> values = {" lead", "trail ", "'q'",   "\"dq\"", "\"",  "\"' x '\"",
                                           " ",     "",       "plain", "a=b",    "\"x'"};
  CIniFile f;
  for (std::size_t i = 0; i < values.size(); ++i)
    f.SetString("s", "k" + std::to_string(i), values[i]);
  auto g = Parsed(f.Serialize());
  for (std::size_t i = 0; i < values.size(); ++i)
    EXPECT_EQ(g.GetString("s", "k" + std::to_string(i)), values[i]);
  EXPECT_EQ(f.GetString("s", "k2"), "'q'");
  // Values that need nothing are written as they are.
  EXPECT_NE(f.Serialize().find("k8=plain\r\nk9=a=b\r\nk10=\"x'\r\n"), std::string::npos);
}

TEST(IniWrite, ReplacesInPlaceAndKeepsEverythingElse) {
  auto f =
      Parsed("; header comment\r\n[one]\r\nA = 1\r\n; note\r\nB=2\r\n\r\n[Unknown]\r\nx=y\r\n");
  f.SetString("ONE", "a", "10");
  EXPECT_EQ(f.Serialize(),
            "; header comment\r\n[one]\r\nA=10\r\n; note\r\nB=2\r\n\r\n[Unknown]\r\nx=y\r\n");
}

TEST(IniWrite, NewKeyGoesToTheEndOfItsSectionBeforeBlankLines) {
  auto f = Parsed("[one]\r\nA=1\r\n\r\n[two]\r\nC=3\r\n");
  f.SetString("one", "B", "2");
  f.SetString("two", "D", "4");
  EXPECT_EQ(f.Serialize(), "[one]\r\nA=1\r\nB=2\r\n\r\n[two]\r\nC=3\r\nD=4\r\n");
  EXPECT_EQ(f.GetString("one", "b"), "2");
}

TEST(IniWrite, NewSectionGoesToTheEndOfTheFile) {
  auto f = Parsed("[one]\r\nA=1\r\n");
  f.SetString("New One", "k", "v");
  EXPECT_EQ(f.Serialize(), "[one]\r\nA=1\r\n\r\n[New One]\r\nk=v\r\n");
  CIniFile empty;
  empty.SetString("s", "k", "v");
  EXPECT_EQ(empty.Serialize(), "[s]\r\nk=v\r\n");
}

TEST(IniWrite, LineBreaksInValuesCannotSplitTheFile) {
  CIniFile f;
  f.SetString("s", "k", "two\r\nlines");
  f.SetString("s", "k2", "x");
  auto g = Parsed(f.Serialize());
  EXPECT_EQ(g.GetString("s", "k"), "two  lines");
  EXPECT_EQ(g.KeyNames("s").size(), 2u);
}

TEST(IniDelete, KeysAndSections) {
  auto f = Parsed("[a]\r\nk=1\r\nj=2\r\n[b]\r\nk=3\r\n[c]\r\nz=1\r\n");
  EXPECT_TRUE(f.DeleteKey("A", "K"));
  EXPECT_FALSE(f.DeleteKey("a", "k"));
  EXPECT_EQ(f.GetString("a", "j"), "2");
  EXPECT_TRUE(f.DeleteSection("B"));
  EXPECT_FALSE(f.HasSection("b"));
  EXPECT_EQ(f.Serialize(), "[a]\r\nj=2\r\n[c]\r\nz=1\r\n");
  // A deleted section can be written anew; it then goes to the end.
  f.SetString("b", "k", "4");
  EXPECT_EQ(f.SectionNames(), (std::vector<std::string>{"a", "c", "b"}));
}

TEST(IniDelete, DeletingASectionRemovesEveryCopyOfIt) {
  // A later copy must not come back with its stale keys once the first goes.
  auto f = Parsed("[a]\nk=1\n[b]\nx=1\n[A]\nk=2\nghost=1\n[a]\nk=3\n");
  EXPECT_TRUE(f.DeleteSection("a"));
  EXPECT_FALSE(f.HasSection("a"));
  EXPECT_EQ(f.GetString("a", "k"), "");
  f.SetString("a", "k", "new");
  EXPECT_EQ(f.KeyNames("a"), (std::vector<std::string>{"k"}));
  EXPECT_EQ(f.Serialize(), "[b]\r\nx=1\r\n\r\n[a]\r\nk=new\r\n");
}

TEST(IniFileIo, MissingFileReadsEmptyAndSaveRoundTrips) {
  TempDir dir;
  CIniFile f;
  ASSERT_TRUE(f.Load(dir.file("none.ini")));
  EXPECT_TRUE(f.SectionNames().empty());
  f.SetString("s", "k", "v");
  ASSERT_TRUE(f.Save());
  CIniFile g;
  ASSERT_TRUE(g.Load(dir.file("none.ini")));
  EXPECT_EQ(g.GetString("s", "k"), "v");
}

TEST(IniFileIo, FailedWriteLeavesTheOldFileIntact) {
  TempDir dir;
  const std::string path = dir.file("p.zcf");
  ASSERT_TRUE(WriteFileAtomic(path, "[old]\r\nk=1\r\n", nullptr));
  CIniFile f;
  ASSERT_TRUE(f.Load(path));
  f.SetString("old", "k", std::string(100000, 'x'));
  // A file size limit makes the write fail part-way, as a full disk would (even for root).
  struct rlimit old {};
  getrlimit(RLIMIT_FSIZE, &old);
  auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 1000;
  setrlimit(RLIMIT_FSIZE, &small);
  std::string error;
  const bool saved = f.Save(&error);
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(saved);
  EXPECT_NE(error.find("Cannot write the file " + path + ": "), std::string::npos) << error;
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(path, bytes, nullptr));
  EXPECT_EQ(bytes, "[old]\r\nk=1\r\n");
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(IniFileIo, LeftoversOfKilledSavesGoOnTheNextSave) {
  TempDir dir;
  const std::string path = dir.file("p.zcf");
  auto touch = [](const std::string& p) { ASSERT_TRUE(WriteFileAtomic(p, "x", nullptr)); };
  // What a save killed between writing and renaming leaves behind.
  touch(dir.file("p.zcf.tmp-aB3xYz"));
  touch(dir.file("p.zcf.tmp-Q9w8e7"));
  // Not ours to remove: another target, another name shape, a save still writing.
  touch(dir.file("q.zcf.tmp-aB3xYz"));
  touch(dir.file("p.zcf.tmp-short"));
  touch(dir.file("p.zcf.tmp-Lck123"));
  int busy = ::open(dir.file("p.zcf.tmp-Lck123").c_str(), O_RDONLY);
  ASSERT_GE(busy, 0);
  ASSERT_EQ(::flock(busy, LOCK_EX), 0);

  ASSERT_TRUE(WriteFileAtomic(path, "new", nullptr));
  ::close(busy);
  std::set<std::string> left;
  for (const auto& e : std::filesystem::directory_iterator(dir.path()))
    left.insert(e.path().filename().string());
  EXPECT_EQ(left, (std::set<std::string>{"p.zcf", "q.zcf.tmp-aB3xYz", "p.zcf.tmp-short",
                                         "p.zcf.tmp-Lck123"}));
}

TEST(IniFileIo, SavesKeepModesWithoutTouchingTheUmask) {
  TempDir dir;
  const mode_t before = ::umask(027);
  ASSERT_TRUE(WriteFileAtomic(dir.file("new.ini"), "a", nullptr));
  struct stat st {};
  ASSERT_EQ(::stat(dir.file("new.ini").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  ASSERT_EQ(::chmod(dir.file("new.ini").c_str(), 0604), 0);
  ASSERT_TRUE(WriteFileAtomic(dir.file("new.ini"), "b", nullptr));
  ASSERT_EQ(::stat(dir.file("new.ini").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0604u);
  EXPECT_EQ(::umask(before), 027u);  // still what the test set
}

TEST(IniFileIo, WriteIntoAMissingFolderFailsCleanly) {
  CIniFile f;
  f.SetString("a", "b", "c");
  std::string error;
  EXPECT_FALSE(f.SaveAs("/nonexistent-folder-xyz/p.zcf", &error));
  EXPECT_NE(error.find("nonexistent"), std::string::npos);
  EXPECT_TRUE(f.path().empty());
  // Without an error text the failure is still reported; an earlier text is kept.
  EXPECT_FALSE(f.SaveAs("/nonexistent-folder-xyz/p.zcf", nullptr));
  error = "first\n";
  EXPECT_FALSE(f.SaveAs("/nonexistent-folder-xyz/q.zcf", &error));
  EXPECT_EQ(error.rfind(
                "first\nCannot create a temporary file beside /nonexistent-folder-xyz/q.zcf: ", 0),
            0u)
      << error;
  EXPECT_NE(error.find(std::strerror(ENOENT)), std::string::npos) << error;
}

// A link, a link to a link and a link to no file yet (a settings file a
// dotfile manager links), each relative to its own folder: the files at the
// end are written, the links stay links.
TEST(IniFileIo, SavesThroughLinksWriteTheFileTheyNameAndKeepTheLinks) {
  namespace fs = std::filesystem;
  TempDir dir;
  fs::create_directories(dir.file("shared"));
  ASSERT_TRUE(WriteFileAtomic(dir.file("shared/plant.zcf"), "old", nullptr));
  fs::create_symlink("shared/plant.zcf", dir.file("plant.zcf"));
  fs::create_symlink("../plant.zcf", dir.file("shared/again.zcf"));
  fs::create_symlink("shared/fenwardle.ini", dir.file("fenwardle.ini"));
  ASSERT_TRUE(WriteFileAtomic(dir.file("shared/again.zcf"), "new", nullptr));
  ASSERT_TRUE(WriteFileAtomic(dir.file("fenwardle.ini"), "[a]", nullptr));
  std::string plant, ini;
  ASSERT_TRUE(ReadFileBytes(dir.file("shared/plant.zcf"), plant, nullptr));
  ASSERT_TRUE(ReadFileBytes(dir.file("shared/fenwardle.ini"), ini, nullptr));
  EXPECT_EQ(plant + ini, "new[a]");
  EXPECT_EQ(fs::read_symlink(dir.file("plant.zcf")), "shared/plant.zcf");
  EXPECT_EQ(fs::read_symlink(dir.file("shared/again.zcf")), "../plant.zcf");
  EXPECT_EQ(fs::read_symlink(dir.file("fenwardle.ini")), "shared/fenwardle.ini");
}

// A FIFO, a folder and a device are refused at once by name, read or written,
// and stay what they are. The FIFO has no writer: a read that waits for one is
// let go after a bound and fails the test.
TEST(IniFileIo, WhatIsNoRegularFileIsRefusedAtOnce) {
  namespace fs = std::filesystem;
  TempDir dir;
  const std::string fifo = dir.file("f.zcf"), folder = dir.file("d.zcf"),
                    device = dir.file("z.zcf");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  fs::create_directory(folder);
  fs::create_symlink("/dev/null", device);
  auto read = std::async(std::launch::async, [&] {
    std::string bytes, error;
    return ReadFileBytes(fifo, bytes, &error) ? std::string("read") : error;
  });
  if (read.wait_for(std::chrono::seconds(10)) != std::future_status::ready)
    ::close(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
  EXPECT_EQ(read.get(), fifo + " is a named pipe, not a file.");
  for (const auto& [path, kind] : {std::pair{folder, "folder"}, {device, "device"}}) {
    std::string bytes, error;
    EXPECT_FALSE(ReadFileBytes(path, bytes, &error));
    EXPECT_EQ(error, path + " is a " + kind + ", not a file.");
  }
  for (const std::string& path : {fifo, folder, device}) {
    std::string error;
    EXPECT_FALSE(WriteFileAtomic(path, "[a]\r\n", &error));
    EXPECT_NE(error.find(", not a file."), std::string::npos) << error;
  }
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_TRUE(fs::is_symlink(device));
  // A file that tells no size (as the kernel's own do) is read no further than the limit.
  std::string bytes;
  EXPECT_FALSE(ReadFileBytes("/proc/self/maps", bytes, nullptr, 16));
  EXPECT_EQ(errno, EFBIG);
}

// A setting written again with the value it has leaves the file as the user
// last edited it; a changed one is saved.
TEST(ProfileWrites, TheValueAlreadyThereIsNotWrittenAgain) {
  TempDir dir;
  const std::string path = dir.file("co/app.ini");
  const std::string edited =
      "[Settings]\r\n; tuned by hand\r\nfind all wait limit = 3000\r\nname=\"a\"\r\n";
  std::filesystem::create_directories(dir.file("co"));
  ASSERT_TRUE(WriteFileAtomic(path, edited, nullptr));
  CProfile profile;
  ASSERT_TRUE(profile.Open(dir.file("co"), "app"));
  EXPECT_TRUE(profile.WriteProfileInt("settings", "Find All Wait Limit", 3000));
  EXPECT_TRUE(profile.WriteProfileString("Settings", "name", "a"));
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(path, bytes, nullptr));
  EXPECT_EQ(bytes, edited);
  EXPECT_TRUE(profile.WriteProfileInt("settings", "find all wait limit", 4000));
  ASSERT_TRUE(ReadFileBytes(path, bytes, nullptr));
  EXPECT_NE(bytes.find("4000"), std::string::npos) << bytes;
}

}  // namespace
}  // namespace fw
