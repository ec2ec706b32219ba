// Texts the program's own dialogs put on their controls while they run
// (status lines, outcomes, labels and the support addresses of the string
// table, the version values) fit in every language.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "app/captureprobe.h"
#include "app/recoverswitchdlg.h"
#include "app/winpcappromptdlg.h"
#include "gui_helpers.h"
#include "platform/format.h"
#include "platform/modules.h"
#include "platform/resstring.h"
#include "res/string_ids.h"
#include "shell/aboutdlg.h"
#include "shell/productsupportdlg.h"
#include "shell/startup.h"
#include "tests/common/languages.h"
#include "tests/common/test_util.h"
#include "textfit_check.h"

const char* FenwardleResourceScript(std::size_t* size);

namespace {

using Texts = std::vector<std::pair<int, std::string>>;

class RunTimeAppTextFit : public ::testing::Test {
 protected:
  RunTimeAppTextFit() {
    // The version values the About box and the support dialog show.
    std::size_t size = 0;
    const char* script = FenwardleResourceScript(&size);
    EXPECT_TRUE(fw::RegisterProgramModule("fenwardle", std::string_view(script, size)));
  }
  ~RunTimeAppTextFit() override { fwtest::Drain(); }

  // Opens the dialog in each language, puts each text into its control in
  // turn, as the dialog does, and names those that do not fit.
  void ExpectAllFit(const std::function<std::unique_ptr<CDialog>()>& make, unsigned idd,
                    const std::function<Texts()>& texts) {
    fwtest::InEachLanguage([&](const char* language) {
      std::unique_ptr<CDialog> dlg = make();
      ASSERT_TRUE(dlg->Create(idd)) << idd;
      dlg->ShowWindow(SW_SHOW);
      std::vector<std::string> cut;
      auto check = [&] {
        for (const std::string& c : fwtest::TextsThatDoNotFit(dlg->widget()))
          if (std::find(cut.begin(), cut.end(), c) == cut.end()) cut.push_back(c);
      };
      check();  // what OnInitDialog put there
      for (const auto& [id, text] : texts()) {
        dlg->SetDlgItemText(id, text);
        check();
      }
      EXPECT_TRUE(cut.empty()) << "dialog " << idd << " " << language << ": " << cut.size()
                               << " cut:" << fwtest::Listed(cut);
      (void)dlg->DestroyWindow();
    });
  }
  fw::test::TempDir m_dir;
};

TEST_F(RunTimeAppTextFit, TheCapturePrompt) {
  ExpectAllFit(
      [] {
        auto dlg = std::make_unique<CWinPcapPromptDlg>();
        dlg->SetMessage(CaptureIncompatibleMessage("libpcap version 0.9.8"));
        return dlg;
      },
      CWinPcapPromptDlg::IDD, [] { return Texts{}; });
}

TEST_F(RunTimeAppTextFit, TheSupportDialogsAndTheAboutBox) {
  ExpectAllFit([] { return std::make_unique<CProductSupportDlg>(); }, CProductSupportDlg::IDD,
               [] { return Texts{}; });
  const std::string folder = m_dir.path() + "/", customize = m_dir.file("none.customize");
  ExpectAllFit(
      [&] { return std::make_unique<COemSupportDlg>(folder, customize, fw::ProgramCompanyName()); },
      COemSupportDlg::IDD, [] { return Texts{}; });
  ExpectAllFit([] { return std::make_unique<CAboutDlg>(); }, CAboutDlg::IDD,
               [] { return Texts{}; });
}

}  // namespace
