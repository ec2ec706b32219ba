#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>
#include <fstream>

#include "gui_helpers.h"
#include "platform/gui/mail.h"
#include "platform/gui/services.h"
#include "platform/resstring.h"
#include "res/string_ids.h"
#include "shell/productsupportdlg.h"
#include "tests/common/test_util.h"

namespace {

class SupportDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    fw::SetMailService(&m_mail);
    fw::SetShellService(&m_shell);
  }
  void TearDown() override {
    fw::SetMailService(nullptr);
    fw::SetShellService(nullptr);
    fwtest::Drain();
  }
  static void Click(CWnd& link) {
    ASSERT_TRUE(link.IsWindow());
    QTest::mouseClick(link.widget(), Qt::LeftButton, {}, QPoint(2, 2));
  }
  fw::CRecordingMailService m_mail;
  fw::CRecordingShellService m_shell;
  fw::test::TempDir m_dir;
};

TEST_F(SupportDialogs, TheMakersDialogOpensItsSitesAndMailsWithTheProject) {
  const std::string project = m_dir.file("ring.zcf");
  std::ofstream(project) << "[x]\n";
  CProductSupportDlg dlg([&] { return project; });
  ASSERT_TRUE(dlg.Create(CProductSupportDlg::IDD));
  EXPECT_EQ(dlg.GetWindowText(), LoadResString(IDS_PRODUCT_SUPPORT));
  EXPECT_EQ(dlg.GetDlgItemText(1097), LoadResString(IDS_SUPPORT_MAIL_PROMPT));
  Click(dlg.m_storeWeb);
  EXPECT_EQ(m_shell.opened(), std::vector<std::string>{CProductSupportDlg::kStoreWeb});
  EXPECT_TRUE(dlg.m_storeWeb.visited());

  // Support mail with the box ticked carries the project; without, nothing.
  dlg.CheckDlgButton(205, BST_CHECKED);
  Click(dlg.m_supportMail);
  dlg.CheckDlgButton(205, BST_UNCHECKED);
  Click(dlg.m_supportMail);
  Click(dlg.m_salesMail);
  const auto sent = m_mail.sent();
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_EQ(sent[0].recipient, CProductSupportDlg::kSupportMail);
  EXPECT_EQ(sent[0].subject, "Product Support");
  EXPECT_EQ(sent[0].attachment, project);
  EXPECT_EQ(sent[1].attachment, "");
  EXPECT_EQ(sent[2].recipient, CProductSupportDlg::kSalesMail);
  EXPECT_EQ(sent[2].subject, "Product Support / ZOLVEX Sales");
  EXPECT_EQ(sent[2].attachment, "");
  EXPECT_TRUE(dlg.m_supportMail.visited());  // the dialog answered the link's message
  EXPECT_TRUE(dlg.DestroyWindow());
}

TEST_F(SupportDialogs, TheMonitorsMakerDialogKeepsItsTextsAndNeverAttaches) {
  CProductSupportDlg dlg([] { return std::string("/tmp/x.zcf"); }, true);
  ASSERT_TRUE(dlg.Create(CProductSupportDlg::IDD));
  dlg.ShowWindow(SW_SHOW);
  EXPECT_EQ(dlg.GetWindowText(), fw::FindDialogTemplate(133)->caption);
  EXPECT_FALSE(dlg.GetDlgItem(205)->IsWindowVisible());
  dlg.CheckDlgButton(205, BST_CHECKED);
  Click(dlg.m_supportMail);
  ASSERT_EQ(m_mail.sent().size(), 1u);
  EXPECT_EQ(m_mail.sent()[0].attachment, "");
  EXPECT_TRUE(dlg.DestroyWindow());
}

TEST_F(SupportDialogs, WithoutACustomisationFileTheResellerDialogShowsTheLanguageStrings) {
  COemSupportDlg dlg(m_dir.path() + "/", m_dir.file("fenwardle.customize"), "ZOLVEX");
  ASSERT_TRUE(dlg.Create(COemSupportDlg::IDD));
  EXPECT_EQ(dlg.m_companyName.GetWindowText(), "ZOLVEX");
  EXPECT_EQ(dlg.m_companyName.font()->logFont().lfWeight, FW_BOLD);
  ASSERT_NE(dlg.m_logo.GetIcon(), nullptr);
  EXPECT_EQ(dlg.m_logo.GetIcon()->image.size(), QSize(300, 75));
  EXPECT_EQ(dlg.m_web.GetWindowText(), LoadResString(IDS_SUPPORT_WEB));
  EXPECT_EQ(dlg.GetDlgItemText(1056), LoadResString(IDS_WEB_SITE));
  EXPECT_EQ(dlg.m_mail.GetWindowText(), LoadResString(IDS_SUPPORT_MAIL));
  EXPECT_EQ(dlg.GetDlgItemText(1049),
            LoadResString(IDS_PHONE) + " " + LoadResString(IDS_SUPPORT_PHONE));
  EXPECT_EQ(dlg.GetDlgItemText(1050),
            LoadResString(IDS_FAX) + " " + LoadResString(IDS_SUPPORT_FAX));
  EXPECT_EQ(dlg.GetDlgItemText(1055), LoadResString(IDS_SUPPORT_ADDRESS));
  // A web address without a scheme opens as one.
  Click(dlg.m_web);
  EXPECT_EQ(m_shell.opened(), std::vector<std::string>{"http://" + LoadResString(IDS_SUPPORT_WEB)});
  Click(dlg.m_mail);
  ASSERT_EQ(m_mail.sent().size(), 1u);
  EXPECT_EQ(m_mail.sent()[0].recipient, LoadResString(IDS_SUPPORT_MAIL));
  EXPECT_TRUE(dlg.DestroyWindow());
}

TEST_F(SupportDialogs, TheCustomisationFileGivesLinksAddressAndLogo) {
  const std::string file = m_dir.file("fenwardle.customize");
  std::ofstream(file)
      << "[Product Support]\r\ncompany name=Ring Partners\r\n"
         "web=https://partner.example.org/help\r\nemail=help@partner.example.org\r\n"
         "phone=555-0100\r\nmail2=Harbour Road 7\r\nlogo=missing.png\r\n";
  COemSupportDlg dlg(m_dir.path() + "/", file, "ZOLVEX");
  ASSERT_TRUE(dlg.Create(COemSupportDlg::IDD));
  dlg.ShowWindow(SW_SHOW);
  EXPECT_EQ(dlg.m_companyName.GetWindowText(), "Ring Partners");
  EXPECT_EQ(dlg.m_logo.GetIcon(), nullptr);  // an unreadable logo leaves the static empty
  EXPECT_TRUE(dlg.m_logo.IsWindowVisible());
  EXPECT_EQ(dlg.GetDlgItemText(1055), "Harbour Road 7\r\n");  // only the one line
  EXPECT_EQ(dlg.GetDlgItemText(1049), LoadResString(IDS_PHONE) + " 555-0100");
  EXPECT_EQ(dlg.GetDlgItemText(1050), "");
  Click(dlg.m_web);
  EXPECT_EQ(m_shell.opened(), std::vector<std::string>{"https://partner.example.org/help"});
  Click(dlg.m_mail);
  ASSERT_EQ(m_mail.sent().size(), 1u);
  EXPECT_EQ(m_mail.sent()[0].recipient, "help@partner.example.org");
  EXPECT_EQ(m_mail.sent()[0].subject, "Product Support");
  EXPECT_EQ(m_mail.sent()[0].attachment, "");
  EXPECT_TRUE(dlg.DestroyWindow());

  // Empty values hide what they would fill; the labels keep the template's text.
  std::ofstream(file, std::ios::trunc) << "[product support]\nweb=\nemail=\n";
  COemSupportDlg bare(m_dir.path() + "/", file, "ZOLVEX");
  ASSERT_TRUE(bare.Create(COemSupportDlg::IDD));
  bare.ShowWindow(SW_SHOW);
  EXPECT_TRUE(bare.IsWindowVisible());
  EXPECT_FALSE(bare.m_mail.IsWindowVisible());
  EXPECT_FALSE(bare.m_web.IsWindowVisible());
  EXPECT_FALSE(bare.m_logo.IsWindowVisible());
  EXPECT_FALSE(bare.m_companyName.IsWindowVisible());
  const fw::CDialogTemplate* t = fw::FindDialogTemplate(157);
  EXPECT_EQ(bare.GetDlgItemText(1057), t->FindItem(1057)->text);
  EXPECT_TRUE(bare.DestroyWindow());
}

// By keyboard alone: Tab reaches every link, shown with a focus frame, and
// Space or Enter opens it as a click does; the reseller's address text,
// made without a Tab stop, is passed over.
TEST_F(SupportDialogs, TabReachesEveryLinkAndSpaceOrEnterOpensIt) {
  auto walk = [](CDialog& dlg, Qt::Key key, int count) {
    return fwtest::FocusWalk(dlg.widget(), key, {}, count);
  };
  CProductSupportDlg maker([] { return std::string("/tmp/x.zcf"); });
  ASSERT_TRUE(maker.Create(CProductSupportDlg::IDD));
  fwtest::Activate(maker.widget());
  EXPECT_EQ(CWnd::FromHandle(QApplication::focusWidget())->GetDlgCtrlID(), IDOK);
  const QImage plain = maker.m_makerWeb.widget()->grab().toImage();
  EXPECT_EQ(walk(maker, Qt::Key_Tab, 1), std::vector<int>{206});
  EXPECT_NE(plain, maker.m_makerWeb.widget()->grab().toImage());  // it shows the focus
  EXPECT_EQ(walk(maker, Qt::Key_Tab, 8),
            (std::vector<int>{207, 208, 204, 205, 209, IDOK, 206, 207}));
  walk(maker, Qt::Key_Space, 1);
  EXPECT_EQ(m_shell.opened(), std::vector<std::string>{CProductSupportDlg::kStoreWeb});
  EXPECT_TRUE(maker.DestroyWindow());

  COemSupportDlg reseller(m_dir.path() + "/", m_dir.file("none.customize"), "ZOLVEX");
  ASSERT_TRUE(reseller.Create(COemSupportDlg::IDD));
  fwtest::Activate(reseller.widget());
  EXPECT_EQ(walk(reseller, Qt::Key_Tab, 5), (std::vector<int>{1052, 1051, IDOK, 1052, 1051}));
  walk(reseller, Qt::Key_Return, 1);
  ASSERT_EQ(m_mail.sent().size(), 1u);
  EXPECT_EQ(m_mail.sent()[0].recipient, LoadResString(IDS_SUPPORT_MAIL));
  EXPECT_FALSE(reseller.ended());  // Enter was the link's, not OK's
}

TEST(SupportDialogChoice, TheCustomisationFileWinsOverTheMakersName) {
  using fw::SupportDialogKind;
  EXPECT_EQ(fw::ChooseSupportDialog(true, "ZOLVEX"), SupportDialogKind::kReseller);
  EXPECT_EQ(fw::ChooseSupportDialog(false, "zolvex"), SupportDialogKind::kMaker);
  EXPECT_EQ(fw::ChooseSupportDialog(false, "QUORVANTICS CORVELLIANSTEAD CORPORATION"),
            SupportDialogKind::kMaker);
  EXPECT_EQ(fw::ChooseSupportDialog(false, "Ring Partners"), SupportDialogKind::kReseller);
  EXPECT_EQ(fw::ChooseSupportDialog(false, ""), SupportDialogKind::kReseller);
}

}  // namespace
