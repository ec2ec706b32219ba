#include "platform/gui/cmdtarget.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A target that passes what it does not handle to a second one, as a frame
// passes commands on to the application.
class CChained : public CCmdTarget {
 public:
  explicit CChained(CCmdTarget* next) : m_next(next) {}
  bool OnCmdMsg(unsigned id, int code, CCmdUI* ui) override {
    return CCmdTarget::OnCmdMsg(id, code, ui) || (m_next && m_next->OnCmdMsg(id, code, ui));
  }

 private:
  CCmdTarget* m_next;
};

CCmdUI Update(CCmdTarget* target, unsigned id, bool disableIfNoHandler = true) {
  CCmdUI ui;
  ui.m_nID = id;
  ui.DoUpdate(target, disableIfNoHandler);
  return ui;
}

TEST(CmdTarget, UpdateUiFollowsHandlersAlongTheRoute) {
  CCmdTarget app;
  CChained frame(&app);
  std::vector<unsigned> ran;
  app.SetCommandHandler(100, [&] { ran.push_back(100); });
  frame.SetCommandHandler(101, [&] { ran.push_back(101); });
  frame.SetUpdateHandler(101, [](CCmdUI* ui) {
    ui->Enable(false);
    ui->SetCheck(1);
  });
  frame.SetCommandRangeHandler(200, 203, [&](unsigned id) { ran.push_back(id); });

  // A handler somewhere on the route enables; its own update handler decides.
  EXPECT_TRUE(Update(&frame, 100).enabled());
  CCmdUI checked = Update(&frame, 101);
  EXPECT_FALSE(checked.enabled());
  EXPECT_EQ(checked.check(), 1);
  EXPECT_TRUE(Update(&frame, 202).enabled());
  // No handler at all: disabled, or left alone when the caller says so.
  EXPECT_FALSE(Update(&frame, 300).enabled());
  EXPECT_FALSE(Update(&frame, 300, false).enableChanged());
  // Asking about a handler never runs it.
  EXPECT_TRUE(ran.empty());

  EXPECT_TRUE(frame.OnCmdMsg(100, CN_COMMAND, nullptr));
  EXPECT_TRUE(frame.OnCmdMsg(203, CN_COMMAND, nullptr));
  EXPECT_FALSE(frame.OnCmdMsg(204, CN_COMMAND, nullptr));
  EXPECT_EQ(ran, (std::vector<unsigned>{100, 203}));
}

TEST(CmdTarget, ControlNotificationsAreKeptApartFromCommands) {
  CCmdTarget target;
  int changed = 0, clicked = 0;
  target.SetCommandHandler(
      7, [&] { ++changed; }, 0x300);
  target.SetCommandHandler(7, [&] { ++clicked; });
  EXPECT_TRUE(target.OnCmdMsg(7, 0x300, nullptr));
  EXPECT_TRUE(target.OnCmdMsg(7, CN_COMMAND, nullptr));
  EXPECT_FALSE(target.OnCmdMsg(7, 0x400, nullptr));
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(clicked, 1);
  // A handler may remove itself while it runs.
  target.SetCommandHandler(8, [&] { target.SetCommandHandler(8, nullptr); });
  EXPECT_TRUE(target.OnCmdMsg(8, CN_COMMAND, nullptr));
  EXPECT_FALSE(target.OnCmdMsg(8, CN_COMMAND, nullptr));
}

}  // namespace
