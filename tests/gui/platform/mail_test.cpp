#include "platform/gui/mail.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/message.h"
#include "platform/resstring.h"
#include "res/string_ids.h"
#include "tests/common/test_util.h"

namespace {

// Puts a stand-in `xdg-email` first on PATH: it writes its arguments, one per
// line, to a log and exits with the code given in FAKE_MAIL_EXIT.
class FakeMailTool {
 public:
  FakeMailTool() : m_oldPath(std::getenv("PATH") ? std::getenv("PATH") : "") {
    const std::string tool = m_dir.file("xdg-email");
    std::ofstream(tool) << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \""
                        << log() << "\"\nexit ${FAKE_MAIL_EXIT:-0}\n";
    std::filesystem::permissions(tool, std::filesystem::perms::owner_all);
    setenv("PATH", (m_dir.path() + ":" + m_oldPath).c_str(), 1);
  }
  ~FakeMailTool() {
    setenv("PATH", m_oldPath.c_str(), 1);
    unsetenv("FAKE_MAIL_EXIT");
  }
  std::string log() const { return m_dir.file("args.txt"); }
  std::vector<std::string> Args() const {
    std::ifstream in(log());
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  std::string file(const std::string& name) const { return m_dir.file(name); }

 private:
  fw::test::TempDir m_dir;
  std::string m_oldPath;
};

TEST(Mail, XdgEmailGetsSubjectAttachmentAndRecipientAsPlainArguments) {
  FakeMailTool tool;
  const std::string project = tool.file("ring one.zcf");
  std::ofstream(project) << "[x]\n";
  fw::CXdgMailService mail;
  const std::string subject = "Product Support $(touch pwned) \"quoted\"";
  EXPECT_EQ(mail.Send({"support@example.com", subject, project}), fw::kMailSent);
  EXPECT_EQ(tool.Args(), (std::vector<std::string>{"--subject", subject, "--attach", project,
                                                   "support@example.com"}));
  EXPECT_FALSE(std::filesystem::exists(tool.file("pwned")));
  // Without an attachment there is no --attach.
  EXPECT_EQ(mail.Send({"sales@example.com", "Sales", ""}), fw::kMailSent);
  EXPECT_EQ(tool.Args(), (std::vector<std::string>{"--subject", "Sales", "sales@example.com"}));
}

TEST(Mail, FailuresAreReportedWithTheirTexts) {
  FakeMailTool tool;
  fw::CXdgMailService xdg;
  fw::SetMailService(&xdg);
  fw::ScopedMessageSink sink;
  // A recipient that would read as an option, a missing attachment: refused.
  EXPECT_EQ(xdg.Send({"--help@x", "s", ""}), fw::kMailFailed);
  EXPECT_EQ(xdg.Send({"a@b.c", "s", tool.file("gone.zcf")}), fw::kMailFailed);
  EXPECT_TRUE(tool.Args().empty());
  setenv("FAKE_MAIL_EXIT", "4", 1);
  EXPECT_EQ(fw::SendMailWithAttachment("a@b.c", "s", ""), fw::kMailFailed);
  setenv("FAKE_MAIL_EXIT", "3", 1);
  EXPECT_EQ(fw::SendMailWithAttachment("a@b.c", "s", ""), fw::kMailToolMissing);
  setenv("PATH", "/nonexistent", 1);
  EXPECT_EQ(fw::SendMailWithAttachment("a@b.c", "s", ""), fw::kMailToolMissing);
  ASSERT_EQ(sink->count(), 3u);
  EXPECT_EQ(sink->messages()[0].text, LoadResString(IDS_MAIL_SEND_FAILED));
  EXPECT_EQ(sink->messages()[1].text, LoadResString(IDS_MAIL_PROGRAM_MISSING));
  EXPECT_EQ(sink->messages()[2].text, LoadResString(IDS_MAIL_PROGRAM_MISSING));
  fw::SetMailService(nullptr);
}

}  // namespace
