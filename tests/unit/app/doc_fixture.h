// A project document with English texts, no customisation file, a profile
// in memory, recorded message boxes and a view that writes down every hint.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/fenwardledoc.h"
#include "platform/gui/view.h"
#include "platform/message.h"
#include "platform/profile.h"
#include "platform/resourcebundle.h"
#include "switch/projectfile.h"
#include "switch/switchconfigstore.h"
#include "switch/switchentry.h"
#include "tests/common/test_util.h"
#include "tools/indexpair.h"

namespace fwtest {

using Hint = std::pair<int, int>;

class CHintLog : public CView {
 public:
  std::vector<Hint> hints;
  void OnUpdate(CView*, LPARAM, CObject* object) override {
    auto* pair = dynamic_cast<CIndexPair*>(object);
    hints.push_back(pair ? Hint{pair->first, pair->second} : Hint{-2, -2});
  }
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class DocTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fw::SetCurrentResources(nullptr);
    CSwitchConfigStore::SetCustomizeFilePath(dir.file("none.customize"));
    CSwitchConfigStore::ResetOfferedModels();
    fw::SetProjectLanguageBundles({&fw::EmbeddedEnglish()});
    fw::SetAppProfile(&profile);
    doc = std::make_unique<CFenwardleDoc>();
    doc->AddView(&log);
  }
  void TearDown() override {
    doc.reset();
    fw::SetAppProfile(nullptr);
    fw::SetProjectLanguageBundles({});
  }

  // A switch added through the new-entry row's name column.
  int AddSwitch(const std::string& name, const std::string& mac = "",
                const std::string& part = "QV-5KP-1") {
    const int index = doc->AddSwitchFromField(kSwitchColName, name);
    EXPECT_GE(index, 0) << name;
    if (!mac.empty()) {
      EXPECT_EQ(doc->SetSwitchMac(index, mac), kProjectOk);
    }
    EXPECT_EQ(doc->SetSwitchModel(index, part), kProjectOk);
    return index;
  }
  const CSwitchEntry& Switch(int index) { return *doc->GetSwitches().GetAt(index); }
  const CSwitchConfig& Config(int index) { return *doc->GetStore().GetAt(index); }
  std::vector<std::string> Texts() {
    std::vector<std::string> out;
    for (const auto& m : messages->messages()) out.push_back(m.text);
    return out;
  }
  // Starts the record of hints, messages and the modified flag afresh.
  void Clean() {
    log.hints.clear();
    messages->clear();
    doc->SetModifiedFlag(false);
  }

  fw::test::TempDir dir;
  fw::ScopedMessageSink messages;
  fw::CProfile profile;
  CHintLog log;
  std::unique_ptr<CFenwardleDoc> doc;
};

}  // namespace fwtest
